// Scrolling the traffic log view through a million lines, page by page as the technician drags
// through it: every line, and only the matching lines of a search that keeps nearly all of them
// (the filter's worst case: its row-to-line list is as long as the log), with and without the
// search's marks. Printed as the cost of one page scrolled and painted; the filtered figures
// should stay close to the plain one.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "BenchReport.h"
#include "RecordedStream.h"
#include "app/Console.h"
#include "app/LogSearch.h"
#include "ui/TrafficLogView.h"

namespace {

struct ScrollRig {
    rv::RegionalFormats formats;
    rv::FixedClock clock{rv::LocalDateTime{2026, 12, 8, 9, 5, 7, 4}};
    rv::Console console{formats, clock};
    rv::LogSearch search{console.Log()};
    std::unique_ptr<rv::TrafficLogView> view;

    ScrollRig() {
        std::size_t streamLines = 0;
        const std::string stream = rvbench::RecordedStream(40, streamLines);
        const std::vector<std::string_view> lines = rvbench::StreamLines(stream);
        for (std::size_t i = 0; i < 1000000; ++i) console.ReceiveLine(lines[i % lines.size()]);
        view = std::make_unique<rv::TrafficLogView>(console);
        view->resize(250, 400);  // the section "Данные" at the window's design size
        view->show();
        QApplication::processEvents();
        search.SetQuery("=", false);  // every reply line, not the modem's chatter
        while (!search.Scan(65536)) {
        }
    }
};

ScrollRig& Rig() {
    static ScrollRig* rig = [] {
        auto* made = new ScrollRig;
        rvbench::AtExit([made] { delete made; });
        return made;
    }();
    return *rig;
}

void ScrollPages(benchmark::State& state, bool filtered, bool marked) {
    ScrollRig& rig = Rig();
    rig.view->SetFilter(filtered ? &rig.search : nullptr);
    rig.view->SetMarks(marked ? &rig.search : nullptr, -1);
    QApplication::processEvents();
    QScrollBar* bar = rig.view->verticalScrollBar();
    const int page = rig.view->VisibleLineCount();
    int value = 0;
    for (auto _ : state) {
        value = (value + page) % bar->maximum();
        bar->setValue(value);
        rig.view->viewport()->repaint();
    }
    state.counters["rows"] = rig.view->RowCount();
    rvbench::CostPer(state, "page scrolled");
    rig.view->SetMarks(nullptr, -1);
    rig.view->SetFilter(nullptr);
}

void log_view_scroll_every_line(benchmark::State& state) {
    ScrollPages(state, false, false);
}
BENCHMARK(log_view_scroll_every_line)->Unit(benchmark::kMicrosecond);

void log_view_scroll_filtered(benchmark::State& state) {
    ScrollPages(state, true, false);
}
BENCHMARK(log_view_scroll_filtered)->Unit(benchmark::kMicrosecond);

void log_view_scroll_filtered_and_marked(benchmark::State& state) {
    ScrollPages(state, true, true);
}
BENCHMARK(log_view_scroll_filtered_and_marked)->Unit(benchmark::kMicrosecond);

}  // namespace
