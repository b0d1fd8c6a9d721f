// Appending to the traffic log must cost the same however long the session has run.
#include <benchmark/benchmark.h>

#include "BenchReport.h"
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

}  // namespace
