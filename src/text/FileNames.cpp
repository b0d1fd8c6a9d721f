#include "text/FileNames.h"

#include "text/Cp1251.h"

namespace rv {
namespace {

// Bytes of a Windows-1251 character in UTF-8 (one for ASCII, two or three for the others).
std::size_t Utf8Bytes(char c) {
    return Cp1251ToUtf8(std::string_view(&c, 1)).size();
}

std::size_t Utf8Length(std::string_view s) {
    std::size_t n = 0;
    for (char c : s) n += Utf8Bytes(c);
    return n;
}

}  // namespace

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

std::string FitFileNameLength(std::string_view cp1251Name, std::size_t maxBytes) {
    if (Utf8Length(cp1251Name) <= maxBytes) return std::string(cp1251Name);
    std::string_view stem = cp1251Name, extension;
    const std::size_t dot = cp1251Name.rfind('.');
    if (dot != std::string_view::npos && dot > 0 && cp1251Name.size() - dot <= 16) {
        stem = cp1251Name.substr(0, dot);
        extension = cp1251Name.substr(dot);
    }
    if (Utf8Length(extension) >= maxBytes) {  // no room for it: the name is cut as a whole
        stem = cp1251Name;
        extension = {};
    }
    std::size_t budget = maxBytes - Utf8Length(extension);
    std::size_t keep = 0;
    for (char c : stem) {
        const std::size_t n = Utf8Bytes(c);
        if (n > budget) break;
        budget -= n;
        ++keep;
    }
    return std::string(stem.substr(0, keep)) + std::string(extension);
}

}  // namespace rv
