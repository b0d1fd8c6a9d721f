#include "commands/CommandCatalogue.h"

namespace rv {

const char* const kHomePageAddress = "https://rarevi.example.com/";

const std::vector<CommandAction>& CommandActions() {
    static const std::vector<CommandAction> actions = {
        // The first letter of the restart caption is the Latin capital P, as the unit's
        // technicians have always seen it.
        {"DeviceRestart", "Device", "Pестарт устройства", "\r>D 1;0\n", true, 0},
        {"LogOn", "Device", "Включить лог с модуля", "\r>D 10;1\n", true, 0},
        {"LogOff", "Device", "Выключить лог с модуля", "\r>D 10;0\n", true, 0},
        {"GSMLogOn", "Device", "Включить лог GSM", "\r>D 9;1\n", true, 0},
        {"GSMLogOff", "Device", "Выключить лог GSM", "\r>D 9;0\n", true, 0},
        {"UpdateParam", "Device", "Обновить параметры", "\r>I 0\n", true, 0},
        {"UpdateState", "Device", "Обновить статус", "\r>I 1\n", true, 0},
        {"GSMUpdate", "Device", "Обновить GSM", "\r>I 7\n", true, 0},
        {"DeviceUpdateWeb", "Device", "Обновить ПО через WEB", "\r>D 2;0\n", true, 0},
        {"DeviceUpdateLocal", "Device", "Обновить ПО локально", "\r>D 3;0\n", true, 0},
        {"SettingsUpdateWeb", "Device", "Обновить настройки через WEB ", "\r>D 0;0\n", true, 0},
        {"CoordinatePack", "Device", "Пакет с координатами", "\r>D 4;1\n", true, 0},
        {"ClearMemory", "Device", "Очистить внешнюю память", "\r>D 8;0\n", true, 0},
        {"SettingsPinRead", "Device", "Прочитать", "\r>I 4\n", false, 0},
        {"SettingsStrRead", "Device", "Прочитать", "\r>I 3\n", false, 0},
        {"Test1", "Device", "Test1", "\r>D 6;0\n", false, 0},
        {"Test2", "Device", "Test2", "\r>D 7;0\n", false, 0},
        {"DoCommand", "Device", "Выполнить", nullptr, false, 0},
        {"GoHome", "Common", "Домашняя страница", nullptr, false, 0},
        {"SettingsPinWrite", "Device", "Записать", nullptr, false, 1},
        {"SettinsPinWrite2", "Device", "Записать", nullptr, false, 1},
        {"SettingsStrWrite", "Device", "Записать", nullptr, false, 1},
        {"SettingsStrWrite2", "Device", "Записать", nullptr, false, 1},
        {"SettingsStrAuto", "Device", "Автоматический режим", "\r>S ISS1 auto;auto;auto\n", false,
         0},
        {"SettingsStrAuto2", "Device", "Автоматический режим", "\r>S ISS2 auto;auto;auto\n", false,
         0},
        {"SettingsStrRead2", "Device", "Прочитать", "\r>I 9\n", false, 0},
    };
    return actions;
}

int FindCommandAction(const std::string& name) {
    const auto& actions = CommandActions();
    for (std::size_t i = 0; i < actions.size(); ++i) {
        if (name == actions[i].name) return static_cast<int>(i);
    }
    return -1;
}

const std::vector<const char*>& CommandsMenuLayout() {
    static const std::vector<const char*> layout = {"DeviceRestart",
                                                    "-",
                                                    "LogOn",
                                                    "LogOff",
                                                    "-",
                                                    "GSMLogOn",
                                                    "GSMLogOff",
                                                    "-",
                                                    "UpdateParam",
                                                    "UpdateState",
                                                    "GSMUpdate",
                                                    "-",
                                                    "DeviceUpdateWeb",
                                                    "DeviceUpdateLocal",
                                                    "SettingsUpdateWeb",
                                                    "-",
                                                    "CoordinatePack",
                                                    "ClearMemory"};
    return layout;
}

std::string FreeCommandLine(const std::string& boxText) {
    return "\r" + boxText + "\n";
}

}  // namespace rv
