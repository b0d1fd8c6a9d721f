#pragma once
// The byte-size text of a count: "0", "%d B", "%1.1f KB" (from ten kilobytes) or "%1.1f MB".

#include <cstdint>
#include <string>

#include "text/RegionalFormats.h"

namespace rv {

std::string ByteSizeText(std::int64_t count, const RegionalFormats& formats);

}  // namespace rv
