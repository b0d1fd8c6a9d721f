#include "text/ByteSizeText.h"

#include <charconv>
#include <cstring>

namespace rv {
namespace {

char* Append(char* at, std::string_view text) {
    std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

// count / unit in tenths, an exact half rounded up (away from zero), as the unit's other
// one-decimal figures are: 10496 bytes are 10.25 KB and show 10.3 KB.
char* Tenths(char* at, std::int64_t count, std::int64_t unit, char separator) {
    const std::int64_t whole = count / unit;
    const std::int64_t rest = count % unit;  // below unit, so 20 * rest cannot overflow
    const std::int64_t tenths = whole * 10 + (20 * rest + unit) / (2 * unit);
    at = std::to_chars(at, at + 20, tenths / 10).ptr;
    *at++ = separator;
    *at++ = static_cast<char>('0' + tenths % 10);
    return at;
}

}  // namespace

std::string_view ByteSizeText(std::int64_t count, const RegionalFormats& formats,
                              ByteSizeBuffer& buffer) {
    char* const begin = buffer.text;
    char* end;
    if (count < 1) {
        end = Append(begin, "0");
    } else if (count < 10240) {
        end = Append(std::to_chars(begin, begin + 8, count).ptr, " B");
    } else if (count < 1048576) {
        end = Append(Tenths(begin, count, 1024, formats.decimalSeparator), " KB");
    } else {
        end = Append(Tenths(begin, count, 1048576, formats.decimalSeparator), " MB");
    }
    return std::string_view(begin, static_cast<std::size_t>(end - begin));
}

std::string ByteSizeText(std::int64_t count, const RegionalFormats& formats) {
    ByteSizeBuffer buffer;
    return std::string(ByteSizeText(count, formats, buffer));
}

}  // namespace rv
