#pragma once
// The simulated unit (revodive-sim) as a child process of a test, started in the test's
// temporary runtime folder (see TempRuntimeDir) with its output discarded.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace rv::test {

class SimProcess {
  public:
    explicit SimProcess(std::vector<std::string> args) {
        args.insert(args.begin(), REVODIVE_SIM_PATH);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        if (::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~SimProcess() { Stop(); }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool Running() const { return pid_ > 0; }
    // Sends `sig` and waits; the exit status (or -1).
    int Stop(int sig = SIGTERM) {
        if (pid_ <= 0) return status_;
        ::kill(pid_, sig);
        return Wait();
    }
    // Waits for the unit to end by itself; the exit status (or -1).
    int Wait() {
        int st = 0;
        if (pid_ > 0 && ::waitpid(pid_, &st, 0) == pid_)
            status_ = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        pid_ = -1;
        return status_;
    }

  private:
    pid_t pid_ = -1;
    int status_ = -1;
};

// Runs `step` and looks at `done` every 10 ms until it holds or ten seconds pass.
inline bool WaitFor(
    const std::function<bool()>& done, const std::function<void()>& step = [] {}) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        step();
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

}  // namespace rv::test
