#include "files/StateFolder.h"

#include <cstdlib>
#include <system_error>

namespace rv {
namespace {

namespace fs = std::filesystem;

fs::path Utf8Path(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

// Creates `path` and any missing parent, each new folder private to the user.
std::error_code CreatePrivateFolders(const fs::path& path) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) return {};
    if (path.has_parent_path() && path.parent_path() != path) {
        if (auto parentError = CreatePrivateFolders(path.parent_path())) return parentError;
    }
    if (!fs::create_directory(path, ec) && ec) return ec;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::replace, ec);
    return {};
}

}  // namespace

std::optional<std::string> ProcessEnvironment(const char* name) {
#ifdef _WIN32
    const std::wstring wide(name, name + std::char_traits<char>::length(name));
    const wchar_t* value = _wgetenv(wide.c_str());
    if (!value) return std::nullopt;
    const std::u8string utf8 = fs::path(value).u8string();
    return std::string(utf8.begin(), utf8.end());
#else
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
#endif
}

std::optional<fs::path> StateFolder(const EnvironmentLookup& environment) {
#ifdef _WIN32
    const auto local = environment("LOCALAPPDATA");
    if (!local || local->empty()) return std::nullopt;
    return Utf8Path(*local) / "Revodive";
#else
    if (const auto state = environment("XDG_STATE_HOME")) {
        const fs::path base = Utf8Path(*state);
        if (base.is_absolute()) return base / "revodive";
    }
    const auto home = environment("HOME");
    if (!home || home->empty()) return std::nullopt;
    return Utf8Path(*home) / ".local" / "state" / "revodive";
#endif
}

StateSubfolder EnsureStateSubfolder(const char* name, const EnvironmentLookup& environment) {
    StateSubfolder result;
    const auto base = StateFolder(environment);
    if (!base) {
        result.error = "Не найдена папка пользователя для служебных файлов";
        return result;
    }
    result.path = *base / name;
    if (const std::error_code ec = CreatePrivateFolders(result.path)) {
        const std::u8string shown = result.path.u8string();
        result.error = "Не удаётся создать папку \"" + std::string(shown.begin(), shown.end()) +
                       "\". " + ec.message();
    }
    return result;
}

}  // namespace rv
