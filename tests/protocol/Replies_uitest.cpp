// Reply lines of every family shown by the real window on the offscreen platform: the widget of
// each display field carries the decoded text and colour, and a sensor row opens on its value.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <memory>

#include "support/ScriptedPlatform.h"
#include "support/WindowTextQt.h"
#include "text/Cp1251.h"
#include "ui/ColoursQt.h"
#include "ui/MainWindow.h"

namespace rv {
namespace {

struct Window {
    Window() {
        window = std::make_unique<MainWindow>(
            test::ScriptedPlatform(device, nullptr, [] { return test::PortList({"COM1"}); }));
        window->show();
        QApplication::processEvents();
    }
    // One received line (UTF-8 body), through the form's receive frame.
    void Receive(const std::string& body) {
        window->Form().ReceiveLine(W(body) + "\r\n");
        QApplication::processEvents();
    }
    QWidget* Widget(const char* name) const {
        return window->findChild<QWidget*>(QString::fromUtf8(name));
    }
    QString Text(const char* name) const { return test::ShownText(*window, name); }
    QColor TextColour(const char* name) const { return test::ShownColour(*window, name); }
    test::ScriptedSerialDevice* device = nullptr;
    std::unique_ptr<MainWindow> window;
};

// Row captions keep the colour the window gives them; only their text is the reply's.
constexpr Colour kCaption = 0xFFFFFFFF;

TEST(RepliesInTheWindow, OneLinePerFamily) {
    Window w;
    const struct {
        const char* line;
        const char* field;
        const char* text;
        Colour colour;
    } cases[] = {
        {">GS=4;12;150;21;270", "LL_GS0", "4", kRed},
        {">GS=4;12;150;21;270", "LL_GS3", "2.1", kOlive},
        {">DN=000777", "LL_DN", "000777", kBlack},
        {">DS=73920", "LL_DS82", "Hе требуется", kOlive},
        {">MS=6", "LL_MS7", "Ожидается", kGreen},
        {">MT=10240;1;250", "LL_MT3", "250 мс", kBlack},
        {">MN=356938035643809", "LL_MN", "356938035643809", kBlack},
        {">OD2=0", "LL2", "Дискретный Выход [МD] 2:", kCaption},
        {">OD2=0", "LL_I2", "не активирован", kBlack},
        {">LLS=1;5;1200;3400;250", "LL_LS0T", "-6", kBlack},
        {">LLS=1;5;1200;3400;250", "LLS0", "5:", kCaption},
        {">CQ=25", "LL_CT", "2.5", kBlack},
    };
    for (const auto& c : cases) {
        w.Receive(c.line);
        EXPECT_EQ(w.Text(c.field), QString::fromUtf8(c.text)) << c.line;
        if (c.colour == kCaption) continue;
        EXPECT_EQ(w.TextColour(c.field).name().toStdString(),
                  ToQColor(c.colour).name().toStdString())
            << c.line << " " << c.field;
    }
}

TEST(RepliesInTheWindow, SensorRowOpensOnItsFirstValueAndBarsFollow) {
    Window w;
    QWidget* ca = w.Widget("LL_CA");
    ASSERT_NE(ca, nullptr);
    ASSERT_NE(ca->parentWidget(), nullptr);
    EXPECT_LT(ca->parentWidget()->height(), 2);
    w.Receive(">CA=123456");
    EXPECT_EQ(w.Text("LL_CA"), QStringLiteral("1234.56"));
    EXPECT_EQ(ca->parentWidget()->height(), 20);
    auto* note = qobject_cast<QLabel*>(w.Widget("LabelNo"));
    ASSERT_NE(note, nullptr);
    EXPECT_FALSE(note->isVisible());

    w.Receive(">ML=40");
    w.Receive(">PB=12000;3700");
    auto* signal = qobject_cast<QProgressBar*>(w.Widget("SB_ML"));
    auto* battery = qobject_cast<QProgressBar*>(w.Widget("SB_PB"));
    ASSERT_NE(signal, nullptr);
    ASSERT_NE(battery, nullptr);
    EXPECT_EQ(signal->value(), 31);
    EXPECT_EQ(battery->value(), 2);

    // The clear reply folds the row again and shows the note.
    w.Receive(">SERV=0");
    EXPECT_LT(ca->parentWidget()->height(), 2);
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(w.Text("LL_CA"), QStringLiteral("-"));
}

}  // namespace
}  // namespace rv
