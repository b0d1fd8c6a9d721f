// CAN bus replies: each key to its row, scaled or as received, shared rows.
#include <gtest/gtest.h>

#include "ReplyRig.h"

namespace rv {
namespace {

TEST(CanReplies, EveryKeyWritesItsRow) {
    ExpectReplies({
        {">CV=12;340;5", {{"LL_CV0", "12", kBlack}, {"LL_CV1", "340/5", kBlack}}},
        {">CV=;;", {{"LL_CV0", "", kBlack}, {"LL_CV1", "/", kBlack}}},
        {">CA=123456", {{"LL_CA", "1234.56", kBlack}}},
        {">CB=5", {{"LL_CA", "0.05", kBlack}}},
        {">CC=-250", {{"LL_CC", "-2.50", kBlack}}},
        {">CD=100", {{"LL_CC", "1.00", kBlack}}},
        {">CE=15", {{"LL_CE", "1.5", kBlack}}},
        {">CF=7", {{"LL_CE", "0.7", kBlack}}},
        {">CG=x", {{"LL_CG", "0.0", kBlack}}},
        {">CG=1000", {{"LL_CG", "100.0", kBlack}}},
        {">CH=1500 rpm", {{"LL_CH", "1500 rpm", kBlack}}},
        {">CI=90", {{"LL_CI", "90", kBlack}}},
        {">CJ=62", {{"LL_CJ", "62", kBlack}}},
        {">CK=1", {{"LL_CK", "1", kBlack}}},
        {">CL=2", {{"LL_CL", "2", kBlack}}},
        {">CM=3", {{"LL_CM", "3", kBlack}}},
        {">CN=4", {{"LL_CN", "4", kBlack}}},
        {">CO=5", {{"LL_CO", "5", kBlack}}},
        {">CP=0x0F", {{"LL_CP", "0x0F", kBlack}}},
        {">CR=4555", {{"LL_CR", "455.5", kBlack}}},
        {">CS=armed", {{"LL_CS", "armed", kBlack}}},
        {">CQ=25", {{"LL_CT", "2.5", kBlack}}},
        {">CU=80", {{"LL_CU", "80", kBlack}}},
        {">CA=", {{"LL_CA", "0.00", kBlack}}},
        {">CA=123456", {{"LL_CA", "1234,56", kBlack}}, ','},
        {">CE=15", {{"LL_CE", "1,5", kBlack}}, ','},
    });
}

TEST(CanReplies, EveryValueOpensItsRow) {
    const struct {
        const char* key;
        const char* field;
    } rows[] = {{">CA=", "LL_CA"}, {">CB=", "LL_CA"}, {">CC=", "LL_CC"}, {">CD=", "LL_CC"},
                {">CE=", "LL_CE"}, {">CF=", "LL_CE"}, {">CG=", "LL_CG"}, {">CH=", "LL_CH"},
                {">CI=", "LL_CI"}, {">CJ=", "LL_CJ"}, {">CK=", "LL_CK"}, {">CL=", "LL_CL"},
                {">CM=", "LL_CM"}, {">CN=", "LL_CN"}, {">CO=", "LL_CO"}, {">CP=", "LL_CP"},
                {">CR=", "LL_CR"}, {">CS=", "LL_CS"}, {">CQ=", "LL_CT"}, {">CU=", "LL_CU"},
                {">CV=", "LL_CV1"}};
    for (const auto& r : rows) {
        ReplyRig rig;
        rig.Line(std::string(r.key) + "1;2;3");
        EXPECT_TRUE(rig.RowOpen(r.field)) << r.key;
        EXPECT_FALSE(rig.display.LabelNoVisible()) << r.key;
    }
}

TEST(CanReplies, SharedRowsTakeTheKeyDecodedLast) {
    ReplyRig rig;
    // ">CB=" is decoded after ">CA=" whatever their places in the block.
    rig.Block({">CB=200", ">CA=100"});
    EXPECT_EQ(rig.Text("LL_CA"), "2.00");
    rig.Block({">CD=300", ">CC=400", ">CF=10", ">CE=20"});
    EXPECT_EQ(rig.Text("LL_CC"), "3.00");
    EXPECT_EQ(rig.Text("LL_CE"), "1.0");
    // Across blocks the last reply of either key shows.
    rig.Line(">CA=100");
    EXPECT_EQ(rig.Text("LL_CA"), "1.00");
}

TEST(CanReplies, InstantConsumptionWritesTheCtRowOnly) {
    ReplyRig rig;
    rig.Block({">CS=ok", ">CQ=25"});
    EXPECT_EQ(rig.Text("LL_CT"), "2.5");
    EXPECT_EQ(rig.Text("LL_CS"), "ok");
    EXPECT_EQ(rig.Text("LL_CR"), "-");
}

}  // namespace
}  // namespace rv
