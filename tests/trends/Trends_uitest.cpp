// Trend windows over the real window (offscreen), filled by a played traffic log: opened from a
// value's context menu, by a double click and from "Сервис → Графики"; what they draw, the CSV
// and PNG they export, and that they close with the main window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QToolButton>
#include <fstream>

#include "support/ScriptedPlatform.h"
#include "support/TempFolder.h"
#include "trends/TrendChooserQt.h"
#include "trends/TrendCsv.h"
#include "trends/TrendWindow.h"
#include "trends/TrendWindowsQt.h"
#include "ui/LogPlayerBarQt.h"
#include "ui/MainWindow.h"

namespace rv {
namespace {

constexpr std::int64_t k8h = 8 * 3600 * 1000;

struct TrendRig {
    TrendRig() {
        window = std::make_unique<MainWindow>(
            test::ScriptedPlatform(device, nullptr, [] { return test::PortList({"COM1"}); }));
        window->show();
        QApplication::processEvents();
        path = dir.path() / "day.log";
        std::ofstream(path, std::ios::binary) << "08:00:00.000  >ML=10\r\n"
                                                 "08:00:00.500  >GS=7;45;152;9;0\r\n"
                                                 "08:00:01.000  >ML=10\r\n"
                                                 "08:00:01.500  >GS=7;-;152;9;0\r\n"
                                                 "08:00:02.000  >ML=12\r\n"
                                                 "08:00:02.500  >GS=7;50;152;9;0\r\n";
        EXPECT_TRUE(window->OpenLogFile(QString::fromStdString(path.string())));
        window->findChild<QComboBox*>(QStringLiteral("PlayerSpeed"))->setCurrentIndex(3);
        window->findChild<QToolButton*>(QStringLiteral("PlayerPlay"))->click();
        window->Player().Advance(40);
        EXPECT_TRUE(window->Player().Player()->AtEnd());
    }
    int Field(const char* name) const { return window->Form().Display().Field(name); }
    QLabel* Label(const char* name) const {
        return window->findChild<QLabel*>(QString::fromLatin1(name));
    }
    std::vector<TrendWindow*> Trends() const { return window->Trends().Windows(); }
    // The day the played file was placed on (a log file keeps times of day only).
    std::string Day() const {
        return LocalTimeText(window->Form().History().Axis().Wall(0)).substr(0, 10);
    }

    test::ScriptedSerialDevice* device = nullptr;
    std::unique_ptr<MainWindow> window;
    test::TempFolder dir;
    std::filesystem::path path;
};

TEST(TrendWindows, AValueOpensItsTrendFromItsContextMenuAndByADoubleClick) {
    TrendRig r;
    ASSERT_TRUE(r.Trends().empty());
    QLabel* signal = r.Label("LL_ML");
    ASSERT_NE(signal, nullptr);
    emit signal->customContextMenuRequested(QPoint(2, 2));
    auto* menu = r.window->findChild<QMenu*>(QStringLiteral("TrendContextMenu"));
    ASSERT_NE(menu, nullptr);
    menu->findChild<QAction*>(QStringLiteral("TrendOpenAction"))->trigger();
    menu->close();
    ASSERT_EQ(r.Trends().size(), 1u);
    TrendWindow* trend = r.Trends().front();
    EXPECT_TRUE(trend->isVisible());
    EXPECT_EQ(trend->windowTitle(), QStringLiteral("График: Уровень сигнала"));
    EXPECT_TRUE(trend->Following());
    trend->ShowWholeSession();  // seconds over the plot's width: every sample a column of its own
    EXPECT_EQ(trend->DrawnPoints(r.Field("LL_ML")),
              (QList<QPointF>{{k8h, 10}, {k8h + 1000, 10}, {k8h + 2000, 12}}));

    trend->MoveCursorTo(k8h + 1500);
    EXPECT_EQ(trend->CursorReadout(), QString::fromStdString(r.Day()) +
                                          QStringLiteral(" 08:00:01.500   Уровень сигнала: 10"));

    QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(r.Label("LL_GS1"), &twice);
    ASSERT_EQ(r.Trends().size(), 2u);
    EXPECT_EQ(r.Trends().back()->Fields(), std::vector<int>{r.Field("LL_GS1")});
    r.Trends().back()->ShowWholeSession();
    // A gap breaks the line: the points on both sides are drawn, nothing for the gap.
    EXPECT_EQ(r.Trends().back()->DrawnPoints(r.Field("LL_GS1")),
              (QList<QPointF>{{k8h + 500, 45}, {k8h + 2500, 50}}));

    // They close with the main window.
    r.window->close();
    for (TrendWindow* w : r.Trends()) EXPECT_FALSE(w->isVisible());
}

TEST(TrendWindows, TheServiceMenuChoosesFieldsAndTheShownSeriesExport) {
    TrendRig r;
    r.window->findChild<QAction*>(QStringLiteral("TrendsAction"))->trigger();
    auto* chooser = r.window->findChild<TrendChooserQt*>(QStringLiteral("TrendChooser"));
    ASSERT_NE(chooser, nullptr);
    chooser->Choose(r.Field("LL_ML"));
    chooser->Choose(r.Field("LL_GS1"));
    chooser->accept();
    ASSERT_EQ(r.Trends().size(), 1u);
    TrendWindow* trend = r.Trends().front();
    EXPECT_EQ(trend->Fields(), (std::vector<int>{r.Field("LL_GS1"), r.Field("LL_ML")}));

    trend->ShowWholeSession();
    EXPECT_FALSE(trend->Following());
    const auto csv = r.dir.path() / "trend.csv";
    ASSERT_TRUE(trend->ExportCsvTo(QString::fromStdString(csv.string())));
    const std::string d = r.Day();
    EXPECT_EQ(test::ReadAll(csv),
              "\xEF\xBB\xBF"
              "Время,Скорость,Уровень сигнала\r\n" +
                  d + " 08:00:00.000,,10\r\n" + d + " 08:00:00.500,45,10\r\n" + d +
                  " 08:00:01.000,45,10\r\n" + d + " 08:00:01.500,,10\r\n" + d +
                  " 08:00:02.000,,12\r\n" + d + " 08:00:02.500,50,12\r\n");

    const auto png = r.dir.path() / "trend.png";
    ASSERT_TRUE(trend->ExportPngTo(QString::fromStdString(png.string())));
    EXPECT_EQ(test::ReadAll(png).substr(0, 8), "\x89PNG\r\n\x1a\n");

    // A folder that is not there: nothing written, the reason shown.
    EXPECT_FALSE(
        trend->ExportCsvTo(QString::fromStdString((r.dir.path() / "no" / "t.csv").string())));
    auto* error = trend->findChild<QWidget*>(QStringLiteral("TrendExportError"));
    ASSERT_NE(error, nullptr);

    trend->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(r.Trends().empty());
}

}  // namespace
}  // namespace rv
