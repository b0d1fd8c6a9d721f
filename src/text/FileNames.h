#pragma once
// Proposed file names are built from what the unit reports (its ID, its modem's IMEI), so they can
// carry characters that no file name may hold; those become "-". They can also be longer than a
// file system accepts (an ID of 300 bytes); such a name is shortened.

#include <cstddef>
#include <string>
#include <string_view>

namespace rv {

// Every character that cannot stand in a file name on Windows or Linux (/ \ : * ? " < > | and the
// control characters 0..31 and 127) replaced by "-"; every other byte kept.
std::string FileNameSafe(std::string_view name);

// The longest name component the file systems accept: 255 bytes on Linux (UTF-8), 255 UTF-16
// units on Windows.
constexpr std::size_t kMaxFileNameBytes = 255;

// A Windows-1251 file name cut so that its UTF-8 form (the longer of the two forms above) fits in
// `maxBytes`: the end of the part before the extension is dropped, the extension (from the last
// ".", when it is at most 16 bytes long and not the whole name) is kept. A name that fits is
// returned as it is.
std::string FitFileNameLength(std::string_view cp1251Name,
                              std::size_t maxBytes = kMaxFileNameBytes);

}  // namespace rv
