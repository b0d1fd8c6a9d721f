#include "text/ByteSizeText.h"

#include <charconv>

namespace rv {
namespace {

// count / unit in tenths, an exact half rounded up (away from zero), as the unit's other
// one-decimal figures are: 10496 bytes are 10.25 KB and show 10.3 KB.
std::string Tenths(std::int64_t count, std::int64_t unit, const RegionalFormats& formats,
                   const char* suffix) {
    const std::int64_t whole = count / unit;
    const std::int64_t rest = count % unit;  // below unit, so 20 * rest cannot overflow
    const std::int64_t tenths = whole * 10 + (20 * rest + unit) / (2 * unit);
    char text[32];
    char* end = std::to_chars(text, text + 20, tenths / 10).ptr;
    *end++ = formats.decimalSeparator;
    *end++ = static_cast<char>('0' + tenths % 10);
    return std::string(text, end) + suffix;
}

}  // namespace

// Written into one buffer: the counter beside "Получено:" is rewritten for every received line.
std::string ByteSizeText(std::int64_t count, const RegionalFormats& formats) {
    if (count < 1) return "0";
    if (count < 10240) {
        char text[8];
        char* end = std::to_chars(text, text + sizeof text, count).ptr;
        return std::string(text, end) + " B";
    }
    if (count < 1048576) return Tenths(count, 1024, formats, " KB");
    return Tenths(count, 1048576, formats, " MB");
}

}  // namespace rv
