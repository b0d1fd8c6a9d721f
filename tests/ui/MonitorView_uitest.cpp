// The monitor view on a real form, offscreen: sections and fields by object name, folding, the
// column rule at several widths, the port cells and the header command buttons.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QToolButton>
#include <algorithm>
#include <memory>

#include "app/MainForm.h"
#include "layout/ColumnRule.h"
#include "layout/SectionPlan.h"
#include "support/ScriptedPlatform.h"
#include "text/Cp1251.h"
#include "ui/CaptionLabelWidget.h"
#include "ui/ColoursQt.h"
#include "ui/DisplayBinderQt.h"
#include "ui/MonitorView.h"
#include "ui/PicturesQt.h"
#include "ui/PortStripWidget.h"
#include "ui/SectionRowsWidget.h"
#include "ui/SectionWidget.h"

namespace rv {
namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

struct MonitorRig {
    RegionalFormats formats;
    FixedClock clock;
    test::ManualTickSource ticks;
    test::ScriptedSerialDevice* device = nullptr;
    std::string portList = std::string("COM1\0COM3\0\0", 11);
    std::unique_ptr<MainForm> form;
    std::unique_ptr<DisplayBinderQt> binder;
    std::unique_ptr<MonitorView> view;

    MonitorRig() {
        form = std::make_unique<MainForm>(
            formats, clock, test::ScriptedPlatform(device, &ticks, [this] { return portList; }));
        binder = std::make_unique<DisplayBinderQt>(form->Display());
        view = std::make_unique<MonitorView>(*form, *binder);
        form->FormCreate();
        SetSize(1000, 700);
        view->show();
        QApplication::processEvents();
    }

    void SetSize(int w, int h) {
        view->resize(w, h);
        view->Panel0Resize();
        QApplication::processEvents();
    }

    template <typename T = QWidget>
    T* Find(const char* name) const {
        return view->findChild<T*>(QString::fromUtf8(name));
    }
    SectionWidget* Section(const char* name) const { return view->Section(name); }
    QToolButton* Fold(const char* section) const {
        return Section(section)->Header()->FoldButton();
    }
};

TEST(MonitorView, EverySectionAndDisplayFieldOfThePlanStandsWithItsIdleText) {
    MonitorRig rig;
    EXPECT_EQ(rig.view->objectName(), "Panel0");
    for (const char* panel : {"Panel1", "Panel2", "Panel3", "Panel4", "Panel"})
        EXPECT_NE(rig.Find(panel), nullptr) << panel;

    for (const SectionPlan& plan : MonitorSections()) {
        SectionWidget* section = rig.Find<SectionWidget>(plan.name);
        ASSERT_NE(section, nullptr) << plan.name;
        EXPECT_EQ(section->Header()->TitleCell()->text(), U(plan.title)) << plan.name;
        auto* fold = rig.Find<QToolButton>(plan.foldButton);
        ASSERT_NE(fold, nullptr) << plan.foldButton;
        EXPECT_EQ(fold->toolTip(), U("Скрыть"));
        EXPECT_TRUE(section->isAncestorOf(fold));
        for (const RowPlan& row : plan.rows) {
            if (!row.field) continue;
            QWidget* field = rig.Find(row.field);
            ASSERT_NE(field, nullptr) << row.field;
            EXPECT_TRUE(section->isAncestorOf(field)) << row.field;
            QString text;
            if (auto* label = qobject_cast<QLabel*>(field)) text = label->text();
            if (auto* edit = qobject_cast<QLineEdit*>(field)) text = edit->text();
            const QString name = QString::fromUtf8(row.field);
            if (name == "L_PNUM") {
                EXPECT_EQ(text, "---");  // the design text until a port is started
            } else if (name == "L_PSTAT") {
                EXPECT_EQ(text, U("Нет подключения"));
            } else {
                EXPECT_EQ(text, "-") << row.field;
                EXPECT_EQ(field->palette().color(QPalette::WindowText), ToQColor(kGrey));
            }
        }
    }
    // Read-only edits whose text the technician copies.
    for (const char* name : {"LL_DN", "LL_MN"}) {
        auto* edit = rig.Find<QLineEdit>(name);
        ASSERT_NE(edit, nullptr) << name;
        EXPECT_TRUE(edit->isReadOnly());
    }
    // Input rows: rewritable grey captions LL0..LL5.
    for (int n = 0; n < 6; ++n) {
        const QString name = QStringLiteral("LL%1").arg(n);
        auto* caption = rig.view->findChild<QLabel*>(name);
        ASSERT_NE(caption, nullptr) << n;
        EXPECT_EQ(caption->text(), QStringLiteral("%1:").arg(n));
        EXPECT_EQ(caption->palette().color(QPalette::WindowText), ToQColor(kGrey));
        EXPECT_EQ(caption->width(), 84);
    }
    auto* signal = rig.Find<QProgressBar>("SB_ML");
    auto* battery = rig.Find<QProgressBar>("SB_PB");
    ASSERT_TRUE(signal && battery);
    EXPECT_EQ(signal->size(), QSize(46, 15));
    EXPECT_EQ(battery->size(), QSize(39, 15));
    EXPECT_TRUE(rig.Section("PanelB2")->isAncestorOf(rig.Find("LL_ML")));
    EXPECT_TRUE(rig.Section("PanelC1")->isAncestorOf(rig.Find("LL_PB1")));
}

TEST(MonitorView, FieldsFollowTheDisplayModel) {
    MonitorRig rig;
    DisplayModel& m = rig.form->Display();
    m.SetV(m.Field("LL_GK0"), "55.123456", kGreen);
    auto* lat = rig.Find<QLabel>("LL_GK0");
    EXPECT_EQ(lat->text(), "55.123456");
    EXPECT_EQ(lat->palette().color(QPalette::WindowText), ToQColor(kGreen));
    m.SetCaption(m.Field("LL2"), "\xc0\xcd\xc0\xcb\xce\xc3:");  // "АНАЛОГ:" in Windows-1251
    EXPECT_EQ(rig.Find<QLabel>("LL2")->text(), U("АНАЛОГ:"));
    m.SetV(m.Field("LL_DN"), "000777", kGreen);  // a read-only edit
    auto* unit = rig.Find<QLineEdit>("LL_DN");
    EXPECT_EQ(unit->text(), "000777");
    EXPECT_EQ(unit->palette().color(QPalette::WindowText), ToQColor(kGreen));
    m.SetBar(Bar::SignalLevel, 17);
    EXPECT_EQ(rig.Find<QProgressBar>("SB_ML")->value(), 17);
    m.SetBar(Bar::Battery, 2);
    EXPECT_EQ(rig.Find<QProgressBar>("SB_PB")->value(), 2);
}

TEST(MonitorView, CaptionsKeepTheirFirstLettersInTheirCells) {
    MonitorRig rig;
    DisplayModel& m = rig.form->Display();
    // Input captions as the input replies rewrite them, and the longest fixed captions.
    m.SetCaption(m.Field("LL3"), W("Импульсный 3:"));
    m.SetCaption(m.Field("LL4"), W("Выход [M1] 4:"));
    const struct {
        const char* label;
        int width;
    } cases[] = {{"LL3", 84}, {"LL4", 84}, {"LL0", 84}};
    for (const auto& c : cases) {
        auto* caption = dynamic_cast<CaptionLabel*>(rig.Find<QLabel>(c.label));
        ASSERT_NE(caption, nullptr) << c.label;
        EXPECT_EQ(caption->width(), c.width) << c.label;
        EXPECT_LE(QFontMetrics(caption->FittedFont()).horizontalAdvance(caption->text()),
                  caption->contentsRect().width())
            << c.label;
    }
    // A caption that fits is drawn at its font's own width.
    EXPECT_EQ(dynamic_cast<CaptionLabel*>(rig.Find<QLabel>("LL0"))->FittedFont().stretch(),
              QFont::Unstretched);
    for (const char* text : {"Часы реального времени:", "Прошло после отправки:",
                             "Обновление настроек:", "Соединение с сервером:"}) {
        CaptionLabel* found = nullptr;
        for (auto* label : rig.view->findChildren<QLabel*>()) {
            auto* c = dynamic_cast<CaptionLabel*>(label);
            if (c && c->text() == U(text)) found = c;
        }
        ASSERT_NE(found, nullptr) << text;
        EXPECT_LE(QFontMetrics(found->FittedFont()).horizontalAdvance(found->text()),
                  found->width())
            << text;
    }
}

TEST(MonitorView, FoldingGivesExactly34PixelsAndTogglesHintAndLeavesDataAlone) {
    MonitorRig rig;
    for (const SectionPlan& plan : MonitorSections()) {
        SectionWidget* s = rig.Section(plan.name);
        const int unfolded = s->height();
        ASSERT_NE(unfolded, kFoldedSectionHeight) << plan.name;
        rig.Fold(plan.name)->click();
        EXPECT_TRUE(s->Folded()) << plan.name;
        EXPECT_EQ(s->height(), 34) << plan.name;
        EXPECT_EQ(rig.Fold(plan.name)->toolTip(), U("Показать"));
        rig.Fold(plan.name)->click();
        EXPECT_FALSE(s->Folded());
        EXPECT_EQ(s->height(), unfolded) << plan.name;
        EXPECT_EQ(rig.Fold(plan.name)->toolTip(), U("Скрыть"));
    }

    // Folding "Подключение COM" pulls the sections under it up to its header.
    SectionWidget* a1 = rig.Section("PanelA1");
    SectionWidget* a2 = rig.Section("PanelA2");
    SectionWidget* a3 = rig.Section("PanelA3");
    EXPECT_EQ(a1->height(), UnfoldedHeight(a1->Plan()));
    EXPECT_EQ(a2->y(), a1->height());
    const int a3Top = a3->y();
    rig.Fold("PanelA1")->click();
    EXPECT_EQ(a2->y(), 34);
    EXPECT_EQ(a3->y(), a3Top - (UnfoldedHeight(a1->Plan()) - 34));
    rig.Fold("PanelA1")->click();
    EXPECT_EQ(a2->y(), a1->height());

    // A folded section's fields go on receiving values.
    rig.Fold("PanelB1")->click();
    DisplayModel& m = rig.form->Display();
    m.SetV(m.Field("LL_GS0"), "9", kBlack);
    EXPECT_EQ(rig.Find<QLabel>("LL_GS0")->text(), "9");
}

TEST(MonitorView, FillingSectionsTakeTheRestOfTheColumnAndFoldToTheTop) {
    MonitorRig rig;
    for (const char* name : {"PanelC3", "PanelA4"}) {
        SectionWidget* s = rig.Section(name);
        QWidget* column = s->parentWidget();
        EXPECT_EQ(s->y() + s->height(), column->height()) << name;
        const int top = s->y();
        rig.Fold(name)->click();
        EXPECT_EQ(s->y(), top) << name;
        EXPECT_EQ(s->height(), 34) << name;
        EXPECT_LT(s->y() + s->height(), column->height()) << name;  // the column shows below
        rig.Fold(name)->click();
        EXPECT_EQ(s->y() + s->height(), column->height()) << name;
    }
}

// The column (0-based) each section stands in, checked against the placement table, top to
// bottom in the listed order.
void ExpectPlacement(const MonitorRig& rig, int columns) {
    const ColumnPlacement& placement = PlacementFor(columns);
    for (int c = 0; c < kMaxColumns; ++c) {
        QWidget* panel = rig.Find(QStringLiteral("Panel%1").arg(c + 1).toUtf8().constData());
        int lastY = -1;
        for (std::string_view name : placement[c]) {
            SectionWidget* s = rig.view->Section(std::string(name));
            EXPECT_TRUE(panel->isAncestorOf(s)) << columns << " columns: " << name;
            EXPECT_TRUE(s->isVisibleTo(rig.view.get())) << name;
            EXPECT_GT(s->y(), lastY) << name;
            lastY = s->y();
        }
    }
}

TEST(MonitorView, ColumnRuleAtSeveralWidths) {
    MonitorRig rig;
    const struct {
        int width, columns, columnWidth;
    } cases[] = {{1000, 4, 250}, {900, 3, 300}, {600, 2, 300}, {1200, 4, 300}};
    for (const auto& c : cases) {
        rig.SetSize(c.width, 700);
        EXPECT_EQ(rig.view->ColumnCount(), c.columns) << c.width;
        ExpectPlacement(rig, c.columns);
        for (int col = 0; col < kMaxColumns; ++col) {
            QWidget* panel = rig.Find(QStringLiteral("Panel%1").arg(col + 1).toUtf8().constData());
            EXPECT_EQ(panel->width(), col < c.columns ? c.columnWidth : 0) << c.width;
            EXPECT_EQ(panel->x(),
                      col < c.columns ? col * c.columnWidth : c.columns * c.columnWidth);
        }
        for (const SectionPlan& plan : MonitorSections())
            EXPECT_EQ(rig.Section(plan.name)->width(), c.columnWidth) << plan.name;
    }
}

TEST(MonitorView, SameColumnCountOnlyChangesWidthsAndRunsTheHook) {
    MonitorRig rig;
    int hookRuns = 0;
    rig.view->SetOnPanel0Resize([&] { ++hookRuns; });
    // The technician's folding survives a resize that keeps the count.
    rig.Fold("PanelB3")->click();
    rig.SetSize(1100, 700);
    EXPECT_GE(hookRuns, 1);
    EXPECT_EQ(rig.view->ColumnCount(), 4);
    ExpectPlacement(rig, 4);
    EXPECT_EQ(rig.Section("PanelB3")->height(), 34);
    EXPECT_EQ(rig.Section("PanelC3")->y(), rig.Section("PanelB3")->y() + 34);
}

TEST(MonitorView, PortButtonsStandInListOrderFromTheRightWithHints) {
    MonitorRig rig;
    auto* strip = rig.Find<PortStripWidget>("PanelCOM");
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->height(), 28);
    const auto& buttons = strip->PortButtons();
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0]->text(), "1");
    EXPECT_EQ(buttons[0]->toolTip(), U("Порт COM1"));
    EXPECT_EQ(buttons[1]->text(), "3");
    EXPECT_EQ(buttons[1]->toolTip(), U("Порт COM3"));
    for (QToolButton* b : buttons) EXPECT_EQ(b->size(), QSize(24, 24));

    auto* stop = rig.Find<QToolButton>("SpeedButton9");
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(stop->toolTip(), U("Стоп"));
    const auto right = [strip](QWidget* w) { return w->mapTo(strip, QPoint(w->width(), 0)).x(); };
    // From the right edge inwards: stop, a 4-pixel gap, COM1's cell, COM3's cell.
    EXPECT_EQ(right(stop), strip->width() - 2);
    EXPECT_EQ(right(buttons[0]), right(stop) - 24 - 4);
    EXPECT_EQ(right(buttons[1]), right(buttons[0]) - 28);
    QLabel* title = strip->TitleCell();
    EXPECT_EQ(title->objectName(), "Panel289");
    EXPECT_LE(title->mapTo(strip, QPoint(title->width(), 0)).x(), right(buttons[1]) - 28);

    // Refreshing the list makes the cells anew, one per port.
    rig.form->Connection().FindActionExecute();
    EXPECT_EQ(strip->PortButtons().size(), 2u);
    EXPECT_EQ(strip->findChildren<QToolButton*>(QStringLiteral("PortButton3")).size(), 1);
}

TEST(MonitorView, ComTitleFollowsTheTitleCellWidth) {
    MonitorRig rig;
    QLabel* title = rig.Find<QLabel>("Panel289");
    const struct {
        int width;
        const char* text;
    } cases[] = {{125, "COM"}, {126, "Подключение COM"}, {60, "COM"}};
    for (const auto& c : cases) {
        title->resize(c.width, title->height());  // visible: the resize handler runs at once
        EXPECT_EQ(title->text(), U(c.text)) << c.width;
    }
    // 250-pixel columns with two ports leave the title cell exactly 126 pixels; a third port
    // takes 28 of them and the title shortens.
    rig.SetSize(1000, 700);
    EXPECT_EQ(title->width(), 126);
    EXPECT_EQ(title->text(), U("Подключение COM"));
    rig.portList = std::string("COM1\0COM3\0COM4\0\0", 16);
    rig.form->Connection().FindActionExecute();
    QApplication::processEvents();
    EXPECT_EQ(title->width(), 98);
    EXPECT_EQ(title->text(), U("COM"));
    rig.SetSize(1200, 700);  // 300-pixel columns: room again
    QApplication::processEvents();
    EXPECT_EQ(title->width(), 148);
    EXPECT_EQ(title->text(), U("Подключение COM"));
}

QColor CellColour(const MonitorRig& rig, int port) {
    return rig.Find(QStringLiteral("PortCell%1").arg(port).toUtf8().constData())
        ->palette()
        .color(QPalette::Window);
}
QColor NumberColour(const MonitorRig& rig, int port) {
    return rig.Find(QStringLiteral("PortButton%1").arg(port).toUtf8().constData())
        ->palette()
        .color(QPalette::ButtonText);
}

TEST(MonitorView, StartedPortIsHighlightedAndStopClearsIt) {
    MonitorRig rig;
    const QColor green = ToQColor(kLightGreen);
    const QColor black = ToQColor(kBlack);
    EXPECT_EQ(CellColour(rig, 3), green);

    rig.view->PortStrip()->PortButtons()[1]->click();  // COM3
    ASSERT_TRUE(rig.device->IsOpen());
    EXPECT_EQ(rig.device->OpenedPaths().back(), "/dev/ttyTEST3");
    EXPECT_EQ(CellColour(rig, 3), black);
    EXPECT_EQ(NumberColour(rig, 3), green);
    EXPECT_EQ(CellColour(rig, 1), green);
    EXPECT_EQ(NumberColour(rig, 1), black);
    EXPECT_EQ(rig.Find<QLabel>("L_PNUM")->text(), "COM3");

    rig.Find<QToolButton>("SpeedButton9")->click();
    EXPECT_FALSE(rig.device->IsOpen());
    EXPECT_EQ(CellColour(rig, 3), green);
    EXPECT_EQ(NumberColour(rig, 3), black);
}

TEST(MonitorView, HeaderCommandButtonsFollowTheLinkAndSendTheirCommand) {
    MonitorRig rig;
    const struct {
        const char* button;
        const char* section;
        const char* hint;
        const char* line;
    } buttons[] = {
        {"SpeedButton1", "PanelB1", "Выключить лог с модуля ", "\r>D 10;0\n"},
        {"SpeedButton2", "PanelA3", "Обновить статус", "\r>I 1\n"},
        {"SpeedButton3", "PanelA2", "Обновить параметры", "\r>I 0\n"},
        {"SpeedButton4", "PanelB1", "Включить лог с модуля ", "\r>D 10;1\n"},
        {"SpeedButton6", "PanelB2", "", "\r>D 9;0\n"},
        {"SpeedButton7", "PanelB2", "", "\r>D 9;1\n"},
        {"SpeedButton8", "PanelB2", "", "\r>I 7\n"},
    };
    for (const auto& b : buttons) {
        auto* button = rig.Find<QToolButton>(b.button);
        ASSERT_NE(button, nullptr) << b.button;
        EXPECT_TRUE(rig.Section(b.section)->isAncestorOf(button)) << b.button;
        EXPECT_EQ(button->toolTip(), U(b.hint)) << b.button;
        EXPECT_FALSE(button->isEnabled()) << b.button;
    }
    EXPECT_TRUE(rig.Find<QToolButton>("SpeedButton9")->isEnabled());  // stop is always there

    rig.view->PortStrip()->PortButtons()[0]->click();  // COM1
    ASSERT_TRUE(rig.device->IsOpen());
    for (const auto& b : buttons) {
        auto* button = rig.Find<QToolButton>(b.button);
        ASSERT_TRUE(button->isEnabled()) << b.button;
        const std::size_t before = rig.device->Written().size();
        button->click();
        EXPECT_EQ(rig.device->Written().substr(before), b.line) << b.button;
    }

    rig.Find<QToolButton>("SpeedButton9")->click();
    for (const auto& b : buttons) EXPECT_FALSE(rig.Find<QToolButton>(b.button)->isEnabled());
}

// Writes the view to $REVODIVE_SCREENSHOT_DIR/monitor-<width>.png for a look by eye.
TEST(MonitorView, Screenshot) {
    const QByteArray dir = qgetenv("REVODIVE_SCREENSHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "REVODIVE_SCREENSHOT_DIR not set";
    MonitorRig rig;
    DisplayModel& m = rig.form->Display();
    rig.view->PortStrip()->PortButtons()[1]->click();
    m.SetV(m.Field("LL_DI0"), "RT-300", kBlack);
    m.SetV(m.Field("LL_DN"), "100234", kBlack);
    m.SetV(m.Field("LL_GK0"), "55.751244", kGreen);
    m.SetV(m.Field("LL_DS0"), "Ok", kGreen);
    m.SetV(m.Field("LL_DS4"), "Err", kRed);
    m.SetBar(Bar::SignalLevel, 20);
    m.SetBar(Bar::Battery, 3);
    ASSERT_TRUE(
        pictures::MakerPicture().save(QDir(QString::fromLocal8Bit(dir)).filePath("maker.png")));
    ASSERT_TRUE(pictures::AppIcon().pixmap(64).save(
        QDir(QString::fromLocal8Bit(dir)).filePath("icon.png")));
    for (int width : {1008, 900, 600}) {
        rig.SetSize(width, 670);
        ASSERT_TRUE(
            rig.view->grab().save(QDir(QString::fromLocal8Bit(dir))
                                      .filePath(QStringLiteral("monitor-%1.png").arg(width))));
    }
}

}  // namespace
}  // namespace rv
