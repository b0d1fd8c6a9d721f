// revodive-bench: measures the console's hot paths with Google Benchmark and prints one line per
// figure, e.g. "receive path: 512000 lines/s, 1333x a saturated 115200 bit/s link".
//
// Own options: --window-seconds=N (the paced window figure, default 60 s) and --window-lines=N (the
// window fed as fast as the driver reads, default a million lines); e.g. a short run:
//   revodive-bench --window-seconds=10 --window-lines=100000 --benchmark_filter=window
//
// The window figures run the real widgets on Qt's offscreen platform, so the program needs no
// display; the link figure publishes its simulated unit in a ports folder of its own (a temporary
// XDG_RUNTIME_DIR), so it never meets the technician's ports.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchReport.h"

namespace {

// The offscreen platform warns about window hints it cannot honour; those lines would only bury
// the figures.
QtMessageHandler g_previousHandler = nullptr;

void QuietOffscreenHints(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QLatin1String("propagateSizeHints"))) return;
    if (g_previousHandler != nullptr)
        g_previousHandler(type, context, text);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            std::string name = run.benchmark_name();
            auto it = run.counters.find(rvbench::kLines);
            if (it != run.counters.end()) {
                const double rate = it->second.value;
                lines_.push_back(Label(name) + ": " + std::to_string(std::llround(rate)) +
                                 " lines/s, " +
                                 std::to_string(std::llround(rate / rvbench::kLinkLinesPerSecond)) +
                                 "x a saturated 115200 bit/s link");
            }
            for (const auto& [key, counter] : run.counters) {
                if (key == rvbench::kLines) continue;
                char buf[64];
                if (key.rfind(rvbench::kNsPer, 0) == 0) {
                    lines_.push_back(Label(name) + ": " + Cost(counter.value) + " per " +
                                     key.substr(std::strlen(rvbench::kNsPer)));
                } else {
                    std::snprintf(buf, sizeof buf, "%.2f", counter.value);
                    lines_.push_back(Label(name) + ": " + key + " " + buf);
                }
            }
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n");
        for (const auto& l : lines_) std::printf("%s\n", l.c_str());
        std::fflush(stdout);
    }

  private:
    // Seconds as ns, µs or ms, whichever keeps the figure readable.
    static std::string Cost(double seconds) {
        char buf[64];
        if (seconds < 1e-5)
            std::snprintf(buf, sizeof buf, "%.1f ns", seconds * 1e9);
        else if (seconds < 1e-2)
            std::snprintf(buf, sizeof buf, "%.1f us", seconds * 1e6);
        else
            std::snprintf(buf, sizeof buf, "%.1f ms", seconds * 1e3);
        return buf;
    }
    static std::string Label(std::string name) {
        for (char& c : name) {
            if (c == '_') c = ' ';
        }
        // Google Benchmark's own suffixes go; an argument stays ("log memory per raw byte 1000").
        std::string label;
        std::size_t at = 0;
        for (std::size_t end = 0; end != std::string::npos; at = end + 1) {
            end = name.find('/', at);
            const std::string part = name.substr(at, end == std::string::npos ? end : end - at);
            if (label.empty()) {
                label = part;
            } else if (!part.empty() && part.find_first_not_of("0123456789") == std::string::npos) {
                label += " " + part;
            }
        }
        return label;
    }
    std::vector<std::string> lines_;
};

}  // namespace

// Takes the program's own options out of argv before Google Benchmark reads the rest.
void TakeOwnOptions(int& argc, char** argv) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind("--window-seconds=", 0) == 0) {
            rvbench::g_windowSeconds = std::atof(a.c_str() + std::strlen("--window-seconds="));
        } else if (a.rfind("--window-lines=", 0) == 0) {
            rvbench::g_windowLines = std::atol(a.c_str() + std::strlen("--window-lines="));
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
}

int main(int argc, char** argv) {
    TakeOwnOptions(argc, argv);
    benchmark::Initialize(&argc, argv);

    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    char runtimeDir[] = "/tmp/revodive-bench-XXXXXX";
    const bool haveRuntimeDir = mkdtemp(runtimeDir) != nullptr;
    if (haveRuntimeDir) {
        setenv("XDG_RUNTIME_DIR", runtimeDir, 1);
        // The session journal of the figures that keep one goes there too, never into the home.
        setenv("XDG_STATE_HOME", (std::string(runtimeDir) + "/state").c_str(), 1);
    }

    {
        g_previousHandler = qInstallMessageHandler(QuietOffscreenHints);
        QApplication app(argc, argv);
        RatioReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        rvbench::RunCleanup();  // kept windows go before the application
    }
    benchmark::Shutdown();
    if (haveRuntimeDir) {
        std::error_code ignored;
        std::filesystem::remove_all(runtimeDir, ignored);
    }
    return 0;
}
