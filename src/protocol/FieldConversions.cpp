#include "protocol/FieldConversions.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace rv {

namespace {

std::string ConversionMessage(std::string_view field) {
    std::string message(1, '\'');
    message.append(field).append("' is not a valid integer value");
    return message;
}

}  // namespace

ConversionError::ConversionError(std::string_view field)
    : std::runtime_error(ConversionMessage(field)), field_(field) {}

namespace {

template <typename T>
bool ParseDecimal(std::string_view field, T& value) {
    std::size_t i = 0;
    while (i < field.size() && field[i] == ' ') ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
        negative = field[i] == '-';
        ++i;
    }
    if (i == field.size()) return false;
    // Accumulate towards the sign so that the most negative value is reachable.
    T result = 0;
    constexpr T kMax = std::numeric_limits<T>::max();
    constexpr T kMin = std::numeric_limits<T>::min();
    for (; i < field.size(); ++i) {
        const char c = field[i];
        if (c < '0' || c > '9') return false;
        const int digit = c - '0';
        if (negative) {
            if (result < (kMin + digit) / 10) return false;
            result = result * 10 - digit;
        } else {
            if (result > (kMax - digit) / 10) return false;
            result = result * 10 + digit;
        }
    }
    value = result;
    return true;
}

void AppendDigits(std::string& out, std::uint64_t v) {
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, res.ptr);
}

}  // namespace

bool ParseInt32(std::string_view field, std::int32_t& value) {
    return ParseDecimal(field, value);
}

bool ParseInt64(std::string_view field, std::int64_t& value) {
    return ParseDecimal(field, value);
}

std::int32_t IntField(std::string_view field, std::int32_t fallback) {
    std::int32_t v = 0;
    return ParseInt32(field, v) ? v : fallback;
}

std::int32_t StrictIntField(std::string_view field) {
    std::int32_t v = 0;
    if (!ParseInt32(field, v)) throw ConversionError(field);
    return v;
}

std::string FloatBitsText(std::int64_t bits, int decimals, const RegionalFormats& formats) {
    const auto pattern = static_cast<std::uint32_t>(static_cast<std::uint64_t>(bits));
    const float f = std::bit_cast<float>(pattern);
    if (std::isnan(f)) return "NAN";
    if (std::isinf(f)) return f < 0 ? "-INF" : "INF";
    if (decimals < 0) decimals = 0;

    constexpr int kSignificant = 10;
    // Every single has a finite decimal expansion of at most 112 significant digits; rounding
    // once from those exact digits avoids a second rounding of an already rounded text (0.10034999
    // would otherwise become 0.1003500000 and then 0.1004).
    constexpr int kExactDigits = 120;
    char digits[kExactDigits + 2] = {};
    int count = 0;  // significant digits in `digits`, value = d0.d1d2... * 10^exp
    int exp = 0;
    const bool negative = std::signbit(f);
    if (f != 0.0f) {
        char buf[kExactDigits + 16];
        const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(static_cast<double>(f)),
                                       std::chars_format::scientific, kExactDigits - 1);
        const std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
        std::size_t i = 0;
        for (; i < sci.size() && sci[i] != 'e'; ++i) {
            if (sci[i] != '.') digits[count++] = sci[i];
        }
        std::from_chars(sci.data() + i + 1 + (sci[i + 1] == '+' ? 1 : 0), sci.data() + sci.size(),
                        exp);
        while (count > 1 && digits[count - 1] == '0') --count;
    }

    // Keep at most ten significant digits, and in fixed form none past the last shown decimal;
    // the first dropped digit rounds half away from zero.
    if (f != 0.0f) {
        int kept = exp >= kSignificant ? kSignificant : exp + 1 + decimals;
        if (kept > kSignificant) kept = kSignificant;
        if (kept < count) {
            const bool up = kept >= 0 && digits[kept] >= '5';
            count = kept < 0 ? 0 : kept;
            bool carry = up;
            for (int k = count - 1; carry && k >= 0; --k) {
                if (digits[k] == '9') {
                    digits[k] = '0';
                } else {
                    ++digits[k];
                    carry = false;
                }
            }
            if (carry) {
                // All kept digits were 9 (or none was kept): the value gains a leading 1.
                std::memmove(digits + 1, digits, static_cast<std::size_t>(count));
                digits[0] = '1';
                ++count;
                ++exp;
            }
        }
    }

    std::string out;
    if (f != 0.0f && exp >= kSignificant) {
        // More integer digits than significant digits: exponent form.
        if (negative) out += '-';
        int last = count - 1;
        while (last > 0 && digits[last] == '0') --last;
        out += digits[0];
        if (last > 0) {
            out += formats.decimalSeparator;
            out.append(digits + 1, static_cast<std::size_t>(last));
        }
        out += "E+";
        if (exp < 10) out += '0';
        AppendDigits(out, static_cast<std::uint64_t>(exp));
        return out;
    }

    // Digit at the decimal position p (10^p) is digits[exp - p] when within the kept ones.
    bool nonZero = false;
    std::string body;
    const int top = exp > 0 ? exp : 0;
    for (int p = top; p >= -decimals; --p) {
        if (p == -1) body += formats.decimalSeparator;
        const int index = exp - p;
        const char d = index >= 0 && index < count ? digits[index] : '0';
        if (d != '0') nonZero = true;
        body += d;
    }
    if (negative && nonZero) out += '-';
    out += body;
    return out;
}

std::string FloatBitsField(std::string_view field, int decimals, const RegionalFormats& formats) {
    std::int64_t bits = 0;
    if (!ParseInt64(field, bits)) throw ConversionError(field);
    return FloatBitsText(bits, decimals, formats);
}

std::string ScaledIntText(std::int64_t value, int scale, int decimals,
                          const RegionalFormats& formats) {
    if (scale < 0) scale = 0;
    if (decimals < 0) decimals = 0;
    const bool negative = value < 0;
    // Magnitude as unsigned so that the most negative value is fine.
    std::uint64_t magnitude =
        negative ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
    // Express the magnitude in units of 10^-decimals, rounding half away from zero.
    if (decimals < scale) {
        std::uint64_t divisor = 1;
        for (int i = decimals; i < scale; ++i) divisor *= 10;
        const std::uint64_t rest = magnitude % divisor;
        magnitude /= divisor;
        if (rest >= divisor - rest) ++magnitude;  // rest >= divisor / 2, without overflow
    }
    std::string digits;
    AppendDigits(digits, magnitude);
    const int extra = decimals > scale ? decimals - scale : 0;
    digits.append(static_cast<std::size_t>(extra), '0');
    if (static_cast<int>(digits.size()) <= decimals) {
        digits.insert(0, static_cast<std::size_t>(decimals + 1 - static_cast<int>(digits.size())),
                      '0');
    }
    std::string out;
    if (negative && digits.find_first_not_of('0') != std::string::npos) out += '-';
    const std::size_t intLen = digits.size() - static_cast<std::size_t>(decimals);
    out.append(digits, 0, intLen);
    if (decimals > 0) {
        out += formats.decimalSeparator;
        out.append(digits, intLen, std::string::npos);
    }
    return out;
}

std::string SignedByteText(std::string_view field) {
    std::int32_t v = 0;
    if (!ParseInt32(field, v)) return "Err";
    const auto b = static_cast<std::int8_t>(static_cast<std::uint8_t>(v & 0xFF));
    std::string out;
    if (b >= 0) out += '+';
    char buf[8];
    const auto res = std::to_chars(buf, buf + sizeof buf, static_cast<int>(b));
    out.append(buf, res.ptr);
    return out;
}

std::string PackedCharsText(std::string_view field) {
    if (field.empty()) return {};
    const auto n = static_cast<std::uint32_t>(StrictIntField(field));
    char chars[4];
    int count = 0;
    chars[3] = static_cast<char>(n & 0xFF);
    count = 1;
    std::uint32_t rest = n;
    for (int k = 0; k < 3; ++k) {
        rest >>= 8;
        const auto byte = static_cast<char>(rest & 0xFF);
        if (byte != 0) chars[3 - count++] = byte;
    }
    return std::string(chars + 4 - count, static_cast<std::size_t>(count));
}

double UnixToDateTime(std::uint32_t seconds, int minutes) {
    return static_cast<double>(seconds / 86400u) + 25569.0 +
           static_cast<double>(seconds % 86400u) / 86400.0 - static_cast<double>(minutes) / 1440.0;
}

}  // namespace rv
