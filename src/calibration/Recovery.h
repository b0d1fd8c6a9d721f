#pragma once
// A kept calibration table: the state of one channel, mirrored to the state folder at every change
// so that a clear, a unit restart, another source chosen by a slip or a crash never loses the rows
// poured so far. A kept table restores the channel exactly (rows with their numbers, hidden rows,
// comment), so its export is the export the original would have given.
//
// File format (Windows-1251 text, like every file the console writes; lines end with CR LF; a
// reader also accepts LF). Each line is a key, a TAB, and TAB-separated fields:
//
//   revodive-calibration<TAB>1           first line: the format and its version
//   channel<TAB>2                        channel 1..4
//   unit<TAB>123456                      unit ID (may be empty)
//   source<TAB>LLS0 (уровень)            the source's name as the drop-down shows it
//   sensor<TAB>5                         fuel-level sensor address (empty: not a sensor, or
//   unknown) first<TAB>2026-12-08 14:03:22.123    local time of the first change
//   last<TAB>2026-12-08 14:31:05.020     local time of the last change
//   comment<TAB>text                     the comment
//   row<TAB>1<TAB>1<TAB>14:03:30<TAB>1234<TAB>0
//                                        one per row in table order: shown (1) or deleted (0),
//                                        number, time, reading, level
//   end<TAB>7                            the row count; a file without it is cut short
//
// In every field "\" is written "\\", TAB "\t", CR "\r", LF "\n" and any other byte below 32 or
// 127 as "\xHH". Unknown keys are skipped (a later version may add some); a file that breaks any
// other rule (wrong first line, missing key, bad escape, bad number, row count that does not
// match, channel outside 1..4) is not a kept table and is left out of the list.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calibration/TableExport.h"
#include "text/RegionalFormats.h"

namespace rv {

struct KeptTableState {
    int channel = 1;
    std::string unitId;
    std::string sourceName;
    std::string sensorAddress;
    std::vector<TarRow> rows;
    std::string comment;
    LocalDateTime firstChange{};
    LocalDateTime lastChange{};
};

bool operator==(const LocalDateTime& a, const LocalDateTime& b);
bool operator==(const TarRow& a, const TarRow& b);
bool operator==(const KeptTableState& a, const KeptTableState& b);

// The file's bytes.
std::string KeptTableText(const KeptTableState& state);
// The state a file holds, or nothing when it is not a whole, well-formed kept table.
std::optional<KeptTableState> ParseKeptTable(std::string_view text);

// "2026-12-08_14-03-22-123_2.cal": the first change's time to the millisecond and the channel, so
// one table keeps one file from its first row to its last change, and a new table in the same
// channel starts another.
std::string KeptTableFileName(const KeptTableState& state);

inline constexpr std::string_view kKeptTableExtension = ".cal";

}  // namespace rv
