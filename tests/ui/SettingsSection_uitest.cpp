// The "Настройки" section on a running console: typing validated at once, the boxes following
// the unit's replies, the buttons' enabling and the line each button sends.
#include <gtest/gtest.h>

#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "commands/SettingsEditor.h"
#include "text/Cp1251.h"
#include "ui/ColoursQt.h"
#include "ui/SectionRig.h"
#include "ui/SettingsSectionWidget.h"

namespace rv {
namespace {

const char* const kButtons[] = {"SP_Write", "SP_Read", "SP_Write2", "Button4", "Button5",
                                "Button2",  "Button3", "Button6",   "Button7"};
const char* const kAccessPointBoxes[] = {"LL_SS01", "LL_SS11", "LL_SS21",
                                         "LL_SS02", "LL_SS12", "LL_SS22"};

class SettingsSectionTest : public ::testing::Test {
  protected:
    SettingsSectionTest() {
        rig.widget = std::make_unique<SettingsSectionWidget>(*rig.form, *rig.binder);
        rig.Show(250, 400);
    }

    QLineEdit* Box(const char* name) const { return rig.Find<QLineEdit>(name); }
    QPushButton* Button(const char* name) const { return rig.Find<QPushButton>(name); }
    // Keys as the technician presses them, at the box's cursor.
    void Type(const char* box, const QString& keys) {
        QLineEdit* edit = Box(box);
        edit->setFocus();
        for (QChar c : keys) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &press);
        }
    }
    void Retype(const char* box, const char* utf8) {
        Box(box)->selectAll();
        QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
        QApplication::sendEvent(Box(box), &del);
        Type(box, QString::fromUtf8(utf8));
    }
    bool Red(const char* box) const {
        return Box(box)->palette().color(QPalette::Text) == ToQColor(kRed);
    }
    bool Black(const char* box) const {
        return Box(box)->palette().color(QPalette::Text) == ToQColor(kBlack);
    }
    void Receive(const char* line) { rig.form->ReceiveLine(line); }

    test::SectionRig rig;
};

TEST_F(SettingsSectionTest, BoxesAndButtonsAtStart) {
    for (const char* pin : {"LL_SP", "LL_SP2"}) {
        ASSERT_NE(Box(pin), nullptr) << pin;
        EXPECT_EQ(Box(pin)->displayText(), QString("****")) << pin;
        EXPECT_FALSE(Box(pin)->hasFrame());
    }
    for (const char* ap : kAccessPointBoxes) {
        ASSERT_NE(Box(ap), nullptr) << ap;
        EXPECT_EQ(Box(ap)->text(), QString()) << ap;
        EXPECT_FALSE(Box(ap)->hasFrame());
        EXPECT_EQ(Box(ap)->palette().color(QPalette::Base), ToQColor(kLightGrey));
    }
    const char* captions[] = {"Записать", "Прочитать", "Записать",  "Записать", "Прочитать",
                              "Авто",     "Записать",  "Прочитать", "Авто"};
    for (int i = 0; i < 9; ++i) {
        QPushButton* b = Button(kButtons[i]);
        ASSERT_NE(b, nullptr) << kButtons[i];
        EXPECT_EQ(b->text(), QString::fromUtf8(captions[i])) << kButtons[i];
        EXPECT_EQ(b->size(), QSize(75, 22)) << kButtons[i];
        EXPECT_FALSE(b->isEnabled()) << kButtons[i];  // no port open
    }
    // With the port open the reads and "Авто" follow it; every write waits for a change.
    rig.OpenPort();
    for (const char* b : kButtons) {
        const bool write = std::string(Button(b)->text().toUtf8()) == "Записать";
        EXPECT_EQ(Button(b)->isEnabled(), !write) << b;
    }
}

TEST_F(SettingsSectionTest, RowsStandAsDesignedWithTheSeparatorLineUnderTheFieldColumn) {
    // The section takes the height of its rows (automatic height).
    rig.Show(250, rig.widget->sizeHint().height());
    EXPECT_EQ(rig.widget->height(), 20 + 29 + 6 + 3 * 20 + 53 + 3 * 20 + 53);
    // Top of each box's row in the section: PIN row 20, its buttons 29, separator 6, then the
    // access-point rows of 20 with button rows of 53 after each group of three.
    const std::pair<const char*, int> tops[] = {{"LL_SP", 0},     {"LL_SP2", 0},   {"LL_SS01", 55},
                                                {"LL_SS11", 75},  {"LL_SS21", 95}, {"LL_SS02", 168},
                                                {"LL_SS12", 188}, {"LL_SS22", 208}};
    for (const auto& [box, top] : tops) {
        EXPECT_EQ(Box(box)->parentWidget()->mapTo(rig.widget.get(), QPoint(0, 0)).y(), top) << box;
    }
    EXPECT_EQ(Box("LL_SS01")->mapTo(rig.widget.get(), QPoint(0, 0)).x(), 64 + 8);
    EXPECT_EQ(Button("Button4")->parentWidget()->mapTo(rig.widget.get(), QPoint(0, 0)).y(), 115);
    EXPECT_EQ(Button("Button3")->parentWidget()->mapTo(rig.widget.get(), QPoint(0, 0)).y(), 228);

    // The separator (rows 49 to 54): a sunken line along its bottom edge, from the field column.
    const QImage img = rig.widget->grab().toImage();
    const QColor line = img.pixelColor(150, 53);
    const QColor background = img.pixelColor(150, 51);
    EXPECT_NE(line, background) << "line along the bottom edge";
    EXPECT_EQ(img.pixelColor(64 + 8, 53), line);
    EXPECT_EQ(img.pixelColor(10, 53), background) << "nothing under the captions";
    EXPECT_EQ(img.pixelColor(150, 49), background);
}

TEST_F(SettingsSectionTest, PinTypingTakesDigitsOnlyAndUnblocksWhenComplete) {
    rig.OpenPort();
    Type("LL_SP", "12a3");  // the letter is refused by the mask
    EXPECT_EQ(Box("LL_SP")->displayText(), QString("123*"));
    EXPECT_EQ(rig.form->Display().Text(rig.form->Display().Field("LL_SP")), "123 ");
    EXPECT_TRUE(Red("LL_SP"));
    EXPECT_FALSE(Button("SP_Write")->isEnabled());
    EXPECT_TRUE(Box("LL_SP")->toolTip().isEmpty());
    Type("LL_SP", "4");
    EXPECT_EQ(Box("LL_SP")->displayText(), QString("1234"));
    EXPECT_TRUE(Black("LL_SP"));
    EXPECT_TRUE(Button("SP_Write")->isEnabled());
    EXPECT_FALSE(Button("SP_Write2")->isEnabled());  // PIN 2 untouched
    rig.TakeWritten();
    Button("SP_Write")->click();
    EXPECT_EQ(rig.TakeWritten(), "\r>S 6;1234\n");
}

TEST_F(SettingsSectionTest, AccessPointTypingShowsTheReasonAndBlocksItsGroup) {
    rig.OpenPort();
    struct Step {
        const char* box;
        const char* typed;
        const char* hint;  // of that box after typing; nullptr: valid
        bool writeEnabled;
    };
    const Step steps[] = {
        {"LL_SS01", "in", kHintTooShort, false},
        {"LL_SS01", "internet", nullptr, false},  // login and password still empty
        {"LL_SS11", "gdata", nullptr, false},
        {"LL_SS21", "gpass", nullptr, true},
        {"LL_SS11", "g;data", kHintSemicolon, false},
        {"LL_SS11", "g;", kHintSemicolon, false},  // too short too: the last failing rule wins
        {"LL_SS11", "a>", kHintGreater, false},
        {"LL_SS11", ">;", kHintGreater, false},
        {"LL_SS11", "0123456789012345678901234567890", kHintTooLong, false},
        {"LL_SS11", "012345678901234567890123456789", nullptr, true},
    };
    for (const auto& s : steps) {
        Retype(s.box, s.typed);
        EXPECT_EQ(Box(s.box)->text(), QString::fromUtf8(s.typed)) << s.typed;
        EXPECT_EQ(Box(s.box)->toolTip(), QString::fromUtf8(s.hint ? s.hint : "")) << s.typed;
        EXPECT_EQ(Red(s.box), s.hint != nullptr) << s.typed;
        EXPECT_EQ(Black(s.box), s.hint == nullptr) << s.typed;
        EXPECT_EQ(Button("Button4")->isEnabled(), s.writeEnabled) << s.typed;
        EXPECT_FALSE(Button("Button3")->isEnabled()) << s.typed;  // SIM 2 is not affected
    }
}

TEST_F(SettingsSectionTest, TypingInTheMiddleKeepsTheCursorWhereItIs) {
    Type("LL_SS01", "internet");
    Box("LL_SS01")->setCursorPosition(3);
    Type("LL_SS01", "X");
    EXPECT_EQ(Box("LL_SS01")->text(), QString("intXernet"));
    EXPECT_EQ(Box("LL_SS01")->cursorPosition(), 4);
    // Another field of the group revalidates this one without rewriting it.
    Type("LL_SS11", "u");
    EXPECT_EQ(Box("LL_SS01")->cursorPosition(), 4);
    Box("LL_SP2")->setCursorPosition(0);
    Type("LL_SP2", "12");
    EXPECT_EQ(Box("LL_SP2")->cursorPosition(), 2);
    Type("LL_SP2", "3");
    EXPECT_EQ(Box("LL_SP2")->displayText(), QString("123*"));
    EXPECT_EQ(Box("LL_SP2")->cursorPosition(), 3);
}

TEST_F(SettingsSectionTest, CharacterOutsideTheCodePageStaysVisibleAndIsRefused) {
    rig.OpenPort();
    Receive(">ISS1=internet;gdata;gpass\r\n");
    ASSERT_TRUE(Button("Button4")->isEnabled());
    Retype("LL_SS01", "inter中net");
    EXPECT_EQ(Box("LL_SS01")->text(), QString::fromUtf8("inter中net"));
    EXPECT_EQ(Box("LL_SS01")->toolTip(), QString::fromUtf8(kHintNotInCodePage));
    EXPECT_TRUE(Red("LL_SS01"));
    EXPECT_FALSE(Button("Button4")->isEnabled());
    Retype("LL_SS11", "user");  // the group is revalidated; the refused box is left as typed
    EXPECT_EQ(Box("LL_SS01")->text(), QString::fromUtf8("inter中net"));
    EXPECT_FALSE(Button("Button4")->isEnabled());
    // A reply replaces it, and the box shows what the unit holds.
    Receive(">ISS1=inter?net;gdata;gpass\r\n");
    EXPECT_EQ(Box("LL_SS01")->text(), QString("inter?net"));
    EXPECT_TRUE(Box("LL_SS01")->toolTip().isEmpty());
    EXPECT_TRUE(Button("Button4")->isEnabled());
    // Cyrillic is in the code page and goes to the unit as Windows-1251.
    Retype("LL_SS01", "интернет");
    EXPECT_TRUE(Button("Button4")->isEnabled());
    rig.TakeWritten();
    Button("Button4")->click();
    EXPECT_EQ(rig.TakeWritten(), "\r>S ISS1 " + W("интернет") + ";gdata;gpass\n");
}

TEST_F(SettingsSectionTest, RepliesFillTheBoxesAndAreValidatedLikeTyping) {
    rig.OpenPort();
    Receive(">PIN1=1234\r\n");
    Receive(">PIN2=12\r\n");
    EXPECT_EQ(Box("LL_SP")->displayText(), QString("1234"));
    EXPECT_TRUE(Black("LL_SP"));
    EXPECT_TRUE(Button("SP_Write")->isEnabled());
    EXPECT_EQ(Box("LL_SP2")->displayText(), QString("12**"));
    EXPECT_TRUE(Red("LL_SP2"));
    EXPECT_FALSE(Button("SP_Write2")->isEnabled());

    Receive(">ISS2=internet.mts.ru;mts;mts\r\n");
    EXPECT_EQ(Box("LL_SS02")->text(), QString("internet.mts.ru"));
    EXPECT_EQ(Box("LL_SS12")->text(), QString("mts"));
    EXPECT_EQ(Box("LL_SS22")->text(), QString("mts"));
    EXPECT_TRUE(Button("Button3")->isEnabled());
    EXPECT_FALSE(Button("Button4")->isEnabled());
    Receive(">ISS1=in;;x\r\n");
    for (const char* b : {"LL_SS01", "LL_SS11", "LL_SS21"}) {
        EXPECT_TRUE(Red(b)) << b;
        EXPECT_EQ(Box(b)->toolTip(), QString::fromUtf8(kHintTooShort)) << b;
    }
}

TEST_F(SettingsSectionTest, EveryButtonSendsItsLineAndClosingThePortBlocksThemAll) {
    rig.OpenPort();
    Receive(">ISS1=internet;gdata;gpass\r\n");
    Receive(">ISS2=apn2;log2;pas2\r\n");
    Receive(">PIN1=1234\r\n");
    Receive(">PIN2=4321\r\n");
    const struct {
        const char* button;
        const char* line;
    } cases[] = {
        {"SP_Write", "\r>S 6;1234\n"},
        {"SP_Read", "\r>I 4\n"},
        {"SP_Write2", "\r>S 14;4321\n"},
        {"Button4", "\r>S ISS1 internet;gdata;gpass\n"},
        {"Button5", "\r>I 3\n"},
        {"Button2", "\r>S ISS1 auto;auto;auto\n"},
        {"Button3", "\r>S ISS2 apn2;log2;pas2\n"},
        {"Button6", "\r>I 9\n"},
        {"Button7", "\r>S ISS2 auto;auto;auto\n"},
    };
    rig.TakeWritten();
    for (const auto& c : cases) {
        ASSERT_TRUE(Button(c.button)->isEnabled()) << c.button;
        Button(c.button)->click();
        EXPECT_EQ(rig.TakeWritten(), c.line) << c.button;
    }
    rig.ClosePort();
    for (const char* b : kButtons) EXPECT_FALSE(Button(b)->isEnabled()) << b;
}

}  // namespace
}  // namespace rv
