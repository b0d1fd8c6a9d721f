// The fields' histories and their trend windows.
//
// Redraw: a trend window of one field holding a day at one sample a second (86,400 samples, every
// one a new value) draws its whole day: the samples in view are read, reduced to the plot's pixel
// columns and painted (offscreen, into the window's picture). The same window over one minute of
// samples is the yardstick: the day should cost about the same. Printed per redraw.
//
// Memory: bytes the history holds per sample, for a day of one field changing every second.
//
// What the histories cost the receive path is measured beside it, in ReceiveBench.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "BenchReport.h"
#include "protocol/DisplayModel.h"
#include "trends/FieldHistory.h"
#include "trends/TrendWindow.h"

namespace {

struct Day {
    rv::RegionalFormats formats;
    rv::DisplayModel display;
    rv::FieldHistory history{display, formats};
    int field = display.Field("LL_PB0");

    explicit Day(int seconds) {
        for (int s = 0; s < seconds; ++s) {
            history.BeginLine({2026, 12, 8, s / 3600, s / 60 % 60, s % 60, 0});
            const int mv = 12000 + static_cast<int>(600 * std::sin(s / 900.0)) + s % 13;
            history.ValueWritten(field, std::to_string(mv / 1000) + "." + std::to_string(mv % 1000),
                                 true);
        }
    }
};

void Redraw(benchmark::State& state, int seconds) {
    Day day(seconds);
    rv::TrendWindow window(day.history, day.display, {day.field});
    window.resize(1000, 560);
    window.show();
    QApplication::processEvents();
    window.ShowWholeSession();
    const std::int64_t from = window.ViewFrom(), to = window.ViewTo();
    bool shifted = false;
    for (auto _ : state) {
        // A view one millisecond apart: everything is read, reduced and drawn again.
        shifted = !shifted;
        window.ShowRange(from + (shifted ? 1 : 0), to);
        benchmark::DoNotOptimize(window.Picture());
    }
    state.counters["points drawn"] =
        benchmark::Counter(static_cast<double>(window.DrawnPoints(day.field).size()));
    rvbench::CostPer(state, "redraw");
}

void trend_redraw_day(benchmark::State& state) {
    Redraw(state, 86400);
}
BENCHMARK(trend_redraw_day)->Unit(benchmark::kMillisecond);

void trend_redraw_minute(benchmark::State& state) {
    Redraw(state, 60);
}
BENCHMARK(trend_redraw_minute)->Unit(benchmark::kMillisecond);

void history_memory(benchmark::State& state) {
    std::unique_ptr<Day> day;
    for (auto _ : state) day = std::make_unique<Day>(86400);
    const double samples = static_cast<double>(day->history.Count(day->field));
    state.counters["bytes per sample"] =
        benchmark::Counter(static_cast<double>(day->history.MemoryBytes()) / samples);
    state.counters["samples"] = benchmark::Counter(samples);
}
BENCHMARK(history_memory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
