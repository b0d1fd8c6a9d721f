#pragma once
// A day of samples drawn as fast as a minute: a plot a few hundred pixels wide cannot show more
// than a few points per pixel column, so each column keeps only what shapes its line.

#include <cstdint>
#include <vector>

#include "trends/TimedValue.h"

namespace rv {

// `samples` (in time order) reduced for a plot of `columns` pixel columns over [from, to]: in each
// column its minimum and its maximum, in time order (one point when they are the same sample), so
// a spike of one sample still reaches its height. The line from one column to the next then joins
// two values that both lie in the columns' ranges, so nothing is drawn outside what the data
// span. A column whose last sample is a gap ends its line: a gap point (NaN) follows its values; a
// gap inside a column, narrower than a pixel, is not drawn. Samples before `from` and after `to`
// (the neighbours that carry the line to the plot's edges) pass as they are.
std::vector<TimedValue> DecimateToColumns(const std::vector<TimedValue>& samples, std::int64_t from,
                                          std::int64_t to, int columns);

}  // namespace rv
