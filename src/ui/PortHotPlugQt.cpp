#include "ui/PortHotPlugQt.h"

#include <QFileInfo>

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
}

void PortHotPlugQt::WatchWhatExists() {
    const QStringList watched = watcher_.directories();
    for (const QString& folder : folders_) {
        if (!watched.contains(folder) && QFileInfo(folder).isDir()) watcher_.addPath(folder);
    }
}

}  // namespace rv
