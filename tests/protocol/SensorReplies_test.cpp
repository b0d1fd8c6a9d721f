// External sensor replies: fuel-level and 1-wire rows by address, gas sensors, the
// refrigeration-unit controller and the bill acceptor; every value opens its sensor row.
#include <gtest/gtest.h>

#include "ReplyRig.h"

namespace rv {
namespace {

using Call = RecordingCapture::Call;

TEST(SensorReplies, FuelLevelRowShowsValuesAndHandsLevelAndFrequencyOn) {
    ReplyRig rig;
    rig.Line(">LLS=1;5;1200;3400;25");
    EXPECT_EQ(rig.Text("LLS0"), "5:");
    EXPECT_EQ(rig.Text("LL_LS0Y"), "1200");
    EXPECT_EQ(rig.Text("LL_LS0Z"), "3400");
    EXPECT_EQ(rig.Text("LL_LS0T"), "+25");
    for (const char* f : {"LL_LS0Y", "LL_LS0Z", "LL_LS0T"}) {
        EXPECT_EQ(rig.ColourOf(f), kBlack) << f;
        EXPECT_TRUE(rig.RowOpen(f)) << f;
    }
    EXPECT_FALSE(rig.RowOpen("LL_LS1Y"));
    EXPECT_FALSE(rig.display.LabelNoVisible());
    EXPECT_EQ(rig.capture.calls, (std::vector<Call>{{"0", "Y", "1200"}, {"0", "Z", "3400"}}));
}

TEST(SensorReplies, FuelLevelTemperatureIsASignedByte) {
    ExpectReplies({
        {">LLS=1;5;0;0;250", {{"LL_LS0T", "-6", kBlack}}},
        {">LLS=1;5;0;0;25", {{"LL_LS0T", "+25", kBlack}}},
        {">LLS=1;5;0;0;0", {{"LL_LS0T", "+0", kBlack}}},
        {">LLS=1;5;0;0;", {{"LL_LS0T", "Err", kBlack}}},
        {">LLS=1;5;0;0;hot", {{"LL_LS0T", "Err", kBlack}}},
    });
}

TEST(SensorReplies, AddressesTakeRowsInOrderOfFirstSight) {
    ReplyRig rig;
    rig.Line(">LLS=1;5;100;1000;20");
    rig.Line(">LLS=1;85;200;2000;21");
    rig.Line(">LLS=1;5;110;1100;22");
    EXPECT_EQ(rig.Text("LLS0"), "5:");
    EXPECT_EQ(rig.Text("LLS1"), "85:");
    EXPECT_EQ(rig.Text("LL_LS0Y"), "110");
    EXPECT_EQ(rig.Text("LL_LS1Y"), "200");
    EXPECT_EQ(rig.capture.calls.back(), (Call{"0", "Z", "1100"}));
    EXPECT_EQ(rig.capture.calls[2], (Call{"1", "Y", "200"}));
    // After the clear, the first address seen takes row 0 again.
    rig.Line(">SERV=0");
    rig.Line(">LLS=1;85;300;3000;23");
    EXPECT_EQ(rig.Text("LLS0"), "85:");
    EXPECT_EQ(rig.Text("LLS1"), ":");
    EXPECT_EQ(rig.Text("LL_LS0Y"), "300");
}

TEST(SensorReplies, AnAddressOwnsTheRowOfItsWholeCaptionOrTakesTheFirstFreeOne) {
    ReplyRig rig;
    rig.Line(">OWT=85;1");
    rig.Line(">OWT=8;2");  // a prefix of "85" is another sensor
    rig.Line(">OWT=5;3");  // and so is its end
    rig.Line(">OWT=8;4");
    EXPECT_EQ(rig.Text("LLOWT0"), "85:");
    EXPECT_EQ(rig.Text("LLOWT1"), "8:");
    EXPECT_EQ(rig.Text("LLOWT2"), "5:");
    EXPECT_EQ(rig.Text("LL_OW1"), "4");
    EXPECT_EQ(rig.Text("LL_OW2"), "3");
    // A free row before taken ones is the first free row.
    rig.display.SetCaption(rig.F("LLOWT1"), ":");
    rig.Line(">OWT=99;5");
    EXPECT_EQ(rig.Text("LLOWT1"), "99:");
    EXPECT_EQ(rig.Text("LL_OW1"), "5");
    EXPECT_EQ(rig.Text("LLOWT3"), ":");
}

TEST(SensorReplies, SeventhAddressIsIgnored) {
    ReplyRig rig;
    for (int a = 1; a <= 6; ++a) {
        rig.Line(">LLS=1;" + std::to_string(a) + ";" + std::to_string(a * 100) + ";0;0");
        rig.Line(">OWT=" + std::to_string(a) + ";" + std::to_string(a) + ".5");
    }
    const auto calls = rig.capture.calls.size();
    rig.Line(">LLS=1;7;999;999;99");
    rig.Line(">OWT=7;99.9");
    EXPECT_EQ(rig.Text("LLS0"), "1:");
    EXPECT_EQ(rig.Text("LL_LS0Y"), "100");
    EXPECT_EQ(rig.Text("LL_LS0T"), "+0");
    EXPECT_EQ(rig.Text("LLOWT0"), "1:");
    EXPECT_EQ(rig.Text("LL_OW0"), "1.5");
    EXPECT_EQ(rig.Text("LL_OW5"), "6.5");
    EXPECT_EQ(rig.capture.calls.size(), calls);
}

TEST(SensorReplies, OneWireRows) {
    ReplyRig rig;
    rig.Line(">OWT=28FF01;21.5");
    rig.Line(">OWT=28FF02;-3.0");
    rig.Line(">OWT=28FF01;22.0");
    EXPECT_EQ(rig.Text("LLOWT0"), "28FF01:");
    EXPECT_EQ(rig.Text("LLOWT1"), "28FF02:");
    EXPECT_EQ(rig.Text("LL_OW0"), "22.0");
    EXPECT_EQ(rig.Text("LL_OW1"), "-3.0");
    EXPECT_TRUE(rig.RowOpen("LL_OW1"));
    EXPECT_FALSE(rig.RowOpen("LL_OW2"));
    EXPECT_TRUE(rig.capture.calls.empty());
}

TEST(SensorReplies, GasValuesAreSingleBitsWithFourDecimals) {
    ExpectReplies({
        {">GAS=10;1065353216", {{"LL_GAS10", "1.0000", kBlack}}},
        {">GAS=10;0", {{"LL_GAS10", "0.0000", kBlack}}},
        {">GAS=1480;1103364096", {{"LL_GAS1480", "24.5000", kBlack}}},
        {">GAS=20;1065353216", {{"LL_GAS20", "1.0000", kBlack}, {"LL_GAS10", "-", kGrey}}},
        {">GAS=70;1065353216", {{"LL_GAS70", "1.0000", kBlack}}},
        {">GAS=1520;1065353216", {{"LL_GAS1520", "1.0000", kBlack}}},
        {">GAS=340;1065353216", {{"LL_GAS340", "1.0000", kBlack}}},
        {">GAS=960;1065353216", {{"LL_GAS960", "1,0000", kBlack}}, ','},
        {">GAS=1460;-1082130432", {{"LL_GAS1460", "-1.0000", kBlack}}},
    });
    // A code that is not in the table is not a key.
    ReplyRig rig;
    rig.Line(">GAS=99;1065353216");
    rig.Line(">GAS=14800;1065353216");
    EXPECT_TRUE(rig.errors.empty());
    EXPECT_TRUE(rig.display.LabelNoVisible());
    rig.Line(">GAS=960;1065353216");
    EXPECT_TRUE(rig.RowOpen("LL_GAS960"));
    EXPECT_FALSE(rig.RowOpen("LL_GAS10"));
}

TEST(SensorReplies, RefrigerationUnitValues) {
    ExpectReplies({
        {">ML3=1;1103364096", {{"LL_ML1", "24.50", kBlack}}},
        {">ML3=0;-1082130432", {{"LL_ML0", "-1.00", kBlack}}},
        {">ML3=2;1065353216", {{"LL_ML2", "1,00", kBlack}}, ','},
        {">ML3=3;1094861636;1234567", {{"LL_ML3", "ABCD1234567", kBlack}}},
        {">ML3=3;16706;99", {{"LL_ML3", "AB99", kBlack}}},
        {">ML3=3;;1234567", {{"LL_ML3", "1234567", kBlack}}},
        {">ML3=5;SN-0042", {{"LL_ML5", "SN-0042", kBlack}}},
        // Index 4 and unknown indexes read and show nothing.
        {">ML3=4;1065353216", {{"LL_ML0", "-", kGrey}, {"LL_ML3", "-", kGrey}}},
        {">ML3=9;x", {{"LL_ML5", "-", kGrey}}},
    });
}

TEST(SensorReplies, BillAcceptorFieldsAsReceived) {
    ExpectReplies({
        {">ICT=100;1500;12",
         {{"LL_ICT0", "100", kBlack}, {"LL_ICT1", "1500", kBlack}, {"LL_ICT2", "12", kBlack}}},
        {">ICT=;;", {{"LL_ICT0", "", kBlack}, {"LL_ICT1", "", kBlack}, {"LL_ICT2", "", kBlack}}},
    });
}

// A value that must be an integer and is none ends the decoding of its block: keys after it in
// the decoding order are skipped, keys before it stay decoded, the next block is normal.
TEST(SensorReplies, ConversionFailuresEndTheBlock) {
    const struct {
        const char* bad;
        const char* field;  // the text named in the error
    } cases[] = {
        {">GAS=10;abc", "abc"},
        {">GAS=10;", ""},
        {">GAS=10;1.5", "1.5"},
        {">ML3=x;1065353216", "x"},
        {">ML3=;1", ""},
        {">ML3=0;", ""},
        {">ML3=2;hot", "hot"},
        {">ML3=3;ABCD;123", "ABCD"},
        {">ML3=1;99999999999999999999", "99999999999999999999"},
    };
    for (const auto& c : cases) {
        ReplyRig rig;
        // >GK= is decoded before both failing keys, >ICT= after both.
        rig.Block({">GK=1;2", c.bad, ">ICT=100;1500;12"});
        EXPECT_EQ(rig.Text("LL_GK0"), "1") << c.bad;
        EXPECT_EQ(rig.Text("LL_ICT0"), "-") << c.bad;
        ASSERT_EQ(rig.errors.size(), 1u) << c.bad;
        EXPECT_EQ(rig.errors[0], std::string("'") + c.field + "' is not a valid integer value");
        rig.Line(">ICT=100;1500;12");
        EXPECT_EQ(rig.Text("LL_ICT0"), "100") << c.bad;
        EXPECT_EQ(rig.errors.size(), 1u);
    }
    // A gas failure comes before >DN= in the decoding order.
    ReplyRig rig;
    rig.Block({">DN=42", ">GAS=1480;x"});
    EXPECT_EQ(rig.Text("LL_DN"), "-");
    EXPECT_EQ(rig.errors.size(), 1u);
}

TEST(SensorReplies, FirstValueOfAnySensorOpensItsRow) {
    const struct {
        const char* line;
        const char* field;
    } cases[] = {
        {">LLS=1;9;1;2;3", "LL_LS0Z"}, {">OWT=A1;5", "LL_OW0"}, {">GAS=70;0", "LL_GAS70"},
        {">ML3=5;X", "LL_ML5"},        {">ML3=0;0", "LL_ML0"},  {">ICT=1;2;3", "LL_ICT1"},
    };
    for (const auto& c : cases) {
        ReplyRig rig;
        EXPECT_FALSE(rig.RowOpen(c.field)) << c.line;
        EXPECT_TRUE(rig.display.LabelNoVisible());
        rig.Line(c.line);
        EXPECT_TRUE(rig.RowOpen(c.field)) << c.line;
        EXPECT_FALSE(rig.display.LabelNoVisible()) << c.line;
    }
}

}  // namespace
}  // namespace rv
