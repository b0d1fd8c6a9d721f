#include "protocol/DisplayModel.h"

#include <gtest/gtest.h>

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
