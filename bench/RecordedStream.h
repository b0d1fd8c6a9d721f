#pragma once
// A recorded stream of a working unit, as the console's benchmarks replay it: status cycles of a
// unit with navigation, modem, inputs, two fuel-level sensors, 1-wire and CAN, plus the odd line
// of modem chatter that carries no reply key. Every line ends with CR LF, as on the wire.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace rvbench {

// The lines of status cycle `t` (values move with t), without their line ends.
std::vector<std::string> StatusCycle(int t);

// `cycles` status cycles as one byte stream; `lineCount` receives the number of lines.
std::string RecordedStream(int cycles, std::size_t& lineCount);

// The stream cut into its lines, CR LF kept (views into `stream`).
std::vector<std::string_view> StreamLines(const std::string& stream);

}  // namespace rvbench
