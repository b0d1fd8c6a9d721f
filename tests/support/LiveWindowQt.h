#pragma once
// A test of the real console window on the real platform (serial devices, port discovery) in a
// temporary ports folder of its own: the window is made on first use, its receive timer runs
// while the test waits for what it expects.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <memory>
#include <string>

#include "support/TempRuntimeDir.h"
#include "support/WindowTextQt.h"
#include "ui/MainWindow.h"

namespace rv::test {

class LiveWindowTest : public ::testing::Test {
  protected:
    explicit LiveWindowTest(const std::string& what) : runtime_(what) {}
    void TearDown() override { window_.reset(); }

    MainWindow& Window() {
        if (!window_) {
            window_ = std::make_unique<MainWindow>();
            window_->show();
        }
        return *window_;
    }
    QAction* Action(const QString& name) { return Window().findChild<QAction*>(name); }
    QString Text(const char* name) { return ShownText(Window(), name); }
    QString Text(const QString& name) { return ShownText(Window(), qPrintable(name)); }

    // Runs the window (its receive timer included) until `done` holds or `ms` pass.
    template <typename F>
    bool RunUntil(F done, int ms) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
            if (done()) return true;
            ::usleep(2000);
        }
        return done();
    }

    TempRuntimeDir runtime_;
    std::unique_ptr<MainWindow> window_;
};

}  // namespace rv::test
