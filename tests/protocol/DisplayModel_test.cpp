#include "protocol/DisplayModel.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace rv {
namespace {

class RecordingObserver : public DisplayObserver {
  public:
    void SensorRowOpenChanged(int row) override { rows.push_back(row); }
    void LabelNoChanged(bool visible) override { labelNo.push_back(visible); }
    void FieldChanged(int field) override { fields.push_back(field); }
    std::vector<int> rows;
    std::vector<int> fields;
    std::vector<bool> labelNo;
};

TEST(DisplayModel, ClearGivesEveryDisplayFieldItsIdleText) {
    DisplayModel m;
    m.SetV(m.Field("LL_DN"), "42", kBlack);
    m.SetV(m.Field("L_PNUM"), "COM3", kBlack);
    m.SetMaskedText(m.Field("LL_SS01"), "internet");
    m.SetCaption(m.Field("LL2"), "X2:");
    m.SetBar(Bar::Battery, 3);
    m.ClearDisplay();
    for (const char* name : {"LL_DN", "LL_MN", "LL_GK0", "LL_CA", "LL_LS3T", "LL_PIN"}) {
        EXPECT_EQ(m.Text(m.Field(name)), "-") << name;
        EXPECT_EQ(m.ColourOf(m.Field(name)), kGrey) << name;
    }
    EXPECT_EQ(m.Text(m.Field("L_PNUM")), "COM3");       // not an "LL_" field
    EXPECT_EQ(m.Text(m.Field("LL_SS01")), "internet");  // masked edits are left alone
    EXPECT_EQ(m.Text(m.Field("LL2")), "2:");
    EXPECT_EQ(m.Text(m.Field("LLS4")), ":");
    EXPECT_EQ(m.Text(m.Field("LLOWT0")), ":");
    EXPECT_EQ(m.BarPosition(Bar::Battery), 0);
    for (std::size_t r = 0; r < SensorRows().size(); ++r) EXPECT_FALSE(m.SensorRowOpen(r));
    EXPECT_TRUE(m.LabelNoVisible());
}

TEST(DisplayModel, ABatchTellsEachChangedFieldOnceAtItsEndWithItsLastText) {
    DisplayModel m;
    RecordingObserver obs;
    const Subscription subscription = m.Subscribe(obs);
    const int dn = m.Field("LL_DN");
    const int mn = m.Field("LL_MN");
    {
        const DisplayModel::Batch outer(m);
        m.SetV(dn, "1", kBlack);
        m.SetV(mn, "2", kBlack);
        {
            const DisplayModel::Batch inner(m);
            m.SetV(dn, "3", kRed);
        }
        EXPECT_TRUE(obs.fields.empty());  // nested: only the outermost end tells
        EXPECT_EQ(m.Text(dn), "3");       // the state follows at once
    }
    EXPECT_EQ(obs.fields, (std::vector<int>{dn, mn}));
    obs.fields.clear();
    m.SetV(dn, "4", kBlack);  // outside a batch: at once
    EXPECT_EQ(obs.fields, std::vector<int>{dn});
    obs.fields.clear();
    {
        const DisplayModel::Batch again(m);
        m.SetV(dn, "5", kBlack);
    }
    EXPECT_EQ(obs.fields, std::vector<int>{dn});  // a field told before is held again
}

TEST(DisplayModel, FirstValueOpensItsRowAndGroupOnce) {
    DisplayModel m;
    m.ClearDisplay();
    RecordingObserver obs;
    const Subscription subscription = m.Subscribe(obs);
    const int ca = m.Field("LL_CA");
    m.SetV(ca, "1.00", kBlack);
    EXPECT_TRUE(m.SensorRowOpen(m.SensorRowOf(ca)));
    EXPECT_TRUE(m.SensorRowOpen(m.SensorRowIndex(366)));
    EXPECT_FALSE(m.SensorRowOpen(m.SensorRowIndex(332)));  // other groups stay folded
    EXPECT_FALSE(m.LabelNoVisible());
    const auto opened = obs.rows.size();
    m.SetV(ca, "2.00", kBlack);
    EXPECT_EQ(obs.rows.size(), opened);  // a second value opens nothing more
}

TEST(DisplayModel, FuelLevelValueOpensHeaderAndColumnTitles) {
    DisplayModel m;
    m.ClearDisplay();
    m.SetV(m.Field("LL_LS2Z"), "1200", kBlack);
    EXPECT_TRUE(m.SensorRowOpen(m.SensorRowIndex(333)));
    EXPECT_TRUE(m.SensorRowOpen(m.SensorRowIndex(332)));
    EXPECT_TRUE(m.SensorRowOpen(m.SensorRowIndex(kSensorColumnTitleRow)));
    EXPECT_FALSE(m.SensorRowOpen(m.SensorRowIndex(366)));
}

TEST(DisplayModel, MaskedEditTakesTextThroughMaskAndRunsItsHandler) {
    DisplayModel m;
    const int pin = m.Field("LL_SP");
    int calls = 0;
    m.SetMask(pin, [](std::string_view t) { return std::string(t.substr(0, 4)); });
    m.SetChangeHandler(pin, [&](int f) {
        EXPECT_EQ(f, pin);
        ++calls;
    });
    m.SetV(pin, "123456", kRed);
    EXPECT_EQ(m.Text(pin), "1234");
    EXPECT_EQ(m.ColourOf(pin), kBlack);  // the colour passed with SetV is ignored
    EXPECT_EQ(calls, 1);
}

TEST(DisplayModel, BarsStayWithinTheirRange) {
    DisplayModel m;
    m.SetBar(Bar::SignalLevel, 40);
    EXPECT_EQ(m.BarPosition(Bar::SignalLevel), 31);
    m.SetBar(Bar::SignalLevel, -3);
    EXPECT_EQ(m.BarPosition(Bar::SignalLevel), 0);
}

// Every notification a model gives, by name: "LL_DN" (a field), "row 12" (a sensor row index),
// "note", "bar 1", "handler LL_SP" (a masked edit's change handler ran).
class NotificationLog : public DisplayObserver {
  public:
    explicit NotificationLog(const DisplayModel& m) : m_(m) {}
    void FieldChanged(int field) override { seen.insert(m_.Name(field)); }
    void SensorRowOpenChanged(int row) override { seen.insert("row " + std::to_string(row)); }
    void LabelNoChanged(bool) override { seen.insert("note"); }
    void BarChanged(Bar bar) override {
        seen.insert("bar " + std::to_string(static_cast<int>(bar)));
    }
    std::set<std::string> seen;

  private:
    const DisplayModel& m_;
};

std::string StateOf(const DisplayModel& m) {
    std::string state;
    for (std::size_t i = 0; i < m.FieldCount(); ++i) {
        state +=
            m.Text(static_cast<int>(i)) + "#" + std::to_string(m.ColourOf(static_cast<int>(i)));
    }
    for (std::size_t r = 0; r < SensorRows().size(); ++r) state += m.SensorRowOpen(r) ? "1" : "0";
    return state + std::to_string(m.BarPosition(Bar::SignalLevel)) +
           std::to_string(m.BarPosition(Bar::Battery)) + (m.LabelNoVisible() ? "n" : "");
}

TEST(DisplayModel, RestoringASnapshotTellsExactlyWhatDiffers) {
    struct Case {
        const char* what;
        std::function<void(DisplayModel&)> change;  // made after the snapshot, undone by Restore
        // Expected notifications; "row of F" and "row #N" name a field's row and a panel's row.
        std::vector<std::string> told;
    } cases[] = {
        {"nothing", [](DisplayModel&) {}, {}},
        {"a value", [](DisplayModel& m) { m.SetV(m.Field("LL_DN"), "42", kBlack); }, {"LL_DN"}},
        {"a colour only", [](DisplayModel& m) { m.SetV(m.Field("LL_MN"), "-", kRed); }, {"LL_MN"}},
        {"a value and back",
         [](DisplayModel& m) {
             m.SetV(m.Field("LL_DN"), "42", kBlack);
             m.SetV(m.Field("LL_DN"), "-", kGrey);
         },
         {}},
        {"a caption", [](DisplayModel& m) { m.SetCaption(m.Field("LL2"), "X2:"); }, {"LL2"}},
        {"a sensor value opening its row and group",
         [](DisplayModel& m) { m.SetV(m.Field("LL_CA"), "1.00", kBlack); },
         {"LL_CA", "row of LL_CA", "row #366", "note"}},
        {"a bar", [](DisplayModel& m) { m.SetBar(Bar::Battery, 3); }, {"bar 1"}},
        {"a bar set to where it was", [](DisplayModel& m) { m.SetBar(Bar::Battery, 0); }, {}},
        {"a masked edit",
         [](DisplayModel& m) { m.SetMaskedText(m.Field("LL_SP"), "1234"); },
         {"LL_SP", "handler LL_SP"}},
        {"a masked edit's colour only",
         [](DisplayModel& m) { m.SetFieldColour(m.Field("LL_SS01"), kRed); },
         {"LL_SS01"}},
    };
    for (const Case& c : cases) {
        DisplayModel m;
        m.ClearDisplay();
        NotificationLog log(m);
        for (const char* masked : {"LL_SP", "LL_SS01"}) {
            m.SetChangeHandler(m.Field(masked),
                               [&log, &m](int f) { log.seen.insert("handler " + m.Name(f)); });
        }
        const DisplaySnapshot snapshot = m.Snapshot();
        const std::string before = StateOf(m);
        c.change(m);
        log.seen.clear();
        const Subscription subscription = m.Subscribe(log);
        m.Restore(snapshot);
        EXPECT_EQ(StateOf(m), before) << c.what;
        std::set<std::string> expected;
        for (const std::string& t : c.told) {
            if (t.rfind("row of ", 0) == 0) {
                expected.insert("row " + std::to_string(m.SensorRowOf(m.Field(t.substr(7)))));
            } else if (t.rfind("row #", 0) == 0) {
                expected.insert("row " + std::to_string(m.SensorRowIndex(std::stoi(t.substr(5)))));
            } else {
                expected.insert(t);
            }
        }
        EXPECT_EQ(log.seen, expected) << c.what;
    }
}

// A clear looks only at the fields changed since the one before; whichever way a field changed,
// it is idle again afterwards, and the fields told are the ones the clear changed.
TEST(DisplayModel, AClearUndoesEveryKindOfChangeAndTellsTheFieldsItChanged) {
    DisplayModel reference;
    reference.ClearDisplay();
    const std::string idle = StateOf(reference);
    const DisplaySnapshot designed = DisplayModel().Snapshot();  // every field's design text
    struct Case {
        const char* what;
        std::function<void(DisplayModel&)> change;  // made between two clears
        std::optional<std::set<std::string>> told;  // fields only; unset: not looked at
    } cases[] = {
        {"nothing", [](DisplayModel&) {}, std::set<std::string>{}},
        {"a value", [](DisplayModel& m) { m.SetV(m.Field("LL_DN"), "42", kBlack); },
         std::set<std::string>{"LL_DN"}},
        {"a colour only", [](DisplayModel& m) { m.SetV(m.Field("LL_MN"), "-", kRed); },
         std::set<std::string>{"LL_MN"}},
        {"a value and back to idle",
         [](DisplayModel& m) {
             m.SetV(m.Field("LL_DN"), "42", kBlack);
             m.SetV(m.Field("LL_DN"), "-", kGrey);
         },
         std::set<std::string>{}},
        {"a colour from the settings check",
         [](DisplayModel& m) { m.SetFieldColour(m.Field("LL_DN"), kRed); },
         std::set<std::string>{"LL_DN"}},
        {"a row caption", [](DisplayModel& m) { m.SetCaption(m.Field("LLS3"), "7:"); },
         std::set<std::string>{"LLS3"}},
        {"values inside a batch",
         [](DisplayModel& m) {
             const DisplayModel::Batch batch(m);
             m.SetV(m.Field("LL_CA"), "1.00", kBlack);
             m.SetV(m.Field("LL_PIN"), "12 B", kGrey);
         },
         std::set<std::string>{"LL_CA", "LL_PIN"}},
        {"a snapshot of the design texts restored", [&](DisplayModel& m) { m.Restore(designed); },
         std::nullopt},
    };
    for (const Case& c : cases) {
        DisplayModel m;
        m.ClearDisplay();
        c.change(m);
        NotificationLog log(m);
        const Subscription subscription = m.Subscribe(log);
        m.ClearDisplay();
        EXPECT_EQ(StateOf(m), idle) << c.what;
        if (!c.told) continue;
        std::set<std::string> fields;
        for (const std::string& t : log.seen) {
            if (m.Find(t) >= 0) fields.insert(t);
        }
        EXPECT_EQ(fields, *c.told) << c.what;
    }
}

TEST(DisplayModel, EveryFieldNameIsUnique) {
    DisplayModel m;
    for (std::size_t i = 0; i < m.FieldCount(); ++i) {
        EXPECT_EQ(m.Find(m.Name(static_cast<int>(i))), static_cast<int>(i)) << m.Name(i);
    }
    EXPECT_EQ(m.Find("nothing"), -1);
    EXPECT_THROW(m.Field("nothing"), std::logic_error);
}

}  // namespace
}  // namespace rv
