// The receive handler as a whole: the decoding order within a block, the clear reply, conversion
// failures, and a long mixed stream through the serial driver's framing.
#include "protocol/ReplyHandler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "ReplyRig.h"
#include "app/Console.h"
#include "serial/CommPortDriver.h"
#include "support/ScriptedSerialDevice.h"

namespace rv {
namespace {

TEST(ReplyHandler, KeyOrderCoversEveryKeyOnce) {
    // Building the handler binds every key once and throws on a key without decoder, which a
    // repeated key would be.
    ReplyRig rig;
    const auto& order = ReplyKeyTable::KeyOrder();
    EXPECT_EQ(order.size(), 61u);
    EXPECT_EQ(order.front(), ">SERV=");
    const auto at = [&](std::string_view key) {
        return std::find(order.begin(), order.end(), key) - order.begin();
    };
    EXPECT_LT(at(">CS="), at(">CQ="));
    EXPECT_LT(at(">CQ="), at(">CU="));
    EXPECT_LT(at(">MS="), at(">I"));
    EXPECT_EQ(at(">I") + 1, at(">O"));
    EXPECT_EQ(at(">ICT="), static_cast<std::ptrdiff_t>(order.size()) - 1);
}

// A value that cannot be converted stops the block where its key stands in the decoding order:
// the replies of the keys before it are shown, those after it are not, wherever the lines stand
// in the block.
TEST(ReplyHandler, ConversionFailureStopsAtItsPlaceInTheKeyOrder) {
    struct Reply {
        const char* line;
        const char* field;
        const char* shown;  // what the field shows when the reply is decoded
    };
    // One line per family, in the reverse of the decoding order.
    const std::vector<Reply> replies = {
        {">ICT=1;2;3", "LL_ICT0", "1"},
        {">CU=1", "LL_CU", "1"},
        {">CQ=1", "LL_CT", "0.1"},
        {">ISS2=a;b;c", "LL_SS02", "a"},
        {">PIN1=1234", "LL_SP", "1234"},
        {">O20=1", "LL_I0", "активирован"},
        {">MS=3", "LL_MS4", "Проверка"},
        {">DS=1", "LL_DS0", "Ok"},
        {">SMS=1;2;3", "LL_SMSIN", "1/2"},
        {">CV=1;2;3", "LL_CV0", "1"},
        {">MT=1;2;3", "LL_MT1", "1 B"},
        {">RW=1;2", "LL_RW0", "1"},
        {">ML=5", "LL_ML", "[5]"},
        {">LLS=1;5;1;2;3", "LL_LS0Y", "1"},
        {">TW=0;0", "LL_TW1", "0:00:00"},
        {">DF=1;1", "LL_DF0", "требуется"},
        {">GAS=1460;0", "LL_GAS1460", "0.0000"},
        {">GAS=10;0", "LL_GAS10", "0.0000"},
        {">GS=1;2;3;4;5", "LL_GS0", "1"},
        {">GK=1;2", "LL_GK0", "1"},
    };
    const struct {
        const char* bad;
        std::size_t decoded;  // how many of the last replies above come before it
    } cases[] = {
        {">GAS=1480;x", 2},  // after >GS= only
        {">GAS=20;x", 3},    // after >GAS=10;
        {">GAS=960;x", 3},   // before >GAS=1460;
        {">ML3=x;0", replies.size() - 1},
        {">ML3=1;x", replies.size() - 1},  // before >ICT= only
    };
    for (const auto& c : cases) {
        ReplyRig rig;
        std::string block;
        for (const Reply& r : replies) block += W(r.line) + "\r\n";
        block += std::string(c.bad) + "\r\n";
        rig.Raw(block);
        ASSERT_EQ(rig.errors.size(), 1u) << c.bad;
        for (std::size_t i = 0; i < replies.size(); ++i) {
            const bool decoded = i >= replies.size() - c.decoded;
            EXPECT_EQ(rig.Text(replies[i].field) == replies[i].shown, decoded)
                << c.bad << " -> " << replies[i].line;
        }
    }
    // Without a failure every line of the block is decoded.
    ReplyRig rig;
    std::string block;
    for (const Reply& r : replies) block += W(r.line) + "\r\n";
    rig.Raw(block);
    EXPECT_TRUE(rig.errors.empty());
    for (const Reply& r : replies) EXPECT_EQ(rig.Text(r.field), r.shown) << r.line;
}

TEST(ReplyHandler, ServZeroClearsFirstThenTheRestOfTheBlockShows) {
    ReplyRig rig;
    rig.Line(">MO=MegaFon;25002");
    rig.Line(">LLS=1;5;1200;3400;25");
    ASSERT_TRUE(rig.RowOpen("LL_LS0Y"));
    // The clear reply stands last in the block but is decoded first.
    rig.Block({">DN=42", ">CA=100", ">SERV=0"});
    EXPECT_EQ(rig.clears, 1);
    EXPECT_EQ(rig.Text("LL_MO"), "-");
    EXPECT_EQ(rig.ColourOf("LL_MO"), kGrey);
    EXPECT_EQ(rig.Text("LLS0"), ":");
    EXPECT_FALSE(rig.RowOpen("LL_LS0Y"));
    EXPECT_EQ(rig.Text("LL_DN"), "42");
    EXPECT_EQ(rig.ColourOf("LL_DN"), kBlack);
    EXPECT_EQ(rig.Text("LL_CA"), "1.00");
    EXPECT_TRUE(rig.RowOpen("LL_CA"));
}

TEST(ReplyHandler, OnlyServZeroClears) {
    for (const char* block : {">SERV=1\r\n", ">SERV=00\r\n", ">SERV= 0\r\n", ">SERV=\r\n",
                              ">SERV=0;\r\n", ">serv=0\r\n"}) {
        ReplyRig rig;
        rig.Line(">DN=7");
        rig.Raw(block);
        EXPECT_EQ(rig.clears, 0) << block;
        EXPECT_EQ(rig.Text("LL_DN"), "7") << block;
    }
    for (const char* block : {">SERV=0\r\n", ">SERV=0\n", "noise>SERV=0\r\n"}) {
        ReplyRig rig;
        rig.Raw(block);
        EXPECT_EQ(rig.clears, 1) << block;
    }
}

TEST(ReplyHandler, KeysAreFoundAnywhereFirstOccurrenceOnly) {
    ReplyRig rig;
    rig.Raw("garbage >GK=1;2\r\n");
    EXPECT_EQ(rig.Text("LL_GK0"), "1");
    rig.Raw(">DN=first\r>DN=second\r\n");
    EXPECT_EQ(rig.Text("LL_DN"), "first");
    // A line without CR: the last field stops before the LF.
    rig.Raw(">DN=123\n");
    EXPECT_EQ(rig.Text("LL_DN"), "123");
    // Several replies in one block, each decoded.
    rig.Block({">GS=9;1;2;10;3", ">MS=7", ">CE=15", ">ID4=1"});
    EXPECT_EQ(rig.Text("LL_GS0"), "9");
    EXPECT_EQ(rig.Text("LL_MS7"), "Ok");
    EXPECT_EQ(rig.Text("LL_CE"), "1.5");
    EXPECT_EQ(rig.Text("LL_I4"), "замкнут");
}

TEST(ReplyHandler, NonReplyBlocksChangeNothing) {
    for (std::string block :
         {std::string(), std::string("\r\n"), std::string("hello\r\n"), std::string(">\r\n"),
          std::string(">>>>"), std::string("=;;\r"), std::string("\0\0\0>\0", 5)}) {
        ReplyRig rig;
        rig.Raw(block);
        EXPECT_TRUE(rig.errors.empty());
        EXPECT_EQ(rig.clears, 0);
        for (std::size_t f = 0; f < rig.display.FieldCount(); ++f) {
            const std::string& name = rig.display.Name(static_cast<int>(f));
            if (name.rfind("LL_", 0) == 0 &&
                rig.display.Kind(static_cast<int>(f)) != FieldKind::MaskedEdit) {
                EXPECT_EQ(rig.display.Text(static_cast<int>(f)), "-") << name;
            }
        }
    }
}

TEST(ReplyHandler, DecodeNeverThrowsEvenWhenTheReportFails) {
    DisplayModel display;
    RegionalFormats formats;
    RecordingCapture capture;
    int reports = 0;
    ReplyHandler handler(
        display, formats, capture, [] { throw std::runtime_error("clear"); },
        [&reports](const std::string&) {
            ++reports;
            throw std::runtime_error("report");
        });
    EXPECT_NO_THROW(handler.Decode(">GAS=10;x\r\n"));
    EXPECT_NO_THROW(handler.Decode(">SERV=0\r\n>DN=5\r\n"));
    EXPECT_EQ(reports, 2);
    handler.Decode(">DN=6\r\n");
    EXPECT_EQ(display.Text(display.Field("LL_DN")), "6");
}

// A few hundred lines as a unit sends them after a restart, cut into serial reads of odd sizes;
// the last value of each reply must be what the window shows.
TEST(ReplyHandler, RecordedStreamEndToEnd) {
    std::string stream = ">SERV=0\r\n";
    int lines = 1;
    auto add = [&](const std::string& utf8) {
        stream += W(utf8) + "\r\n";
        ++lines;
    };
    add(">DI=201;3;17");
    add(">DN=000777");
    add(">MN=356938035643809");
    add(">PIN1=1234");
    add(">ISS1=internet;gdata;gdata");
    for (int t = 0; t < 60; ++t) {
        add(">GK=55." + std::to_string(751200 + t) + ";37." + std::to_string(618400 + t));
        add(">GS=" + std::to_string(3 + t % 9) + ";" + std::to_string(t) + ";150;" +
            std::to_string(8 + t % 30) + ";" + std::to_string(t * 6));
        add(">PB=" + std::to_string(12400 - t) + ";" + std::to_string(4150 - t));
        add(">TW=" + std::to_string(1700000000 + t) + ";" + std::to_string(3600 + t));
        add(">MS=" + std::to_string(t < 40 ? t / 6 : 7));
        add(">ML=" + std::to_string(10 + t % 20));
        add(">ID" + std::to_string(t % 4) + "=" + std::to_string(t % 2));
        add(">IF5=" + std::to_string(1000 + t));
        if (t % 3 == 0)
            add(">LLS=1;" + std::to_string(5 + 80 * (t % 2)) + ";" + std::to_string(2000 + t) +
                ";" + std::to_string(30000 + t) + ";24");
        if (t % 5 == 0) add(">CA=" + std::to_string(123400 + t) + "\r\n>CB=" + std::to_string(t));
        if (t % 7 == 0) add("AT+CSQ noise without a key");
        if (t == 30) add(">GAS=10;bad");
    }
    add(">MT=20480;1536;300");
    add(">DS=462839");
    add(">RW=100;924");
    ASSERT_GT(lines, 400);

    RegionalFormats formats;
    formats.decimalSeparator = ',';
    FixedClock clock({2026, 12, 8, 9, 0, 0, 0});
    std::vector<std::string> errors;
    Console console(formats, clock, [&](const std::string& m) { errors.push_back(m); });
    console.StatClearExecute();
    auto device = std::make_unique<test::ScriptedSerialDevice>();
    auto* dev = device.get();
    test::ManualTickSource ticks;
    TCommPortDriver q(std::move(device), ticks, [](int) { return std::string("/dev/fake"); });
    q.SetEndByte(10);
    q.SetOnReceiveData([&](TCommPortDriver&, const std::uint8_t* data, std::int32_t size) {
        console.QReceiveData(data, size);
    });
    ASSERT_TRUE(q.OpenPort());
    std::size_t at = 0;
    for (std::size_t k = 0; at < stream.size(); ++k) {
        const std::size_t n = 1 + (k * 37) % 97;
        dev->QueueRead(std::string_view(stream).substr(at, n));
        at += n;
        q.PollReceive();
    }
    q.PollReceive();

    const auto text = [&](const char* name) {
        return Cp1251ToUtf8(console.Display().Text(console.Display().Field(name)));
    };
    const auto colour = [&](const char* name) {
        return console.Display().ColourOf(console.Display().Field(name));
    };
    // Every newline ends one block ("\r\n>CB=" lines are two blocks); the log was emptied by the
    // clear reply of the first block, after that block was logged.
    EXPECT_EQ(console.Log().Count(), static_cast<std::size_t>(lines + 12 - 1));
    EXPECT_EQ(console.ReceivedBytes(), static_cast<std::int64_t>(stream.size()));
    EXPECT_EQ(text("LL_DI0"), "Rarevi Pro");
    EXPECT_EQ(text("LL_DI1"), "3.17");
    EXPECT_EQ(text("LL_DN"), "000777");
    EXPECT_EQ(text("LL_SP"), "1234");
    EXPECT_EQ(text("LL_GK0"), "55.751259");
    EXPECT_EQ(text("LL_GS0"), "8");  // 3 + 59 % 9
    EXPECT_EQ(colour("LL_GS0"), kOlive);
    EXPECT_EQ(text("LL_GS3"), "3,7");  // 8 + 59 % 30 = 37
    EXPECT_EQ(colour("LL_GS3"), kRed);
    EXPECT_EQ(text("LL_PB0"), "12,34 В");
    EXPECT_EQ(text("LL_PB1"), " 4,09 В");
    EXPECT_EQ(console.Display().BarPosition(Bar::Battery), 3);
    EXPECT_EQ(text("LL_TW0"), "14.11.2023  22:14:19");
    EXPECT_EQ(text("LL_TW1"), "1:00:59");
    EXPECT_EQ(text("LL_MS7"), "Ok");
    EXPECT_EQ(text("LL_ML"), "[29]");
    EXPECT_EQ(text("LL3"), "Дискретный 3:");
    EXPECT_EQ(text("LL_I3"), "замкнут");
    EXPECT_EQ(text("LL5"), "Частотный 5:");
    EXPECT_EQ(text("LL_I5"), "1059");
    EXPECT_EQ(text("LLS0"), "5:");
    EXPECT_EQ(text("LLS1"), "85:");
    EXPECT_EQ(text("LL_LS1Y"), "2057");
    EXPECT_EQ(text("LL_LS0Y"), "2054");
    EXPECT_EQ(text("LL_CA"), "0,55");  // ">CB=55" arrived as its own block after ">CA="
    EXPECT_EQ(text("LL_MT2"), "1536 B");
    EXPECT_EQ(text("LL_MB"), "0 [0] B");
    EXPECT_EQ(text("LL_DS6"), "Ok (В работе)");
    EXPECT_EQ(text("LL_RWRES"), "12 %");  // 12.5, half to even
    EXPECT_EQ(text("LL_GAS10"), "-");
    EXPECT_EQ(errors.size(), 1u);
    // The frequency input and both sensors' level and frequency readings reached the recorder.
    std::vector<std::string> sources;
    for (const std::string& name : console.Calibration().Sources())
        sources.push_back(Cp1251ToUtf8(name));
    EXPECT_EQ(sources,
              (std::vector<std::string>{"IN5 (частотный)", "LLS0 (уровень)", "LLS0 (частота)",
                                        "LLS1 (уровень)", "LLS1 (частота)"}));
    EXPECT_EQ(q.PendingCount(), 0);
}

}  // namespace
}  // namespace rv
