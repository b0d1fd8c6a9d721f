#include "calibration/Recovery.h"

#include <cstdio>
#include <tuple>

namespace rv {
namespace {

constexpr std::string_view kMagic = "revodive-calibration";
constexpr std::string_view kVersion = "1";

void AppendEscaped(std::string& out, std::string_view field) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (char c : field) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (u < 32 || u == 127) {
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += c;
        }
    }
}

std::optional<std::string> Unescaped(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    const auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            out += field[i];
            continue;
        }
        if (++i >= field.size()) return std::nullopt;
        switch (field[i]) {
            case '\\':
                out += '\\';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case 'n':
                out += '\n';
                break;
            case 'x': {
                if (i + 2 >= field.size()) return std::nullopt;
                const int high = hex(field[i + 1]), low = hex(field[i + 2]);
                if (high < 0 || low < 0) return std::nullopt;
                out += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                return std::nullopt;
        }
    }
    return out;
}

std::string TimeText(const LocalDateTime& t) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year % 10000,
                  t.month % 100, t.day % 100, t.hour % 100, t.minute % 100, t.second % 100,
                  t.millisecond % 1000);
    return buf;
}

// A non-negative decimal number of at most `digits` digits.
std::optional<int> Number(std::string_view s, std::size_t digits) {
    if (s.size() != digits) return std::nullopt;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

std::optional<LocalDateTime> ParseTime(std::string_view s) {
    // yyyy-MM-dd HH:mm:ss.zzz
    if (s.size() != 23 || s[4] != '-' || s[7] != '-' || s[10] != ' ' || s[13] != ':' ||
        s[16] != ':' || s[19] != '.')
        return std::nullopt;
    const auto y = Number(s.substr(0, 4), 4), mo = Number(s.substr(5, 2), 2),
               d = Number(s.substr(8, 2), 2), h = Number(s.substr(11, 2), 2),
               mi = Number(s.substr(14, 2), 2), se = Number(s.substr(17, 2), 2),
               ms = Number(s.substr(20, 3), 3);
    if (!y || !mo || !d || !h || !mi || !se || !ms) return std::nullopt;
    if (*mo < 1 || *mo > 12 || *d < 1 || *d > 31 || *h > 23 || *mi > 59 || *se > 60)
        return std::nullopt;
    return LocalDateTime{*y, *mo, *d, *h, *mi, *se, *ms};
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> out;
    for (;;) {
        const std::size_t tab = line.find('\t');
        out.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) return out;
        line.remove_prefix(tab + 1);
    }
}

}  // namespace

bool operator==(const LocalDateTime& a, const LocalDateTime& b) {
    return std::tie(a.year, a.month, a.day, a.hour, a.minute, a.second, a.millisecond) ==
           std::tie(b.year, b.month, b.day, b.hour, b.minute, b.second, b.millisecond);
}

bool operator==(const TarRow& a, const TarRow& b) {
    return std::tie(a.number, a.time, a.value, a.level, a.visible) ==
           std::tie(b.number, b.time, b.value, b.level, b.visible);
}

bool operator==(const KeptTableState& a, const KeptTableState& b) {
    return a.channel == b.channel && a.unitId == b.unitId && a.sourceName == b.sourceName &&
           a.sensorAddress == b.sensorAddress && a.rows == b.rows && a.comment == b.comment &&
           a.firstChange == b.firstChange && a.lastChange == b.lastChange;
}

std::string KeptTableText(const KeptTableState& state) {
    std::string out;
    const auto line = [&out](std::string_view key, std::initializer_list<std::string_view> fields) {
        out += key;
        for (std::string_view f : fields) {
            out += '\t';
            AppendEscaped(out, f);
        }
        out += "\r\n";
    };
    line(kMagic, {kVersion});
    line("channel", {std::to_string(state.channel)});
    line("unit", {state.unitId});
    line("source", {state.sourceName});
    line("sensor", {state.sensorAddress});
    line("first", {TimeText(state.firstChange)});
    line("last", {TimeText(state.lastChange)});
    line("comment", {state.comment});
    for (const TarRow& r : state.rows)
        line("row", {r.visible ? "1" : "0", r.number, r.time, r.value, r.level});
    line("end", {std::to_string(state.rows.size())});
    return out;
}

std::optional<KeptTableState> ParseKeptTable(std::string_view text) {
    KeptTableState state;
    enum Seen {
        kChannel = 1,
        kUnit = 2,
        kSource = 4,
        kSensor = 8,
        kFirst = 16,
        kLast = 32,
        kComment = 64,
        kAll = 127
    };
    int seen = 0;
    bool first = true;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        if (lf == std::string_view::npos) return std::nullopt;  // cut inside a line
        std::string_view line = text.substr(0, lf);
        text.remove_prefix(lf + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::vector<std::string_view> parts = SplitTabs(line);
        const std::string_view key = parts[0];
        if (first) {
            if (key != kMagic || parts.size() != 2 || parts[1] != kVersion) return std::nullopt;
            first = false;
            continue;
        }
        std::vector<std::string> fields;
        for (std::size_t i = 1; i < parts.size(); ++i) {
            auto f = Unescaped(parts[i]);
            if (!f) return std::nullopt;
            fields.push_back(std::move(*f));
        }
        const auto single = [&](int bit) -> const std::string* {
            if (fields.size() != 1 || (seen & bit)) return nullptr;
            seen |= bit;
            return &fields[0];
        };
        if (key == "end") {
            if (seen != kAll || fields.size() != 1) return std::nullopt;
            if (fields[0] != std::to_string(state.rows.size())) return std::nullopt;
            if (!text.empty()) return std::nullopt;  // nothing may follow the end
            return state;
        } else if (key == "row") {
            if (fields.size() != 5 || (fields[0] != "0" && fields[0] != "1")) return std::nullopt;
            state.rows.push_back({fields[1], fields[2], fields[3], fields[4], fields[0] == "1"});
        } else if (key == "channel") {
            const std::string* v = single(kChannel);
            if (!v || v->size() != 1 || (*v)[0] < '1' || (*v)[0] > '4') return std::nullopt;
            state.channel = (*v)[0] - '0';
        } else if (key == "first" || key == "last") {
            const std::string* v = single(key == "first" ? kFirst : kLast);
            if (!v) return std::nullopt;
            const auto t = ParseTime(*v);
            if (!t) return std::nullopt;
            (key == "first" ? state.firstChange : state.lastChange) = *t;
        } else if (key == "unit" || key == "source" || key == "sensor" || key == "comment") {
            const int bit = key == "unit"     ? kUnit
                            : key == "source" ? kSource
                            : key == "sensor" ? kSensor
                                              : kComment;
            const std::string* v = single(bit);
            if (!v) return std::nullopt;
            std::string& target = key == "unit"     ? state.unitId
                                  : key == "source" ? state.sourceName
                                  : key == "sensor" ? state.sensorAddress
                                                    : state.comment;
            target = *v;
        }
        // any other key: added by a later version, skipped
    }
    return std::nullopt;  // no end line: the file was cut short
}

std::string KeptTableFileName(const KeptTableState& state) {
    const LocalDateTime& t = state.firstChange;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d_%02d-%02d-%02d-%03d_%d", t.year % 10000,
                  t.month % 100, t.day % 100, t.hour % 100, t.minute % 100, t.second % 100,
                  t.millisecond % 1000, state.channel % 10);
    return std::string(buf) + std::string(kKeptTableExtension);
}

}  // namespace rv
