// The real console window against the simulated unit on a published pseudo-terminal: every reply
// family reaches its fields, the settings editor writes and reads back a PIN and an access point,
// a saved traffic log replayed by the unit rebuilds the same display, and the calibration view
// captures live readings.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <filesystem>

#include "support/LiveWindowQt.h"
#include "support/SimProcessQt.h"
#include "text/Cp1251.h"
#include "ui/MainWindow.h"

namespace rv {
namespace {

namespace fs = std::filesystem;

class SimulatedUnit : public test::LiveWindowTest {
  protected:
    SimulatedUnit() : LiveWindowTest("simunit") {}
    void Start(int port) {
        Window().findChild<QAction*>(QStringLiteral("FindAction"))->trigger();
        auto* item = Window().findChild<QAction*>(QStringLiteral("DeviceItem%1").arg(port));
        ASSERT_NE(item, nullptr) << "COM" << port << " not discovered";
        item->trigger();
        ASSERT_TRUE(Window().Form().Q().IsOpen());
    }
    // Types into a line edit as the technician would: select all, then one key per character.
    void Type(const QString& name, const QString& text) {
        auto* edit = Window().findChild<QLineEdit*>(name);
        ASSERT_NE(edit, nullptr) << name.toStdString();
        edit->setFocus();
        edit->selectAll();
        QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
        QApplication::sendEvent(edit, &del);
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &press);
        }
    }
    void Click(const QString& name) {
        auto* button = Window().findChild<QAbstractButton*>(name);
        ASSERT_NE(button, nullptr) << name.toStdString();
        ASSERT_TRUE(button->isEnabled()) << name.toStdString();
        button->click();
    }

    const fs::path root_ = runtime_.Root();
};

// One display field of every reply family.
const char* const kEveryFamily[] = {
    "LL_DI0",   "LL_DI1",  "LL_DN",  "LL_TW0",  "LL_TW1",   "LL_GK0", "LL_GS0",   "LL_RMC",
    "LL_PB0",   "LL_PB1",  "LL_DF0", "LL_RW0",  "LL_RWRES", "LL_DS0", "LL_MN",    "LL_MO",
    "LL_MD0",   "LL_ML",   "LL_MS1", "LL_MT1",  "LL_MB",    "LL_MW1", "LL_SA",    "LL_SS",
    "LL_SMSIN", "LL_I0",   "LL_I3",  "LL_LS0Y", "LL_LS0T",  "LL_OW0", "LL_GAS10", "LL_ML1",
    "LL_ML3",   "LL_ICT0", "LL_CV0", "LL_CA",   "LL_CT",    "LL_CU",
};

TEST_F(SimulatedUnit, EveryFamilyReachesItsFields) {
    test::SimProcess sim({"--port", "11", "--seed", "5"});
    ASSERT_TRUE(sim.Started()) << sim.Output().toStdString();
    Start(11);
    std::string missing;
    const bool all = RunUntil(
        [&] {
            missing.clear();
            for (const char* name : kEveryFamily) {
                const QString t = Text(QString::fromUtf8(name));
                if (t == QStringLiteral("-") || t == QStringLiteral("---"))
                    missing += std::string(name) + " ";
            }
            return missing.empty();
        },
        30000);
    EXPECT_TRUE(all) << "still idle: " << missing;
    EXPECT_TRUE(Text(QStringLiteral("LL_DI0")).startsWith(QStringLiteral("Rarevi")));
    EXPECT_FALSE(Window().findChild<QLabel*>(QStringLiteral("LabelNo"))->isVisible());
}

TEST_F(SimulatedUnit, SettingsAreWrittenAndReadBack) {
    test::SimProcess sim({"--port", "12", "--seed", "6"});
    ASSERT_TRUE(sim.Started()) << sim.Output().toStdString();
    Start(12);
    ASSERT_TRUE(
        RunUntil([&] { return Text(QStringLiteral("LL_DN")) != QStringLiteral("-"); }, 15000));

    Type(QStringLiteral("LL_SP"), QStringLiteral("4321"));
    Click(QStringLiteral("SP_Write"));
    Type(QStringLiteral("LL_SS01"), QStringLiteral("internet.test"));
    Type(QStringLiteral("LL_SS11"), QStringLiteral("driver"));
    Type(QStringLiteral("LL_SS21"), QStringLiteral("secret7"));
    Click(QStringLiteral("Button4"));
    // Spoil the fields, then read what the unit stored.
    Type(QStringLiteral("LL_SP"), QStringLiteral("1111"));
    Type(QStringLiteral("LL_SS01"), QStringLiteral("other.apn"));
    Click(QStringLiteral("SP_Read"));
    Click(QStringLiteral("Button5"));
    EXPECT_TRUE(
        RunUntil([&] { return Text(QStringLiteral("LL_SP")) == QStringLiteral("4321"); }, 15000))
        << Text(QStringLiteral("LL_SP")).toStdString();
    EXPECT_TRUE(RunUntil(
        [&] { return Text(QStringLiteral("LL_SS01")) == QStringLiteral("internet.test"); }, 15000))
        << Text(QStringLiteral("LL_SS01")).toStdString();
    EXPECT_EQ(Text(QStringLiteral("LL_SS11")), QStringLiteral("driver"));
    EXPECT_EQ(Text(QStringLiteral("LL_SS21")), QStringLiteral("secret7"));
}

// Every display field's text, for comparing two sessions.
std::map<std::string, std::string> DisplayState(MainForm& form) {
    std::map<std::string, std::string> state;
    const DisplayModel& d = form.Display();
    for (std::size_t i = 0; i < d.FieldCount(); ++i) {
        const int f = static_cast<int>(i);
        // Byte counts include what came before the log; port and status tell the link, not the
        // unit.
        if (d.Name(f) == "LL_PIN" || d.Name(f) == "L_PNUM" || d.Name(f) == "L_PSTAT") continue;
        state[d.Name(f)] = d.Text(f);
    }
    return state;
}

TEST_F(SimulatedUnit, AReplayedLogRebuildsTheSameDisplay) {
    std::map<std::string, std::string> original;
    const fs::path log = root_ / "session.log";
    {
        test::SimProcess sim({"--port", "13", "--seed", "7"});
        ASSERT_TRUE(sim.Started()) << sim.Output().toStdString();
        Start(13);
        ASSERT_TRUE(RunUntil([&] { return Window().Form().Log().Count() > 150; }, 30000));
        Window().findChild<QAction*>(QStringLiteral("StopAction"))->trigger();
        original = DisplayState(Window().Form());
        ASSERT_TRUE(Window().SaveLogTo(QString::fromStdString(log.string())));
    }
    window_.reset();  // a new console, as on another day
    test::SimProcess replay(
        {"--port", "14", "--replay", QString::fromStdString(log.string()), "--speed", "0"});
    ASSERT_TRUE(replay.Started()) << replay.Output().toStdString();
    Start(14);
    const std::size_t lines = original.size();
    ASSERT_GT(lines, 0u);
    EXPECT_TRUE(RunUntil([&] { return DisplayState(Window().Form()) == original; }, 30000));
    const auto replayed = DisplayState(Window().Form());
    for (const auto& [name, text] : original) {
        EXPECT_EQ(Cp1251ToUtf8(replayed.at(name)), Cp1251ToUtf8(text)) << name;
    }
}

TEST_F(SimulatedUnit, CalibrationChannelsCaptureLiveReadings) {
    test::SimProcess sim({"--port", "15", "--seed", "8"});
    ASSERT_TRUE(sim.Started()) << sim.Output().toStdString();
    Start(15);
    Window().findChild<QAction*>(QStringLiteral("N9"))->trigger();
    Recorder& recorder = Window().Form().Calibration();
    // Wait until an analogue input and a fuel-level level reading have been seen.
    std::string analogue, level;
    const bool seen = RunUntil(
        [&] {
            for (const std::string& name : recorder.Sources()) {
                if (name.find(W("(аналоговый)")) != std::string::npos) analogue = name;
                if (name.find(W("(уровень)")) != std::string::npos) level = name;
            }
            return !analogue.empty() && !level.empty();
        },
        20000);
    ASSERT_TRUE(seen) << [&] {
        std::string names;
        for (const std::string& name : recorder.Sources()) names += Cp1251ToUtf8(name) + "; ";
        return names + "log lines: " + std::to_string(Window().Form().Log().Count());
    }();
    auto choose = [&](int n, const std::string& source) {
        auto* combo = Window().findChild<QComboBox*>(QStringLiteral("cmbDat%1").arg(n));
        ASSERT_NE(combo, nullptr);
        combo->showPopup();  // the drop-down rebuilds its list as it opens
        combo->hidePopup();
        const int index = combo->findText(QString::fromStdString(Cp1251ToUtf8(source)));
        ASSERT_GT(index, 0) << Cp1251ToUtf8(source);
        combo->setCurrentIndex(index);
        emit combo->activated(index);  // as the technician's pick in the list
    };
    choose(1, analogue);
    choose(2, level);
    EXPECT_TRUE(RunUntil(
        [&] { return !recorder.State(1).pd3.empty() && !recorder.State(2).pd3.empty(); }, 20000));

    // The level field takes digits only.
    Type(QStringLiteral("pd14"), QStringLiteral("a-,.7"));
    EXPECT_EQ(Window().findChild<QLineEdit*>(QStringLiteral("pd14"))->text(), QStringLiteral("7"));
    Click(QStringLiteral("cmdS1"));
    EXPECT_EQ(recorder.State(1).visibleRows, 1u);
    // Choosing the same source again keeps the table; the placeholder empties the channel.
    choose(1, analogue);
    EXPECT_EQ(recorder.State(1).visibleRows, 1u);
    auto* combo = Window().findChild<QComboBox*>(QStringLiteral("cmbDat1"));
    combo->setCurrentIndex(0);
    emit combo->activated(0);
    EXPECT_EQ(recorder.State(1).visibleRows, 0u);
    EXPECT_FALSE(Window().findChild<QWidget*>(QStringLiteral("panStat1"))->isEnabled());
}

}  // namespace
}  // namespace rv
