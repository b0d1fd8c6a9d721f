#pragma once
// Command-line options of revodive-sim and their parsing.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

enum class Mode { Live, Once, Replay, Load };

struct Options {
    Mode mode = Mode::Live;
    int port = 9;                        // published as COM<port>, 1..99
    std::string replayFile;              // --replay
    double speed = 1.0;                  // --speed: replay time scale, 0 = as fast as possible
    bool loop = false;                   // --loop: replay the file again and again
    double rate = 0.0;                   // --rate: lines per second of the load stream
    std::optional<std::uint64_t> count;  // --count: stop after this many lines
    std::optional<double> duration;      // --duration: stop after this many seconds
    double restartEvery = 0.0;           // --restart-every: the unit restarts by itself, seconds
    std::uint64_t seed = 1;              // --seed
    bool stats = false;                  // --stats: report the lines sent on stderr at the end
    bool help = false;                   // --help
};

struct ParseResult {
    std::optional<Options> options;  // empty when the arguments are wrong
    std::string error;               // the reason, for stderr
};

ParseResult ParseOptions(const std::vector<std::string>& args);

// The text printed by --help.
std::string HelpText();

}  // namespace sim
