#include "ui/LogFileReaderQt.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <optional>
#include <thread>

namespace rv {
namespace {

constexpr int kPollMs = 30;
constexpr int kSteps = 1000;

}  // namespace

std::variant<LogFile, std::string> ReadLogFileWithProgress(const std::filesystem::path& path,
                                                           const QString& title, QWidget* parent,
                                                           std::chrono::milliseconds showAfter) {
    // The worker only touches these; the window polls them, so no call crosses the threads.
    std::atomic<int> steps{0};
    std::atomic<bool> done{false};
    std::optional<std::variant<LogFile, std::string>> result;
    std::thread worker([&] {
        result.emplace(ReadLogFile(path, [&](double share) {
            steps.store(static_cast<int>(share * kSteps), std::memory_order_relaxed);
        }));
        done.store(true, std::memory_order_release);
    });

    QProgressDialog progress(title, QString(), 0, kSteps, parent);
    progress.setObjectName(QStringLiteral("LogFileProgress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setCancelButton(nullptr);  // indexing is not interruptible; it only reads
    progress.setMinimumDuration(static_cast<int>(showAfter.count()));
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);
    // The dialog's own wait runs on a timer, which a file read at once would never give a turn.
    if (showAfter.count() <= 0) progress.show();

    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        // Setting the value the dialog already has would restart its wait before showing.
        const int now = steps.load(std::memory_order_relaxed);
        if (now != progress.value()) progress.setValue(now);
        if (done.load(std::memory_order_acquire)) loop.quit();
    });
    poll.start(kPollMs);
    if (!done.load(std::memory_order_acquire)) loop.exec();
    poll.stop();
    worker.join();
    progress.close();
    return std::move(*result);
}

}  // namespace rv
