#pragma once
// Run-time state of every action of the main window's action list that belongs to the unit's
// commands (the rows of the command catalogue): its block value `Tag`, its enabled state, and what
// its execution does. The window keeps one QAction per row and follows this set through
// ActionObserver; buttons bound to an action take its enabled state.
//
// Executing a fixed command writes its exact command line with the send function (the serial
// driver's SendText); the result is not looked at and nothing else happens: no confirmation, no
// display change, no log entry, no wait for a reply. Actions whose line is built at run time get an
// execute handler installed by their owner (the settings editor installs the four write actions;
// the window installs DoCommand, which needs the text of its box).

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/ObserverList.h"
#include "commands/CommandCatalogue.h"

namespace rv {

class ActionObserver {
  public:
    virtual ~ActionObserver() = default;
    // The action's Enabled or Tag has changed (sent only on a real change).
    virtual void ActionChanged(int /*action*/) {}
};

class ActionSet {
  public:
    // Writes one command line to the unit in one piece; true if every byte went out.
    using SendFunction = std::function<bool(const std::string& line)>;
    // Opens a web address in the system browser.
    using HomePageOpener = std::function<void(const std::string& address)>;
    using ExecuteHandler = std::function<void()>;

    explicit ActionSet(SendFunction send = {});
    ActionSet(const ActionSet&) = delete;
    ActionSet& operator=(const ActionSet&) = delete;

    void SetSend(SendFunction send) { send_ = std::move(send); }
    void SetHomePageOpener(HomePageOpener open) { openHome_ = std::move(open); }

    // Actions are numbered as the catalogue rows (CommandActions()).
    int Count() const { return static_cast<int>(states_.size()); }
    const CommandAction& Info(int action) const { return CommandActions()[action]; }
    int Find(std::string_view name) const;   // -1 when there is none
    int Index(std::string_view name) const;  // a name that must exist; throws logic_error
    bool IsDevice(int action) const;         // category exactly "Device"

    int Tag(int action) const { return states_[action].tag; }
    bool Enabled(int action) const { return states_[action].enabled; }
    int Tag(std::string_view name) const { return Tag(Index(name)); }
    bool Enabled(std::string_view name) const { return Enabled(Index(name)); }
    void SetTag(int action, int tag);
    void SetEnabled(int action, bool enabled);

    // The enabling rule of the link-status update, for every "Device" action in list order:
    // enabled = port open and Tag 0. Other categories (GoHome) are not touched.
    void ApplyLinkRule(bool portOpen);

    // Replaces what executing the action does (an empty handler restores the default).
    void SetExecuteHandler(int action, ExecuteHandler handler);

    // The action's execute operation: its handler if one is installed, else its fixed line is
    // sent, GoHome opens the home page. An action with neither (DoCommand or a settings write
    // without its editor) is a programming error: logic_error. The enabled state is not checked
    // here; the widgets only invoke enabled actions, and the header buttons call execute directly.
    void Execute(int action);
    void Execute(std::string_view name) { Execute(Index(name)); }

    // The free command line: CR + the box text unchanged (Windows-1251) + LF.
    void DoCommandExecute(const std::string& boxText);
    // Opens kHomePageAddress through the opener; its result is not looked at.
    void GoHomeExecute();

    // One command line through the send function; false when none is set or the write failed.
    bool Send(const std::string& line) const;

    Subscription Subscribe(ActionObserver& observer) { return observers_.Subscribe(observer); }

  private:
    struct State {
        int tag;
        bool enabled;
        ExecuteHandler handler;
    };

    std::vector<State> states_;
    SendFunction send_;
    HomePageOpener openHome_;
    ObserverList<ActionObserver> observers_;
};

}  // namespace rv
