// Input and output replies: row captions and values, and the readings handed to the calibration
// recorder.
#include <gtest/gtest.h>

#include "ReplyRig.h"

namespace rv {
namespace {

using Call = RecordingCapture::Call;

TEST(IoReplies, RowsCaptionAndValue) {
    const struct {
        const char* line;
        const char* caption;  // field LL<n>
        const char* value;    // field LL_I<n>
        int row;
    } cases[] = {
        {">ID3=1", "Дискретный 3:", "замкнут", 3},
        {">ID3=0", "Дискретный 3:", "разомкнут", 3},
        {">ID3=2", "Дискретный 3:", "2", 3},
        {">ID0=", "Дискретный 0:", "", 0},
        {">IF1=1500", "Частотный 1:", "1500", 1},
        {">IA0=12.5", "Аналоговый 0:", "12.5", 0},
        {">II2=5", "Импульсный 2:", "5", 2},
        {">II2=1", "Импульсный 2:", "1", 2},  // only discrete inputs get the words
        {">IU5=7", "5:", "7", 5},
        // Outputs share the rows.
        {">O20=1", "Выход [М2] 0:", "активирован", 0},
        {">OD2=0", "Дискретный Выход [МD] 2:", "не активирован", 2},
        {">OA4=1", "Аналоговый Выход [МA] 4:", "активирован", 4},
        {">OU5=7", "Выход [МU] 5:", "7", 5},
        {">O31=", "Выход [М3] 1:", "", 1},
    };
    for (const auto& c : cases) {
        ReplyRig rig;
        rig.Line(c.line);
        const std::string n = std::to_string(c.row);
        EXPECT_EQ(rig.Text("LL" + n), c.caption) << c.line;
        EXPECT_EQ(rig.Text("LL_I" + n), c.value) << c.line;
        EXPECT_EQ(rig.ColourOf("LL_I" + n), kBlack) << c.line;
        for (int other = 0; other < 6; ++other) {
            if (other == c.row) continue;
            EXPECT_EQ(rig.Text("LL_I" + std::to_string(other)), "-") << c.line;
        }
    }
}

TEST(IoReplies, AnalogueAndFrequencyInputsGoToTheRecorder) {
    const struct {
        const char* line;
        std::vector<Call> calls;
    } cases[] = {
        {">IF1=1500", {{"1", "F", "1500"}}},
        {">IA0=12.5", {{"0", "A", "12.5"}}},
        {">IA7=300", {{"7", "A", "300"}}},  // no row, still recorded
        {">IF6=", {{"6", "F", ""}}},
        {">ID1=1", {}},  // discrete: "замкнут" is never handed on
        {">II1=3", {}},
        {">IU1=3", {}},
        {">O1A=1", {}},  // outputs never
        {">OA1=5", {}},
    };
    for (const auto& c : cases) {
        ReplyRig rig;
        rig.Line(c.line);
        EXPECT_EQ(rig.capture.calls, c.calls) << c.line;
    }
    // The value as received, also without a CR.
    ReplyRig rig;
    rig.Raw(">IF2=77\n");
    EXPECT_EQ(rig.capture.calls, (std::vector<Call>{{"2", "F", "77"}}));
}

TEST(IoReplies, OutputCaptionHasTheCyrillicEm) {
    // "Выход [М": the М is Cyrillic (0xCC).
    ReplyRig rig;
    rig.Line(">O10=1");
    EXPECT_EQ(rig.display.Text(rig.F("LL0")),
              "\xC2\xFB\xF5\xEE\xE4 [\xCC"
              "1] 0:");
}

TEST(IoReplies, LaterReplyForTheSameLineReplacesTheRow) {
    ReplyRig rig;
    rig.Line(">O20=1");
    rig.Line(">ID0=0");
    EXPECT_EQ(rig.Text("LL0"), "Дискретный 0:");
    EXPECT_EQ(rig.Text("LL_I0"), "разомкнут");
    rig.Line(">OD0=1");
    EXPECT_EQ(rig.Text("LL0"), "Дискретный Выход [МD] 0:");
    EXPECT_EQ(rig.Text("LL_I0"), "активирован");
}

// Every row still shows its idle caption and value.
void ExpectIdleRows(const ReplyRig& rig, const char* line) {
    for (int n = 0; n < 6; ++n) {
        const std::string d = std::to_string(n);
        EXPECT_EQ(rig.Text("LL" + d), d + ":") << line;
        EXPECT_EQ(rig.Text("LL_I" + d), "-") << line;
    }
}

TEST(IoReplies, MalformedHeadsChangeNothing) {
    for (const char* line : {">IX1=1", ">ID8=1", ">ID1:1", ">Id1=1", ">I", ">ID", ">ID1", ">OX1=1",
                             ">O18=1", ">O1A=1", ">O", ">O2", ">OD9=1"}) {
        ReplyRig rig;
        rig.Line(line);
        ExpectIdleRows(rig, line);
        EXPECT_TRUE(rig.capture.calls.empty()) << line;
    }
}

TEST(IoReplies, LinesSixAndSevenHaveNoRow) {
    for (const char* line : {">ID6=1", ">OD7=1", ">IA6=5"}) {
        ReplyRig rig;
        rig.Line(line);
        ExpectIdleRows(rig, line);
    }
}

// Only the first ">I" / ">O" of a block is looked at: when it belongs to another reply, the
// block's input or output reply is not decoded.
TEST(IoReplies, FirstOccurrenceInTheBlockDecides) {
    {
        ReplyRig rig;
        rig.Block({">ICT=100;1500;12", ">ID1=1"});
        EXPECT_EQ(rig.Text("LL_I1"), "-");
        EXPECT_EQ(rig.Text("LL_ICT0"), "100");  // the bill acceptor reply itself is decoded
    }
    {
        ReplyRig rig;
        rig.Block({">ISS1=internet;user;pass", ">IF1=1500"});
        EXPECT_EQ(rig.Text("LL_I1"), "-");
        EXPECT_TRUE(rig.capture.calls.empty());
    }
    {
        ReplyRig rig;
        rig.Block({">OWT=28FF01;21.5", ">O20=1"});
        EXPECT_EQ(rig.Text("LL_I0"), "-");
        EXPECT_EQ(rig.Text("LL_OW0"), "21.5");
    }
    {
        // The input reply first: both decoded.
        ReplyRig rig;
        rig.Block({">ID1=1", ">ICT=100;1500;12", ">O22=0"});
        EXPECT_EQ(rig.Text("LL_I1"), "замкнут");
        EXPECT_EQ(rig.Text("LL_I2"), "не активирован");
        EXPECT_EQ(rig.Text("LL_ICT2"), "12");
    }
    {
        // Two input replies in one block: only the first.
        ReplyRig rig;
        rig.Block({">ID1=1", ">ID2=1"});
        EXPECT_EQ(rig.Text("LL_I1"), "замкнут");
        EXPECT_EQ(rig.Text("LL_I2"), "-");
    }
}

TEST(IoReplies, RowsAreNotCollapsible) {
    ReplyRig rig;
    rig.Line(">ID1=1");
    EXPECT_EQ(rig.display.SensorRowOf(rig.F("LL_I1")), -1);
    EXPECT_TRUE(rig.display.LabelNoVisible());
}

}  // namespace
}  // namespace rv
