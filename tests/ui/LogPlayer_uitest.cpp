// A saved traffic log played in the real window (offscreen): the player strip's play, pause,
// speed, slider and close; a port started again ends the playback; a file that is no log changes
// nothing.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSlider>
#include <QToolButton>
#include <fstream>

#include "support/DisplayState.h"
#include "support/ScriptedPlatform.h"
#include "support/TempFolder.h"
#include "support/WindowTextQt.h"
#include "text/Cp1251.h"
#include "ui/LogFileReaderQt.h"
#include "ui/LogPlayerBarQt.h"
#include "ui/MainWindow.h"
#include "ui/TrafficLogView.h"

namespace rv {
namespace {

struct PlayerRig {
    PlayerRig() {
        window = std::make_unique<MainWindow>(test::ScriptedPlatform(device, nullptr, [] {
            return test::PortList({"COM1", "COM3"});
        }));
        window->show();
        QApplication::processEvents();
        // Half a second between lines, over midnight.
        std::string bytes;
        for (int i = 0; i < 20; ++i) {
            const int ms = (23 * 3600 + 59 * 60 + 55) * 1000 + i * 500;
            bytes +=
                LogFile::TimeText(ms % (24 * 3600 * 1000)) + "  >ML=" + std::to_string(i) + "\r\n";
        }
        path = dir.path() / "field.log";
        std::ofstream(path, std::ios::binary) << bytes << W("00:00:05.000  >MO=МегаФон;25002\r\n");
    }
    template <typename T>
    T* Find(const char* name) const {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    QString Label(const char* name) const { return Find<QLabel>(name)->text(); }
    std::size_t Position() const { return window->Player().Player()->Position(); }

    test::ScriptedSerialDevice* device = nullptr;
    std::unique_ptr<MainWindow> window;
    test::TempFolder dir;
    std::filesystem::path path;
};

TEST(LogPlayerWindow, PlaysPausesSeeksAndCloses) {
    PlayerRig r;
    auto* bar = r.Find<LogPlayerBarQt>("PlayerBar");
    EXPECT_FALSE(bar->isVisible());
    ASSERT_TRUE(r.window->OpenLogFile(QString::fromStdString(r.path.string())));
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(r.Label("PlayerLines"), QStringLiteral("Строка 0 из 21"));

    r.Find<QToolButton>("PlayerPlay")->click();
    EXPECT_TRUE(bar->Playing());
    bar->Advance(1200);  // at 1×: the first line and two more half a second apart
    EXPECT_EQ(r.Position(), 3u);
    EXPECT_EQ(r.Label("PlayerTime"), QStringLiteral("23:59:56.000"));
    EXPECT_EQ(test::FieldText(r.window->Form().Display(), "LL_ML"), "[2]");
    r.Find<QComboBox>("PlayerSpeed")->setCurrentIndex(1);  // 10×
    bar->Advance(500);                                     // ten more lines, over midnight
    EXPECT_EQ(r.Position(), 13u);
    EXPECT_EQ(r.Label("PlayerTime"), QStringLiteral("00:00:01.000"));

    r.Find<QToolButton>("PlayerPlay")->click();
    EXPECT_FALSE(bar->Playing());

    auto* memo = r.Find<TrafficLogView>("Memo");
    memo->SelectLines(3, 12);
    r.Find<QSlider>("PlayerSlider")->setValue(5);  // the technician drags back
    EXPECT_EQ(r.Position(), 5u);
    EXPECT_EQ(test::FieldText(r.window->Form().Display(), "LL_ML"), "[4]");
    EXPECT_EQ(r.window->Form().Log().Count(), 5u);
    // The log view follows the log cut back: no line selected beyond its end.
    EXPECT_EQ(memo->LineCount(), 5);
    EXPECT_LT(memo->SelectionLast(), 5);
    EXPECT_EQ(memo->LineText(4), QString::fromStdString(r.window->Form().Log().Line(4)));
    r.Find<QSlider>("PlayerSlider")->setValue(21);
    EXPECT_EQ(r.Label("PlayerLines"), QStringLiteral("Строка 21 из 21"));
    EXPECT_EQ(r.Label("PlayerTime"), QStringLiteral("00:00:05.000"));
    EXPECT_EQ(test::ShownText(*r.window, "LL_MN"),
              QString::fromStdString(test::FieldText(r.window->Form().Display(), "LL_MN")));

    EXPECT_TRUE(r.window->Form().History().KeepsClearedSamples());  // for seeks
    r.Find<QToolButton>("PlayerClose")->click();
    EXPECT_FALSE(bar->isVisible());
    EXPECT_FALSE(bar->HasFile());
    EXPECT_FALSE(r.window->Form().History().KeepsClearedSamples());  // a clear frees them again
    EXPECT_EQ(r.window->Form().Log().Count(), 21u);                  // what was shown stays
}

TEST(LogPlayerWindow, AStartedPortEndsThePlayback) {
    PlayerRig r;
    ASSERT_TRUE(r.window->OpenLogFile(QString::fromStdString(r.path.string())));
    r.Find<QComboBox>("PlayerSpeed")->setCurrentIndex(3);  // as fast as possible
    r.Find<QToolButton>("PlayerPlay")->click();
    r.window->Player().Advance(40);
    EXPECT_TRUE(r.window->Player().Player()->AtEnd());
    EXPECT_FALSE(r.window->Player().Playing());

    r.window->findChild<QAction*>(QStringLiteral("DeviceItem3"))->trigger();
    EXPECT_TRUE(r.window->Form().Connection().IsOpen());
    EXPECT_FALSE(r.window->Player().HasFile());
    EXPECT_FALSE(r.Find<LogPlayerBarQt>("PlayerBar")->isVisible());

    // Opening a log while the port is open stops the port first.
    ASSERT_TRUE(r.window->OpenLogFile(QString::fromStdString(r.path.string())));
    EXPECT_FALSE(r.window->Form().Connection().IsOpen());
    EXPECT_TRUE(r.window->Player().HasFile());
}

TEST(LogPlayerWindow, AFileThatIsNoLogChangesNothing) {
    PlayerRig r;
    ASSERT_TRUE(r.window->OpenLogFile(QString::fromStdString(r.path.string())));
    r.window->Player().Advance(40);
    const std::size_t before = r.window->Form().Log().Count();
    std::ofstream(r.dir.path() / "empty.log");
    EXPECT_FALSE(
        r.window->OpenLogFile(QString::fromStdString((r.dir.path() / "empty.log").string())));
    auto* box = r.window->findChild<QMessageBox*>(QStringLiteral("UserError"));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().contains(QStringLiteral("пуст"))) << box->text().toStdString();
    EXPECT_TRUE(r.window->Player().HasFile());
    EXPECT_EQ(r.window->Form().Log().Count(), before);
}

// The progress dialog of a file being read, as it comes and goes.
class ProgressWatch : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = qobject_cast<QProgressDialog*>(watched);
        if (dialog == nullptr || dialog->objectName() != QLatin1String("LogFileProgress"))
            return false;
        if (event->type() == QEvent::Show) seen << QStringLiteral("shown: ") + dialog->labelText();
        if (event->type() == QEvent::Hide) seen << QStringLiteral("closed");
        return false;
    }
    QStringList seen;
};

TEST(LogPlayerWindow, AFileBeingReadShowsItsProgressUntilItIsRead) {
    PlayerRig r;
    ProgressWatch watch;
    qApp->installEventFilter(&watch);
    // Without the wait a large file is given before its dialog shows.
    auto result = ReadLogFileWithProgress(r.path, QStringLiteral("Чтение лог-файла «field.log»…"),
                                          r.window.get(), std::chrono::milliseconds(0));
    qApp->removeEventFilter(&watch);
    ASSERT_TRUE(std::holds_alternative<LogFile>(result));
    EXPECT_EQ(std::get<LogFile>(result).Count(), 21u);
    EXPECT_EQ(watch.seen,
              QStringList({QStringLiteral("shown: Чтение лог-файла «field.log»…"), "closed"}));
}

}  // namespace
}  // namespace rv
