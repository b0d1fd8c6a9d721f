#pragma once
// What both fuzz targets check with: an invariant that aborts (libFuzzer keeps the input), and
// the comparison of a console reused from input to input with a reference one. A target reuses
// one console for the whole run because building its display model, key table and recorder
// costs far more than a typical input; whatever its reset forgets would make one input depend on
// the one before, so after every reset the reused console must show what the reference shows.
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "app/Console.h"
#include "layout/SectionPlan.h"

// For the checking code of a target: its branches say nothing about the code under test, and
// every input runs through them, so they are left out of the coverage the fuzzer steers by (and
// cost no comparison tracing).
#define FUZZ_CHECKING_CODE __attribute__((no_sanitize("coverage")))

namespace fuzz {

[[noreturn]] inline void Fail(const char* what, std::string_view detail = {}) {
    std::fprintf(stderr, "invariant broken: %s [%.*s]\n", what, static_cast<int>(detail.size()),
                 detail.data());
    std::abort();
}

inline void Check(bool ok, const char* what, std::string_view detail = {}) {
    if (!ok) Fail(what, detail);
}

// The received state of a console after the clear action: every field's text and colour, the
// bars, the sensor rows, the note, an empty log and recorder, the counter. The drop-downs keep
// their old entries until they are opened again (inputs open one before they pick from it);
// what they show is the placeholder.
FUZZ_CHECKING_CODE inline void CheckConsoleLike(rv::Console& reused, rv::Console& reference) {
    const rv::DisplayModel& a = reused.Display();
    const rv::DisplayModel& b = reference.Display();
    for (std::size_t i = 0; i < a.FieldCount(); ++i) {
        const int f = static_cast<int>(i);
        if (a.ColourOf(f) != b.ColourOf(f) || a.Text(f) != b.Text(f)) {
            std::fprintf(stderr, "field %s: \"%s\" after the reset, \"%s\" in the reference\n",
                         a.Name(f).c_str(), a.Text(f).c_str(), b.Text(f).c_str());
            Fail("the reset restores every field");
        }
    }
    for (rv::Bar bar : {rv::Bar::SignalLevel, rv::Bar::Battery})
        Check(a.BarPosition(bar) == b.BarPosition(bar), "the clear resets the bars");
    for (std::size_t row = 0; row < rv::SensorRows().size(); ++row)
        Check(a.SensorRowOpen(static_cast<int>(row)) == b.SensorRowOpen(static_cast<int>(row)),
              "the clear folds the sensor rows");
    Check(a.LabelNoVisible() == b.LabelNoVisible(), "the clear shows the note");
    Check(reused.Log().Count() == 0, "the clear empties the log");
    Check(reused.ReceivedBytes() == reference.ReceivedBytes(), "the counter is back");
    const rv::Recorder& r = reused.Calibration();
    const rv::Recorder& fr = reference.Calibration();
    Check(r.Sources().size() == 0, "the clear empties the source list");
    for (int n = 1; n <= rv::kTarChannels; ++n) {
        const auto& c = r.State(n);
        const auto& d = fr.State(n);
        Check(c.ComboText() == d.ComboText() && c.itemIndex == d.itemIndex &&
                  c.tarName == d.tarName && c.pd1 == d.pd1 && c.pd2 == d.pd2 && c.pd3 == d.pd3 &&
                  c.pd4 == d.pd4 && c.panStatEnabled == d.panStatEnabled && c.rows.empty() &&
                  c.visibleRows == 0 && c.comment == d.comment &&
                  c.exportVisible == d.exportVisible,
              "the clear resets every calibration channel");
        const rv::SettleState s = r.Settle(n), t = fr.Settle(n);
        Check(s.known == t.known && s.settled == t.settled, "the clear resets the settle watch");
    }
}

}  // namespace fuzz
