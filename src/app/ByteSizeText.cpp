#include "app/ByteSizeText.h"

#include "text/Formats.h"

namespace rv {

std::string ByteSizeText(std::int64_t count, const RegionalFormats& formats) {
    if (count < 1) return "0";
    if (count < 10240) return IntText(count) + " B";
    if (count < 1048576)
        return FormatFixed(static_cast<double>(count) / 1024.0, 1, formats) + " KB";
    return FormatFixed(static_cast<double>(count) / 1048576.0, 1, formats) + " MB";
}

}  // namespace rv
