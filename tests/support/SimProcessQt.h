#pragma once
// The simulated unit as a child process of a widget test: started with its arguments in a
// temporary ports folder (XDG_RUNTIME_DIR of the test), ready once it has published its port.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace rv::test {

class SimProcess {
  public:
    // Starts revodive-sim with `arguments` (its --port among them) and waits up to fifteen seconds
    // for its "COM<n> -> <device>" line. Started() tells whether it came up.
    explicit SimProcess(const QStringList& arguments);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool Started() const { return started_; }
    QString Output() const { return output_; }
    // Ends the unit (SIGTERM) and waits for it.
    void Stop();

  private:
    QProcess process_;
    QString output_;
    bool started_ = false;
};

}  // namespace rv::test
