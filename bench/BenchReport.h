#pragma once
// Figures of revodive-bench are printed as rates and as ratios to a saturated 115200 bit/s link:
// 11520 bytes/s carry about 384 reply lines of 30 bytes per second. Costs of single operations
// are printed in nanoseconds; plain counters as they are.

#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace rvbench {

constexpr double kLinkLinesPerSecond = 384.0;
// A saturated 115200 bit/s link carries 11520 bytes a second (ten bits a byte).
constexpr double kLinkBytesPerSecond = 11520.0;

// Set from the command line by main: how long the window is fed at the link's pace
// (--window-seconds=N, default 60) and how many lines are fed as fast as the driver takes them
// (--window-lines=N, default 1000000; the CPU figure is given for a million lines either way).
inline double g_windowSeconds = 60;
inline long g_windowLines = 1000000;

// The counter name of a rate reported against the link.
inline const char* const kLines = "lines";
// Counters whose name starts with this prefix hold seconds per operation; they are printed as
// "<cost> per <operation>" in ns, us or ms.
inline const char* const kNsPer = "ns per ";

// Marks a benchmark whose counter "lines" (a rate) is to be reported against the link.
inline void CountLines(benchmark::State& state, double linesPerIteration) {
    state.counters[kLines] = benchmark::Counter(
        linesPerIteration * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// A rate measured by the benchmark itself (not from its iteration time), reported against the link.
inline void ReportLines(benchmark::State& state, double linesPerSecond) {
    state.counters[kLines] = benchmark::Counter(linesPerSecond);
}

// The cost of one `what` (e.g. "capture"), `perIteration` of them in every iteration; printed as
// "ns per <what>".
inline void CostPer(benchmark::State& state, const std::string& what, double perIteration = 1) {
    state.counters[kNsPer + what] = benchmark::Counter(
        perIteration, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Work that must run before the program's QApplication goes away (windows a benchmark keeps for
// later runs of itself). Run, newest first, by the program's main.
inline std::vector<std::function<void()>>& CleanupList() {
    static std::vector<std::function<void()>> list;
    return list;
}
inline void AtExit(std::function<void()> work) {
    CleanupList().push_back(std::move(work));
}
inline void RunCleanup() {
    auto& list = CleanupList();
    while (!list.empty()) {
        auto work = std::move(list.back());
        list.pop_back();
        work();
    }
}

}  // namespace rvbench
