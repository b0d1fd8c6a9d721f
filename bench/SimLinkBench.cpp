// The console on a real link: revodive-sim in load mode (--rate N lines per second of every reply
// family mixed) writes into a pseudo-terminal published as a COM port; the console (MainForm with
// the platform's serial device, started through the connection control as the technician starts a
// port) reads it on ticks every 10 ms, as the window's timer would, through the receive frame,
// traffic log and decoders.
//
// Rates are tried from low to high, a couple of seconds each. A rate is sustained when every line
// the simulator sent has arrived and no line arrived more than kLatencyBound after it was due (the
// simulator holds back what the line has not taken, so a console that falls behind shows up as
// lines arriving ever later, not as lost lines). A rate that fails is tried once more before the
// search ends, so that one hiccup of a busy machine does not end it. The figure is the highest
// sustained rate.
#include <benchmark/benchmark.h>

#ifdef REVODIVE_SIM_PATH

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "BenchReport.h"
#include "app/MainForm.h"
#include "app/SessionRecords.h"
#include "app/SystemClock.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr int kPort = 42;  // in the benchmark's own ports folder
constexpr double kTrialSeconds = 2.0;
// Seconds: ten ticks. Above what the console can take, lines fall behind by a growing amount, a
// rate 5% too high by about this much in one trial.
constexpr double kLatencyBound = 0.1;
constexpr int kTickMs = 10;

double SecondsSince(SteadyClock::time_point start) {
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

// One run of the simulator, ended (by signal if need be) when the object goes.
class SimProcess {
  public:
    bool Start(const std::vector<std::string>& args, std::string& error) {
        int out[2], err[2];
        if (pipe(out) != 0) return Fail("pipe", error);
        if (pipe(err) != 0) {
            close(out[0]), close(out[1]);
            return Fail("pipe", error);
        }
        std::vector<char*> argv;
        std::string program = REVODIVE_SIM_PATH;
        argv.push_back(program.data());
        std::vector<std::string> copies = args;
        for (std::string& a : copies) argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_ = fork();
        if (pid_ < 0) return Fail("fork", error);
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            dup2(err[1], STDERR_FILENO);
            close(out[0]), close(out[1]), close(err[0]), close(err[1]);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(out[1]);
        close(err[1]);
        out_ = out[0];
        err_ = err[0];
        // The simulator announces its port once the link is published.
        const std::string first = ReadLine(out_, 5000);
        if (first.find("COM") == std::string::npos) {
            error = "revodive-sim did not publish its port: " + first + Stderr();
            return false;
        }
        return true;
    }

    // Asks the simulator to end now (it still reports its count) and waits for it.
    void Stop() {
        if (pid_ > 0) kill(pid_, SIGTERM);
        Wait(3000);
    }

    // Waits (at most `ms`) for the simulator to end; true if it did.
    bool Wait(int ms) {
        if (pid_ <= 0) return true;
        const auto start = SteadyClock::now();
        for (;;) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return true;
            }
            if (SecondsSince(start) * 1000 > ms) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    // What the simulator wrote on stderr (its "N lines sent" at the end).
    std::string Stderr() {
        std::string text;
        char buf[512];
        for (;;) {
            struct pollfd p = {err_, POLLIN, 0};
            if (poll(&p, 1, 0) <= 0) break;
            const ssize_t n = read(err_, buf, sizeof buf);
            if (n <= 0) break;
            text.append(buf, static_cast<std::size_t>(n));
        }
        return text;
    }

    ~SimProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            if (!Wait(3000)) {
                kill(pid_, SIGKILL);
                Wait(3000);
            }
        }
        if (out_ >= 0) close(out_);
        if (err_ >= 0) close(err_);
    }

  private:
    static bool Fail(const char* what, std::string& error) {
        error = std::string(what) + " failed";
        return false;
    }
    static std::string ReadLine(int fd, int timeoutMs) {
        std::string line;
        const auto start = SteadyClock::now();
        while (line.find('\n') == std::string::npos) {
            const int left = timeoutMs - static_cast<int>(SecondsSince(start) * 1000);
            if (left <= 0) break;
            struct pollfd p = {fd, POLLIN, 0};
            if (poll(&p, 1, left) <= 0) break;
            char c[256];
            const ssize_t n = read(fd, c, sizeof c);
            if (n <= 0) break;
            line.append(c, static_cast<std::size_t>(n));
        }
        return line;
    }

    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
};

// The window's timer, driven by the trial loop below.
class LoopTicks : public rv::TickSource {
  public:
    void Start(int periodMs, std::function<void()> onTick) override {
        running = true;
        period = rv::EffectiveTickPeriodMs(periodMs);
        tick = std::move(onTick);
    }
    void Stop() override { running = false; }
    bool running = false;
    int period = kTickMs;
    std::function<void()> tick;
};

struct Trial {
    bool sustained = false;
    std::size_t received = 0;
    std::size_t sent = 0;
    double late = 0;       // the most seconds a line was overdue
    double wireBytes = 0;  // bytes per line on the wire
    std::string error;
};

Trial RunTrial(double rate, bool journal) {
    Trial t;
    const auto lines = static_cast<std::size_t>(std::llround(rate * kTrialSeconds));
    t.sent = lines;
    SimProcess sim;
    if (!sim.Start(
            {"--port", std::to_string(kPort), "--rate", std::to_string(rate), "--count",
             std::to_string(lines), "--duration", std::to_string(kTrialSeconds + 5), "--stats"},
            t.error))
        return t;

    rv::RegionalFormats formats;
    rv::SystemClock clock;
    LoopTicks ticks;
    rv::FormPlatform platform;
    platform.ticks = &ticks;
    rv::MainForm form(formats, clock, std::move(platform));
    form.FormCreate();
    // The session journal, when on, writes every line into the state folder (a temporary one).
    std::unique_ptr<rv::SessionRecords> records;
    if (journal)
        records = std::make_unique<rv::SessionRecords>(form, rv::SessionRecords::Options{});
    form.Connection().FindActionExecute();
    form.Connection().StartExecute(kPort);
    if (!form.Q().IsOpen()) {
        t.error = "the console could not open COM" + std::to_string(kPort);
        return t;
    }
    const std::size_t before = form.Log().Count();
    const std::int64_t bytesBefore = form.ReceivedBytes();
    const auto opened = SteadyClock::now();
    const double due = static_cast<double>(lines) / rate;
    const double giveUp = due + kLatencyBound + 1.0;
    auto next = opened;
    bool all = false;
    while (!all && SecondsSince(opened) < giveUp) {
        next += std::chrono::milliseconds(ticks.period);
        const auto now = SteadyClock::now();
        if (next < now) next = now;  // a late tick is not made up for, as with a timer
        std::this_thread::sleep_until(next);
        if (ticks.running) ticks.tick();
        // Line k (counted from 1) is due k / rate after the start; the next line not yet here is
        // overdue by the time since it was due.
        const std::size_t got = form.Log().Count() - before;
        all = got >= lines;
        const double at = SecondsSince(opened);
        const double nextDue = static_cast<double>(std::min(got + 1, lines)) / rate;
        if (!all) t.late = std::max(t.late, at - nextDue);
    }
    t.received = form.Log().Count() - before;
    if (t.received > 0)
        t.wireBytes = static_cast<double>(form.ReceivedBytes() - bytesBefore) /
                      static_cast<double>(t.received);
    form.FormCloseQuery();
    if (all)
        sim.Wait(6000);  // it ends once its reader has gone
    else
        sim.Stop();
    unsigned long long reported = 0;
    if (std::sscanf(sim.Stderr().c_str(), "revodive-sim: %llu lines sent", &reported) == 1)
        t.sent = static_cast<std::size_t>(reported);
    t.sustained = all && t.received == t.sent && t.late <= kLatencyBound;
    return t;
}

Trial Try(double rate, int attempt, bool journal) {
    Trial t = RunTrial(rate, journal);
    if (t.error.empty())
        std::fprintf(stderr,
                     "  %.0f lines/s%s: %zu of %zu lines, a line at most %.0f ms overdue%s\n", rate,
                     attempt > 1 ? " again" : "", t.received, t.sent, t.late * 1000,
                     t.sustained ? "" : " (behind)");
    return t;
}

// A rate counts as not sustained only when it fails twice in a row.
Trial TryTwice(double rate, bool journal) {
    Trial t = Try(rate, 1, journal);
    if (t.error.empty() && !t.sustained) t = Try(rate, 2, journal);
    return t;
}

void SustainedRate(benchmark::State& state, bool journal) {
    // Multiples of a saturated link, low to high; the first rate not sustained ends the search,
    // which then halves the gap between it and the last sustained rate twice.
    const std::vector<double> multiples = {5, 10, 20, 30, 40, 50, 60, 80, 100, 150, 200};
    double best = 0, failed = 0;
    Trial bestTrial;
    for (auto _ : state) {
        for (double m : multiples) {
            const double rate = m * rvbench::kLinkLinesPerSecond;
            const Trial t = TryTwice(rate, journal);
            if (!t.error.empty()) {
                state.SkipWithError(t.error.c_str());
                return;
            }
            if (!t.sustained) {
                failed = rate;
                break;
            }
            best = rate, bestTrial = t;
        }
        for (int step = 0; step < 2 && failed > 0 && best > 0; ++step) {
            const double rate = (best + failed) / 2;
            const Trial t = TryTwice(rate, journal);
            if (t.error.empty() && t.sustained)
                best = rate, bestTrial = t;
            else if (t.error.empty())
                failed = rate;
        }
    }
    rvbench::ReportLines(state, best);
    state.counters["first rate not sustained, lines/s"] = failed;
    state.counters["most a line was overdue, ms"] = bestTrial.late * 1000;
    state.counters["wire bytes per line"] = bestTrial.wireBytes;
    // The link's own measure is bytes: 11520 bytes/s at 115200 bit/s (10 bits a byte).
    state.counters["sustained bytes/s"] = best * bestTrial.wireBytes;
    state.counters["sustained bytes/s over the link's 11520 bytes/s"] =
        best * bestTrial.wireBytes / 11520.0;
}
void sustained_rate_on_a_pseudo_terminal(benchmark::State& state) {
    SustainedRate(state, false);
}
// The same with the session journal on: its writer thread must not slow reception.
void sustained_rate_on_a_pseudo_terminal_with_the_session_journal(benchmark::State& state) {
    SustainedRate(state, true);
}
BENCHMARK(sustained_rate_on_a_pseudo_terminal)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);
BENCHMARK(sustained_rate_on_a_pseudo_terminal_with_the_session_journal)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

}  // namespace

#endif  // REVODIVE_SIM_PATH
