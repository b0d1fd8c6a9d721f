// Playing a saved traffic log of a million lines: opening it (index and play to its end state),
// and seeking to random moments of it, through the console alone and through the real window
// (Qt's offscreen platform, the frame painted): the median and the worst seek, the checkpoints the
// player keeps and their memory.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSlider>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "BenchReport.h"
#include "RecordedStream.h"
#include "app/LogFile.h"
#include "app/LogPlayer.h"
#include "ui/FramePacerQt.h"
#include "ui/LogPlayerBarQt.h"
#include "ui/MainWindow.h"

namespace {

constexpr std::size_t kLines = 1000000;
constexpr int kSeeks = 200;

// A working unit's status cycles, 10 ms apart; with `clearAt`, the unit's clear request there.
std::string MillionLineLog(std::size_t clearAt = kLines) {
    std::string text;
    std::size_t count = 0;
    const auto add = [&](const std::string& line) {
        const auto ms = static_cast<std::int32_t>(count * 10 % (24 * 3600 * 1000));
        text += rv::LogFile::TimeText(ms) + "  " + line + "\r\n";
        ++count;
    };
    for (int t = 0; count < kLines; ++t) {
        for (const std::string& line : rvbench::StatusCycle(t)) {
            if (count == kLines) break;
            add(count == clearAt ? ">SERV=0" : line);
        }
    }
    return text + "\r\n";
}

const std::string& PlainLog() {
    static const std::string bytes = MillionLineLog();
    return bytes;
}

struct Played {
    rv::RegionalFormats formats;
    rv::FixedClock live;
    rv::PlaybackClock clock{live};
    rv::Console console{formats, clock};
};

double Milliseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Seeks to random moments (the same ones every run) and reports the median and the worst.
// Seeks to random moments (the same ones every run) and reports the median and the worst; a seek
// back replays at most the lines between two checkpoints, while a jump far forward also writes
// the log's lines up to there.
template <typename Seek>
void MeasureSeeks(benchmark::State& state, std::size_t lines, Seek seek) {
    std::vector<double> ms;
    double worstBack = 0;
    for (auto _ : state) {
        std::mt19937 random(14);
        std::size_t previous = lines;
        for (int i = 0; i < kSeeks; ++i) {
            const std::size_t moment = random() % (lines + 1);
            const auto start = std::chrono::steady_clock::now();
            seek(moment);
            ms.push_back(Milliseconds(std::chrono::steady_clock::now() - start));
            if (moment < previous) worstBack = std::max(worstBack, ms.back());
            previous = moment;
        }
    }
    std::sort(ms.begin(), ms.end());
    state.counters["median seek ms"] = ms[ms.size() / 2];
    state.counters["worst seek ms"] = ms.back();
    state.counters["worst seek back ms"] = worstBack;
}

void ReportCheckpoints(benchmark::State& state, const rv::LogPlayer& player) {
    const auto count = static_cast<double>(player.CheckpointCount());
    const auto bytes = static_cast<double>(player.CheckpointBytes());
    state.counters["lines between checkpoints"] = static_cast<double>(state.range(0));
    state.counters["checkpoints"] = count;
    state.counters["bytes per checkpoint"] = bytes / count;
    state.counters["checkpoint MB for 1000000 lines"] = bytes / 1e6;
}

void playback_open_million_lines_to_end(benchmark::State& state) {
    const std::string& bytes = PlainLog();
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

// Seeks through the console alone, once the file has played to its end (so every checkpoint is
// there); the argument is the lines between checkpoints.
void playback_seek_random_moments(benchmark::State& state, const std::string& bytes) {
    std::string whyNot;
    auto file = rv::LogFile::Index(bytes, &whyNot);
    Played p;
    rv::LogPlayer player(p.console, p.clock, *file, static_cast<std::size_t>(state.range(0)));
    player.Play(file->Count());
    MeasureSeeks(state, file->Count(), [&](std::size_t moment) { player.SeekTo(moment); });
    ReportCheckpoints(state, player);
}
BENCHMARK_CAPTURE(playback_seek_random_moments, , PlainLog())
    ->Arg(1024)
    ->Arg(rv::LogPlayer::kCheckpointEvery)
    ->Arg(16384)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// The unit asked for a clear near the end: a seek to a moment before it writes the log's lines
// up to that moment again (the worst case of a seek).
BENCHMARK_CAPTURE(playback_seek_random_moments, across_the_units_clear_request,
                  MillionLineLog(kLines * 9 / 10))
    ->Arg(rv::LogPlayer::kCheckpointEvery)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// Seeks through the real window: the technician drags the slider; the frame is painted.
void playback_seek_random_moments_in_the_window(benchmark::State& state) {
    const auto path =
        std::filesystem::temp_directory_path() /
        ("revodive-bench-" + std::to_string(QCoreApplication::applicationPid()) + ".log");
    std::ofstream(path, std::ios::binary) << PlainLog();
    rv::FormPlatform platform;  // no port is listed or opened
    platform.readPortList = [] { return std::string(); };
    platform.resolvePath = [](int) { return std::string("bench"); };
    auto window = std::make_unique<rv::MainWindow>(std::move(platform));
    window->show();
    QCoreApplication::processEvents();
    rv::FramePacerQt* pacer = rv::FramePacerQt::Of(window.get());
    const auto frame = [&] {
        if (pacer != nullptr) pacer->FlushNow();
        QCoreApplication::processEvents();
    };
    // Open the file and show its end state (the file plays to its end, taking every checkpoint).
    const auto start = std::chrono::steady_clock::now();
    const bool opened = window->OpenLogFile(QString::fromStdString(path.string()));
    std::filesystem::remove(path);
    if (!opened) {
        state.SkipWithError("the log file did not open");
        return;
    }
    auto* slider = window->findChild<QSlider*>(QStringLiteral("PlayerSlider"));
    slider->setValue(static_cast<int>(kLines));
    frame();
    state.counters["open and show the end ms"] =
        Milliseconds(std::chrono::steady_clock::now() - start);
    MeasureSeeks(state, kLines, [&](std::size_t moment) {
        slider->setValue(static_cast<int>(moment));
        frame();
    });
    ReportCheckpoints(state, *window->Player().Player());
}
BENCHMARK(playback_seek_random_moments_in_the_window)
    ->Arg(rv::LogPlayer::kCheckpointEvery)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
