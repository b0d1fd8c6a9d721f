#include "serial/PortList.h"

#include <climits>

namespace rv {

std::string NextName(std::string_view list, int& position) {
    if (position < 1 || static_cast<std::size_t>(position) > list.size()) return {};
    const std::size_t start = static_cast<std::size_t>(position) - 1;
    const std::size_t nul = list.find('\0', start);
    if (nul == std::string_view::npos) return {};
    position = static_cast<int>(nul) + 2;
    return std::string(list.substr(start, nul - start));
}

int PortNumberOfName(std::string_view name) {
    if (name.size() <= 3) return 0;
    std::string_view rest = name.substr(3, 99);
    bool negative = false;
    if (rest.front() == '+' || rest.front() == '-') {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    if (rest.empty()) return 0;
    long long value = 0;
    for (char c : rest) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + (c - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) return 0;
    }
    if (negative) value = -value;
    if (value < INT_MIN || value > INT_MAX) return 0;
    return static_cast<int>(value);
}

std::vector<PortListEntry> ComPortsOfList(std::string_view list) {
    std::vector<PortListEntry> ports;
    int position = 1;
    for (;;) {
        std::string name = NextName(list, position);
        if (name.empty()) break;
        if (name.compare(0, 3, "COM") != 0) continue;
        const int number = PortNumberOfName(name);
        if (number < 1 || number > 99) continue;
        ports.push_back({std::move(name), number});
    }
    return ports;
}

std::string WindowsComPortPath(int port) {
    return "\\\\.\\COM" + std::to_string(port);
}

}  // namespace rv
