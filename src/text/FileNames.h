#pragma once
// Proposed file names are built from what the unit reports (its ID, its modem's IMEI), so they can
// carry characters that no file name may hold; those become "-".

#include <string>
#include <string_view>

namespace rv {

// Every character that cannot stand in a file name on Windows or Linux (/ \ : * ? " < > | and the
// control characters 0..31 and 127) replaced by "-"; every other byte kept.
std::string FileNameSafe(std::string_view name);

}  // namespace rv
