// Playing a saved traffic log of a million lines: opening it (index and play to its end state)
// and seeking back to a moment in the middle.
#include <benchmark/benchmark.h>

#include "RecordedStream.h"
#include "app/LogFile.h"
#include "app/LogPlayer.h"

namespace {

constexpr std::size_t kLines = 1000000;

const std::string& MillionLineLog() {
    static const std::string bytes = [] {
        std::string text;
        std::size_t count = 0;
        for (int t = 0; count < kLines; ++t) {
            for (const std::string& line : rvbench::StatusCycle(t)) {
                if (count == kLines) break;
                const auto ms = static_cast<std::int32_t>(count * 10 % (24 * 3600 * 1000));
                text += rv::LogFile::TimeText(ms) + "  " + line + "\r\n";
                ++count;
            }
        }
        return text + "\r\n";
    }();
    return bytes;
}

struct Played {
    rv::RegionalFormats formats;
    rv::FixedClock live;
    rv::PlaybackClock clock{live};
    rv::Console console{formats, clock};
};

void playback_open_million_lines_to_end(benchmark::State& state) {
    const std::string& bytes = MillionLineLog();
    std::size_t indexBytes = 0;
    for (auto _ : state) {
        std::string whyNot;
        auto file = rv::LogFile::Index(bytes, &whyNot);
        Played p;
        rv::LogPlayer player(p.console, p.clock, *file);
        player.Play(file->Count());
        indexBytes = file->IndexBytes();
        benchmark::DoNotOptimize(p.console.Log().Count());
    }
    state.counters["index bytes per line"] = static_cast<double>(indexBytes) / kLines;
}
BENCHMARK(playback_open_million_lines_to_end)->Unit(benchmark::kMillisecond)->Iterations(1);

void playback_seek_back_to_the_middle(benchmark::State& state) {
    std::string whyNot;
    auto file = rv::LogFile::Index(MillionLineLog(), &whyNot);
    Played p;
    rv::LogPlayer player(p.console, p.clock, *file);
    for (auto _ : state) {
        state.PauseTiming();
        player.SeekTo(file->Count());
        state.ResumeTiming();
        player.SeekTo(file->Count() / 2);
    }
}
BENCHMARK(playback_seek_back_to_the_middle)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
