#pragma once
// A temporary XDG_RUNTIME_DIR for one test: the console's ports folder lies inside it, so ports
// published by the test (or by a simulated unit it starts) are seen by no other test.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace rv::test {

class TempRuntimeDir {
  public:
    explicit TempRuntimeDir(const std::string& what)
        : root_(std::filesystem::temp_directory_path() /
                ("revodive-" + what + "-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(PortsFolder());
        ::setenv("XDG_RUNTIME_DIR", root_.c_str(), 1);
    }
    ~TempRuntimeDir() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    TempRuntimeDir(const TempRuntimeDir&) = delete;
    TempRuntimeDir& operator=(const TempRuntimeDir&) = delete;

    const std::filesystem::path& Root() const { return root_; }
    std::filesystem::path PortsFolder() const { return root_ / "revodive" / "ports"; }

  private:
    std::filesystem::path root_;
};

}  // namespace rv::test
