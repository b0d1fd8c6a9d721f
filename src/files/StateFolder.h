#pragma once
// The console's own folder for what it keeps between runs without being asked (the session
// journal, the kept calibration tables): $XDG_STATE_HOME/revodive, by default
// ~/.local/state/revodive; on Windows %LOCALAPPDATA%\Revodive. Its subfolders are made when first
// needed, readable by the user only, because the traffic holds the unit's identity and settings.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace rv {

// Reads one environment variable (UTF-8); nothing when it is not set. Tests pass their own.
using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;

// The process environment.
std::optional<std::string> ProcessEnvironment(const char* name);

// The state folder, or nothing when the environment names no home for it. A relative
// XDG_STATE_HOME is ignored, as the base-directory rules ask.
std::optional<std::filesystem::path> StateFolder(
    const EnvironmentLookup& environment = ProcessEnvironment);

// Subfolders of the state folder.
inline constexpr const char* kJournalFolder = "journal";
inline constexpr const char* kCalibrationFolder = "calibration";

// The state folder's subfolder `name`, created (with its parents) when missing; folders made here
// are private to the user (0700). The folder, or the reason it cannot be had (UTF-8).
struct StateSubfolder {
    std::filesystem::path path;
    std::string error;  // empty on success
};
StateSubfolder EnsureStateSubfolder(const char* name,
                                    const EnvironmentLookup& environment = ProcessEnvironment);

}  // namespace rv
