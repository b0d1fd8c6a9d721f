// revodive-bench: measures the console's hot paths with Google Benchmark and prints one line per
// figure, e.g. "receive path: 512000 lines/s, 1333x a saturated 115200 bit/s link".
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchReport.h"

namespace {

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            std::string name = run.benchmark_name();
            auto it = run.counters.find("lines");
            if (it != run.counters.end()) {
                const double rate = it->second.value;
                lines_.push_back(Label(name) + ": " + std::to_string(std::llround(rate)) +
                                 " lines/s, " +
                                 std::to_string(std::llround(rate / rvbench::kLinkLinesPerSecond)) +
                                 "x a saturated 115200 bit/s link");
            }
            for (const auto& [key, counter] : run.counters) {
                if (key == "lines") continue;
                char buf[64];
                std::snprintf(buf, sizeof buf, "%.2f", counter.value);
                lines_.push_back(Label(name) + ": " + key + " " + buf);
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
    static std::string Label(std::string name) {
        for (char& c : name) {
            if (c == '_') c = ' ';
        }
        const auto slash = name.find('/');
        if (slash != std::string::npos) name = name.substr(0, slash);
        return name;
    }
    std::vector<std::string> lines_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
