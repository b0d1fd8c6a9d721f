#include "files/Retention.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace rv {
namespace {

namespace fs = std::filesystem;

std::string Utf8Name(const fs::path& p) {
    const std::u8string s = p.filename().u8string();
    return std::string(s.begin(), s.end());
}

}  // namespace

std::vector<std::string> FilesToRemove(std::vector<KeptFile> files, std::int64_t now,
                                       const RetentionLimits& limits, std::string_view spare) {
    std::sort(files.begin(), files.end(), [](const KeptFile& a, const KeptFile& b) {
        return a.modified != b.modified ? a.modified < b.modified : a.name < b.name;
    });
    std::uint64_t total = 0;
    for (const KeptFile& f : files) total += f.bytes;
    std::vector<std::string> out;
    for (const KeptFile& f : files) {
        if (f.name == spare) continue;
        const bool tooOld = now - f.modified > limits.maxAgeSeconds;
        if (!tooOld && total <= limits.maxBytes) continue;
        out.push_back(f.name);
        total -= f.bytes;
    }
    return out;
}

std::vector<KeptFile> ListKeptFiles(const fs::path& folder, std::string_view extension) {
    std::vector<KeptFile> out;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code entryError;
        if (!it->is_regular_file(entryError) || entryError) continue;
        const std::string name = Utf8Name(it->path());
        if (name.size() < extension.size() ||
            name.compare(name.size() - extension.size(), extension.size(), extension) != 0)
            continue;
        KeptFile f;
        f.name = name;
        f.bytes = it->file_size(entryError);
        if (entryError) continue;
        const auto written = it->last_write_time(entryError);
        if (entryError) continue;
        f.modified =
            std::chrono::duration_cast<std::chrono::seconds>(written.time_since_epoch()).count();
        out.push_back(std::move(f));
    }
    return out;
}

std::int64_t FileClockSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               fs::file_time_type::clock::now().time_since_epoch())
        .count();
}

std::size_t ApplyRetention(const fs::path& folder, std::string_view extension, std::int64_t now,
                           const RetentionLimits& limits, std::string_view spare) {
    std::size_t removed = 0;
    for (const std::string& name :
         FilesToRemove(ListKeptFiles(folder, extension), now, limits, spare)) {
        std::error_code ec;
        if (fs::remove(folder / fs::path(std::u8string(name.begin(), name.end())), ec)) ++removed;
    }
    return removed;
}

}  // namespace rv
