#pragma once
// A running console for the section widgets: a MainForm on a scripted serial device, a fixed
// clock and fixed regional formats, started as the window starts it (FormCreate), with the
// display binder the monitor view uses. The widget under test is made by the test and kept in
// `widget`, which goes before the form it observes.

#include <QApplication>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "support/ScriptedPlatform.h"
#include "ui/DisplayBinderQt.h"

namespace rv::test {

class SectionRig {
  public:
    SectionRig() : clock(LocalDateTime{2026, 12, 8, 9, 5, 7, 4}) {
        form = std::make_unique<MainForm>(
            formats, clock,
            ScriptedPlatform(
                port, &ticks, [] { return PortList({"COM3"}); }, &errors));
        form->FormCreate();
        binder = std::make_unique<DisplayBinderQt>(form->Display());
    }
    ~SectionRig() { widget.reset(); }

    template <class W>
    W* Find(const char* name) const {
        return widget->findChild<W*>(QString::fromUtf8(name));
    }
    // Shows the widget offscreen at a given size and lets its layouts settle.
    void Show(int width, int height) {
        widget->resize(width, height);
        widget->show();
        Settle();
    }
    static void Settle() {
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
    }
    void OpenPort() { form->Connection().StartExecute(3); }
    void ClosePort() { form->Connection().StopActionExecute(); }
    // Everything written to the unit since the last call.
    std::string TakeWritten() {
        std::string all = port->Written();
        std::string fresh = all.substr(taken_);
        taken_ = all.size();
        return fresh;
    }

    RegionalFormats formats;
    FixedClock clock;
    ManualTickSource ticks;
    ScriptedSerialDevice* port = nullptr;
    std::vector<std::string> errors;
    std::unique_ptr<MainForm> form;
    std::unique_ptr<DisplayBinderQt> binder;
    std::unique_ptr<QWidget> widget;

  private:
    std::size_t taken_ = 0;
};

}  // namespace rv::test
