#pragma once
// A pseudo-terminal published in a test's ports folder as COM<n>: the test plays the unit on the
// master side, the console opens the port by its name.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdio.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/TempRuntimeDir.h"

namespace rv::test {

class PublishedPty {
  public:
    // Publishes the new terminal as COM<n>, taking the place of whatever link was there (the
    // unit is back under the same name).
    PublishedPty(const TempRuntimeDir& runtime, int n) {
        int slave = -1;
        char name[256] = {};
        if (::openpty(&master_, &slave, name, nullptr, nullptr) != 0) return;
        ::close(slave);  // the console opens it by path
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        device_ = name;
        const std::filesystem::path link = runtime.Link(n);
        const std::filesystem::path fresh = link.string() + ".new";
        std::filesystem::create_symlink(device_, fresh);
        std::filesystem::rename(fresh, link);  // at once, as a unit restarting would
    }
    ~PublishedPty() { ClosePeer(); }
    PublishedPty(const PublishedPty&) = delete;
    PublishedPty& operator=(const PublishedPty&) = delete;

    const std::string& Device() const { return device_; }
    // The unit goes away: the cable is pulled, the simulator ends (its link then dangles).
    void ClosePeer() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }
    bool Write(const std::string& bytes) const {
        return ::write(master_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    // Everything the console wrote, read until nothing more comes for a while (the terminal
    // hands bytes over asynchronously).
    std::string Drain() const {
        std::string out;
        char buf[65536];
        for (;;) {
            struct pollfd p = {master_, POLLIN, 0};
            if (::poll(&p, 1, 300) <= 0) return out;
            const ssize_t got = ::read(master_, buf, sizeof buf);
            if (got <= 0) return out;
            out.append(buf, static_cast<std::size_t>(got));
        }
    }

  private:
    int master_ = -1;
    std::string device_;
};

}  // namespace rv::test
