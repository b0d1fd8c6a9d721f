// Search in the traffic log over the real main window: Ctrl+F opens the bar under the log, the
// count follows the typing, next and previous move the current match, the filter shows only the
// matching lines, Escape closes the bar and gives the window back its layout; a long line brings
// the horizontal scroll bar.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <memory>
#include <string>

#include "support/ScriptedPlatform.h"
#include "ui/FramePacerQt.h"
#include "ui/LogSearchBarWidget.h"
#include "ui/MainWindow.h"
#include "ui/TrafficLogView.h"

namespace rv {
namespace {

struct SearchRig {
    SearchRig() {
        window = std::make_unique<MainWindow>(
            test::ScriptedPlatform(device, nullptr, [] { return test::PortList({"COM3"}); }));
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->Form().Connection().StartExecute(3);
    }
    template <typename T>
    T* Find(const char* name) const {
        return window->findChild<T*>(QString::fromUtf8(name));
    }
    TrafficLogView* Memo() const { return Find<TrafficLogView>("Memo"); }
    LogSearchBarWidget* Bar() const { return Find<LogSearchBarWidget>("LogSearchBar"); }
    QLineEdit* Text() const { return Find<QLineEdit>("SearchText"); }
    QString Count() const { return Find<QLabel>("SearchCount")->text(); }
    // One read of the scripted device per line, each through the driver's tick; then the window
    // runs its slices and frames.
    void Feed(const std::string& line) {
        device->QueueRead(line + "\r\n");
        window->Form().Q().PollReceive();
    }
    // The slices of the search run, then the frame that brings the view up to date.
    void Settle() const {
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
        FramePacerQt::Of(window.get())->FlushNow();
    }
    // Every widget shown, by class, name and place in the window.
    std::string Layout() const {
        QStringList places;
        for (const QWidget* w : window->findChildren<QWidget*>()) {
            if (!w->isVisible()) continue;
            const QRect r(w->mapTo(window.get(), QPoint(0, 0)), w->size());
            places << QStringLiteral("%1 %2 %3,%4 %5x%6")
                          .arg(w->metaObject()->className(), w->objectName())
                          .arg(r.x())
                          .arg(r.y())
                          .arg(r.width())
                          .arg(r.height());
        }
        return places.join(QLatin1Char('\n')).toStdString();
    }

    test::ScriptedSerialDevice* device = nullptr;
    std::unique_ptr<MainWindow> window;
};

// 200 replies; every twentieth (lines 7, 27, ..., 187) a fuel-level sensor's.
void FeedSession(SearchRig& r) {
    for (int i = 0; i < 200; ++i)
        r.Feed(i % 20 == 7 ? ">LLS=1;" + std::to_string(i) : ">GS=" + std::to_string(i));
    r.Settle();
}

TEST(LogSearchBar, FindsCountsFiltersAndClosesAsItOpened) {
    SearchRig r;
    FeedSession(r);
    const std::string before = r.Layout();
    ASSERT_FALSE(r.Bar()->isVisible());

    QTest::keyClick(r.Memo(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(r.Bar()->isVisible());
    EXPECT_TRUE(r.Text()->hasFocus());
    QTest::keyClicks(r.Text(), ">lls=");
    // The log followed its newest line: the newest match is the current one, in sight.
    EXPECT_EQ(r.Count(), QStringLiteral("10 из 10"));
    EXPECT_EQ(r.Bar()->CurrentLine(), 187);

    struct Step {
        int key;
        Qt::KeyboardModifiers modifiers;
        int line;
        const char* count;
    } steps[] = {
        {Qt::Key_F3, Qt::NoModifier, 7, "1 из 10"},  // round the end to the first
        {Qt::Key_Return, Qt::NoModifier, 27, "2 из 10"},
        {Qt::Key_Return, Qt::ShiftModifier, 7, "1 из 10"},
        {Qt::Key_F3, Qt::ShiftModifier, 187, "10 из 10"},  // round the start to the last
    };
    for (const Step& s : steps) {
        QTest::keyClick(r.Text(), static_cast<Qt::Key>(s.key), s.modifiers);
        EXPECT_EQ(r.Bar()->CurrentLine(), s.line) << s.count;
        EXPECT_EQ(r.Count(), QString::fromUtf8(s.count));
        const int row = r.Memo()->RowOfLine(s.line);
        EXPECT_GE(row, r.Memo()->FirstVisibleLine()) << s.count;
        EXPECT_LT(row, r.Memo()->FirstVisibleLine() + r.Memo()->VisibleLineCount()) << s.count;
    }

    // Only the matching lines, and what is copied is what is shown.
    r.Find<QCheckBox>("SearchFilter")->click();
    ASSERT_EQ(r.Memo()->RowCount(), 10);
    EXPECT_EQ(r.Memo()->LineCount(), 200);
    r.Memo()->SelectLines(0, r.Memo()->RowCount() - 1);
    const QStringList copied = r.Memo()->SelectedText().split(QLatin1Char('\n'));
    ASSERT_EQ(copied.size(), 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(copied[i].endsWith(QStringLiteral(">LLS=1;%1").arg(20 * i + 7)))
            << copied[i].toStdString();
    // A matching line that arrives joins the filter; the others stay out.
    r.Feed(">GS=200");
    r.Feed(">LLS=1;201");
    r.Settle();
    EXPECT_EQ(r.Memo()->RowCount(), 11);
    EXPECT_EQ(r.Count(), QStringLiteral("10 из 11"));

    r.Find<QCheckBox>("SearchMatchCase")->click();
    EXPECT_EQ(r.Count(), QStringLiteral("Не найдено"));
    EXPECT_EQ(r.Memo()->RowCount(), 0);
    r.Find<QCheckBox>("SearchMatchCase")->click();
    EXPECT_EQ(r.Memo()->RowCount(), 11);

    QTest::keyClick(r.Text(), Qt::Key_Escape);
    EXPECT_FALSE(r.Bar()->isVisible());
    EXPECT_FALSE(r.Memo()->Filtered());
    EXPECT_EQ(r.Memo()->RowCount(), 202);
    r.Settle();
    EXPECT_EQ(r.Layout(), before);
}

TEST(LogSearchBar, ALongLineBringsTheHorizontalScrollBarAndTheNewestLineStaysInSight) {
    SearchRig r;
    FeedSession(r);
    QScrollBar* across = r.Memo()->horizontalScrollBar();
    EXPECT_FALSE(across->isVisible());
    r.Feed(">DI=" + std::string(600, 'x') + "<");
    for (int i = 0; i < 5; ++i) r.Feed(">GS=" + std::to_string(i));
    r.window->grab();  // the lines in sight are laid out and measured as they are drawn
    r.Settle();
    ASSERT_TRUE(across->isVisible());
    EXPECT_GT(across->maximum(), 0);
    EXPECT_TRUE(r.Memo()->AtBottom());
    EXPECT_EQ(r.Memo()->FirstVisibleLine() + r.Memo()->VisibleLineCount(), r.Memo()->RowCount());
    r.Feed(">GS=last");
    r.window->grab();
    r.Settle();
    EXPECT_TRUE(r.Memo()->AtBottom());
    EXPECT_EQ(r.Memo()->FirstVisibleLine() + r.Memo()->VisibleLineCount(), r.Memo()->RowCount());
}

// Writes the window with the search bar open to $REVODIVE_SCREENSHOT_DIR/search.png for a look by
// eye.
TEST(LogSearchBar, Screenshot) {
    const QByteArray dir = qgetenv("REVODIVE_SCREENSHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "REVODIVE_SCREENSHOT_DIR not set";
    SearchRig r;
    FeedSession(r);
    r.Feed(">DI=RT-300;" + std::string(80, '-') + ";end");
    r.window->FindInLogExecute();
    QTest::keyClicks(r.Text(), "lls=1;1");
    QTest::keyClick(r.Text(), Qt::Key_F3);
    r.Settle();
    const QDir folder(QString::fromLocal8Bit(dir));
    const auto save = [&](const char* name) {
        r.window->grab();  // the lines in sight measured: the scroll bar across follows them
        r.Settle();
        ASSERT_TRUE(r.window->grab().save(folder.filePath(QString::fromUtf8(name))));
        // The section "Данные" twice as large, for the details.
        const QPixmap data = r.Find<QWidget>("PanelC3")->grab();
        ASSERT_TRUE(data.scaled(data.size() * 2)
                        .save(folder.filePath(QStringLiteral("data-") + QString::fromUtf8(name))));
    };
    save("search.png");
    r.Find<QCheckBox>("SearchFilter")->click();
    save("search-filter.png");
}

}  // namespace
}  // namespace rv
