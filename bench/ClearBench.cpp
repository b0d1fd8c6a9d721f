// The console's clear action (run when a port starts, by the menu, and when the unit restarts its
// service session, ">SERV=0"): of a console that is clear already, which should cost next to
// nothing, and of one that has just shown a line of the recorded stream (its fields, their
// histories and the log are cleared again). Printed as the cost of one clear, and of one line
// with the clear after it.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <vector>

#include "BenchReport.h"
#include "RecordedStream.h"
#include "app/Console.h"

namespace {

struct ClearRig {
    rv::RegionalFormats formats;
    rv::FixedClock clock{{2026, 12, 8, 9, 5, 7, 4}};
    rv::Console console{formats, clock};
    ClearRig() { console.StatClearExecute(); }
};

void console_clear_when_clear(benchmark::State& state) {
    ClearRig rig;
    for (auto _ : state) rig.console.StatClearExecute();
    rvbench::CostPer(state, "clear");
}
BENCHMARK(console_clear_when_clear);

void console_line_and_clear(benchmark::State& state) {
    ClearRig rig;
    std::size_t count = 0;
    const std::string stream = rvbench::RecordedStream(1, count);
    const std::vector<std::string_view> lines = rvbench::StreamLines(stream);
    std::size_t next = 0;
    for (auto _ : state) {
        rig.console.ReceiveLine(lines[next]);
        next = next + 1 == lines.size() ? 0 : next + 1;
        rig.console.StatClearExecute();
    }
    rvbench::CostPer(state, "line and clear");
}
BENCHMARK(console_line_and_clear);

}  // namespace
