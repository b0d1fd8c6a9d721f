// Appending to the traffic log must cost the same however long the session has run, and the log's
// memory must stay a fixed small multiple of the bytes that arrived, from a thousand lines to ten
// million.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <vector>

#include "BenchReport.h"
#include "RecordedStream.h"
#include "app/LogStore.h"

namespace {

const char kLine[] = ">GK=55.751244;37.618423\r\n";

void log_append_empty_log(benchmark::State& state) {
    rv::LogStore log;
    rv::LocalDateTime t{2026, 12, 8, 9, 5, 7, 4};
    for (auto _ : state) {
        log.WriteLog(kLine, t);
        if (log.Count() > 200000) {
            state.PauseTiming();
            log.Clear();
            state.ResumeTiming();
        }
    }
    rvbench::CountLines(state, 1);
}
BENCHMARK(log_append_empty_log);

void log_append_with_a_million_lines(benchmark::State& state) {
    rv::LogStore log;
    rv::LocalDateTime t{2026, 12, 8, 9, 5, 7, 4};
    for (int i = 0; i < 1000000; ++i) log.WriteLog(kLine, t);
    for (auto _ : state) log.WriteLog(kLine, t);
    rvbench::CountLines(state, 1);
    const double lines = static_cast<double>(log.Count());
    state.counters["bytes per line"] = static_cast<double>(log.MemoryBytes()) / lines;
}
BENCHMARK(log_append_with_a_million_lines);

// The log's memory against the raw bytes of its lines as they arrived (CR LF included), for the
// recorded stream of a working unit.
void log_memory_per_raw_byte(benchmark::State& state) {
    std::size_t streamLines = 0;
    const std::string stream = rvbench::RecordedStream(40, streamLines);
    const std::vector<std::string_view> lines = rvbench::StreamLines(stream);
    const auto count = static_cast<std::size_t>(state.range(0));
    rv::LocalDateTime t{2026, 12, 8, 9, 5, 7, 4};
    double raw = 0;
    double memory = 0;
    for (auto _ : state) {
        rv::LogStore log;
        raw = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const std::string_view line = lines[i % lines.size()];
            t.millisecond = static_cast<int>(i % 1000);
            log.WriteLog(line, t);
            raw += static_cast<double>(line.size());
        }
        memory = static_cast<double>(log.MemoryBytes());
    }
    state.counters["log memory per raw byte"] = memory / raw;
    state.counters["log bytes per line"] = memory / static_cast<double>(count);
    state.counters["raw bytes per line"] = raw / static_cast<double>(count);
}
BENCHMARK(log_memory_per_raw_byte)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Arg(10000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
