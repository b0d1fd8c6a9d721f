#include "support/SimProcessQt.h"

#include <QElapsedTimer>

namespace rv::test {

SimProcess::SimProcess(const QStringList& arguments) {
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.start(QStringLiteral(REVODIVE_SIM_PATH), arguments);
    if (!process_.waitForStarted(15000)) return;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 15000 && process_.state() == QProcess::Running) {
        process_.waitForReadyRead(100);
        output_ += QString::fromUtf8(process_.readAllStandardOutput());
        if (output_.contains(QStringLiteral(" -> "))) {
            started_ = true;
            return;
        }
    }
}

SimProcess::~SimProcess() {
    Stop();
}

void SimProcess::Stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(3000)) {
        process_.kill();
        process_.waitForFinished(3000);
    }
}

}  // namespace rv::test
