// Modem, server link and SIM settings replies.
#include <gtest/gtest.h>

#include "ReplyRig.h"
#include "commands/SettingsEditor.h"

namespace rv {
namespace {

TEST(ModemReplies, IdentityOperatorAndServer) {
    ExpectReplies({
        {">MN=356938035643809", {{"LL_MN", "356938035643809", kBlack}}},
        {">MO=MegaFon;25002", {{"LL_MO", "MegaFon [25002]", kBlack}}},
        {">MO=МТС;", {{"LL_MO", "МТС []", kBlack}}},
        // Only a name and CR: the name field runs to the end and keeps its CR.
        {">MO=Beeline", {{"LL_MO", "Beeline\r []", kBlack}}},
        {">MD=185.12.1.1;2020;3", {{"LL_MD0", "185.12.1.1:2020", kBlack}, {"LL_MD2", "3", kBlack}}},
        {">SA=OK", {{"LL_SA", "OK", kBlack}}},
        {">SS=DATA;128", {{"LL_SS", "DATA [128]", kBlack}}},
    });
}

TEST(ModemReplies, SignalLevelTextAndBar) {
    const struct {
        const char* line;
        const char* text;
        int bar;
    } cases[] = {{">ML=15", "[15]", 15}, {">ML=31", "[31]", 31}, {">ML=40", "[40]", 31},
                 {">ML=x", "[0]", 0},    {">ML=-3", "[-3]", 0},  {">ML=", "[0]", 0}};
    for (const auto& c : cases) {
        ReplyRig rig;
        rig.display.SetBar(Bar::SignalLevel, 7);
        rig.Line(c.line);
        EXPECT_EQ(rig.Text("LL_ML"), c.text) << c.line;
        EXPECT_EQ(rig.ColourOf("LL_ML"), kBlack);
        EXPECT_EQ(rig.display.BarPosition(Bar::SignalLevel), c.bar) << c.line;
    }
}

TEST(ModemReplies, TrafficByteSizesWaitAndQueueReset) {
    ExpectReplies({
        {">MT=10239;10240;250",
         {{"LL_MT1", "10239 B", kBlack},
          {"LL_MT2", "10.0 KB", kBlack},
          {"LL_MT3", "250 мс", kBlack},
          {"LL_MB", "0 [0] B", kBlack}}},
        {">MT=1048576;1048575;x",
         {{"LL_MT1", "1.0 MB", kBlack},
          {"LL_MT2", "1024.0 KB", kBlack},
          {"LL_MT3", "0 мс", kBlack}}},
        {">MT=0;-5;",
         {{"LL_MT1", "0", kBlack}, {"LL_MT2", "0", kBlack}, {"LL_MT3", "0 мс", kBlack}}},
        {">MT=1;15360;7", {{"LL_MT1", "1 B", kBlack}, {"LL_MT2", "15,0 KB", kBlack}}, ','},
        {">MB=3;512", {{"LL_MB", "3[512] B", kBlack}}},
        {">MB=x;", {{"LL_MB", "0[] B", kBlack}}},
        {">SMS=3;2;7", {{"LL_SMSIN", "3/2", kBlack}, {"LL_SMSOUT", "7", kBlack}}},
        {">SMS=x;;", {{"LL_SMSIN", "0/0", kBlack}, {"LL_SMSOUT", "0", kBlack}}},
        {">MW=12;", {{"LL_MW1", "12 сек", kBlack}}},
        // The value is cut up to ";": a CR ending spoils the number.
        {">MW=12", {{"LL_MW1", "0 сек", kBlack}}},
    });
}

TEST(ModemReplies, QueueReplyAfterTrafficInOneBlockWins) {
    ReplyRig rig;
    rig.Block({">MB=4;96", ">MT=1;2;3"});
    EXPECT_EQ(rig.Text("LL_MB"), "4[96] B");
    rig.Line(">MT=1;2;3");
    EXPECT_EQ(rig.Text("LL_MB"), "0 [0] B");
}

TEST(ModemReplies, ConnectionStageTable) {
    const char* const fields[] = {"LL_MS1", "LL_MS2", "LL_MS4", "LL_MS6", "LL_MS7"};
    struct Cell {
        const char* text;
        Colour colour;
    };
    const Cell error{"Ошибка", kRed}, ok{"Оk", kBlack}, search{"Поиск", kGreen},
        passed{"Пройдена", kBlack}, dash{"-", kBlack}, checking{"Проверка", kGreen},
        active{"Активирован", kBlack}, establishing{"Устанавливается", kGreen},
        established{"Установлено", kBlack}, awaited{"Ожидается", kGreen}, confirmed{"Ok", kBlack};
    const struct {
        const char* stage;
        Cell cells[5];
    } rows[] = {
        {"-2", {error, search, dash, dash, dash}},
        {"0", {error, search, dash, dash, dash}},
        {"x", {error, search, dash, dash, dash}},
        {"1", {ok, search, dash, dash, dash}},
        {"2", {ok, passed, dash, dash, dash}},
        {"3", {ok, passed, checking, dash, dash}},
        {"4", {ok, passed, active, dash, dash}},
        {"5", {ok, passed, active, establishing, dash}},
        {"6", {ok, passed, active, established, awaited}},
        {"7", {ok, passed, active, established, confirmed}},
        {"8", {ok, passed, active, established, dash}},
        {"9", {ok, passed, active, established, dash}},
    };
    for (const auto& r : rows) {
        ReplyRig rig;
        rig.Line(std::string(">MS=") + r.stage);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(rig.Text(fields[i]), r.cells[i].text) << r.stage << " " << fields[i];
            EXPECT_EQ(rig.ColourOf(fields[i]), r.cells[i].colour) << r.stage << " " << fields[i];
        }
    }
    // "Оk" of the AT commands: Cyrillic О (0xCE), Latin k; "Ok" of the confirmation: all Latin.
    ReplyRig rig;
    rig.Line(">MS=7");
    EXPECT_EQ(rig.display.Text(rig.F("LL_MS1")), "\xCEk");
    EXPECT_EQ(rig.display.Text(rig.F("LL_MS7")), "Ok");
}

// The settings fields take reply values through their input mask and run their change handler,
// as typing would.
TEST(ModemReplies, PinAndAccessPointRepliesGoThroughMaskAndChangeHandler) {
    ReplyRig rig;
    std::vector<int> changed;
    for (const char* f :
         {"LL_SP", "LL_SP2", "LL_SS01", "LL_SS11", "LL_SS21", "LL_SS02", "LL_SS12", "LL_SS22"}) {
        rig.display.SetChangeHandler(rig.F(f), [&changed](int field) { changed.push_back(field); });
    }
    rig.display.SetMask(rig.F("LL_SP"), PinMaskText);
    rig.display.SetMask(rig.F("LL_SP2"), PinMaskText);

    const struct {
        const char* line;
        std::vector<std::pair<const char*, const char*>> texts;
    } cases[] = {
        {">PIN1=1234", {{"LL_SP", "1234"}}},
        {">PIN1=12", {{"LL_SP", "12  "}}},
        {">PIN1=", {{"LL_SP", "    "}}},
        {">PIN2=98765", {{"LL_SP2", "9876"}}},
        {">ISS1=internet;user;pass",
         {{"LL_SS01", "internet"}, {"LL_SS11", "user"}, {"LL_SS21", "pass"}}},
        {">ISS2=apn.ru;;", {{"LL_SS02", "apn.ru"}, {"LL_SS12", ""}, {"LL_SS22", ""}}},
    };
    for (const auto& c : cases) {
        changed.clear();
        rig.Line(c.line);
        ASSERT_EQ(changed.size(), c.texts.size()) << c.line;
        for (std::size_t i = 0; i < c.texts.size(); ++i) {
            EXPECT_EQ(rig.Text(c.texts[i].first), c.texts[i].second) << c.line;
            EXPECT_EQ(changed[i], rig.F(c.texts[i].first)) << c.line;
        }
    }
    // The colour of a reply does not reach a masked edit.
    rig.display.SetFieldColour(rig.F("LL_SS01"), kRed);
    rig.Line(">ISS1=a;b;c");
    EXPECT_EQ(rig.ColourOf("LL_SS01"), kRed);
}

TEST(ModemReplies, SettingsFieldsSurviveTheClearReply) {
    ReplyRig rig;
    rig.Line(">ISS1=internet;user;pass");
    rig.Line(">SERV=0");
    EXPECT_EQ(rig.clears, 1);
    EXPECT_EQ(rig.Text("LL_SS01"), "internet");
    EXPECT_EQ(rig.Text("LL_MO"), "-");
}

}  // namespace
}  // namespace rv
