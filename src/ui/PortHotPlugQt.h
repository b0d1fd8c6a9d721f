#pragma once
// Hears devices being plugged in and out: watches the platform's port-list folders (the ports
// folder, /dev) for changes and, once a burst of changes has settled, runs the callback. A
// folder that does not exist yet is picked up when it appears in a watched parent. On Windows,
// where ports are no files, the system's WM_DEVICECHANGE broadcast to top-level windows is heard.

#include <QAbstractNativeEventFilter>
#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>

namespace rv {

class PortHotPlugQt : public QObject, public QAbstractNativeEventFilter {
  public:
    // Changes closer together than this are one change (udev makes a node, then its links).
    static constexpr int kSettleMs = 100;

    PortHotPlugQt(QStringList folders, std::function<void()> onChange, QObject* parent = nullptr);
    ~PortHotPlugQt() override;

    // Windows: a device arrived or left (WM_DEVICECHANGE); never consumes the message.
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    void WatchWhatExists();

    QStringList folders_;
    std::function<void()> onChange_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
};

}  // namespace rv
