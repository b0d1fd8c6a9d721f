// The sensor area of "Цифровые входы / выходы" on a running console: rows open on their first
// value, group headers and the note follow, the clear folds everything back.
#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QScrollArea>

#include "layout/SectionPlan.h"
#include "ui/CaptionLabelWidget.h"
#include "ui/SectionRig.h"
#include "ui/SensorAreaWidget.h"

namespace rv {
namespace {

class SensorAreaTest : public ::testing::Test {
  protected:
    SensorAreaTest() {
        rig.widget = std::make_unique<SensorAreaWidget>(rig.form->Display(), *rig.binder);
        rig.Show(300, 700);
    }

    int Height(int panel) const {
        auto* row = rig.Find<QWidget>(("Panel" + std::to_string(panel)).c_str());
        EXPECT_NE(row, nullptr) << panel;
        return row ? row->height() : -1;
    }
    // Row panels that are shown (20 pixels), by number.
    std::vector<int> ShownRows() const {
        std::vector<int> shown;
        for (const auto& r : SensorRows()) {
            if (Height(r.number) == 20) shown.push_back(r.number);
        }
        return shown;
    }
    bool NoteVisible() const { return rig.Find<QLabel>("LabelNo")->isVisible(); }
    void Receive(const char* line) {
        rig.form->ReceiveLine(line);
        test::SectionRig::Settle();
    }

    test::SectionRig rig;
};

TEST_F(SensorAreaTest, EveryRowStandsInTheAreaInOrderAndStartsFolded) {
    auto* area = rig.Find<QScrollArea>("scbCDat");
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(area->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    // The row panels are children of the area's content, in the order of the plan.
    std::vector<QString> names;
    for (QObject* child : area->widget()->children()) {
        if (child->objectName().startsWith("Panel")) names.push_back(child->objectName());
    }
    ASSERT_EQ(names.size(), SensorRows().size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(names[i], QString("Panel%1").arg(SensorRows()[i].number));
    }
    EXPECT_TRUE(ShownRows().empty());
    for (const auto& r : SensorRows()) EXPECT_EQ(Height(r.number), 1) << r.number;
    auto* note = rig.Find<QLabel>("LabelNo");
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->text(), QString::fromUtf8("Датчики не обнаружены"));
    EXPECT_EQ(note->height(), 20);
}

TEST_F(SensorAreaTest, FirstValueOpensItsRowAndGroupHeader) {
    struct Case {
        const char* line;
        std::vector<int> shownAfter;  // cumulative, in area order
        const char* field;
        const char* text;
    };
    const Case cases[] = {
        {">CA=123456\r\n", {366, 216}, "LL_CA", "1234.56"},
        {">CA=100\r\n", {366, 216}, "LL_CA", "1.00"},  // the row is open already
        {">LLS=1;5;2048;512;23\r\n", {366, 216, 332, 42, 338}, "LL_LS0Y", "2048"},
        {">LLS=1;85;10;20;-5\r\n", {366, 216, 332, 42, 338, 343}, "LL_LS1T", "-5"},
    };
    for (const auto& c : cases) {
        Receive(c.line);
        EXPECT_EQ(ShownRows(), c.shownAfter) << c.line;
        // Shown rows show their contents; a folded row is an empty 1-pixel strip.
        for (const auto& r : SensorRows()) {
            auto* row = rig.Find<QWidget>(("Panel" + std::to_string(r.number)).c_str());
            const bool shown = row->height() == 20;
            for (QWidget* child : row->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                EXPECT_EQ(child->isVisible(), shown) << r.number;
            }
        }
        EXPECT_FALSE(NoteVisible()) << c.line;
        EXPECT_EQ(rig.Find<QLabel>(c.field)->text(), QString::fromUtf8(c.text)) << c.line;
    }
    // The fuel-level rows carry the sensor addresses as their captions.
    EXPECT_NE(rig.Find<QLabel>("LLS0")->text(), QString(":"));
    EXPECT_NE(rig.Find<QLabel>("LLS1")->text(), rig.Find<QLabel>("LLS0")->text());
}

TEST_F(SensorAreaTest, ClearFoldsRowsHeadersAndShowsTheNoteAgain) {
    Receive(">CA=123456\r\n");
    Receive(">LLS=1;5;2048;512;23\r\n");
    ASSERT_FALSE(ShownRows().empty());
    rig.form->StatClearExecute();
    test::SectionRig::Settle();
    EXPECT_TRUE(ShownRows().empty());
    for (const auto& r : SensorRows()) EXPECT_EQ(Height(r.number), 1) << r.number;
    EXPECT_TRUE(NoteVisible());
    EXPECT_EQ(rig.Find<QLabel>("LLS0")->text(), QString(":"));
    EXPECT_EQ(rig.Find<QLabel>("LL_CA")->text(), QString("-"));
    // And the next value opens its row again.
    Receive(">CA=5\r\n");
    EXPECT_EQ(ShownRows(), (std::vector<int>{366, 216}));
}

TEST_F(SensorAreaTest, EveryCaptionIsShownWholeInItsColumn) {
    // Open every row, with run-time captions of a realistic length, then read each grey caption
    // back: its whole text must fit the width the design gives it, whatever font stands in.
    auto& d = rig.form->Display();
    for (const auto& r : SensorRows()) {
        for (const char* f : {r.field, r.field2, r.field3}) {
            if (f) d.SetV(d.Field(f), "1", kBlack);
        }
        if (r.captionName) {
            d.SetCaption(d.Field(r.captionName),
                         r.kind == SensorRowKind::FuelLevel ? "255:" : "28FF5A6B7C8D9E0F:");
        }
    }
    test::SectionRig::Settle();
    int captions = 0;
    for (const auto& r : SensorRows()) {
        if (r.kind == SensorRowKind::GroupHeader) continue;
        auto* row = rig.Find<QWidget>(("Panel" + std::to_string(r.number)).c_str());
        ASSERT_NE(row, nullptr) << r.number;
        for (auto* l : row->findChildren<CaptionLabel*>()) {
            if (l->x() != 0 || l->text().isEmpty()) continue;  // the caption is the leftmost cell
            ++captions;
            const int expected = r.kind == SensorRowKind::Value ? 150 : 40;
            EXPECT_EQ(l->width(), expected) << l->text().toStdString();
            EXPECT_LE(QFontMetrics(l->FittedFont()).horizontalAdvance(l->text()),
                      l->contentsRect().width())
                << l->text().toStdString();
        }
    }
    EXPECT_EQ(captions, 48);  // 41 value rows, the "№" title and six sensor numbers
}

TEST_F(SensorAreaTest, FuelLevelTableFollowsTheColumnRule) {
    Receive(">LLS=1;5;2048;512;23\r\n");
    auto* row = rig.Find<QWidget>("Panel338");
    auto* titles = rig.Find<QWidget>("Panel42");
    auto* level = rig.Find<QLabel>("LL_LS0Y");
    auto* frequency = rig.Find<QLabel>("LL_LS0Z");
    auto* temperature = rig.Find<QLabel>("LL_LS0T");
    for (int width : {223, 300, 420}) {
        rig.widget->resize(width + (rig.widget->width() - row->width()), 700);
        test::SectionRig::Settle();
        ASSERT_EQ(row->width(), width);
        const int value = (width - 80) / 3;
        EXPECT_EQ(level->width(), value) << width;
        EXPECT_EQ(frequency->width(), value) << width;
        EXPECT_EQ(temperature->width(), width - 80 - 2 * value) << width;
        EXPECT_EQ(temperature->geometry().right() + 1 + 16, width) << width;
        // The titles stand above their columns; the temperature title shortens below 70 pixels.
        QLabel* levelTitle = nullptr;
        QLabel* temperatureTitle = nullptr;
        for (QLabel* l : titles->findChildren<QLabel*>()) {
            if (l->text() == QString::fromUtf8("уровень")) levelTitle = l;
            if (l->geometry().x() == temperature->geometry().x()) temperatureTitle = l;
        }
        ASSERT_NE(levelTitle, nullptr);
        ASSERT_NE(temperatureTitle, nullptr);
        EXPECT_EQ(levelTitle->geometry().x(), level->geometry().x());
        EXPECT_EQ(levelTitle->width(), value);
        EXPECT_EQ(temperatureTitle->text(),
                  QString::fromUtf8(temperature->width() >= 70 ? "Температура" : "Темп."))
            << width;
    }
    EXPECT_EQ(temperature->font().pointSize(), 8);
}

}  // namespace
}  // namespace rv
