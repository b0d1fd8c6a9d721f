#include "trends/TrendCsv.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace rv {
namespace {

std::string Quoted(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + '"';
}

}  // namespace

std::string LocalTimeText(const LocalDateTime& t) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second, t.millisecond);
    return buf;
}

std::string ValueText(double value) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<float>(value));
    return std::string(buf, r.ptr);
}

std::string TrendCsvText(const SessionAxis& axis, const std::vector<CsvSeries>& series,
                         std::int64_t from, std::int64_t to) {
    std::string out =
        "\xEF\xBB\xBF"
        "Время";  // the byte-order mark, then the header
    for (const CsvSeries& s : series) out += ',' + Quoted(s.caption);
    out += "\r\n";

    std::vector<std::int64_t> moments;
    for (const CsvSeries& s : series) {
        for (const TimedValue& v : s.samples) {
            if (v.ms >= from && v.ms <= to) moments.push_back(v.ms);
        }
    }
    std::sort(moments.begin(), moments.end());
    moments.erase(std::unique(moments.begin(), moments.end()), moments.end());

    std::vector<std::size_t> next(series.size(), 0);  // first sample not yet passed, by series
    for (std::int64_t ms : moments) {
        out += LocalTimeText(axis.Wall(ms));
        for (std::size_t i = 0; i < series.size(); ++i) {
            const auto& samples = series[i].samples;
            while (next[i] < samples.size() && samples[next[i]].ms <= ms) ++next[i];
            out += ',';
            if (next[i] > 0 && !samples[next[i] - 1].IsGap())
                out += ValueText(samples[next[i] - 1].value);
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace rv
