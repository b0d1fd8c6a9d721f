#pragma once
// Figures of revodive-bench are printed as rates and as ratios to a saturated 115200 bit/s link:
// 11520 bytes/s carry about 384 reply lines of 30 bytes per second.

#include <benchmark/benchmark.h>

#include <string>

namespace rvbench {

constexpr double kLinkLinesPerSecond = 384.0;

// Marks a benchmark whose counter "lines" (a rate) is to be reported against the link.
inline void CountLines(benchmark::State& state, double linesPerIteration) {
    state.counters["lines"] = benchmark::Counter(
        linesPerIteration * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace rvbench
