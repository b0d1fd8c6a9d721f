// Search in a traffic log of a million lines of a working unit, as the technician runs it after a
// long session: the time to the first match (a key that first comes near the end of the log, and
// one on its first lines), the full count in the slices the window runs, for a reply key, a word
// in either case and a time, and the list of matching lines behind the filter when every line
// matches. Printed as the cost of one search.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <vector>

#include "BenchReport.h"
#include "RecordedStream.h"
#include "app/LogSearch.h"
#include "text/Cp1251.h"

namespace {

constexpr std::size_t kLogLines = 1000000;
// The window's slice: lines scanned between two turns of its event loop.
constexpr std::size_t kSliceLines = 65536;

// A million recorded lines, timed a millisecond apart through one working day; one reply key
// (">DI=") comes only once, ten lines before the end.
const rv::LogStore& MillionLineLog() {
    static const rv::LogStore* log = [] {
        auto* store = new rv::LogStore;
        std::size_t streamLines = 0;
        const std::string stream = rvbench::RecordedStream(40, streamLines);
        const std::vector<std::string_view> lines = rvbench::StreamLines(stream);
        rv::LocalDateTime t{2026, 12, 8, 8, 0, 0, 0};
        for (std::size_t i = 0; i < kLogLines; ++i) {
            const long ms = static_cast<long>(i) * 29;  // eight hours over the million lines
            t.hour = 8 + static_cast<int>(ms / 3600000);
            t.minute = static_cast<int>(ms / 60000 % 60);
            t.second = static_cast<int>(ms / 1000 % 60);
            t.millisecond = static_cast<int>(ms % 1000);
            if (i == kLogLines - 10) {
                store->WriteLog(rv::W(">DI=Модуль;ver 3.1\r\n"), t);
            } else {
                store->WriteLog(lines[i % lines.size()], t);
            }
        }
        return store;
    }();
    return *log;
}

void FirstMatch(benchmark::State& state, const char* query) {
    const rv::LogStore& log = MillionLineLog();
    std::size_t found = 0;
    for (auto _ : state) {
        rv::LogSearch search(log);
        search.SetQuery(query, false);
        found = search.FirstFrom(0);
        benchmark::DoNotOptimize(found);
    }
    state.counters["line of the first match"] = static_cast<double>(found);
    rvbench::CostPer(state, "search to the first match");
}

void search_first_match_near_the_end(benchmark::State& state) {
    FirstMatch(state, ">DI=");
}
BENCHMARK(search_first_match_near_the_end)->Unit(benchmark::kMillisecond);

void search_first_match_at_the_start(benchmark::State& state) {
    FirstMatch(state, ">GS=");
}
BENCHMARK(search_first_match_at_the_start)->Unit(benchmark::kMillisecond);

void FullCount(benchmark::State& state, const std::string& query, const char* what) {
    const rv::LogStore& log = MillionLineLog();
    std::size_t matches = 0;
    for (auto _ : state) {
        rv::LogSearch search(log);
        search.SetQuery(query, false);
        while (!search.Scan(kSliceLines)) {
        }
        matches = search.Matches().size();
    }
    state.counters["matches"] = static_cast<double>(matches);
    rvbench::CostPer(state, what);
}

void search_full_count_of_a_reply_key(benchmark::State& state) {
    FullCount(state, ">lls=", "full count");
}
BENCHMARK(search_full_count_of_a_reply_key)->Unit(benchmark::kMillisecond);

void search_full_count_of_a_word_in_either_case(benchmark::State& state) {
    FullCount(state, "data", "full count");
}
BENCHMARK(search_full_count_of_a_word_in_either_case)->Unit(benchmark::kMillisecond);

void search_full_count_of_a_time(benchmark::State& state) {
    FullCount(state, "12:3", "full count");
}
BENCHMARK(search_full_count_of_a_time)->Unit(benchmark::kMillisecond);

void search_filter_of_every_line(benchmark::State& state) {
    FullCount(state, "=", "filter built");
}
BENCHMARK(search_filter_of_every_line)->Unit(benchmark::kMillisecond);

}  // namespace
