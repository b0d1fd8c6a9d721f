// The whole console against a real pseudo-terminal published as a COM port in a temporary ports
// folder: discovery, start, every command's bytes at the peer, replies shown, stop, a vanished
// link, and a different port clearing the display.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <cstdlib>
#include <filesystem>

#include "commands/CommandCatalogue.h"
#include "support/LiveWindowQt.h"
#include "text/Cp1251.h"
#include "ui/MainWindow.h"

namespace rv {
namespace {

namespace fs = std::filesystem;

// A pseudo-terminal whose slave side is published as COM<n>; the test plays the unit on the
// master side.
class PublishedPty {
  public:
    PublishedPty(const fs::path& portsFolder, int n) {
        char name[256] = {};
        if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
            throw std::runtime_error("openpty");
        termios raw{};
        ::tcgetattr(master_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(master_, TCSANOW, &raw);
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        link_ = portsFolder / ("COM" + std::to_string(n));
        fs::create_symlink(name, link_);
    }
    ~PublishedPty() {
        Unpublish();
        ::close(slave_);
        ::close(master_);
    }
    void Unpublish() {
        std::error_code ec;
        fs::remove(link_, ec);
    }
    void Write(const std::string& bytes) {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // Everything the console wrote, waiting until `expected` bytes came or ten seconds passed.
    std::string Read(std::size_t expected) {
        std::string got;
        QElapsedTimer timer;
        timer.start();
        while (got.size() < expected && timer.elapsed() < 10000) {
            char buf[512];
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n > 0) {
                got.append(buf, static_cast<std::size_t>(n));
            } else {
                QApplication::processEvents();
                ::usleep(2000);
            }
        }
        return got;
    }

  private:
    int master_ = -1;
    int slave_ = -1;
    fs::path link_;
};

class PortLink : public test::LiveWindowTest {
  protected:
    PortLink() : LiveWindowTest("portlink") {}
    // Lets the window's receive timer run until `name` shows `text` (or ten seconds pass).
    bool WaitFor(const char* name, const QString& text) {
        return RunUntil([&] { return Text(name) == text; }, 10000);
    }

    const fs::path ports_ = runtime_.PortsFolder();
};

TEST_F(PortLink, StartSendReceiveAndStop) {
    PublishedPty unit(ports_, 7);
    QAction* item = Action(QStringLiteral("DeviceItem7"));
    ASSERT_NE(item, nullptr) << "COM7 not discovered";
    item->trigger();
    ASSERT_TRUE(Window().Form().Q().IsOpen());
    EXPECT_EQ(Text("L_PSTAT"), QStringLiteral("Ok"));
    EXPECT_EQ(Text("L_PNUM"), QStringLiteral("COM7"));
    EXPECT_EQ(Window().Form().Connection().HighlightedPort(), 7);

    // Every enabled command of the catalogue, then the free line and an empty free line.
    std::string expected;
    for (const CommandAction& a : CommandActions()) {
        if (!a.line) continue;
        QAction* action = Action(QString::fromUtf8(a.name));
        ASSERT_NE(action, nullptr) << a.name;
        ASSERT_TRUE(action->isEnabled()) << a.name;
        action->trigger();
        expected += a.line;
    }
    Window().Form().ExecuteAction("DoCommand", ">I 1");
    Window().Form().ExecuteAction("DoCommand", "");
    expected += "\r>I 1\n\r\n";
    EXPECT_EQ(unit.Read(expected.size()), expected);

    unit.Write(W(">DN=860001\r\n>MO=МегаФон;25002\r\n"));
    EXPECT_TRUE(WaitFor("LL_DN", QStringLiteral("860001")));
    EXPECT_TRUE(WaitFor("LL_MO", QStringLiteral("МегаФон [25002]")));

    Action(QStringLiteral("StopAction"))->trigger();
    EXPECT_FALSE(Window().Form().Q().IsOpen());
    EXPECT_EQ(Text("L_PSTAT"), QStringLiteral("Нет подключения"));
    EXPECT_FALSE(Action(QStringLiteral("UpdateState"))->isEnabled());
    EXPECT_EQ(Window().Form().Connection().HighlightedPort(), 0);

    // The link is gone: starting it again fails and says so, with the chosen port named.
    unit.Unpublish();
    item->trigger();
    EXPECT_FALSE(Window().Form().Q().IsOpen());
    EXPECT_EQ(Text("L_PNUM"), QStringLiteral("COM7"));
    EXPECT_EQ(Text("L_PSTAT"), QStringLiteral("Нет подключения"));
}

TEST_F(PortLink, ADifferentPortClearsTheDisplayAndTheSamePortDoesNot) {
    PublishedPty first(ports_, 7);
    PublishedPty second(ports_, 8);
    Action(QStringLiteral("DeviceItem7"))->trigger();
    first.Write(">DN=111\r\n");
    ASSERT_TRUE(WaitFor("LL_DN", QStringLiteral("111")));
    const auto counted = Window().Form().ReceivedBytes();
    EXPECT_EQ(counted, 9);

    Action(QStringLiteral("DeviceItem7"))->trigger();  // the same port: nothing is cleared
    EXPECT_EQ(Text("LL_DN"), QStringLiteral("111"));
    EXPECT_EQ(Window().Form().ReceivedBytes(), counted);

    Action(QStringLiteral("DeviceItem8"))->trigger();  // another port: display and counter reset
    EXPECT_EQ(Text("LL_DN"), QStringLiteral("-"));
    EXPECT_EQ(Window().Form().ReceivedBytes(), 0);
    EXPECT_EQ(Text("LL_PIN"), QStringLiteral("0"));
    second.Write(">DN=222\r\n");
    EXPECT_TRUE(WaitFor("LL_DN", QStringLiteral("222")));
}

}  // namespace
}  // namespace rv
