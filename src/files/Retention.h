#pragma once
// How long the console keeps what it stores on its own (session journals, kept calibration
// tables): a folder stays under a size and an age limit; the oldest files go first.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace rv {

struct RetentionLimits {
    std::uint64_t maxBytes = std::uint64_t{2} << 30;        // 2 GiB for the whole folder
    std::int64_t maxAgeSeconds = std::int64_t{90} * 86400;  // 90 days since the last write
};

// One file of a kept folder; `modified` is in seconds of any clock that `now` also uses.
struct KeptFile {
    std::string name;
    std::uint64_t bytes = 0;
    std::int64_t modified = 0;
};

// The names to remove, oldest first: every file older than the age limit, then the oldest others
// until the rest is within the size limit. The file named `spare` (the one being written now) is
// counted but never removed. Files of equal age go in name order.
std::vector<std::string> FilesToRemove(std::vector<KeptFile> files, std::int64_t now,
                                       const RetentionLimits& limits, std::string_view spare = {});

// The regular files of `folder` whose name ends with `extension`, with their sizes and write times
// in seconds of the file clock (FileClockSeconds). Unreadable entries are left out.
std::vector<KeptFile> ListKeptFiles(const std::filesystem::path& folder,
                                    std::string_view extension);

// Now, in the seconds ListKeptFiles gives.
std::int64_t FileClockSeconds();

// Removes what FilesToRemove names among the `extension` files of `folder`; failures to remove
// are left for the next check. Returns the count removed.
std::size_t ApplyRetention(const std::filesystem::path& folder, std::string_view extension,
                           std::int64_t now, const RetentionLimits& limits,
                           std::string_view spare = {});

}  // namespace rv
