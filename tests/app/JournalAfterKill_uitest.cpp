// The console program killed outright (SIGKILL) in the middle of a stream from the simulated unit
// over a pseudo-terminal: its session journal still holds every line received up to a second
// before the kill, in exactly the bytes the traffic-log save writes for them.
#include <gtest/gtest.h>
#include <signal.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTime>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/SimProcess.h"
#include "support/TempFolder.h"
#include "support/TempRuntimeDir.h"

namespace rv {
namespace {

namespace fs = std::filesystem;

constexpr int kPort = 17;
constexpr int kLines = 1000;  // ten seconds at one line every 10 ms

std::string LineText(int i) {
    char text[32];
    std::snprintf(text, sizeof text, "seq %05d;", i);
    return text;
}

// A saved log the unit plays back with its recorded timing: a line every 10 ms.
std::string ReplayLog() {
    std::string log;
    for (int i = 0; i < kLines; ++i) {
        const int ms = i * 10;
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "10:%02d:%02d.%03d  ", ms / 60000, ms / 1000 % 60,
                      ms % 1000);
        log += stamp + LineText(i) + "\r\n";
    }
    return log + "\r\n";
}

std::vector<fs::path> Journals(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec))
        if (e.path().extension() == ".log") files.push_back(e.path());
    return files;
}

TEST(JournalAfterKill, HoldsEveryLineUpToASecondBeforeTheKill) {
    test::TempRuntimeDir runtime("journalkill");
    test::TempFolder state;
    const fs::path replay = runtime.Root() / "replay.log";
    test::WriteAll(replay, ReplayLog());
    test::SimProcess sim({"--port", std::to_string(kPort), "--replay", replay.string()});
    ASSERT_TRUE(test::WaitFor([&] { return fs::exists(runtime.Link(kPort)); }));

    QProcess console;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("REVODIVE_DEMO_PORT"), QString::number(kPort));
    env.insert(QStringLiteral("XDG_STATE_HOME"), QString::fromStdString(state.path().string()));
    console.setProcessEnvironment(env);
    console.start(QStringLiteral(REVODIVE_CONSOLE_PATH), {});
    ASSERT_TRUE(console.waitForStarted(10000));

    // Killed once the journal holds a few seconds of the stream, while the unit still sends.
    const fs::path folder = state.path() / "revodive" / "journal";
    ASSERT_TRUE(test::WaitFor([&] {
        const auto files = Journals(folder);
        return files.size() == 1 && fs::file_size(files[0]) > 300 * 27;
    })) << "the console journalled nothing";
    // Not right after a write that the test saw, but well into the next stretch of buffering.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const int killedAt = QTime::currentTime().msecsSinceStartOfDay();
    ::kill(static_cast<pid_t>(console.processId()), SIGKILL);
    ASSERT_TRUE(console.waitForFinished(10000));
    EXPECT_EQ(console.exitStatus(), QProcess::CrashExit);

    const auto files = Journals(folder);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_NE(files[0].filename().string().find("_COM17.log"), std::string::npos);
    const std::string journal = test::ReadAll(files[0]);
    // Whole lines as the save writes them: arrival time, two spaces, the text, CR LF; the lines
    // in the order sent, none missing.
    const QRegularExpression shape(
        QStringLiteral("^(\\d\\d):(\\d\\d):(\\d\\d)\\.(\\d\\d\\d)  (.*)$"));
    std::size_t at = 0;
    int count = 0, lastArrival = -1;
    while (at < journal.size()) {
        const std::size_t end = journal.find("\r\n", at);
        ASSERT_NE(end, std::string::npos) << "a cut line at the end";
        const QString line = QString::fromLatin1(journal.substr(at, end - at));
        const auto m = shape.match(line);
        ASSERT_TRUE(m.hasMatch()) << line.toStdString();
        ASSERT_EQ(m.captured(5).toStdString(), LineText(count));
        lastArrival =
            ((m.captured(1).toInt() * 60 + m.captured(2).toInt()) * 60 + m.captured(3).toInt()) *
                1000 +
            m.captured(4).toInt();
        ++count;
        at = end + 2;
    }
    ASSERT_LT(count, kLines) << "the stream was over before the kill";
    // The stream ran up to the kill, so the journal reaches to within a second of it.
    constexpr int kDay = 86400000;
    const int behind = ((killedAt - lastArrival) % kDay + kDay) % kDay;
    EXPECT_LE(behind, 1000) << count << " lines journalled";
}

}  // namespace
}  // namespace rv
