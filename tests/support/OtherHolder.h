#pragma once
// Another program ("sleep") that holds a device open on its standard input without locking it,
// as a terminal program or a careless script would; killed when the holder goes.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace rv {

class OtherHolder {
  public:
    explicit OtherHolder(const std::string& path) {
        pid_ = ::fork();
        if (pid_ == 0) {
            const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
            ::dup2(fd, 0);
            ::execlp("sleep", "sleep", "600", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        // Started once the program's name shows (a bounded wait, not a timing).
        const std::string comm = "/proc/" + std::to_string(pid_) + "/comm";
        for (int i = 0; i < 1000; ++i) {
            std::ifstream in(comm);
            std::string name;
            if (std::getline(in, name) && name == "sleep") return;
            ::poll(nullptr, 0, 5);
        }
    }
    ~OtherHolder() {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    OtherHolder(const OtherHolder&) = delete;
    OtherHolder& operator=(const OtherHolder&) = delete;

  private:
    pid_t pid_ = -1;
};

}  // namespace rv
