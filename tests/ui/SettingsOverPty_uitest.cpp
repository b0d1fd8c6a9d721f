// The "Настройки" section with a real pseudo-terminal playing the unit: the bytes every button
// puts on the line, the unit's replies filling and unblocking the boxes, the closing of the port.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <memory>
#include <string>

#include "app/MainForm.h"
#include "support/ScriptedSerialDevice.h"
#include "ui/DisplayBinderQt.h"
#include "ui/SettingsSectionWidget.h"

namespace rv {
namespace {

// The unit's end of a pseudo-terminal; the console opens the other end as its COM port.
class UnitEnd {
  public:
    UnitEnd() {
        char name[256] = {};
        if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) return;
        termios raw{};
        ::tcgetattr(master_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(master_, TCSANOW, &raw);
        path_ = name;
    }
    ~UnitEnd() {
        if (slave_ >= 0) ::close(slave_);
        if (master_ >= 0) ::close(master_);
    }
    const std::string& Path() const { return path_; }
    void Write(const std::string& bytes) {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // What the console wrote: `expected` bytes, or what came before the line stayed silent.
    std::string Read(std::size_t expected) {
        std::string got;
        while (got.size() < expected) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 10000) <= 0) break;
            char buf[256];
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n <= 0) break;
            got.append(buf, static_cast<std::size_t>(n));
        }
        return got;
    }

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

class SettingsOverPty : public ::testing::Test {
  protected:
    SettingsOverPty() {
        FormPlatform platform;  // the platform's own serial device
        platform.ticks = &ticks;
        platform.resolvePath = [this](int) { return unit.Path(); };
        platform.readPortList = [] { return std::string("COM3\0\0", 6); };
        form = std::make_unique<MainForm>(formats, clock, std::move(platform));
        form->FormCreate();
        binder = std::make_unique<DisplayBinderQt>(form->Display());
        widget = std::make_unique<SettingsSectionWidget>(*form, *binder);
        widget->show();
    }
    ~SettingsOverPty() override { widget.reset(); }

    QLineEdit* Box(const char* name) const {
        return widget->findChild<QLineEdit*>(QString::fromUtf8(name));
    }
    QPushButton* Button(const char* name) const {
        return widget->findChild<QPushButton*>(QString::fromUtf8(name));
    }
    // The unit answers; the driver's ticks run until the whole answer has been taken in.
    void Reply(const std::string& line) {
        unit.Write(line);
        const std::size_t before = form->Log().Count();
        for (int i = 0; i < 200 && form->Log().Count() == before; ++i) {
            pollfd p{-1, 0, 0};
            ::poll(&p, 0, 10);
            form->Q().PollReceive();
        }
    }

    UnitEnd unit;
    RegionalFormats formats;
    FixedClock clock;
    test::ManualTickSource ticks;
    std::unique_ptr<MainForm> form;
    std::unique_ptr<DisplayBinderQt> binder;
    std::unique_ptr<SettingsSectionWidget> widget;
};

TEST_F(SettingsOverPty, ButtonsPutTheirLinesOnTheWireAndRepliesUnblockTheWrites) {
    ASSERT_FALSE(unit.Path().empty()) << "no pseudo-terminal";
    form->Connection().StartExecute(3);
    ASSERT_TRUE(form->Q().IsOpen());
    EXPECT_FALSE(Button("Button4")->isEnabled());  // blocked until the fields are changed

    Reply(">ISS1=internet;gdata;gpass\r\n");
    EXPECT_EQ(Box("LL_SS21")->text(), QString("gpass"));
    EXPECT_TRUE(Button("Button4")->isEnabled());
    Reply(">ISS2=apn2;log2;pas2\r\n");
    Reply(">PIN1=1234\r\n");
    Reply(">PIN2=4321\r\n");

    const struct {
        const char* button;
        std::string line;
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
    for (const auto& c : cases) {
        ASSERT_TRUE(Button(c.button)->isEnabled()) << c.button;
        Button(c.button)->click();
        EXPECT_EQ(unit.Read(c.line.size()), c.line) << c.button;
    }
    EXPECT_EQ(Box("LL_SS01")->text(), QString("internet"));  // "Авто" changed nothing

    form->Connection().StopActionExecute();
    for (const auto& c : cases) EXPECT_FALSE(Button(c.button)->isEnabled()) << c.button;
}

}  // namespace
}  // namespace rv
