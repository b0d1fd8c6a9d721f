#include "SimOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace sim {
namespace {

bool ParseUnsigned(const std::string& text, std::uint64_t& out) {
    if (text.empty() || text.size() > 20) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0') return false;
    out = v;
    return true;
}

bool ParseNumber(const std::string& text, double& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(v)) return false;
    out = v;
    return true;
}

}  // namespace

ParseResult ParseOptions(const std::vector<std::string>& args) {
    Options o;
    bool once = false;
    bool haveSpeed = false;
    bool haveLoop = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& v) -> bool {
            if (i + 1 >= args.size()) return false;
            v = args[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--port") {
            std::uint64_t n = 0;
            if (!value(v) || !ParseUnsigned(v, n) || n < 1 || n > 99)
                return {std::nullopt, "--port needs a number from 1 to 99"};
            o.port = static_cast<int>(n);
        } else if (a == "--replay") {
            if (!value(v) || v.empty()) return {std::nullopt, "--replay needs a log file"};
            o.replayFile = v;
        } else if (a == "--speed") {
            double s = 0;
            if (!value(v) || !ParseNumber(v, s) || s < 0)
                return {std::nullopt, "--speed needs a number of 0 or more"};
            o.speed = s;
            haveSpeed = true;
        } else if (a == "--loop") {
            o.loop = true;
            haveLoop = true;
        } else if (a == "--rate") {
            double r = 0;
            if (!value(v) || !ParseNumber(v, r) || r <= 0 || r > 10'000'000)
                return {std::nullopt, "--rate needs a number of lines per second above 0"};
            o.rate = r;
        } else if (a == "--count") {
            std::uint64_t n = 0;
            if (!value(v) || !ParseUnsigned(v, n))
                return {std::nullopt, "--count needs a whole number of lines"};
            o.count = n;
        } else if (a == "--duration") {
            double d = 0;
            if (!value(v) || !ParseNumber(v, d) || d < 0)
                return {std::nullopt, "--duration needs a number of seconds"};
            o.duration = d;
        } else if (a == "--restart-every") {
            double d = 0;
            if (!value(v) || !ParseNumber(v, d) || d < 0)
                return {std::nullopt, "--restart-every needs a number of seconds"};
            o.restartEvery = d;
        } else if (a == "--seed") {
            std::uint64_t n = 0;
            if (!value(v) || !ParseUnsigned(v, n))
                return {std::nullopt, "--seed needs a whole number"};
            o.seed = n;
        } else if (a == "--once") {
            once = true;
        } else if (a == "--stats") {
            o.stats = true;
        } else {
            return {std::nullopt, "unknown argument: " + a};
        }
    }
    const int modes = (once ? 1 : 0) + (o.replayFile.empty() ? 0 : 1) + (o.rate > 0 ? 1 : 0);
    if (modes > 1) return {std::nullopt, "--once, --replay and --rate exclude each other"};
    if ((haveSpeed || haveLoop) && o.replayFile.empty())
        return {std::nullopt, "--speed and --loop belong to --replay"};
    if (once)
        o.mode = Mode::Once;
    else if (!o.replayFile.empty())
        o.mode = Mode::Replay;
    else if (o.rate > 0)
        o.mode = Mode::Load;
    return {o, {}};
}

std::string HelpText() {
    return R"(Usage: revodive-sim [options]

The simulated Rarevi tracking unit. It opens a pseudo-terminal, publishes it as COM<n> in the
per-user ports folder ($XDG_RUNTIME_DIR/revodive/ports, or /tmp/revodive-<uid>/ports when
XDG_RUNTIME_DIR is not set) and talks to the console over it: reply lines in Windows-1251, each
">" key "=" fields separated by ";" and CR LF; it answers the console's command lines.
At start it prints one line "revodive-sim: COM<n> -> <device>" on stdout.

Modes (one at a time; live is the default):
  (live)              a plausible unit: identity, clock, a moving GPS fix, voltages, self-test,
                      GSM coming up, inputs and outputs, fuel-level, 1-wire, gas, MicroLink,
                      bill-acceptor and CAN values, each at its own cadence. The diagnostic
                      stream (">D 10;1"/">D 10;0") and the GSM log (">D 9;1"/">D 9;0") are on
                      at start.
  --once              send one full round of every reply family at once, then end.
  --replay FILE       play back a traffic log saved by the console, with its recorded timing.
    --speed X         time scale of the replay: 2 = twice as fast, 0 = as fast as possible
                      (default 1).
    --loop            start the file again at its end.
  --rate N            load stream: N lines per second of all reply families mixed.

Options:
  --port N            publish the pseudo-terminal as COMN, N from 1 to 99 (default 9).
  --count M           end after M lines have been sent.
  --duration S        end after S seconds.
  --restart-every S   live mode: the unit restarts by itself every S seconds (">SERV=0").
  --seed S            seed of the simulated values (default 1): the same seed gives the same
                      values in the same order.
  --stats             print how many lines were sent on stderr at the end.
  --help              show this text.

Commands answered (live, --once and --rate): ">D 10;1|0" stream on/off, ">D 9;1|0" GSM log,
">D 1;0" restart, ">D 8;0" memory counters reset, ">D 4;1" position packet, ">D 0;0", ">D 2;0",
">D 3;0" settings/firmware update, ">I 0" parameters, ">I 1" status, ">I 7" GSM, ">I 4" PINs,
">I 3"/">I 9" access points, ">S 6;<pin>"/">S 14;<pin>", ">S ISS1 <apn>;<login>;<password>",
">S ISS2 ...". A replay plays the recording only and answers nothing.

Live mode runs whether or not anyone has the port open (lines sent while nobody listens are
lost, as on an unplugged cable); when a reader opens the port the unit reports its identity and
status at once. The other modes start when a reader opens the port. --duration counts from the
start of the program in live mode and from the reader's arrival in the other modes.

At a normal end (--count, --duration, --once, end of the replay) it gives the reader up to 5 s to
take what was sent. It removes its COM link when it ends, on SIGINT, SIGTERM and SIGHUP too. A
COM link left dangling by a simulator that was killed outright is replaced.

Exit status: 0 done, 2 bad arguments, 3 the port number is taken, 1 any other error.
)";
}

}  // namespace sim
