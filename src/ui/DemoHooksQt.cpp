#include "ui/DemoHooksQt.h"

#include <QAction>
#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <cstdio>

#include "ui/MainWindow.h"

namespace rv {

void InstallDemoHooks(MainWindow& window) {
    bool ok = false;
    const int port = qEnvironmentVariableIntValue("REVODIVE_DEMO_PORT", &ok);
    if (ok && port > 0) {
        QTimer::singleShot(300, &window, [&window, port] {
            // The port's menu item, as its Ctrl+digit shortcut would trigger it.
            auto* item = window.findChild<QAction*>(QStringLiteral("DeviceItem%1").arg(port));
            if (item) {
                item->trigger();
            } else {
                std::fprintf(stderr, "revodive: COM%d is not in the port list\n", port);
            }
        });
    }
    if (qEnvironmentVariableIntValue("REVODIVE_DEMO_PAGE") == 1) {
        QTimer::singleShot(0, &window, [&window] { window.N9Click(); });
    }
    const QString shot = qEnvironmentVariable("REVODIVE_DEMO_SCREENSHOT");
    if (shot.isEmpty()) return;
    int seconds = qEnvironmentVariableIntValue("REVODIVE_DEMO_SECONDS", &ok);
    if (!ok || seconds < 0) seconds = 5;
    QTimer::singleShot(seconds * 1000, &window, [&window, shot] {
        const bool saved = window.grab().save(shot, "PNG");
        std::printf("%s\n",
                    saved ? qPrintable(shot) : "revodive: the screenshot could not be written");
        std::fflush(stdout);
        QApplication::exit(saved ? 0 : 1);
    });
}

}  // namespace rv
