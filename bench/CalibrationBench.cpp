// The calibration recorder while the technician calibrates four sensors at once.
//
// Capture: every analogue / frequency input reading and every fuel-level reading the decoders see
// goes through SendTarDat, which finds the channel showing that source and refreshes its entry
// row. Measured with four channels selected, with empty tables and with 10,000 rows in each.
//
// Adding a row: a reading arrives, the technician types a level and presses "Сохранить". Measured
// with 100 and with 10,000 rows already in the table. Both are measured on the recorder alone and
// on the recorder rendered by the real calibration view (offscreen, layout and painting included
// before the next row), where a table of widgets could grow costly with its length.
//
// Deleting a row ("Удалить") in the view: the rows after it renumber, so deleting the first row
// costs time in proportion to the rows after it, and deleting the last row should not grow with
// the table. Measured with 100 and 10,000 rows.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <algorithm>
#include <memory>
#include <string>

#include "BenchReport.h"
#include "calibration/CalibrationPage.h"
#include "calibration/Recorder.h"
#include "text/Cp1251.h"

namespace {

// The four selected sources: index and kind letter as the decoders pass them, and the name the
// drop-down offers (UTF-8).
struct Source {
    const char* index;
    const char* kind;
    const char* name;
};
constexpr Source kSources[rv::kTarChannels] = {{"0", "A", "IN0 (аналоговый)"},
                                               {"2", "F", "IN2 (частотный)"},
                                               {"1", "Y", "LLS1 (уровень)"},
                                               {"2", "Z", "LLS2 (частота)"}};

class Calibration {
  public:
    explicit Calibration(bool withView)
        : clock_({2026, 12, 8, 9, 5, 7, 4}), recorder_(display_, clock_, formats_) {
        display_.ClearDisplay();
        recorder_.InitTar();
        if (withView) {
            view_ = std::make_unique<rv::CalibrationPage>(recorder_, [] { return std::string(); });
            view_->resize(1008, 600);
            view_->show();
        }
        for (const Source& s : kSources) recorder_.SendTarDat(s.index, s.kind, "1000");
        // Channel n shows the n-th source.
        for (int n = 1; n <= rv::kTarChannels; ++n) {
            recorder_.cmbDatNDropDown(n);
            const auto& items = recorder_.State(n).items;
            const auto it = std::find(items.begin(), items.end(), rv::W(kSources[n - 1].name));
            if (it != items.end()) recorder_.cmbDatNChange(n, static_cast<int>(it - items.begin()));
        }
        Settle();
    }

    bool AllSelected() const {
        for (int n = 1; n <= rv::kTarChannels; ++n)
            if (recorder_.State(n).itemIndex <= 0) return false;
        return true;
    }

    void Capture(int n, const std::string& value) {
        const Source& s = kSources[n - 1];
        recorder_.SendTarDat(s.index, s.kind, value);
    }

    // The technician's cycle for one row of channel n.
    void AddRow(int n, const std::string& reading) {
        Capture(n, reading);
        recorder_.pdN4Change(n, "125");
        recorder_.cmdSNClick(n);
    }

    // Empties the tables of channels first..last and fills each with `rows` rows (the sources stay
    // selected). The view is hidden meanwhile, so that the setup does not wait for a repaint after
    // every row.
    void Fill(int first, int last, std::size_t rows) {
        if (view_) view_->hide();
        for (int n = first; n <= last; ++n) {
            recorder_.ClearTarDat(n);
            for (std::size_t i = 0; i < rows; ++i)
                recorder_.AddTarPanel(n, std::to_string(i * 10), std::to_string(1000 + i),
                                      "09:05:07");
        }
        if (view_) view_->show();
        Settle();
    }

    std::size_t Rows(int n) const { return recorder_.State(n).rows.size(); }

    // "Удалить" on row `index` of channel n.
    void Delete(int n, std::size_t index) { recorder_.ClickDel(n, index); }

    // What the event loop does between two readings: layout and painting of the view.
    void Settle() {
        if (view_) QCoreApplication::processEvents();
    }

  private:
    rv::RegionalFormats formats_;
    rv::FixedClock clock_;
    rv::DisplayModel display_;
    rv::Recorder recorder_;
    std::unique_ptr<rv::CalibrationPage> view_;
};

void CaptureFigure(benchmark::State& state, bool withView, std::size_t rows) {
    Calibration c(withView);
    if (!c.AllSelected()) {
        state.SkipWithError("the four sources could not be selected");
        return;
    }
    c.Fill(1, rv::kTarChannels, rows);
    const std::string values[] = {"2417", "2418", "2421", "2419"};
    std::size_t k = 0;
    for (auto _ : state) {
        for (int n = 1; n <= rv::kTarChannels; ++n) c.Capture(n, values[k++ & 3]);
        c.Settle();
    }
    rvbench::CostPer(state, "capture", rv::kTarChannels);
}

// Rows are added in rounds; after each round the table is brought back to `rows` rows (not timed),
// so every row is added to a table of about that length. With the view, refilling 10,000 rows of
// widgets takes seconds: there the benchmark adds one round only (a fixed count of rows).
void RowFigure(benchmark::State& state, bool withView, std::size_t rows) {
    Calibration c(withView);
    if (!c.AllSelected()) {
        state.SkipWithError("the four sources could not be selected");
        return;
    }
    const std::size_t round = std::min<std::size_t>(std::max<std::size_t>(rows, 100), 1000);
    c.Fill(1, 1, rows);
    std::size_t added = 0;
    for (auto _ : state) {
        c.AddRow(1, "2417");
        c.Settle();
        if (++added % round == 0 && added < static_cast<std::size_t>(state.max_iterations)) {
            state.PauseTiming();
            c.Fill(1, 1, rows);
            state.ResumeTiming();
        }
    }
    rvbench::CostPer(state, "row");
    state.counters["rows in the table at the end"] = static_cast<double>(c.Rows(1));
}

// Rows are deleted one by one from the front (every later row renumbers) or from the back (none
// does); after a round of deletions the table is filled again (not timed).
void DeleteFigure(benchmark::State& state, std::size_t rows, bool fromTheFront) {
    Calibration c(true);
    if (!c.AllSelected()) {
        state.SkipWithError("the four sources could not be selected");
        return;
    }
    const std::size_t round = std::min<std::size_t>(rows / 2, 100);
    c.Fill(1, 1, rows);
    std::size_t deleted = 0;
    for (auto _ : state) {
        c.Delete(1, fromTheFront ? deleted : rows - 1 - deleted);
        c.Settle();
        if (++deleted == round) {
            state.PauseTiming();
            c.Fill(1, 1, rows);
            deleted = 0;
            state.ResumeTiming();
        }
    }
    rvbench::CostPer(state, "row");
}

const bool kRegistered = [] {
    using benchmark::RegisterBenchmark;
    RegisterBenchmark("calibration_capture_with_empty_tables", CaptureFigure, false,
                      std::size_t{0});
    RegisterBenchmark("calibration_capture_with_10000_rows_a_table", CaptureFigure, false,
                      std::size_t{10000});
    RegisterBenchmark("calibration_capture_in_the_view_with_empty_tables", CaptureFigure, true,
                      std::size_t{0})
        ->UseRealTime();
    RegisterBenchmark("calibration_capture_in_the_view_with_10000_rows_a_table", CaptureFigure,
                      true, std::size_t{10000})
        ->UseRealTime()
        ->Iterations(2000);
    RegisterBenchmark("calibration_row_added_to_100_rows", RowFigure, false, std::size_t{100})
        ->Iterations(200000);
    RegisterBenchmark("calibration_row_added_to_10000_rows", RowFigure, false, std::size_t{10000})
        ->Iterations(200000);
    RegisterBenchmark("calibration_row_added_in_the_view_to_100_rows", RowFigure, true,
                      std::size_t{100})
        ->UseRealTime()
        ->Iterations(300);
    RegisterBenchmark("calibration_row_added_in_the_view_to_10000_rows", RowFigure, true,
                      std::size_t{10000})
        ->UseRealTime()
        ->Iterations(100);
    for (const std::size_t rows : {std::size_t{100}, std::size_t{10000}}) {
        const std::string size = std::to_string(rows);
        RegisterBenchmark(
            ("calibration_first_row_deleted_in_the_view_from_" + size + "_rows").c_str(),
            DeleteFigure, rows, true)
            ->UseRealTime()
            ->Iterations(100);
        RegisterBenchmark(
            ("calibration_last_row_deleted_in_the_view_from_" + size + "_rows").c_str(),
            DeleteFigure, rows, false)
            ->UseRealTime()
            ->Iterations(100);
    }
    return true;
}();

}  // namespace
