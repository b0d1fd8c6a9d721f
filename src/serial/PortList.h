#pragma once
// The port list: the platform's device names separated by NUL characters and ended by an empty
// name ("COM3\0COM9\0\0"). Windows gives it through QueryDosDeviceA, Linux builds it from the COM
// namespace, so one parser serves both.

#include <string>
#include <string_view>
#include <vector>

namespace rv {

// The next name of `list` from the 1-based `position`: the text from the position up to, not
// including, the next NUL; the position then moves one past that NUL. When the position lies
// beyond the end of the list or no NUL follows, the name is empty and the position stays.
std::string NextName(std::string_view list, int& position);

// The port number of a device name: the rest of the name from its fourth character (at most 99
// characters) read as a decimal integer; 0 when it is not a number.
int PortNumberOfName(std::string_view name);

struct PortListEntry {
    std::string name;  // e.g. "COM3"
    int number = 0;    // 1..99

    bool operator==(const PortListEntry&) const = default;
};

// The COM ports of a port list, in list order: names up to the first empty name that begin with
// "COM" and whose port number is 1 to 99 (the ports the driver can open).
std::vector<PortListEntry> ComPortsOfList(std::string_view list);

// The Win32 device path of port n: "\\.\COM" followed by n in decimal, without leading zeros.
std::string WindowsComPortPath(int port);

}  // namespace rv
