#pragma once
// Plausibility checks over a calibration table, so that a mistyped level or a point saved before
// the fuel calmed is caught while the technician can still delete and redo it. They only advise:
// neither saving nor the export is refused.
//
// The rows are judged in table order, which is the order of the pours:
// - against the trend: between this row and a neighbour the reading moves the other way to the
//   level than it does over the table as a whole (the table would not be monotonic);
// - same level: another row has the same level (two points for one level, or a level typed twice);
// - step too large / too small: the level step from the previous row is more than twice or less
//   than half the usual step (the median of the steps); judged from three steps on, since the
//   pours of one calibration are meant to be equal.

#include <cstdint>
#include <string>
#include <vector>

#include "calibration/TableExport.h"

namespace rv {

enum TarCheckFlag : std::uint8_t {
    kAgainstTrend = 1,
    kSameLevel = 2,
    kStepTooLarge = 4,
    kStepTooSmall = 8,
};

// The rows fewer than which an export is worth a warning.
constexpr std::size_t kTarEnoughRows = 10;

// Flags of every row of `rows` (hidden rows get none and are not judged).
std::vector<std::uint8_t> CheckTarRows(const std::vector<TarRow>& rows);

// The flags as a hint for the technician (UTF-8), one finding a line; empty for no flags.
std::string TarCheckText(std::uint8_t flags);

// Warnings for the export of a table (UTF-8): too few rows, rows with findings.
std::vector<std::string> TarExportWarnings(const std::vector<TarRow>& rows);

}  // namespace rv
