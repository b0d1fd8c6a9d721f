// revodive-sim: the simulated tracking unit. It publishes a pseudo-terminal as COM<n> and talks
// to the console over it like a unit on a serial cable. See HelpText() for the modes.

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"
#include "LiveUnit.h"
#include "Replay.h"
#include "SimOptions.h"
#include "SimPort.h"
#include "UnitModel.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int) {
    g_stop = 1;
}

void InstallSignalHandlers() {
    struct sigaction sa = {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

double Seconds() {
    using Clock = std::chrono::steady_clock;
    static const Clock::time_point start = Clock::now();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Output that the line has not taken yet. Beyond this the generator waits (load mode) or the
// oldest lines are lost, as in a unit whose serial buffer overflows.
constexpr std::size_t kMostPending = 256 * 1024;

class Runner {
  public:
    Runner(const sim::Options& options, sim::SimPort& port, std::vector<sim::ReplayLine> replay)
        : o_(options), port_(port), unit_(options.seed), replay_(std::move(replay)) {}

    int Run() {
        const double started = Seconds();
        double drainedAt = -1;
        for (;;) {
            if (g_stop) break;
            struct pollfd pfd = {port_.Master(), POLLIN, 0};
            const int waitMs = pending_.empty() ? 5 : 2;
            // While nobody holds the line open the master reports a hang-up at once: wait anyway.
            if (::poll(&pfd, 1, waitMs) > 0 && (pfd.revents & POLLHUP) != 0)
                (void)::poll(nullptr, 0, waitMs);
            const double now = Seconds();
            const bool connected = port_.PeerConnected();
            if (connected) ReadCommands();
            if (connected && !wasConnected_) OnConnect(now);
            if (!connected && wasConnected_) pending_.clear();  // nobody listens any more
            wasConnected_ = connected;

            if (!done_) Generate(now, started, connected);
            if (!connected) {
                unit_.TakeOutbox();  // a unit talking into an unplugged cable
            } else {
                Queue(unit_.TakeOutbox());
                Flush();
            }
            if (done_) {
                // Let the reader take the rest, at most 5 s.
                if (pending_.empty() && drainedAt < 0) drainedAt = now;
                if (!connected || (drainedAt >= 0 && now - drainedAt > 0.5) || now - doneAt_ > 5)
                    break;
            }
        }
        if (o_.stats)
            std::fprintf(stderr, "revodive-sim: %llu lines sent\n",
                         static_cast<unsigned long long>(sent_));
        return 0;
    }

  private:
    void ReadCommands() {
        char buf[1024];
        for (;;) {
            const ssize_t n = ::read(port_.Master(), buf, sizeof buf);
            if (n <= 0) break;
            splitter_.Feed(std::string_view(buf, static_cast<std::size_t>(n)));
        }
        while (auto line = splitter_.Next()) {
            if (o_.mode != sim::Mode::Replay) unit_.HandleLine(*line);
        }
    }

    void OnConnect(double now) {
        if (!everConnected_) {
            everConnected_ = true;
            connectedAt_ = now;
        }
        if (o_.mode == sim::Mode::Live) unit_.Greet();
    }

    void Finish(double now) {
        done_ = true;
        doneAt_ = now;
    }

    bool CountReached() const { return o_.count && sent_ >= *o_.count; }

    void Generate(double now, double started, bool connected) {
        const double since =
            o_.mode == sim::Mode::Live ? now - started : (everConnected_ ? now - connectedAt_ : 0);
        if (o_.duration && (o_.mode == sim::Mode::Live || everConnected_) &&
            since >= *o_.duration) {
            Finish(now);
            return;
        }
        switch (o_.mode) {
            case sim::Mode::Live:
                unit_.Tick(now);
                if (o_.restartEvery > 0 && now - lastRestart_ >= o_.restartEvery) {
                    lastRestart_ = now;
                    unit_.HandleLine(">D 1;0");
                }
                break;
            case sim::Mode::Once:
                if (!connected) return;
                unit_.FullRound();
                Finish(now);
                break;
            case sim::Mode::Load: {
                if (!connected) return;
                static const std::vector<sim::Item> mix = sim::UnitModel::AllItems();
                unit_.Tick(now);
                unit_.TakeOutbox();  // the load stream is the mix alone
                const auto due = static_cast<std::uint64_t>(o_.rate * since);
                while (loadSent_ < due && pending_.size() < kMostPending && !CountReached()) {
                    Queue(model_.Render(mix[loadSent_ % mix.size()]));
                    ++loadSent_;
                }
                break;
            }
            case sim::Mode::Replay: {
                if (!connected) return;
                while (replayIndex_ < replay_.size() && pending_.size() < kMostPending) {
                    const sim::ReplayLine& line = replay_[replayIndex_];
                    if (o_.speed > 0 && line.at / o_.speed > since - replayBase_) break;
                    Queue(line.text + "\r\n");
                    ++replayIndex_;
                    if (CountReached()) break;
                }
                if (replayIndex_ >= replay_.size()) {
                    if (o_.loop && !replay_.empty()) {
                        replayIndex_ = 0;
                        replayBase_ = since;
                    } else {
                        Finish(now);
                    }
                }
                break;
            }
        }
        if (CountReached()) Finish(now);
    }

    // Appends whole lines, counting them; over --count nothing more is queued.
    void Queue(const std::string& lines) {
        std::size_t pos = 0;
        while (pos < lines.size()) {
            if (CountReached()) return;
            std::size_t lf = lines.find('\n', pos);
            if (lf == std::string::npos) lf = lines.size() - 1;
            if (pending_.size() < kMostPending) pending_.append(lines, pos, lf + 1 - pos);
            ++sent_;
            pos = lf + 1;
        }
    }

    void Flush() {
        while (!pending_.empty()) {
            const ssize_t n = ::write(port_.Master(), pending_.data(), pending_.size());
            if (n > 0) {
                pending_.erase(0, static_cast<std::size_t>(n));
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno == EIO) pending_.clear();  // the reader has gone
            break;  // EAGAIN: the line is full, try again on the next turn
        }
    }

    const sim::Options& o_;
    sim::SimPort& port_;
    sim::LiveUnit unit_;
    sim::UnitModel model_{1};  // the load stream's values
    std::vector<sim::ReplayLine> replay_;
    sim::LineSplitter splitter_;
    std::string pending_;
    std::uint64_t sent_ = 0;
    std::uint64_t loadSent_ = 0;
    std::size_t replayIndex_ = 0;
    double replayBase_ = 0;
    double connectedAt_ = 0;
    double lastRestart_ = 0;
    double doneAt_ = 0;
    bool everConnected_ = false;
    bool wasConnected_ = false;
    bool done_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const sim::ParseResult parsed = sim::ParseOptions(args);
    if (!parsed.options) {
        std::fprintf(stderr, "revodive-sim: %s (see --help)\n", parsed.error.c_str());
        return 2;
    }
    const sim::Options& options = *parsed.options;
    if (options.help) {
        std::fputs(sim::HelpText().c_str(), stdout);
        return 0;
    }

    std::vector<sim::ReplayLine> replay;
    if (options.mode == sim::Mode::Replay) {
        std::ifstream in(options.replayFile, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "revodive-sim: cannot read %s\n", options.replayFile.c_str());
            return 1;
        }
        replay = sim::ReadReplay(in);
    }

    InstallSignalHandlers();
    sim::SimPort port;
    std::string error;
    switch (port.Open(options.port, error)) {
        case sim::SimPort::OpenResult::Ok:
            break;
        case sim::SimPort::OpenResult::NumberTaken:
            std::fprintf(stderr, "revodive-sim: %s\n", error.c_str());
            return 3;
        case sim::SimPort::OpenResult::Failed:
            std::fprintf(stderr, "revodive-sim: %s\n", error.c_str());
            return 1;
    }
    std::printf("revodive-sim: COM%d -> %s\n", options.port, port.DevicePath().c_str());
    std::fflush(stdout);

    Runner runner(options, port, std::move(replay));
    const int status = runner.Run();
    port.Close();
    return status;
}
