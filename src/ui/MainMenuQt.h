#pragma once
// The main menu: "&Файл", "&COM порт", "Команды", "Логгер", "Тарировка" and the console's own
// "Сервис". The command items
// follow the command actions' enabled state, the port and speed items follow the connection
// control; clicks go back to the form.

#include <QObject>
#include <functional>
#include <vector>

#include "commands/ActionSet.h"
#include "serial/ConnectionControl.h"

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;

namespace rv {

class MainForm;

class MainMenuQt : public QObject, public ActionObserver, public ConnectionObserver {
  public:
    // What the window does for the menu items that are not commands to the unit.
    struct WindowHandlers {
        std::function<void()> statClear;        // "Очистить лог-файл"
        std::function<void()> saveLog;          // "Сохранить лог-файл в.."
        std::function<void()> close;            // "Выход"
        std::function<void()> findPorts;        // "Обновить список"
        std::function<void()> showMonitor;      // "Логгер"
        std::function<void()> showCalibration;  // "Тарировка"
    };

    MainMenuQt(QMenuBar* bar, MainForm& form, WindowHandlers handlers, QObject* parent = nullptr);

    // The sixth menu, "Сервис": the console's own tools (journal, recovery, ...).
    QMenu* ServiceMenu() const { return serviceMenu_; }

    // The QAction of a command action of the catalogue, by its name.
    QAction* ActionOf(const char* name) const;

    void ActionChanged(int action) override;
    void PortsChanged() override;
    void PortItemChecksChanged() override;
    void SpeedItemsChanged() override;

  private:
    QMenu* BuildFileMenu(QMenuBar* bar);
    QMenu* BuildPortMenu(QMenuBar* bar);
    QMenu* BuildCommandsMenu(QMenuBar* bar);
    void CreateCommandActions();

    MainForm& form_;
    WindowHandlers handlers_;
    std::vector<QAction*> commandActions_;  // by catalogue index
    QMenu* portMenu_ = nullptr;
    QMenu* serviceMenu_ = nullptr;
    QAction* portsEnd_ = nullptr;  // the separator after the port items
    QActionGroup* portGroup_ = nullptr;
    std::vector<QAction*> portItems_;
    std::vector<QAction*> speedItems_;
    Subscription actionsSubscription_;
    Subscription connectionSubscription_;
};

}  // namespace rv
