// The calibration assistant on the real calibration page: keyboard entry of points, the settle
// mark, the checks on the rows, the curve window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QToolButton>

#include "calibration/TarCurveWindow.h"
#include "protocol/Colours.h"
#include "support/CalibrationPageRigQt.h"

namespace rv {
namespace {

using test::U;

class AssistantTest : public test::CalibrationPageRig {
  protected:
    AssistantTest() {
        page.activateWindow();
        Settle();
        recorder.SendTarDat("0", "A", "100");
        recorder.cmbDatNDropDown(1);
        recorder.cmbDatNChange(1, 1);
        level = page.findChild<QLineEdit*>(QStringLiteral("pd14"));
        level->setFocus();
        Settle();
    }

    void Key(int key, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(level, &press);
        Settle();
    }
    void TypeLevel(const QString& digits) {
        for (const QChar ch : digits) Key(Qt::Key_0 + ch.digitValue(), QString(ch));
    }

    QLineEdit* level = nullptr;
};

TEST_F(AssistantTest, EnterSavesWhenSaveIsOfferedAndTheFocusStaysForTheNextLevel) {
    Key(Qt::Key_Return);  // nothing typed yet: nothing to save
    EXPECT_TRUE(VisibleRows(1).isEmpty());

    recorder.SendTarDat("0", "A", "100");
    TypeLevel(QStringLiteral("10"));
    Key(Qt::Key_Return);
    ASSERT_EQ(VisibleRows(1).size(), 1);
    EXPECT_EQ(level->text(), QString());
    EXPECT_TRUE(level->hasFocus());

    TypeLevel(QStringLiteral("20"));
    Key(Qt::Key_Enter);  // no reading since the last save: "Сохранить" is not offered
    EXPECT_EQ(VisibleRows(1).size(), 1);
    recorder.SendTarDat("0", "A", "200");
    Key(Qt::Key_Enter);
    EXPECT_EQ(VisibleRows(1).size(), 2);
    EXPECT_TRUE(level->hasFocus());

    recorder.SendTarDat("0", "A", "300");
    TypeLevel(QStringLiteral("77"));
    Key(Qt::Key_Escape);
    EXPECT_EQ(level->text(), QString());
    EXPECT_EQ(recorder.State(1).pd4, std::string());
    EXPECT_TRUE(level->hasFocus());
    EXPECT_EQ(VisibleRows(1).size(), 2);
}

TEST_F(AssistantTest, TheSettleMarkAndTheRowChecksShowWithoutBlockingAnything) {
    auto* mark = page.findChild<QLabel*>(QStringLiteral("pd11"));
    recorder.SendTarDat("0", "A", "100");
    clock.Set({2026, 12, 7, 9, 5, 19});
    recorder.SendTarDat("0", "A", "101");  // within one count: still the calm of 09:05:07
    EXPECT_EQ(mark->text(), U("12 с"));
    EXPECT_TRUE(mark->toolTip().startsWith(U("ждите")));
    clock.Set({2026, 12, 7, 9, 5, 40});
    recorder.SendTarDat("0", "A", "100");
    EXPECT_TRUE(mark->toolTip().startsWith(U("успокоилось")));

    for (const char* levelText : {"10", "10"}) {
        TypeLevel(QString::fromLatin1(levelText));
        Key(Qt::Key_Return);
        recorder.SendTarDat("0", "A", "200");
    }
    ASSERT_EQ(VisibleRows(1).size(), 2);
    for (QWidget* row : VisibleRows(1)) {
        EXPECT_EQ(row->toolTip(), U("Такой же уровень есть в другой строке"));
    }
}

TEST_F(AssistantTest, TheCurveOpensFromTheHeaderAndShowsTheRowsAndTheLiveReading) {
    for (const auto& [reading, levelText] :
         {std::pair{"100", "10"}, {"200", "20"}, {"300", "30"}, {"250", "40"}}) {
        recorder.SendTarDat("0", "A", reading);
        TypeLevel(QString::fromLatin1(levelText));
        Key(Qt::Key_Return);
    }
    const QSize before = page.findChild<QWidget*>(QStringLiteral("panDat1"))->size();
    page.findChild<QAction*>(QStringLiteral("actCurve1"))->trigger();
    Settle();
    auto* curve = page.findChild<TarCurveWindow*>(QStringLiteral("TarCurve1"));
    ASSERT_NE(curve, nullptr);
    EXPECT_TRUE(curve->isVisible());
    EXPECT_EQ(page.findChild<QWidget*>(QStringLiteral("panDat1"))->size(), before);
    EXPECT_EQ(curve->RowPoints(), (QList<QPointF>{{100, 10}, {200, 20}, {300, 30}, {250, 40}}));
    // 300 then 250 goes against the rising trend.
    EXPECT_EQ(curve->FlaggedPoints(), (QList<QPointF>{{300, 30}, {250, 40}}));

    recorder.SendTarDat("0", "A", "175");
    Settle();
    const QList<QPointF> live = curve->LiveMarker();
    ASSERT_EQ(live.size(), 2);
    EXPECT_EQ(live[0].x(), 175);
    EXPECT_EQ(live[1].x(), 175);

    auto* del = VisibleRows(1).last()->findChild<QToolButton*>(QStringLiteral("DelButton"));
    del->click();
    Settle();
    EXPECT_EQ(curve->RowPoints(), (QList<QPointF>{{100, 10}, {200, 20}, {300, 30}}));
    EXPECT_TRUE(curve->FlaggedPoints().isEmpty());
    curve->close();
}

}  // namespace
}  // namespace rv
