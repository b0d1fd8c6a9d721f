#include "ui/MainMenuQt.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "app/MainForm.h"
#include "commands/CommandCatalogue.h"
#include "serial/Platform.h"

namespace rv {
namespace {

QAction* AddItem(QMenu* menu, const char* objectName, const char* caption,
                 std::function<void()> run) {
    auto* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QString::fromUtf8(objectName));
    QObject::connect(action, &QAction::triggered, action, [run = std::move(run)] {
        if (run) run();
    });
    return action;
}

}  // namespace

MainMenuQt::MainMenuQt(QMenuBar* bar, MainForm& form, WindowHandlers handlers, QObject* parent)
    : QObject(parent), form_(form), handlers_(std::move(handlers)) {
    CreateCommandActions();
    BuildFileMenu(bar);
    BuildPortMenu(bar);
    BuildCommandsMenu(bar);

    // "Логгер" and "Тарировка" have no items: a click on the menu title switches the view.
    auto* logger = bar->addAction(QStringLiteral("Логгер"));
    logger->setObjectName(QStringLiteral("N8"));
    connect(logger, &QAction::triggered, this, [this] { handlers_.showMonitor(); });
    auto* calibration = bar->addAction(QStringLiteral("Тарировка"));
    calibration->setObjectName(QStringLiteral("N9"));
    connect(calibration, &QAction::triggered, this, [this] { handlers_.showCalibration(); });

    // The console's own tools beyond the unit's commands; the window adds their items.
    serviceMenu_ = bar->addMenu(QStringLiteral("Сервис"));
    serviceMenu_->setObjectName(QStringLiteral("ServiceMenu"));

    actionsSubscription_ = form_.Actions().Subscribe(*this);
    connectionSubscription_ = form_.Connection().Subscribe(*this);
    PortsChanged();
    SpeedItemsChanged();
}

void MainMenuQt::CreateCommandActions() {
    ActionSet& actions = form_.Actions();
    for (int i = 0; i < actions.Count(); ++i) {
        const CommandAction& info = actions.Info(i);
        auto* action = new QAction(QString::fromUtf8(info.caption), this);
        action->setObjectName(QString::fromUtf8(info.name));
        action->setEnabled(actions.Enabled(i));
        const std::string name = info.name;
        connect(action, &QAction::triggered, this, [this, name] { form_.ExecuteAction(name); });
        commandActions_.push_back(action);
    }
}

QAction* MainMenuQt::ActionOf(const char* name) const {
    const int index = form_.Actions().Find(name);
    return index < 0 ? nullptr : commandActions_[static_cast<std::size_t>(index)];
}

QMenu* MainMenuQt::BuildFileMenu(QMenuBar* bar) {
    QMenu* menu = bar->addMenu(QStringLiteral("&Файл"));
    menu->setObjectName(QStringLiteral("N1"));
    AddItem(menu, "StatClear", "Очистить лог-файл", handlers_.statClear);
    AddItem(menu, "SaveAction", "Сохранить лог-файл в..", handlers_.saveLog);
    menu->addSeparator();
    menu->addAction(ActionOf("GoHome"));
    menu->addSeparator();
    AddItem(menu, "CloseAcion", "Выход", handlers_.close);
    return menu;
}

QMenu* MainMenuQt::BuildPortMenu(QMenuBar* bar) {
    portMenu_ = bar->addMenu(QStringLiteral("&COM порт"));
    portMenu_->setObjectName(QStringLiteral("N2"));
    QAction* stop = AddItem(portMenu_, "StopAction", "Стоп",
                            [this] { form_.Connection().StopActionExecute(); });
    stop->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Space));
    portMenu_->addSeparator();
    portsEnd_ = portMenu_->addSeparator();
    // The port items and the speed items are two radio groups: one mark at most among the ports
    // (a click on the marked port takes its mark away), exactly one among the speeds.
    portGroup_ = new QActionGroup(portMenu_);
    portGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    auto* speedGroup = new QActionGroup(portMenu_);
    speedGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    const auto& speeds = SpeedItems();
    for (int i = 0; i < kSpeedItems; ++i) {
        QAction* item = AddItem(portMenu_, speeds[static_cast<std::size_t>(i)].name,
                                speeds[static_cast<std::size_t>(i)].caption,
                                [this, i] { form_.Connection().SpeedItemClick(i); });
        item->setCheckable(true);
        speedGroup->addAction(item);
        // The model decides the check mark: a click on the checked item changes nothing.
        connect(item, &QAction::triggered, this, [this] { SpeedItemsChanged(); });
        speedItems_.push_back(item);
    }
    portMenu_->addSeparator();
    QAction* find = AddItem(portMenu_, "FindAction", "Обновить список", handlers_.findPorts);
    find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    return portMenu_;
}

QMenu* MainMenuQt::BuildCommandsMenu(QMenuBar* bar) {
    QMenu* menu = bar->addMenu(QStringLiteral("Команды"));
    menu->setObjectName(QStringLiteral("N3"));
    for (const char* name : CommandsMenuLayout()) {
        if (std::string_view(name) == "-") {
            menu->addSeparator();
        } else {
            menu->addAction(ActionOf(name));
        }
    }
    return menu;
}

void MainMenuQt::ActionChanged(int action) {
    commandActions_[static_cast<std::size_t>(action)]->setEnabled(form_.Actions().Enabled(action));
}

void MainMenuQt::PortsChanged() {
    for (QAction* item : portItems_) {
        portMenu_->removeAction(item);
        portGroup_->removeAction(item);
        item->deleteLater();
    }
    portItems_.clear();
    for (const PortItem& port : form_.Connection().Ports()) {
        auto* item = new QAction(QString::fromStdString(port.name), portMenu_);
        item->setObjectName(QStringLiteral("DeviceItem%1").arg(port.number));
        item->setData(port.number);
        item->setCheckable(true);
        portGroup_->addAction(item);
        if (port.number >= 1 && port.number <= 9) {
            item->setShortcut(
                QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + port.number)));
        }
        // The device behind the name, for the technician who wonders which tty COM3 is.
        item->setToolTip(QString::fromStdString(DevicePathOfPort(port.number)));
        const int n = port.number;
        connect(item, &QAction::triggered, this,
                [this, n] { form_.Connection().PortItemClick(n); });
        portMenu_->insertAction(portsEnd_, item);
        portItems_.push_back(item);
    }
    portMenu_->setToolTipsVisible(true);
    PortItemChecksChanged();
}

void MainMenuQt::PortItemChecksChanged() {
    const int checked = form_.Connection().CheckedPortItem();
    for (QAction* item : portItems_) item->setChecked(item->data().toInt() == checked);
}

void MainMenuQt::SpeedItemsChanged() {
    const ConnectionControl& c = form_.Connection();
    for (int i = 0; i < kSpeedItems; ++i) {
        QAction* item = speedItems_[static_cast<std::size_t>(i)];
        item->setChecked(i == c.CheckedSpeedItem());
        item->setEnabled(c.SpeedItemEnabled(i));
    }
}

}  // namespace rv
