#include "app/ProcessSignals.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace rv {
namespace {

// Exit status of a child that writes into a pipe nobody reads any more: 0 when the write failed
// with EPIPE and the child lived on to say so.
int WriteIntoABrokenPipe(bool ignore) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGPIPE, SIG_DFL);  // as a program starts, whatever this test inherited
        if (ignore) IgnoreBrokenPipeSignal();
        int ends[2];
        if (::pipe(ends) != 0) ::_exit(2);
        ::close(ends[0]);
        const bool refused = ::write(ends[1], "x", 1) < 0 && errno == EPIPE;
        ::_exit(refused ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child) return -1;
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ProcessSignals, ABrokenPipeIsAnErrorNotTheEndOfTheConsole) {
    EXPECT_EQ(WriteIntoABrokenPipe(false), 128 + SIGPIPE) << "the default: the rig sees a death";
    EXPECT_EQ(WriteIntoABrokenPipe(true), 0);
}

}  // namespace
}  // namespace rv
