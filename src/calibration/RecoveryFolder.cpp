#include "calibration/RecoveryFolder.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <tuple>

#include "files/FileWriter.h"

namespace rv {
namespace {

namespace fs = std::filesystem;

// A kept table of even a thousand rows is a few tens of kilobytes; anything far larger is not one.
constexpr std::uintmax_t kMaxKeptTableBytes = 16u << 20;

std::optional<std::string> ReadSmallFile(const fs::path& path) {
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec || size > kMaxKeptTableBytes) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return std::nullopt;
    return text;
}

auto Key(const LocalDateTime& t) {
    return std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second, t.millisecond);
}

}  // namespace

std::optional<std::string> SaveKeptTable(const fs::path& folder, const KeptTableState& state) {
    const std::u8string path = (folder / KeptTableFileName(state)).u8string();
    return WriteFileBytes(std::string(path.begin(), path.end()), KeptTableText(state));
}

std::vector<KeptTable> ListKeptTables(const fs::path& folder) {
    std::vector<KeptTable> out;
    for (const KeptFile& f : ListKeptFiles(folder, kKeptTableExtension)) {
        const fs::path file = folder / fs::path(std::u8string(f.name.begin(), f.name.end()));
        const auto text = ReadSmallFile(file);
        if (!text) continue;
        auto state = ParseKeptTable(*text);
        if (!state) continue;
        out.push_back({file, std::move(*state)});
    }
    std::sort(out.begin(), out.end(), [](const KeptTable& a, const KeptTable& b) {
        if (Key(a.state.lastChange) != Key(b.state.lastChange))
            return Key(a.state.lastChange) > Key(b.state.lastChange);
        return a.file.filename() > b.file.filename();
    });
    return out;
}

std::size_t ApplyKeptTableRetention(const fs::path& folder, std::int64_t now,
                                    const RetentionLimits& limits) {
    return ApplyRetention(folder, kKeptTableExtension, now, limits);
}

}  // namespace rv
