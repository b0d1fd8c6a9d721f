#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

#include "protocol/Colours.h"
#include "support/CalibrationPageRigQt.h"
#include "text/Cp1251.h"

namespace rv {
namespace {

using test::U;

class CalibrationPageTest : public test::CalibrationPageRig {
  protected:
    // Opens channel n's drop-down and picks the entry as the technician does, with the keyboard.
    void Pick(int n, const QString& text) {
        auto* combo = Find<QComboBox>("cmbDat", n);
        combo->showPopup();
        const int i = combo->findText(text);
        ASSERT_GE(i, 0) << "not offered: " << text.toStdString();
        combo->view()->setCurrentIndex(combo->model()->index(i, 0));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(combo->view(), &enter);
        Settle();
        ASSERT_EQ(combo->currentText(), text);
    }

    QStringList Offered(int n) {
        auto* combo = Find<QComboBox>("cmbDat", n);
        combo->showPopup();
        QStringList items;
        for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
        combo->hidePopup();
        Settle();
        return items;
    }

    // Types into the level field key by key; the key filter decides what arrives.
    void Type(int n, const QString& keys) {
        auto* edit = Find<QLineEdit>("pd", n, "4");
        for (const QChar ch : keys) {
            int key = ch.isDigit() ? Qt::Key_0 + ch.digitValue() : ch.toUpper().unicode();
            if (ch == QChar('\b')) key = Qt::Key_Backspace;
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(edit, &press);
        }
        Settle();
    }

    void SaveRow(int n, const std::string& index, const char* kind, const char* value,
                 const char* level) {
        recorder.SendTarDat(index, kind, value);
        Type(n, U(level));
        Find<QToolButton>("cmdS", n)->click();
        Settle();
    }

    // Captions of the visible rows of channel n, one text per row: "no|time|value|level".
    QStringList Rows(int n) {
        QStringList out;
        for (QWidget* row : VisibleRows(n)) {
            QStringList cells;
            for (const char* cell : {"NoCell", "TimeCell", "ValueCell", "LevelCell"}) {
                cells << row->findChild<QLabel*>(QString::fromLatin1(cell))->text();
            }
            out << cells.join('|');
        }
        return out;
    }

    QToolButton* DelButton(int n, int visibleRow) {
        const QList<QWidget*> rows = VisibleRows(n);
        if (visibleRow >= rows.size()) return nullptr;
        return rows[visibleRow]->findChild<QToolButton*>(QStringLiteral("DelButton"));
    }

    const QString in0 = U("IN0 (аналоговый)");
    const QString lls2 = U("LLS2 (уровень)");
};

TEST_F(CalibrationPageTest, StartsWithFourEmptyChannelsOfTheDesignedLook) {
    EXPECT_EQ(page.objectName(), QStringLiteral("tabTar"));
    auto* scb2 = Find<QScrollArea>(QStringLiteral("scb2"));
    EXPECT_EQ(scb2->frameShape(), QFrame::NoFrame);
    for (int n = 1; n <= 4; ++n) {
        auto* column = Find<QFrame>("panDat", n);
        EXPECT_EQ(column->width(), 336);
        EXPECT_EQ(column->palette().color(QPalette::Window), QColor(255, 255, 255));
        EXPECT_EQ(Find<QWidget>("panTitle", n)->palette().color(QPalette::Window),
                  QColor(192, 220, 192));
        EXPECT_EQ(Find<QComboBox>("cmbDat", n)->currentText(), U("выбрать"));
        EXPECT_FALSE(Find<QComboBox>("cmbDat", n)->isEditable());
        EXPECT_FALSE(Find<QWidget>("panStat", n)->isEnabled());
        EXPECT_TRUE(Find<QToolButton>("cmdS", n)->isHidden());
        auto* exportButton = Find<QToolButton>("cmdSE", n);
        EXPECT_TRUE(exportButton->isHidden());
        EXPECT_EQ(exportButton->toolTip(), U("Записать тарировочную таблицу в файл"));
        EXPECT_EQ(exportButton->size(), QSize(30, 30));
        EXPECT_EQ(Find<QLabel>("t", n, "1")->text(), U("№"));
        EXPECT_EQ(Find<QLabel>("t", n, "5")->text(), U("Действие"));
        EXPECT_EQ(Find<QWidget>("panCom", n)->height(), 41);
        EXPECT_EQ(Find<QLineEdit>("txtCom", n)->x(), 88);
    }
    // The columns stand left to right in channel order.
    EXPECT_LT(Find<QWidget>("panDat", 1)->x(), Find<QWidget>("panDat", 2)->x());
    EXPECT_LT(Find<QWidget>("panDat", 3)->x(), Find<QWidget>("panDat", 4)->x());
}

TEST_F(CalibrationPageTest, ColumnWidthDrivesTitleEntryRowAndComment) {
    for (int w : {336, 400, 521}) {
        page.SetChannelWidth(w);
        Settle();
        auto* stat = Find<QWidget>("panStat", 2);
        const int col = (stat->width() - 40 - 75) / 3;
        EXPECT_EQ(stat->width(), w - 2) << "inside the column's border";
        EXPECT_EQ(Find<QWidget>("pd", 2, "2")->width(), col) << w;
        EXPECT_EQ(Find<QWidget>("pd", 2, "4")->width(), col - 1) << w;
        EXPECT_EQ(Find<QWidget>("t", 2, "2")->width(), col - 2) << w;
        auto* last = Find<QWidget>("t", 2, "5");
        EXPECT_EQ(last->x() + last->width(), Find<QWidget>("panTitle", 2)->width()) << w;
        EXPECT_EQ(Find<QWidget>("txtCom", 2)->width(), Find<QWidget>("panCom", 2)->width() - 95);
    }
    page.resize(500, 600);
    Settle();
    auto* bar = Find<QScrollArea>(QStringLiteral("scb2"))->horizontalScrollBar();
    EXPECT_GT(bar->maximum(), 0) << "four columns wider than the page scroll sideways";
    bar->setValue(bar->maximum());
    page.ScrollToLeft();
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(CalibrationPageTest, LiveReadingFillsTheEntryRowAndFreezesWhileALevelIsTyped) {
    display.SetV(display.Field("LL_I0"), "100", kBlack);
    recorder.SendTarDat("0", "A", "100");
    recorder.SendTarDat("2", "Y", "3000");
    Pick(1, in0);
    EXPECT_TRUE(Find<QWidget>("panStat", 1)->isEnabled());
    EXPECT_EQ(Find<QLabel>("pd", 1, "3")->text(), QStringLiteral("100"));
    EXPECT_EQ(Find<QLabel>("pd", 1, "2")->text(), QStringLiteral("09:05:07"));
    EXPECT_EQ(Offered(2), (QStringList{U("выбрать"), lls2}));

    clock.Set({2026, 12, 7, 9, 5, 8});
    recorder.SendTarDat("0", "A", "101");
    Settle();
    EXPECT_EQ(Find<QLabel>("pd", 1, "3")->text(), QStringLiteral("101"));

    auto* level = Find<QLineEdit>("pd", 1, "4");
    int edits = 0;
    QObject::connect(level, &QLineEdit::textChanged, [&edits] { ++edits; });
    Type(1, QStringLiteral("1a-,.2x"));
    EXPECT_EQ(level->text(), QStringLiteral("12"));
    EXPECT_EQ(edits, 2) << "letters, signs and separators never reach the field";
    EXPECT_FALSE(Find<QToolButton>("cmdS", 1)->isHidden());
    recorder.SendTarDat("0", "A", "102");
    Settle();
    EXPECT_EQ(Find<QLabel>("pd", 1, "3")->text(), QStringLiteral("101"));
    Type(1, QStringLiteral("\b"));
    EXPECT_EQ(level->text(), QStringLiteral("1"));

    Find<QToolButton>("cmdS", 1)->click();
    Settle();
    EXPECT_EQ(Rows(1), QStringList{QStringLiteral("1|09:05:08|101|1")});
    EXPECT_FALSE(Find<QToolButton>("cmdSE", 1)->isHidden());
    EXPECT_TRUE(Find<QToolButton>("cmdS", 1)->isHidden());
    EXPECT_EQ(level->text(), QString());
    EXPECT_EQ(Find<QLabel>("pd", 1, "3")->text(), QString());
    recorder.SendTarDat("0", "A", "103");
    Settle();
    EXPECT_EQ(Find<QLabel>("pd", 1, "3")->text(), QStringLiteral("103"));
}

TEST_F(CalibrationPageTest, DeletingRowsRenumbersAndHidesTheExportButtonWithTheLastRow) {
    recorder.SendTarDat("0", "A", "1");
    recorder.SendTarDat("2", "Y", "1");
    Pick(1, in0);
    Pick(2, lls2);
    SaveRow(2, "2", "Y", "500", "5");
    SaveRow(1, "0", "A", "10", "0");
    SaveRow(1, "0", "A", "20", "5");
    SaveRow(1, "0", "A", "30", "10");
    DelButton(1, 1)->click();
    Settle();
    SaveRow(1, "0", "A", "40", "15");
    const QStringList expected = {QStringLiteral("1|09:05:07|10|0"),
                                  QStringLiteral("2|09:05:07|30|10"),
                                  QStringLiteral("3|09:05:07|40|15")};
    EXPECT_EQ(Rows(1), expected);

    for (int i = 0; i < 3; ++i) DelButton(1, 0)->click();
    Settle();
    EXPECT_TRUE(Rows(1).isEmpty());
    EXPECT_TRUE(Find<QToolButton>("cmdSE", 1)->isHidden());
    EXPECT_FALSE(Find<QToolButton>("cmdSE", 2)->isHidden());

    // Choosing the same source again keeps the table; the placeholder empties the channel.
    Pick(2, lls2);
    EXPECT_EQ(Rows(2).size(), 1);
    Pick(2, U("выбрать"));
    EXPECT_TRUE(Rows(2).isEmpty());
    EXPECT_FALSE(Find<QWidget>("panStat", 2)->isEnabled());
    EXPECT_TRUE(Find<QScrollArea>("scbDat", 2)
                    ->widget()
                    ->findChildren<QWidget*>(QStringLiteral("RowPanel"))
                    .isEmpty());
}

TEST_F(CalibrationPageTest, RowCellsLineUpUnderTheTitles) {
    recorder.SendTarDat("0", "A", "1");
    Pick(1, in0);
    SaveRow(1, "0", "A", "10", "0");
    auto* row =
        Find<QScrollArea>("scbDat", 1)->widget()->findChild<QWidget*>(QStringLiteral("RowPanel"));
    ASSERT_NE(row, nullptr);
    auto* time = row->findChild<QLabel*>(QStringLiteral("TimeCell"));
    auto* action = row->findChild<QLabel*>(QStringLiteral("ActionCell"));
    EXPECT_EQ(row->height(), 25);
    EXPECT_EQ(time->x(), 40);
    EXPECT_EQ(time->width(), (row->width() - 40 - 73) / 3);
    EXPECT_EQ(action->x() + action->width(), row->width());
    EXPECT_EQ(action->width(), 75);
    // The title follows the rows now: the time title ends where the row's time column would
    // with the action column's width.
    auto* t2 = Find<QLabel>("t", 1, "2");
    EXPECT_EQ(t2->x() + t2->width(), 40 + (row->width() - 40 - 75) / 3);
}

// A table far longer than its area: every row, whichever part of the table it sits in, stands
// directly below the previous visible one, deleted rows leave no gap, every row follows the
// column's width, and scrolling brings the last row into the area.
TEST_F(CalibrationPageTest, LongTablesStackTheirRowsWithoutGapsAndScroll) {
    recorder.SendTarDat("0", "A", "1");
    Pick(1, in0);
    constexpr int kAdded = 300;
    for (int i = 0; i < kAdded; ++i) {
        recorder.AddTarPanel(1, std::to_string(i), std::to_string(1000 + i), "09:05:07");
    }
    Settle();
    // Deleted: rows 10, 71, 130 and 299 of the table (visible positions shift as rows go).
    for (int visible : {10, 70, 128, 296}) DelButton(1, visible)->click();
    page.SetChannelWidth(400);
    Settle();

    auto* area = Find<QScrollArea>("scbDat", 1);
    QWidget* table = area->widget();
    const QList<QWidget*> rows = table->findChildren<QWidget*>(QStringLiteral("RowPanel"));
    ASSERT_EQ(rows.size(), kAdded) << "deleted rows stay in the table, hidden";
    int shown = 0;
    for (int i = 0; i < rows.size(); ++i) {
        QWidget* row = rows[i];
        const bool deleted = i == 10 || i == 71 || i == 130 || i == 299;
        EXPECT_EQ(row->isHidden(), deleted) << i;
        if (deleted) continue;
        EXPECT_EQ(row->mapTo(table, QPoint(0, 0)), QPoint(0, shown * 25)) << i;
        EXPECT_EQ(row->size(), QSize(table->width(), 25)) << i;
        EXPECT_EQ(row->findChild<QLabel*>(QStringLiteral("NoCell"))->text(),
                  QString::number(shown + 1));
        EXPECT_EQ(row->findChild<QLabel*>(QStringLiteral("LevelCell"))->text(), QString::number(i));
        ++shown;
    }
    EXPECT_EQ(shown, kAdded - 4);
    EXPECT_EQ(table->height(), shown * 25);

    auto* bar = area->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum());
    Settle();
    QWidget* last = rows[kAdded - 2];
    EXPECT_TRUE(last->isVisible());
    EXPECT_TRUE(area->viewport()->rect().contains(
        QRect(last->mapTo(area->viewport(), QPoint(0, 0)), last->size())));
    // Cells of rows that came into sight only now follow the new width too.
    auto* time = last->findChild<QLabel*>(QStringLiteral("TimeCell"));
    EXPECT_EQ(time->width(), (last->width() - 40 - 73) / 3);
    auto* action = last->findChild<QLabel*>(QStringLiteral("ActionCell"));
    EXPECT_EQ(action->x() + action->width(), last->width());

    bar->setValue(0);
    Settle();
    EXPECT_TRUE(rows[0]->isVisible());
    EXPECT_EQ(rows[0]->mapTo(area->viewport(), QPoint(0, 0)), QPoint(0, 0));
}

// Rows repaint only where they change; what the window shows after scrolling, deleting and adding
// in the middle of a long table must still be what a full repaint would show.
TEST_F(CalibrationPageTest, TheScreenFollowsALongTableThroughScrollsDeletionsAndAdditions) {
    recorder.SendTarDat("0", "A", "1");
    Pick(1, in0);
    for (int i = 0; i < 200; ++i) {
        recorder.AddTarPanel(1, std::to_string(i), std::to_string(1000 + i), "09:05:07");
    }
    auto* bar = Find<QScrollArea>("scbDat", 1)->verticalScrollBar();
    const auto screenIsFresh = [this](const char* step) {
        Settle();
        Settle();  // a layout change paints on the next pass
        const QImage screen = QGuiApplication::primaryScreen()
                                  ->grabWindow(page.winId())
                                  .toImage()
                                  .convertToFormat(QImage::Format_RGB32);
        const QImage fresh = page.grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_TRUE(screen == fresh) << step;
    };
    bar->setValue(60 * 25 + 7);  // rows 61.., across the first block boundary
    screenIsFresh("scrolled");
    DelButton(1, 62)->click();
    screenIsFresh("deleted in sight");
    DelButton(1, 0)->click();
    screenIsFresh("deleted above sight");
    bar->setValue(bar->maximum());
    recorder.AddTarPanel(1, "7", "7", "09:05:08");
    screenIsFresh("added at the end");
    page.SetChannelWidth(450);
    screenIsFresh("wider");
}

TEST_F(CalibrationPageTest, ExportWritesTheTableAndResetsOnlyThatChannel) {
    display.SetV(display.Field("LL_DN"), "123456", kBlack);
    recorder.SendTarDat("0", "A", "1");
    recorder.SendTarDat("2", "Y", "1");
    Pick(1, in0);
    Pick(3, lls2);
    SaveRow(1, "0", "A", "7", "1");
    SaveRow(3, "2", "Y", "1200", "0");
    SaveRow(3, "2", "Y", "9999", "5");
    SaveRow(3, "2", "Y", "1300", "10");
    DelButton(3, 1)->click();
    Find<QLineEdit>("txtCom", 3)->setText(U("бак 60 л"));

    target.path = "/tmp/x.txt";
    target.failure = "Cannot create file \"/tmp/x.txt\". Permission denied";
    Find<QToolButton>("cmdSE", 3)->click();
    Settle();
    EXPECT_EQ(Rows(3).size(), 2) << "a failed write keeps the channel";
    EXPECT_EQ(Find<QLineEdit>("txtCom", 3)->text(), U("бак 60 л"));

    target.failure.reset();
    Find<QToolButton>("cmdSE", 3)->click();
    Settle();
    EXPECT_EQ(target.proposed, W("123456_LLS2(уровень)_07-12-26.txt"));
    EXPECT_EQ(target.initialFolder, "/opt/revodive/");
    const std::string expected =
        W("ID устройства: 123456\r\n"
          "Дата и время: 07.12.2026 9:05:07\r\n"
          "\r\n"
          "---------------------------------------\r\n"
          "        Датчик: LLS2 (уровень)        |\r\n"
          "---------------------------------------\r\n"
          "  №  |   Время  | Значение |  Уровень |\r\n"
          "---------------------------------------\r\n"
          "  1  | 09:05:07 |   1200   |     0    |\r\n"
          "  2  | 09:05:07 |   1300   |    10    |\r\n"
          "---------------------------------------\r\n"
          "\r\n"
          "Комментарии: бак 60 л\r\n");
    EXPECT_EQ(target.bytes, expected);

    EXPECT_EQ(Find<QComboBox>("cmbDat", 3)->currentText(), U("выбрать"));
    EXPECT_FALSE(Find<QWidget>("panStat", 3)->isEnabled());
    EXPECT_TRUE(Rows(3).isEmpty());
    EXPECT_EQ(Find<QLineEdit>("txtCom", 3)->text(), QString());
    EXPECT_TRUE(Find<QToolButton>("cmdSE", 3)->isHidden());
    EXPECT_EQ(Rows(1).size(), 1);
    EXPECT_EQ(Find<QComboBox>("cmbDat", 1)->currentText(), in0);
    EXPECT_EQ(Offered(3), (QStringList{U("выбрать"), lls2}));
}

TEST_F(CalibrationPageTest, ClearActionEmptiesEveryChannel) {
    recorder.SendTarDat("0", "A", "1");
    Pick(4, in0);
    SaveRow(4, "0", "A", "7", "1");
    Find<QLineEdit>("txtCom", 4)->setText(QStringLiteral("c"));
    recorder.InitTar();
    Settle();
    EXPECT_TRUE(Rows(4).isEmpty());
    EXPECT_EQ(Find<QComboBox>("cmbDat", 4)->currentText(), U("выбрать"));
    EXPECT_EQ(Find<QLineEdit>("txtCom", 4)->text(), QString());
    EXPECT_EQ(Offered(4), QStringList{U("выбрать")});
}

TEST_F(CalibrationPageTest, ALevelTypedBeforeTheReadingCannotSaveARowWithoutOne) {
    recorder.SendTarDat("0", "A", "100");
    Pick(1, in0);
    SaveRow(1, "0", "A", "100", "0");  // the entry row is empty after "Сохранить"
    ASSERT_EQ(Rows(1).size(), 1);
    Type(1, QStringLiteral("3000"));
    auto* save = Find<QToolButton>("cmdS", 1);
    EXPECT_TRUE(save->isHidden()) << "no reading in the entry row yet";
    save->click();  // even a click that reaches it saves nothing
    Settle();
    EXPECT_EQ(Rows(1).size(), 1);

    clock.Set({2026, 12, 7, 9, 6, 0});
    recorder.SendTarDat("0", "A", "250");  // the next reading still fills the entry row
    Settle();
    EXPECT_EQ(Find<QLabel>("pd", 1, "3")->text(), QStringLiteral("250"));
    EXPECT_FALSE(save->isHidden());
    save->click();
    Settle();
    EXPECT_EQ(Rows(1), (QStringList{QStringLiteral("1|09:05:07|100|0"),
                                    QStringLiteral("2|09:06:00|250|3000")}));
}

TEST_F(CalibrationPageTest, TheDropDownsHintNamesTheFuelLevelSensorByItsAddress) {
    display.SetCaption(display.Field("LLS2"), "5:");
    recorder.SendTarDat("2", "Y", "3000");
    recorder.SendTarDat("0", "A", "100");
    Pick(1, lls2);
    Pick(2, in0);
    EXPECT_EQ(Find<QComboBox>("cmbDat", 1)->toolTip(), U("Датчик уровня топлива, адрес 5"));
    EXPECT_EQ(Find<QComboBox>("cmbDat", 2)->toolTip(), QString());
}

TEST_F(CalibrationPageTest, ARestoredTableIsShownWithItsRowsCommentAndExportButton) {
    KeptTableState kept;
    kept.sourceName = W("LLS2 (уровень)");
    kept.rows = {{"1", "09:00:00", "1100", "0", true},
                 {"", "09:01:00", "1200", "5", false},
                 {"2", "09:02:00", "1300", "10", true}};
    kept.comment = W("бак");
    recorder.RestoreChannel(3, kept);
    Settle();
    EXPECT_EQ(Find<QComboBox>("cmbDat", 3)->currentText(), lls2);
    EXPECT_EQ(Rows(3), (QStringList{QStringLiteral("1|09:00:00|1100|0"),
                                    QStringLiteral("2|09:02:00|1300|10")}));
    EXPECT_EQ(Find<QLineEdit>("txtCom", 3)->text(), U("бак"));
    EXPECT_FALSE(Find<QToolButton>("cmdSE", 3)->isHidden());
    EXPECT_TRUE(Find<QWidget>("panStat", 3)->isEnabled());
}

}  // namespace
}  // namespace rv
