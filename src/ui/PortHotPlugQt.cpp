#include "ui/PortHotPlugQt.h"

#include <QCoreApplication>
#include <QFileInfo>

#ifdef Q_OS_WIN
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

namespace rv {

PortHotPlugQt::PortHotPlugQt(QStringList folders, std::function<void()> onChange, QObject* parent)
    : QObject(parent), folders_(std::move(folders)), onChange_(std::move(onChange)) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, [this] {
        if (onChange_) onChange_();
    });
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
        WatchWhatExists();  // the ports folder may just have been made
        settle_.start();
    });
    WatchWhatExists();
#ifdef Q_OS_WIN
    QCoreApplication::instance()->installNativeEventFilter(this);
#endif
}

PortHotPlugQt::~PortHotPlugQt() {
#ifdef Q_OS_WIN
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
#endif
}

bool PortHotPlugQt::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
#ifdef Q_OS_WIN
    if (eventType == "windows_generic_MSG") {
        const MSG* msg = static_cast<const MSG*>(message);
        // 0x8000 DBT_DEVICEARRIVAL, 0x8004 DBT_DEVICEREMOVECOMPLETE, 0x0007 DBT_DEVNODES_CHANGED.
        if (msg->message == WM_DEVICECHANGE &&
            (msg->wParam == 0x8000 || msg->wParam == 0x8004 || msg->wParam == 0x0007))
            settle_.start();
    }
#else
    (void)eventType;
    (void)message;
#endif
    return false;
}

void PortHotPlugQt::WatchWhatExists() {
    const QStringList watched = watcher_.directories();
    for (const QString& folder : folders_) {
        if (!watched.contains(folder) && QFileInfo(folder).isDir()) watcher_.addPath(folder);
    }
}

}  // namespace rv
