// Navigation replies: position and sentence counters as received, fix quality coloured.
#include <gtest/gtest.h>

#include "ReplyRig.h"

namespace rv {
namespace {

TEST(NavigationReplies, PositionAndSentenceCountersAsReceived) {
    ExpectReplies({
        {">GK=55.7512;37.6184", {{"LL_GK0", "55.7512", kBlack}, {"LL_GK1", "37.6184", kBlack}}},
        {">GK=;", {{"LL_GK0", "", kBlack}, {"LL_GK1", "", kBlack}}},
        {">GP=120;118", {{"LL_RMC", "120", kBlack}, {"LL_GCA", "118", kBlack}}},
    });
}

TEST(NavigationReplies, FixQualityColoursSatellitesAndHdop) {
    ExpectReplies({
        {">GS=4;12.5;150;20;270",
         {{"LL_GS0", "4", kRed},
          {"LL_GS1", "12.5", kBlack},
          {"LL_GS2", "150", kBlack},
          {"LL_GS3", "2.0", kBlack},
          {"LL_GS4", "270", kBlack}}},
        {">GS=0;0;0;21;0", {{"LL_GS0", "0", kRed}, {"LL_GS3", "2.1", kOlive}}},
        {">GS=5;0;0;30;0", {{"LL_GS0", "5", kOlive}, {"LL_GS3", "3.0", kOlive}}},
        {">GS=8;0;0;31;0", {{"LL_GS0", "8", kOlive}, {"LL_GS3", "3.1", kRed}}},
        {">GS=9;0;0;0;0", {{"LL_GS0", "9", kBlack}, {"LL_GS3", "0.0", kBlack}}},
        {">GS=-1;0;0;-5;0", {{"LL_GS0", "-1", kBlack}, {"LL_GS3", "-0.5", kBlack}}},
        // A non-numeric count is 0 satellites (red); a bad HDOP is 0.0.
        {">GS=x;;;x;", {{"LL_GS0", "0", kRed}, {"LL_GS3", "0.0", kBlack}}},
        {">GS=12;0;0;155;0", {{"LL_GS3", "15,5", kRed}}, ','},
    });
}

}  // namespace
}  // namespace rv
