#pragma once
// Replay of a traffic log saved by the console: each line is the time of arrival (HH:MM:SS.mmm),
// two spaces and the received text without its line end. The replay sends each text again with
// CR LF, spaced as the times say.

#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace sim {

struct ReplayLine {
    double at = 0;  // seconds from the first line
    std::string text;
};

// Reads a saved log. Lines without a valid time stamp are skipped; a time that goes backwards
// (past midnight) counts as the next day.
std::vector<ReplayLine> ReadReplay(std::istream& in);

// Seconds since midnight of "HH:MM:SS.mmm", or nothing when it is not such a time.
std::optional<double> LogTime(const std::string& stamp);

}  // namespace sim
