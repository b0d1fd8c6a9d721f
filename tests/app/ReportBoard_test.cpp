#include "app/ReportBoard.h"

#include <gtest/gtest.h>

namespace rv {
namespace {

struct Counter : ReportObserver {
    int changes = 0;
    void ReportsChanged() override { ++changes; }
};

TEST(ReportBoard, NewestStandingReportIsShownAndATopicReplacesItsOwn) {
    ReportBoard board;
    Counter seen;
    Subscription s = board.Subscribe(seen);
    EXPECT_EQ(board.Current(), nullptr);

    board.Post("link", "COM9: связь потеряна", ReportLevel::Error, "12:41:07");
    board.Post("silence", "молчит 5 с", ReportLevel::Notice, "12:41:08");
    board.Post("silence", "молчит 6 с", ReportLevel::Notice, "12:41:09");
    ASSERT_NE(board.Current(), nullptr);
    EXPECT_EQ(board.Current()->text, "молчит 6 с");
    EXPECT_EQ(board.History().size(), 3u);

    board.Withdraw("silence");  // the unit speaks again: the older link report shows once more
    EXPECT_EQ(board.Current()->text, "COM9: связь потеряна");
    board.Withdraw("silence");  // nothing standing: no change to tell
    board.Withdraw("link");
    EXPECT_EQ(board.Current(), nullptr);
    EXPECT_EQ(seen.changes, 5);
}

TEST(ReportBoard, RevisedReportIsTheSameReportToldMoreExactly) {
    ReportBoard board;
    Counter seen;
    Subscription s = board.Subscribe(seen);
    board.Revise("silence", "молчит 6 с");  // nothing standing: nothing to revise
    EXPECT_EQ(board.Current(), nullptr);
    board.Post("silence", "молчит 5 с", ReportLevel::Notice, "12:41:08");
    board.Post("link", "COM9: связь потеряна", ReportLevel::Error, "12:41:09");
    board.Revise("silence", "молчит 6 с");
    ASSERT_NE(board.Standing("silence"), nullptr);
    EXPECT_EQ(board.Standing("silence")->text, "молчит 6 с");
    EXPECT_EQ(board.Standing("silence")->timeText, "12:41:08");  // since when it stands
    EXPECT_EQ(board.Current()->text, "COM9: связь потеряна");    // its place is kept
    ASSERT_EQ(board.History().size(), 2u);
    EXPECT_EQ(board.History().front().text, "молчит 6 с");
    board.Revise("silence", "молчит 6 с");  // the same text: nothing to tell
    EXPECT_EQ(seen.changes, 3);
}

TEST(ReportBoard, HistoryKeepsOnlyTheRecentReports) {
    ReportBoard board;
    for (int i = 0; i < 30; ++i)
        board.Post("t", std::to_string(i), ReportLevel::Notice, "00:00:00");
    ASSERT_EQ(board.History().size(), ReportBoard::kHistoryLength);
    EXPECT_EQ(board.History().front().text, "10");
    EXPECT_EQ(board.History().back().text, "29");
}

}  // namespace
}  // namespace rv
