// Identity, power and self-test replies: texts, colours and thresholds.
#include <gtest/gtest.h>

#include "ReplyRig.h"

namespace rv {
namespace {

TEST(IdentityReplies, UnitIdAsReceived) {
    ExpectReplies({
        {">DN=000123", {{"LL_DN", "000123", kBlack}}},
        {">DN=", {{"LL_DN", "", kBlack}}},
    });
}

TEST(IdentityReplies, UpdateStatesShowOnlyCodesOneAndTwo) {
    ExpectReplies({
        {">DF=0;1", {{"LL_DF0", "нет заданий", kGrey}, {"LL_DF1", "требуется", kRed}}},
        {">DF=3;2", {{"LL_DF0", "нет заданий", kGrey}, {"LL_DF1", "подтверждение", kOlive}}},
        {">DF=-1;x", {{"LL_DF0", "нет заданий", kGrey}, {"LL_DF1", "нет заданий", kGrey}}},
    });
}

TEST(IdentityReplies, SupplyVoltageColoursFollowTheMillivolts) {
    ExpectReplies({
        {">PB=11999;4200", {{"LL_PB0", "12.00 В", kOlive}, {"LL_PB1", " 4.20 В", kBlack}}},
        {">PB=12000;3900", {{"LL_PB0", "12.00 В", kBlack}, {"LL_PB1", " 3.90 В", kBlack}}},
        {">PB=7000;4199", {{"LL_PB0", "7.00 В", kOlive}, {"LL_PB1", " 4.20 В", kBlack}}},
        {">PB=6999;3299", {{"LL_PB0", "7.00 В", kRed}, {"LL_PB1", " 3.30 В", kRed}}},
        {">PB=0;3300", {{"LL_PB0", "0.00 В", kRed}, {"LL_PB1", " 3.30 В", kOlive}}},
        {">PB=13805;3899", {{"LL_PB0", "13.81 В", kBlack}, {"LL_PB1", " 3.90 В", kOlive}}},
        {">PB=x;", {{"LL_PB0", "0.00 В", kRed}, {"LL_PB1", " 0.00 В", kRed}}},
        {">PB=24500;3700", {{"LL_PB0", "24,50 В", kBlack}, {"LL_PB1", " 3,70 В", kOlive}}, ','},
    });
}

TEST(IdentityReplies, BatteryBarLevels) {
    const struct {
        const char* millivolts;
        int level;
    } cases[] = {{"-100", 0}, {"3299", 0}, {"3300", 1}, {"3599", 1}, {"3600", 2},
                 {"3899", 2}, {"3900", 3}, {"4199", 3}, {"4200", 4}, {"9000", 4}};
    for (const auto& c : cases) {
        ReplyRig rig;
        rig.display.SetBar(Bar::Battery, 2);
        rig.Line(std::string(">PB=12000;") + c.millivolts);
        EXPECT_EQ(rig.display.BarPosition(Bar::Battery), c.level) << c.millivolts;
    }
}

TEST(IdentityReplies, ModelTextOnlyForKnownCodes) {
    ExpectReplies({
        {">DI=200;1;5", {{"LL_DI0", "Rarevi", kBlack}, {"LL_DI1", "1.5", kBlack}}},
        {">DI=201;2;10", {{"LL_DI0", "Rarevi Pro", kBlack}, {"LL_DI1", "2.10", kBlack}}},
        {">DI=202;x;", {{"LL_DI0", "Rarevi CAN", kBlack}, {"LL_DI1", "0.0", kBlack}}},
        // An unknown model leaves the idle text; the version is still shown.
        {">DI=199;3;1", {{"LL_DI0", "-", kGrey}, {"LL_DI1", "3.1", kBlack}}},
    });
    ReplyRig rig;
    rig.Line(">DI=201;1;0");
    rig.Line(">DI=199;2;10");
    EXPECT_EQ(rig.Text("LL_DI0"), "Rarevi Pro");
    EXPECT_EQ(rig.Text("LL_DI1"), "2.10");
}

TEST(IdentityReplies, UnitClockUsesTheRegionalFormatsAndRunningTimeHasNoDayWrap) {
    struct Case {
        std::string line;
        std::string shortDate, longTime;
        std::string clock, running;
    } cases[] = {
        {">TW=1700000000;90061", "dd.MM.yyyy", "H:mm:ss", "14.11.2023  22:13:20", "25:01:01"},
        {">TW=1700000000;59", "M/d/yyyy", "h:mm:ss AP", "11/14/2023  10:13:20 PM", "0:00:59"},
        {">TW=0;3599", "dd.MM.yyyy", "HH:mm:ss", "01.01.1970  00:00:00", "0:59:59"},
        {">TW=x;x", "dd.MM.yyyy", "H:mm:ss", "01.01.1970  0:00:00", "0:00:00"},
        // The seconds are unsigned: -1 is the last second of the unit's counter.
        {">TW=-1;0", "yyyy-MM-dd", "H:mm:ss", "2106-02-07  6:28:15", "0:00:00"},
        {">TW=951782400;360000", "dd.MM.yy", "H:mm:ss", "29.02.00  0:00:00", "100:00:00"},
    };
    for (const Case& c : cases) {
        ReplyRig rig;
        rig.formats.shortDateFormat = c.shortDate;
        rig.formats.longTimeFormat = c.longTime;
        rig.Line(c.line);
        EXPECT_EQ(rig.Text("LL_TW0"), c.clock) << c.line;
        EXPECT_EQ(rig.Text("LL_TW1"), c.running) << c.line;
        EXPECT_EQ(rig.ColourOf("LL_TW0"), kBlack);
    }
}

TEST(IdentityReplies, MemoryUseRoundsHalvesToEven) {
    ExpectReplies({
        {">RW=0;6592",
         {{"LL_RW0", "0", kBlack}, {"LL_RW1", "6592", kBlack}, {"LL_RWRES", "100 %", kBlack}}},
        {">RW=0;824", {{"LL_RWRES", "12 %", kBlack}}},    // 12.5
        {">RW=0;2472", {{"LL_RWRES", "38 %", kBlack}}},   // 37.5
        {">RW=824;0", {{"LL_RWRES", "-12 %", kBlack}}},   // -12.5
        {">RW=2472;0", {{"LL_RWRES", "-38 %", kBlack}}},  // -37.5
        {">RW=100;0", {{"LL_RWRES", "-2 %", kBlack}}},    // -1.52
        {">RW=0;825", {{"LL_RWRES", "13 %", kBlack}}},    // 12.515
        {">RW=0;0", {{"LL_RWRES", "0 %", kBlack}}},
        {">RW=x;", {{"LL_RW0", "0", kBlack}, {"LL_RW1", "0", kBlack}, {"LL_RWRES", "0 %", kBlack}}},
        {">RW=-2147483648;2147483647",
         {{"LL_RW0", "-2147483648", kBlack}, {"LL_RWRES", "65154237 %", kBlack}}},
    });
}

TEST(IdentityReplies, SelfTestWord) {
    const char* const all[] = {"LL_DS0",  "LL_DS1", "LL_DS2",  "LL_DS4",  "LL_DS6",
                               "LL_DS62", "LL_DS8", "LL_DS82", "LL_DS10", "LL_DS11"};
    // Bits 0,1,2,4,5,6,7,8,9,10,11,16,17,18: every check passed.
    const std::string passed = "462839";
    ExpectReplies({
        {">DS=0",
         {{"LL_DS0", "нет настроек", kRed},
          {"LL_DS1", "Ошибка", kRed},
          {"LL_DS2", "Ошибка", kRed},
          {"LL_DS4", "Ошибка", kRed},
          {"LL_DS6", "Не обнаружена", kRed},
          {"LL_DS62", "Не обнаружена", kRed},
          {"LL_DS8", "Hе требуется", kOlive},
          {"LL_DS82", "Hе требуется", kOlive},
          {"LL_DS10", "-", kGrey},
          {"LL_DS11", "Ошибка", kRed}}},
        {">DS=" + passed,
         {{"LL_DS0", "Ok", kBlack},
          {"LL_DS1", "Ok", kBlack},
          {"LL_DS2", "Ok", kBlack},
          {"LL_DS4", "Ok", kBlack},
          {"LL_DS6", "Ok (В работе)", kBlack},
          {"LL_DS62", "Ok", kBlack},
          {"LL_DS8", "Ok", kBlack},
          {"LL_DS82", "Ok", kBlack},
          {"LL_DS10", "Ok", kBlack},
          {"LL_DS11", "Ok", kBlack}}},
        {">DS=73728", {{"LL_DS62", "Ok (В работе)", kBlack}}},  // bits 16 and 13
        {">DS=8192", {{"LL_DS62", "Не обнаружена", kRed}}},     // bit 13 alone
        {">DS=64", {{"LL_DS6", "Ok (В работе)", kBlack}}},
        {">DS=16", {{"LL_DS4", "Ошибка", kRed}}},
        {">DS=32", {{"LL_DS4", "Ошибка", kRed}}},
        {">DS=48", {{"LL_DS4", "Ok", kBlack}}},
        {">DS=128", {{"LL_DS8", "Ошибка", kRed}}},
        {">DS=256", {{"LL_DS8", "Hе требуется", kOlive}}},
        {">DS=384", {{"LL_DS8", "Ok", kBlack}}},
        {">DS=131072", {{"LL_DS82", "Ошибка", kRed}}},
        {">DS=262144", {{"LL_DS82", "Hе требуется", kOlive}}},
        {">DS=393216", {{"LL_DS82", "Ok", kBlack}}},
        {">DS=512", {{"LL_DS10", "Нет NMEA", kRed}}},
        {">DS=1024", {{"LL_DS10", "Нет питания", kRed}}},
        {">DS=1536", {{"LL_DS10", "Ok", kBlack}}},
        {">DS=1", {{"LL_DS0", "Ok", kBlack}, {"LL_DS1", "Ошибка", kRed}}},
        {">DS=2048", {{"LL_DS11", "Ok", kBlack}}},
        // A bad word reads as 0: every failure text.
        {">DS=x", {{"LL_DS0", "нет настроек", kRed}, {"LL_DS62", "Не обнаружена", kRed}}},
        // All 32 bits set.
        {">DS=-1", {{"LL_DS62", "Ok (В работе)", kBlack}, {"LL_DS10", "Ok", kBlack}}},
    });
    ReplyRig rig;
    rig.Line(">DS=" + passed);
    for (const char* f : all) EXPECT_EQ(rig.ColourOf(f), kBlack) << f;
    // Neither navigation bit: the module's field keeps what it showed.
    rig.Line(">DS=512");
    rig.Line(">DS=0");
    EXPECT_EQ(rig.Text("LL_DS10"), "Нет NMEA");
    EXPECT_EQ(rig.ColourOf("LL_DS10"), kRed);
}

TEST(IdentityReplies, MixedScriptLiteralsAreByteExact) {
    ReplyRig rig;
    rig.Line(">DS=73920");  // bits 6, 7, 13, 16: SIM cards in use, PIN1 failed, PIN2 not needed
    // "Hе требуется": Latin H (0x48), then Cyrillic е (0xE5).
    EXPECT_EQ(rig.display.Text(rig.F("LL_DS82")).substr(0, 3), "\x48\xE5 ");
    // "Ok (В работе)": Latin O and k, Cyrillic В (0xC2).
    EXPECT_EQ(rig.display.Text(rig.F("LL_DS6")).substr(0, 5), "Ok (\xC2");
    EXPECT_EQ(rig.display.Text(rig.F("LL_DS62")).substr(0, 5), "Ok (\xC2");
    rig.Line(">DS=512");
    // "Нет NMEA": Cyrillic Н (0xCD) е т, Latin NMEA.
    EXPECT_EQ(rig.display.Text(rig.F("LL_DS10")), "\xCD\xE5\xF2 NMEA");
    rig.Line(">PB=12000;4200");
    EXPECT_EQ(rig.display.Text(rig.F("LL_PB0")), "12.00 \xC2");  // Cyrillic В, volt
}

}  // namespace
}  // namespace rv
