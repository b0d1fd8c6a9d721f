#include "text/FileNames.h"

namespace rv {

std::string FileNameSafe(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        const bool forbidden = u < 32 || u == 0x7F || c == '/' || c == '\\' || c == ':' ||
                               c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|';
        if (forbidden) c = '-';
    }
    return out;
}

}  // namespace rv
