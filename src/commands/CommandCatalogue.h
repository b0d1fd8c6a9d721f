#pragma once
// Every action of the main window's action list that the unit's commands need: name, category,
// caption, block value (Tag) and, for the fixed commands, the exact command line. A command line
// is CR, ">", a letter D / I / S, a space, the arguments, LF.

#include <string>
#include <vector>

namespace rv {

struct CommandAction {
    const char* name;      // SettinsPinWrite2 is spelled as the unit's tools always spelled it
    const char* category;  // "Device" (writes to the port) or "Common"
    const char* caption;   // UTF-8
    const char* line;      // the fixed command line, or nullptr when the line is built at run time
    bool inCommandsMenu;   // one of the items of the "Команды" menu
    int initialTag;        // block value at start (the settings write actions start blocked)
};

// In the order of the "Команды" menu, then the actions the menu does not hold.
const std::vector<CommandAction>& CommandActions();

// Index of an action by name, -1 when there is none.
int FindCommandAction(const std::string& name);

// Names of the "Команды" menu in order; "-" stands for a separator.
const std::vector<const char*>& CommandsMenuLayout();

// The free command line: CR + the box text unchanged + LF.
std::string FreeCommandLine(const std::string& boxText);

// The maker's home page, opened by "Домашняя страница".
extern const char* const kHomePageAddress;

}  // namespace rv
