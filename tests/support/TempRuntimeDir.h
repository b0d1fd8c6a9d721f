#pragma once
// A temporary XDG_RUNTIME_DIR for one test: the console's ports folder lies inside it, so ports
// published by the test (or by a simulated unit it starts) are seen by no other test. The state
// folder (session journal, calibration recovery) is the test's own too, for as long as it lives:
// consoles of tests running side by side would otherwise find each other's files.

#include <stdlib.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>

namespace rv::test {

class TempRuntimeDir {
  public:
    explicit TempRuntimeDir(const std::string& what) {
        std::string name =
            (std::filesystem::temp_directory_path() / ("revodive-" + what + "-XXXXXX")).string();
        if (::mkdtemp(name.data()) == nullptr)
            throw std::filesystem::filesystem_error(
                "mkdtemp", name, std::error_code(errno, std::generic_category()));
        root_ = name;
        // As the console makes them: only the user may look inside.
        for (const auto& folder : {root_ / "revodive", PortsFolder()}) {
            std::filesystem::create_directory(folder);
            std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
        }
        ::setenv("XDG_RUNTIME_DIR", root_.c_str(), 1);  // this process and the units it starts
        if (const char* state = ::getenv("XDG_STATE_HOME")) stateBefore_ = state;
        std::filesystem::create_directory(root_ / "state");
        ::setenv("XDG_STATE_HOME", (root_ / "state").c_str(), 1);
    }
    ~TempRuntimeDir() {
        if (stateBefore_.empty()) {
            ::unsetenv("XDG_STATE_HOME");
        } else {
            ::setenv("XDG_STATE_HOME", stateBefore_.c_str(), 1);
        }
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    TempRuntimeDir(const TempRuntimeDir&) = delete;
    TempRuntimeDir& operator=(const TempRuntimeDir&) = delete;

    const std::filesystem::path& Root() const { return root_; }
    std::filesystem::path PortsFolder() const { return root_ / "revodive" / "ports"; }
    // Where port COM<n> is published.
    std::filesystem::path Link(int n) const { return PortsFolder() / ("COM" + std::to_string(n)); }

  private:
    std::filesystem::path root_;
    std::string stateBefore_;
};

}  // namespace rv::test
