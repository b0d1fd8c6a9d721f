#pragma once
// The shown part of a trend as a CSV file for a spreadsheet: UTF-8 (with the byte-order mark
// spreadsheets look for to read Cyrillic headers), comma-separated, full-stop decimals, CR LF line
// ends, a header row "Время" and the series' captions.
//
// One row per moment at which any series has a sample in [from, to]; each cell holds what that
// series showed then (its latest sample at or before the moment: what the display held), empty
// while it showed no number or before its first value. The time is local, "2025-03-14
// 08:05:09.042".

#include <cstdint>
#include <string>
#include <vector>

#include "trends/SessionAxis.h"
#include "trends/TimedValue.h"

namespace rv {

struct CsvSeries {
    std::string caption;              // UTF-8
    std::vector<TimedValue> samples;  // in time order; may begin before `from`
};

std::string TrendCsvText(const SessionAxis& axis, const std::vector<CsvSeries>& series,
                         std::int64_t from, std::int64_t to);

// "2025-03-14 08:05:09.042".
std::string LocalTimeText(const LocalDateTime& t);
// The shortest text of a float value that reads back the same, with a full stop ("12.5", "-6").
std::string ValueText(double value);

}  // namespace rv
