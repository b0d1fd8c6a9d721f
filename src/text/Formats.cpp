#include "text/Formats.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace rv {

std::string FormatFixed(double value, int decimals, const RegionalFormats& formats) {
    char buf[512];
    // std::to_chars is locale-independent, so the C locale's decimal point never leaks in.
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (res.ec != std::errc()) return "0";
    std::string out(buf, res.ptr);
    for (char& c : out) {
        if (c == '.') c = formats.decimalSeparator;
    }
    return out;
}

std::string IntText(std::int64_t value) {
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

namespace {

void AppendNumber(std::string& out, int value, int width) {
    std::string digits = IntText(value);
    while (static_cast<int>(digits.size()) < width) digits.insert(digits.begin(), '0');
    out += digits;
}

int CountRun(const std::string& p, std::size_t i, char c) {
    int n = 0;
    while (i + n < p.size() && p[i + n] == c) ++n;
    return n;
}

}  // namespace

std::string FormatDateTime(const LocalDateTime& t, const std::string& pattern) {
    const bool twelveHour =
        pattern.find("AP") != std::string::npos || pattern.find("ap") != std::string::npos;
    std::string out;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '\'') {
            const std::size_t end = pattern.find('\'', i + 1);
            const std::size_t stop = end == std::string::npos ? pattern.size() : end;
            out.append(pattern, i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        if ((c == 'A' || c == 'a') && i + 1 < pattern.size() &&
            (pattern[i + 1] == 'P' || pattern[i + 1] == 'p')) {
            const bool pm = t.hour >= 12;
            out += c == 'A' ? (pm ? "PM" : "AM") : (pm ? "pm" : "am");
            i += 2;
            continue;
        }
        const int run = CountRun(pattern, i, c);
        switch (c) {
            case 'd':
                AppendNumber(out, t.day, run >= 2 ? 2 : 1);
                break;
            case 'M':
                AppendNumber(out, t.month, run >= 2 ? 2 : 1);
                break;
            case 'y':
                if (run >= 4) {
                    AppendNumber(out, t.year, 4);
                } else {
                    AppendNumber(out, t.year % 100, 2);
                }
                break;
            case 'H':
                AppendNumber(out, t.hour, run >= 2 ? 2 : 1);
                break;
            case 'h': {
                int h = t.hour;
                if (twelveHour) {
                    h %= 12;
                    if (h == 0) h = 12;
                }
                AppendNumber(out, h, run >= 2 ? 2 : 1);
                break;
            }
            case 'm':
                AppendNumber(out, t.minute, run >= 2 ? 2 : 1);
                break;
            case 's':
                AppendNumber(out, t.second, run >= 2 ? 2 : 1);
                break;
            default:
                out.append(static_cast<std::size_t>(run), c);
                break;
        }
        i += static_cast<std::size_t>(run);
    }
    return out;
}

std::string ShortDateText(const LocalDateTime& t, const RegionalFormats& formats) {
    return FormatDateTime(t, formats.shortDateFormat);
}

std::string LongTimeText(const LocalDateTime& t, const RegionalFormats& formats) {
    return FormatDateTime(t, formats.longTimeFormat);
}

std::string HhNnSsText(const LocalDateTime& t, const RegionalFormats& formats) {
    std::string out;
    AppendNumber(out, t.hour, 2);
    out += formats.timeSeparator;
    AppendNumber(out, t.minute, 2);
    out += formats.timeSeparator;
    AppendNumber(out, t.second, 2);
    return out;
}

std::string DateTimeText(const LocalDateTime& t, const RegionalFormats& formats) {
    std::string out = ShortDateText(t, formats);
    if (t.hour != 0 || t.minute != 0 || t.second != 0) {
        out += ' ';
        out += LongTimeText(t, formats);
    }
    return out;
}

LocalDateTime FromDayCount(double dayCount) {
    // Whole days since 1899-12-30, then the civil calendar (proleptic Gregorian).
    double whole = std::floor(dayCount);
    double fraction = dayCount - whole;
    long long msOfDay = std::llround(fraction * 86400000.0);
    if (msOfDay >= 86400000LL) {
        msOfDay -= 86400000LL;
        whole += 1;
    }
    // Days from 1970-01-01 (day count 25569).
    long long z = static_cast<long long>(whole) - 25569 + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    const long long y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    LocalDateTime t;
    t.year = static_cast<int>(y);
    t.month = static_cast<int>(m);
    t.day = static_cast<int>(d);
    t.hour = static_cast<int>(msOfDay / 3600000);
    t.minute = static_cast<int>(msOfDay / 60000 % 60);
    t.second = static_cast<int>(msOfDay / 1000 % 60);
    t.millisecond = static_cast<int>(msOfDay % 1000);
    return t;
}

}  // namespace rv
