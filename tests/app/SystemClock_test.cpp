// The computer's clock works out the calendar fields once a second: across a second's turn it must
// give the new second's fields, as the C library converts them.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <thread>

#include "app/SystemClock.h"

namespace rv {
namespace {

std::tm LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &now);
#else
    localtime_r(&now, &tm);
#endif
    return tm;
}

TEST(SystemClock, FollowsTheSecondsAsTheyTurn) {
    const SystemClock clock;
    for (int turn = 0; turn < 2; ++turn) {
        // Read between two conversions of the same second, so the three agree.
        std::tm before{}, after{};
        LocalDateTime t;
        do {
            before = LocalNow();
            t = clock.Now();
            after = LocalNow();
        } while (before.tm_sec != after.tm_sec);
        EXPECT_EQ(t.year, after.tm_year + 1900);
        EXPECT_EQ(t.month, after.tm_mon + 1);
        EXPECT_EQ(t.day, after.tm_mday);
        EXPECT_EQ(t.hour, after.tm_hour);
        EXPECT_EQ(t.minute, after.tm_min);
        EXPECT_EQ(t.second, after.tm_sec);
        EXPECT_GE(t.millisecond, 0);
        EXPECT_LT(t.millisecond, 1000);
        // On to the next second.
        while (LocalNow().tm_sec == after.tm_sec)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

}  // namespace
}  // namespace rv
