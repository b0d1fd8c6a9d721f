#pragma once
// The byte-size text of a count: "0", "%d B", "%1.1f KB" (from ten kilobytes) or "%1.1f MB".

#include <cstdint>
#include <string>
#include <string_view>

#include "text/RegionalFormats.h"

namespace rv {

std::string ByteSizeText(std::int64_t count, const RegionalFormats& formats);

// The same text written into `buffer`, for the counter beside "Получено:" that every received
// line rewrites: nothing is built but the characters. Valid while the buffer lives.
struct ByteSizeBuffer {
    char text[32];
};
std::string_view ByteSizeText(std::int64_t count, const RegionalFormats& formats,
                              ByteSizeBuffer& buffer);

}  // namespace rv
