// The "Данные" section on a running console: the traffic log shows every received line with its
// time, the counter shows the received bytes, "Выполнить" sends the free command line.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "text/Cp1251.h"
#include "ui/DataSectionWidget.h"
#include "ui/SectionRig.h"
#include "ui/TrafficLogView.h"

namespace rv {
namespace {

class DataSectionTest : public ::testing::Test {
  protected:
    DataSectionTest() {
        rig.widget = std::make_unique<DataSectionWidget>(*rig.form, *rig.binder);
        rig.Show(250, 400);
    }

    TrafficLogView* Memo() const { return rig.Find<TrafficLogView>("Memo"); }
    QLineEdit* SendBox() const { return rig.Find<QLineEdit>("SendBox"); }
    QPushButton* Button1() const { return rig.Find<QPushButton>("Button1"); }
    QString Counter() const { return rig.Find<QLabel>("LL_PIN")->text(); }
    void Receive(const std::string& block) { rig.form->ReceiveLine(block); }
    void Key(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, key, mods);
        QApplication::sendEvent(w, &press);
    }

    test::SectionRig rig;
};

TEST_F(DataSectionTest, PartsOfTheSection) {
    ASSERT_NE(Memo(), nullptr);
    ASSERT_NE(SendBox(), nullptr);
    ASSERT_NE(Button1(), nullptr);
    EXPECT_EQ(SendBox()->text(), QString(">"));
    EXPECT_EQ(Button1()->text(), QString::fromUtf8("Выполнить"));
    EXPECT_EQ(Button1()->size(), QSize(80, 21));
    EXPECT_FALSE(Button1()->isEnabled());  // no port open
    EXPECT_EQ(Memo()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(Memo()->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(Counter(), QString("-"));  // the clear at start
    bool caption = false;
    for (QLabel* l : rig.widget->findChildren<QLabel*>()) {
        caption = caption || l->text() == QString::fromUtf8("Получено:");
    }
    EXPECT_TRUE(caption);
    EXPECT_GE(SendBox()->geometry().left(), 40);
    EXPECT_EQ(Button1()->geometry().right(), rig.widget->width() - 1);
}

TEST_F(DataSectionTest, ReceivedLinesAppearWithTheirTimeAndTheCounterGrows) {
    struct Case {
        std::string block;
        const char* line;     // UTF-8
        const char* counter;  // after the block
    };
    const Case cases[] = {
        {"\r\n>GS=5\r\n", "09:05:07.004  >GS=5", "9 B"},
        {"\r\n", "09:05:07.004  ", "11 B"},
        {W(">DI=Модель") + "\r\n", "09:05:07.004  >DI=Модель", "23 B"},
        {std::string(10230, 'x'), nullptr, "10.0 KB"},
    };
    int count = 0;
    for (const auto& c : cases) {
        Receive(c.block);
        ++count;
        ASSERT_EQ(Memo()->LineCount(), count);
        if (c.line) {
            EXPECT_EQ(Memo()->LineText(count - 1), QString::fromUtf8(c.line));
        }
        EXPECT_EQ(Counter(), QString(c.counter)) << c.counter;
    }
    rig.form->StatClearExecute();
    EXPECT_EQ(Memo()->LineCount(), 0);
    EXPECT_EQ(Counter(), QString("-"));
    Receive("abc\n");  // the counter is not reset by the clear
    EXPECT_EQ(Counter(), QString("10.0 KB"));
    EXPECT_EQ(Memo()->LineText(0), QString("09:05:07.004  abc"));
}

TEST_F(DataSectionTest, TheNewestLineStaysInSightWhileTheViewIsAtTheBottom) {
    for (int i = 0; i < 300; ++i) Receive("line " + std::to_string(i) + "\r\n");
    test::SectionRig::Settle();
    EXPECT_TRUE(Memo()->AtBottom());
    EXPECT_EQ(Memo()->FirstVisibleLine() + Memo()->VisibleLineCount(), 300);
    // The technician scrolls up to read: new lines do not pull the view away.
    Memo()->verticalScrollBar()->setValue(10);
    for (int i = 0; i < 5; ++i) Receive("more\r\n");
    test::SectionRig::Settle();  // the view takes new lines once the tick is back in the loop
    EXPECT_EQ(Memo()->FirstVisibleLine(), 10);
    // Back at the end, the view follows again.
    Key(Memo(), Qt::Key_End);
    Receive("last\r\n");
    test::SectionRig::Settle();
    EXPECT_TRUE(Memo()->AtBottom());
    EXPECT_EQ(Memo()->FirstVisibleLine() + Memo()->VisibleLineCount(), 306);
    EXPECT_EQ(Memo()->LineText(305), QString("09:05:07.004  last"));
}

TEST_F(DataSectionTest, ALongLogIsShownFromTheStoreWithoutCopies) {
    const int lines = 100000;
    for (int i = 0; i < lines; ++i) Receive(">GS=" + std::to_string(i) + "\r\n");
    test::SectionRig::Settle();
    EXPECT_EQ(Memo()->LineCount(), lines);
    EXPECT_EQ(Memo()->LineText(lines - 1), QString("09:05:07.004  >GS=99999"));
    EXPECT_TRUE(Memo()->AtBottom());
    const QImage shot = Memo()->viewport()->grab().toImage();  // paints only the lines in sight
    EXPECT_FALSE(shot.isNull());
    rig.form->StatClearExecute();
    EXPECT_EQ(Memo()->LineCount(), 0);
    EXPECT_EQ(Memo()->verticalScrollBar()->maximum(), 0);
}

TEST_F(DataSectionTest, SelectedLinesAreCopied) {
    for (const char* l : {"one\r\n", "two\r\n", "three\r\n"}) Receive(l);
    Memo()->SelectLines(2, 1);
    EXPECT_EQ(Memo()->SelectedText(), QString("09:05:07.004  two\n09:05:07.004  three"));
    Key(Memo(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Memo()->SelectionFirst(), 0);
    EXPECT_EQ(Memo()->SelectionLast(), 2);
    Key(Memo(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(),
              QString("09:05:07.004  one\n09:05:07.004  two\n09:05:07.004  three"));
    rig.form->StatClearExecute();
    EXPECT_EQ(Memo()->SelectionFirst(), -1);
}

TEST_F(DataSectionTest, ExecuteSendsTheBoxLineAndKeepsIt) {
    rig.OpenPort();
    ASSERT_TRUE(Button1()->isEnabled());
    struct Case {
        const char* box;  // UTF-8
        std::string sent;
    };
    const Case cases[] = {
        {">D 10;1", "\r>D 10;1\n"},
        {"", "\r\n"},
        {" >I 1 ", "\r >I 1 \n"},  // not trimmed
        {">S 6;Тест", "\r>S 6;" + W("Тест") + "\n"},
    };
    rig.TakeWritten();
    for (const auto& c : cases) {
        SendBox()->setText(QString::fromUtf8(c.box));
        Button1()->click();
        EXPECT_EQ(rig.TakeWritten(), c.sent) << c.box;
        EXPECT_EQ(SendBox()->text(), QString::fromUtf8(c.box));
    }
    // Enter in the box does not send.
    SendBox()->setText(">I 1");
    SendBox()->setFocus();
    Key(SendBox(), Qt::Key_Return);
    Key(SendBox(), Qt::Key_Enter);
    EXPECT_EQ(rig.TakeWritten(), "");
    // Closed port: the button follows DoCommand.
    rig.ClosePort();
    EXPECT_FALSE(Button1()->isEnabled());
    Button1()->click();
    EXPECT_EQ(rig.TakeWritten(), "");
}

}  // namespace
}  // namespace rv
