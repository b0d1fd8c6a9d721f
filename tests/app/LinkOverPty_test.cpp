// The console's form with the real serial device over real pseudo-terminals, published in a
// temporary ports folder: what a port that will not open says, and a unit that never reads.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/MainForm.h"
#include "support/OtherHolder.h"
#include "support/PublishedPty.h"
#include "support/ScriptedSerialDevice.h"
#include "support/TempRuntimeDir.h"

namespace fs = std::filesystem;

namespace rv {
namespace {

struct Console {
    explicit Console(std::vector<std::string>* errors = nullptr) {
        FormPlatform p;
        p.ticks = &ticks;
        if (errors) p.reportError = [errors](const std::string& m) { errors->push_back(m); };
        form = std::make_unique<MainForm>(formats, clock, std::move(p));
        form->FormCreate();
    }
    RegionalFormats formats;
    FixedClock clock{{2026, 12, 8, 12, 41, 7, 0}};
    test::ManualTickSource ticks;
    std::unique_ptr<MainForm> form;
};

TEST(LinkOverPty, PortThatWillNotOpenSaysWhy) {
    test::TempRuntimeDir runtime("linkpty");
    test::PublishedPty heldByConsole(runtime, 5);
    Console first;
    first.form->Connection().StartExecute(5);
    ASSERT_TRUE(first.form->Q().IsOpen());
    test::PublishedPty heldByProgram(runtime, 6);
    OtherHolder sleeper(heldByProgram.Device());
    fs::create_symlink(runtime.Root() / "gone", runtime.Link(7));
    test::PublishedPty locked(runtime, 8);
    const bool asRoot = ::geteuid() == 0;  // root opens every device: no permission is unseen
    if (!asRoot) fs::permissions(locked.Device(), fs::perms::none);

    struct Case {
        int port;
        const char* says;
    };
    const Case cases[] = {
        {5, "занят другой программой"},  // a second console
        {6, "«sleep»"},                  // a program that opened it first, named
        {7, "не найдено"},               // its unit has gone
        {8, asRoot ? nullptr : "dialout"},
        {9, "не найдено"},  // never there
    };
    Console second;
    for (const Case& c : cases) {
        if (c.says == nullptr) continue;
        SCOPED_TRACE(c.port);
        second.form->Connection().StartExecute(c.port);
        EXPECT_FALSE(second.form->Q().IsOpen());
        const std::string& reason = second.form->Connection().LinkReason();
        EXPECT_EQ(reason.rfind("COM" + std::to_string(c.port) + ": ", 0), 0u) << reason;
        EXPECT_NE(reason.find(c.says), std::string::npos) << reason;
        ASSERT_NE(second.form->Reports().Standing(report_topic::kLink), nullptr);
        EXPECT_EQ(second.form->Reports().Standing(report_topic::kLink)->text, reason);
    }
    EXPECT_TRUE(first.form->Q().IsOpen());  // the holder keeps its port
}

TEST(LinkOverPty, UnitThatNeverReadsNeverHoldsTheConsoleLongAndEachUnsentCommandIsReported) {
    test::TempRuntimeDir runtime("linkpty");
    test::PublishedPty unit(runtime, 5);
    std::vector<std::string> errors;
    Console console(&errors);
    console.form->Connection().StartExecute(5);
    ASSERT_TRUE(console.form->Q().IsOpen());

    // 50 commands of 1000 characters: far more than the terminal queues before it stalls.
    const std::string text(1000, 'x');
    using Clock = std::chrono::steady_clock;
    Clock::duration longest{};
    for (int i = 0; i < 50; ++i) {
        const auto start = Clock::now();
        console.form->ExecuteAction("DoCommand", text);
        longest = std::max(longest, Clock::now() - start);
    }
    // The device waits 100 ms for room at most; the bound leaves room for a loaded machine.
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(longest).count(), 300);

    const std::string arrived = unit.Drain();
    const std::string line = "\r" + text + "\n";
    std::size_t whole = 0;
    for (std::size_t at = 0; (at = arrived.find(line, at)) != std::string::npos; at += line.size())
        ++whole;
    EXPECT_LT(whole, 50u);  // the queue did fill
    EXPECT_EQ(errors.size(), 50u - whole);
    for (const std::string& e : errors) EXPECT_NE(e.find("не отправлена"), std::string::npos) << e;
    EXPECT_TRUE(console.form->Q().IsOpen());  // a unit that does not read is not a lost one
}

}  // namespace
}  // namespace rv
