#include "Replay.h"

namespace sim {

std::optional<double> LogTime(const std::string& s) {
    // HH:MM:SS.mmm
    if (s.size() != 12 || s[2] != ':' || s[5] != ':' || s[8] != '.') return std::nullopt;
    int parts[4] = {};
    const int offsets[4] = {0, 3, 6, 9};
    const int lengths[4] = {2, 2, 2, 3};
    for (int k = 0; k < 4; ++k) {
        int v = 0;
        for (int i = 0; i < lengths[k]; ++i) {
            const char c = s[static_cast<std::size_t>(offsets[k] + i)];
            if (c < '0' || c > '9') return std::nullopt;
            v = v * 10 + (c - '0');
        }
        parts[k] = v;
    }
    if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return std::nullopt;
    return parts[0] * 3600.0 + parts[1] * 60.0 + parts[2] + parts[3] / 1000.0;
}

std::vector<ReplayLine> ReadReplay(std::istream& in) {
    std::vector<ReplayLine> lines;
    std::string raw;
    std::optional<double> first;
    double previous = 0;
    double dayOffset = 0;
    while (std::getline(in, raw)) {
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        if (raw.size() < 14 || raw.compare(12, 2, "  ") != 0) continue;
        const auto t = LogTime(raw.substr(0, 12));
        if (!t) continue;
        double at = *t + dayOffset;
        if (first && at < previous) {
            dayOffset += 86400;
            at += 86400;
        }
        if (!first) first = at;
        previous = at;
        lines.push_back({at - *first, raw.substr(14)});
    }
    return lines;
}

}  // namespace sim
