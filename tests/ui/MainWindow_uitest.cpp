// The real main window on the offscreen platform: start state, menus, view switching, speeds,
// every command item's line, the calibration page fed by the form, saving the traffic log, the
// error report, closing.
#include "ui/MainWindow.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <QAbstractItemView>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTabBar>
#include <QTabWidget>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/SessionRecords.h"
#include "commands/CommandCatalogue.h"
#include "support/ScriptedPlatform.h"
#include "support/TempRuntimeDir.h"
#include "support/WindowTextQt.h"
#include "text/Cp1251.h"
#include "ui/RestoreTableDialogQt.h"

namespace rv {
namespace {

struct WindowRig {
    WindowRig() {
        window = std::make_unique<MainWindow>(test::ScriptedPlatform(device, nullptr, [] {
            return test::PortList({"COM1", "COM3", "COM12"});
        }));
        window->show();
        QApplication::processEvents();
    }
    template <typename T>
    T* Find(const QString& name) const {
        return window->findChild<T*>(name);
    }
    QAction* Action(const QString& name) const { return Find<QAction>(name); }
    QString Text(const char* name) const { return test::ShownText(*window, name); }
    // Feeds one read to the scripted device and runs the driver's tick.
    void Feed(std::string_view bytes) {
        device->QueueRead(bytes);
        window->Form().Q().PollReceive();
        QApplication::processEvents();
    }

    test::ScriptedSerialDevice* device = nullptr;
    std::unique_ptr<MainWindow> window;
};

QStringList MenuTexts(QMenu* menu) {
    QStringList texts;
    for (QAction* a : menu->actions()) {
        QString t = a->isSeparator() ? QStringLiteral("-") : a->text();
        if (!a->shortcut().isEmpty()) t += QStringLiteral(" [") + a->shortcut().toString() + "]";
        texts << t;
    }
    return texts;
}

TEST(MainWindow, StartsInTheIdleMonitorView) {
    WindowRig r;
    EXPECT_EQ(r.window->windowTitle(), QStringLiteral("Rarevi Revodive"));
    EXPECT_EQ(r.window->CurrentPage(), 0);
    EXPECT_EQ(r.window->frameGeometry().height(), 600);
    // The test screen is 1920x1080: the whole window fits at its design position.
    EXPECT_EQ(r.window->frameGeometry().topLeft(), QPoint(620, 291));
    // The idle texts of the fields: MonitorView; the menu items follow the closed link.
    EXPECT_FALSE(r.Action(QStringLiteral("DeviceRestart"))->isEnabled());
    EXPECT_TRUE(r.Action(QStringLiteral("GoHome"))->isEnabled());
}

TEST(MainWindow, MenusHoldTheirItemsInOrder) {
    WindowRig r;
    QStringList top;
    for (QAction* a : r.window->menuBar()->actions()) top << a->text();
    // The five menus of the unit's console, then the console's own tools.
    EXPECT_EQ(top, (QStringList{"&Файл", "&COM порт", "Команды", "Логгер", "Тарировка", "Сервис"}));

    EXPECT_EQ(MenuTexts(r.Find<QMenu>("N1")),
              (QStringList{"Очистить лог-файл", "Сохранить лог-файл в..", "-", "Домашняя страница",
                           "-", "Выход"}));
    EXPECT_EQ(MenuTexts(r.Find<QMenu>("N2")),
              (QStringList{"Стоп [Ctrl+Space]", "-", "COM1 [Ctrl+1]", "COM3 [Ctrl+3]", "COM12", "-",
                           "Скорость 115200 бит/с", "Скорость 38400 бит/с", "Скорость 19200 бит/с",
                           "Скорость 9600 бит/с", "Скорость 4800 бит/с", "-",
                           "Обновить список [Ctrl+R]"}));
    EXPECT_EQ(
        MenuTexts(r.Find<QMenu>("N3")),
        (QStringList{"Pестарт устройства", "-", "Включить лог с модуля", "Выключить лог с модуля",
                     "-", "Включить лог GSM", "Выключить лог GSM", "-", "Обновить параметры",
                     "Обновить статус", "Обновить GSM", "-", "Обновить ПО через WEB",
                     "Обновить ПО локально", "Обновить настройки через WEB ", "-",
                     "Пакет с координатами", "Очистить внешнюю память"}));
    EXPECT_EQ(MenuTexts(r.Find<QMenu>("ServiceMenu")),
              (QStringList{"Журнал сеансов…", "Восстановить тарировку…",
                           "Открыть лог-файл… [Ctrl+O]", "Найти в логе… [Ctrl+F]",
                           "Графики…"}));
    // The restart caption begins with the Latin capital P.
    EXPECT_EQ(r.Action(QStringLiteral("DeviceRestart"))->text().at(0), QChar(u'P'));

    // Refreshing twice leaves one item per port.
    r.Action(QStringLiteral("FindAction"))->trigger();
    r.Action(QStringLiteral("FindAction"))->trigger();
    EXPECT_EQ(MenuTexts(r.Find<QMenu>("N2")).count(QStringLiteral("COM3 [Ctrl+3]")), 1);
}

TEST(MainWindow, ViewsSwitchOnlyFromTheMenu) {
    WindowRig r;
    r.Action(QStringLiteral("N9"))->trigger();
    EXPECT_EQ(r.window->CurrentPage(), 1);
    EXPECT_TRUE(r.Find<QWidget>("tabTar")->isVisible());
    r.Action(QStringLiteral("N8"))->trigger();
    EXPECT_EQ(r.window->CurrentPage(), 0);
    EXPECT_FALSE(r.Find<QTabWidget>("PC")->tabBar()->isVisible());
}

TEST(MainWindow, CalibrationColumnsFollowTheWindowWidth) {
    WindowRig r;
    const struct {
        int width, column;
    } cases[] = {{1024, 336}, {1600, 400}, {1344, 336}, {1348, 337}, {1200, 336}};
    for (const auto& c : cases) {
        // The window is resized while the monitor view is in front, as it usually is.
        r.window->resize(c.width, r.window->height());
        QApplication::processEvents();
        r.window->N9Click();
        QApplication::processEvents();
        ASSERT_EQ(r.Find<QWidget>("tabTar")->width(), c.width);
        for (int n = 1; n <= 4; ++n)
            EXPECT_EQ(r.Find<QWidget>(QStringLiteral("panDat%1").arg(n))->width(), c.column)
                << c.width << " panDat" << n;
        r.window->N8Click();
    }
}

TEST(MainWindow, PortItemsStartStopAndSpeeds) {
    WindowRig r;
    QAction* com3 = r.Action(QStringLiteral("DeviceItem3"));
    ASSERT_NE(com3, nullptr);
    r.Action(QStringLiteral("br4"))->trigger();  // 9600 while stopped
    com3->trigger();
    ASSERT_TRUE(r.window->Form().Q().IsOpen());
    EXPECT_EQ(r.device->OpenedPaths().back(), "/dev/ttyTEST3");
    EXPECT_EQ(r.window->Form().Q().PortSpeed(), br9600);
    EXPECT_TRUE(com3->isChecked());
    EXPECT_EQ(r.Text("L_PNUM"), QStringLiteral("COM3"));
    EXPECT_EQ(r.Text("L_PSTAT"), QStringLiteral("Ok"));
    EXPECT_TRUE(r.Action(QStringLiteral("DeviceRestart"))->isEnabled());
    // Only the checked speed stays enabled while started; clicking it changes nothing.
    for (const char* name : {"br1", "br2", "br3", "br5"}) {
        EXPECT_FALSE(r.Action(QString::fromUtf8(name))->isEnabled()) << name;
    }
    r.Action(QStringLiteral("br4"))->trigger();
    EXPECT_TRUE(r.Action(QStringLiteral("br4"))->isChecked());

    // Every command with a fixed line sends it from its menu item.
    std::string expected;
    for (const CommandAction& a : CommandActions()) {
        if (!a.line) continue;
        QAction* action = r.Action(QString::fromUtf8(a.name));
        ASSERT_NE(action, nullptr) << a.name;
        ASSERT_TRUE(action->isEnabled()) << a.name;
        action->trigger();
        expected += a.line;
    }
    EXPECT_EQ(r.device->Written(), expected);

    r.Action(QStringLiteral("StopAction"))->trigger();
    EXPECT_FALSE(r.window->Form().Q().IsOpen());
    EXPECT_EQ(r.Text("L_PNUM"), QStringLiteral("-"));
    EXPECT_FALSE(r.Action(QStringLiteral("DeviceRestart"))->isEnabled());
    for (const char* name : {"br1", "br2", "br3", "br4", "br5"}) {
        EXPECT_TRUE(r.Action(QString::fromUtf8(name))->isEnabled()) << name;
    }
    EXPECT_TRUE(com3->isChecked());  // "Стоп" changes no check mark
    com3->trigger();  // the checked item clicked again: restarted, its mark toggled off
    EXPECT_FALSE(com3->isChecked());
    EXPECT_TRUE(r.window->Form().Q().IsOpen());
}

TEST(MainWindow, PortItemsAndSpeedItemsAreTwoRadioGroups) {
    WindowRig r;
    QActionGroup* ports = r.Action(QStringLiteral("DeviceItem1"))->actionGroup();
    QActionGroup* speeds = r.Action(QStringLiteral("br1"))->actionGroup();
    ASSERT_NE(ports, nullptr);
    ASSERT_NE(speeds, nullptr);
    EXPECT_NE(ports, speeds);
    // A port item's mark can be taken away by clicking it again; a speed always keeps one mark.
    EXPECT_EQ(ports->exclusionPolicy(), QActionGroup::ExclusionPolicy::ExclusiveOptional);
    EXPECT_EQ(speeds->exclusionPolicy(), QActionGroup::ExclusionPolicy::Exclusive);
    for (const char* name : {"DeviceItem3", "DeviceItem12"})
        EXPECT_EQ(r.Action(QString::fromUtf8(name))->actionGroup(), ports) << name;
    for (const char* name : {"br2", "br3", "br4", "br5"})
        EXPECT_EQ(r.Action(QString::fromUtf8(name))->actionGroup(), speeds) << name;
    EXPECT_EQ(r.Action(QStringLiteral("StopAction"))->actionGroup(), nullptr);

    // Refreshing makes new items in the same group, and the old ones leave it.
    r.Action(QStringLiteral("FindAction"))->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // the old items go
    EXPECT_EQ(ports->actions().size(), 3);
    EXPECT_EQ(r.Action(QStringLiteral("DeviceItem3"))->actionGroup(), ports);

    r.Action(QStringLiteral("DeviceItem1"))->trigger();
    r.Action(QStringLiteral("DeviceItem3"))->trigger();
    EXPECT_FALSE(r.Action(QStringLiteral("DeviceItem1"))->isChecked());
    EXPECT_TRUE(r.Action(QStringLiteral("DeviceItem3"))->isChecked());
}

TEST(MainWindow, RepliesShowAndTheClearReturnsToIdle) {
    WindowRig r;
    r.Action(QStringLiteral("DeviceItem3"))->trigger();
    r.Feed(">DN=123456\r\n>DS=0\r\n");
    EXPECT_EQ(r.Text("LL_DN"), QStringLiteral("123456"));
    EXPECT_EQ(r.Text("LL_DS8"), QStringLiteral("Hе требуется"));
    r.Action(QStringLiteral("StatClear"))->trigger();
    EXPECT_EQ(r.Text("LL_DN"), QStringLiteral("-"));
    EXPECT_EQ(r.window->Form().Log().Count(), 0u);
}

TEST(MainWindow, ReadingsOfTheUnitAreOfferedOnTheCalibrationPage) {
    WindowRig r;
    r.Action(QStringLiteral("DeviceItem3"))->trigger();
    r.Feed(">IA0=12.5\r\n");
    r.Action(QStringLiteral("N9"))->trigger();
    auto* combo = r.Find<QComboBox>(QStringLiteral("cmbDat1"));
    ASSERT_NE(combo, nullptr);
    combo->showPopup();  // the drop-down rebuilds its list as it opens
    EXPECT_GT(combo->findText(QStringLiteral("IN0 (аналоговый)")), 0);
    combo->hidePopup();
}

TEST(MainWindow, AFieldThatCannotBeReadIsShownInTheBottomBarAndReceptionGoesOn) {
    WindowRig r;
    r.Action(QStringLiteral("DeviceItem3"))->trigger();
    r.Feed(">ML3=x;1\r\n");
    EXPECT_EQ(r.Find<QLabel>("ErrorReport")->text(),
              QStringLiteral("'x' is not a valid integer value"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    r.Feed(">DN=42\r\n");
    EXPECT_EQ(r.Text("LL_DN"), QStringLiteral("42"));
}

TEST(MainWindow, SavesTheTrafficLogAndReportsAFailedSave) {
    WindowRig r;
    r.Action(QStringLiteral("DeviceItem3"))->trigger();
    r.Feed(W(">MO=МегаФон;25002\r\n"));
    r.Feed("\r\n");
    const test::TempRuntimeDir dir("windowsave");
    const auto path = dir.Root() / "traffic.log";
    ASSERT_TRUE(r.window->SaveLogTo(QString::fromStdString(path.string())));
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_EQ(r.window->Form().Log().Count(), 2u);
    const std::string first(r.window->Form().Log().Line(0));
    EXPECT_EQ(first.substr(12), W("  >MO=МегаФон;25002"));
    EXPECT_EQ(bytes, first + "\r\n" + std::string(r.window->Form().Log().Line(1)) + "\r\n\r\n");

    EXPECT_FALSE(r.window->SaveLogTo(QStringLiteral("/nonexistent-revodive-folder/x.log")));
    auto* box = r.Find<QMessageBox>("UserError");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(),
              QStringLiteral("Лог-файл не сохранён.\nНе удалось записать файл "
                             "\"/nonexistent-revodive-folder/x.log\": нет такой папки."));
    EXPECT_FALSE(box->detailedText().isEmpty()) << "the system's own text, as the detail";
    EXPECT_EQ(r.window->Form().Log().Count(), 2u);
}

TEST(MainWindow, ClosingStopsReceptionFirst) {
    WindowRig r;
    r.Action(QStringLiteral("DeviceItem3"))->trigger();
    ASSERT_TRUE(r.window->Form().Q().IsOpen());
    r.Action(QStringLiteral("CloseAcion"))->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(r.window->isVisible());
    EXPECT_FALSE(r.window->Form().Q().IsOpen());  // nothing decoded after it: MainForm
}

TEST(MainWindow, JournalsReceptionAndRestoresAKeptTableFromTheServiceMenu) {
    WindowRig r;
    const auto folder = r.window->Records().JournalFolder();
    ASSERT_TRUE(folder.has_value());
    // The test program's own state folder, never the technician's.
    EXPECT_EQ(folder->string().rfind(std::getenv("XDG_STATE_HOME"), 0), 0u);
    r.Action(QStringLiteral("DeviceItem3"))->trigger();
    r.Feed(">DN=4242\r\n>IA0=100\r\n");
    Recorder& rec = r.window->Form().Calibration();
    rec.cmbDatNDropDown(1);
    rec.cmbDatNChange(1, 1);
    r.Feed(">IA0=110\r\n");
    rec.pdN4Change(1, "7");
    rec.cmdSNClick(1);
    r.Feed(">SERV=0\r\n");  // the unit restarts: the channel is emptied
    ASSERT_TRUE(rec.State(1).rows.empty());
    r.Action(QStringLiteral("StopAction"))->trigger();
    r.window->Records().SessionJournal()->Flush();
    int journals = 0;
    for (const auto& e : std::filesystem::directory_iterator(*folder))
        journals += e.path().filename().string().find("_COM3_4242.log") != std::string::npos;
    EXPECT_EQ(journals, 1);

    r.Action(QStringLiteral("RestoreTableAction"))->trigger();
    auto* dialog = r.Find<RestoreTableDialogQt>(QStringLiteral("RestoreTableDialog"));
    ASSERT_NE(dialog, nullptr);
    auto* list = dialog->findChild<QAbstractItemView*>(QStringLiteral("KeptTables"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->model()->rowCount(), 1);
    EXPECT_EQ(list->model()->index(0, 1).data().toString(), QStringLiteral("4242"));
    dialog->findChild<QComboBox*>(QStringLiteral("RestoreChannel"))->setCurrentIndex(1);
    dialog->accept();
    QApplication::processEvents();
    EXPECT_EQ(r.window->CurrentPage(), 1);
    ASSERT_EQ(rec.State(2).rows.size(), 1u);
    EXPECT_EQ(rec.State(2).rows[0].value + "|" + rec.State(2).rows[0].level, "110|7");
    EXPECT_EQ(r.Find<QComboBox>(QStringLiteral("cmbDat2"))->currentText(),
              QStringLiteral("IN0 (аналоговый)"));
}

}  // namespace
}  // namespace rv
