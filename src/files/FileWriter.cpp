#include "files/FileWriter.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <random>

#include "files/OsFile.h"

namespace rv {
namespace {

namespace fs = std::filesystem;

// A short name (the target's own name may already be as long as the file system allows), unique
// among concurrent writers of this and other processes.
std::string TemporaryName() {
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    const auto ticks = static_cast<unsigned>(
        std::chrono::steady_clock::now().time_since_epoch().count() & 0xFFFFFFu);
    std::mt19937 mix(seed ^ ticks ^ (counter.fetch_add(1) * 2654435761u));
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string name = kTemporaryFilePrefix;
    for (int i = 0; i < 10; ++i) name += kDigits[mix() % 36];
    return name + ".tmp";
}

// Writes, syncs and closes a new temporary file in `folder`; its path, or the failure.
std::optional<FileFailure> WriteTemporary(const fs::path& folder, const std::string& bytes,
                                          fs::path& temporary) {
    OsFile file;
    std::optional<std::string> error;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder / TemporaryName();
        bool exists = false;
        error = file.CreateNew(temporary, &exists);
        if (!exists) break;
    }
    if (error) return FileFailure{file.LastErrorKind(), *error};
    error = file.Write(bytes);
    if (!error) error = file.Sync();
    FileErrorKind kind = file.LastErrorKind();
    const auto closeError = file.Close();
    if (!error && closeError) {
        error = closeError;
        kind = file.LastErrorKind();
    }
    if (!error) return std::nullopt;
    std::error_code ec;
    fs::remove(temporary, ec);
    return FileFailure{kind, *error};
}

// Why an existing `target` cannot be saved over, or nothing when it is a regular file or absent.
// A named pipe would stall the save until some reader came (and a reader that left early would
// break it); a device is never a file of the technician's; a folder cannot be replaced.
std::optional<std::string> NotAFileReason(const fs::file_status& target) {
    const char* kind = nullptr;
    switch (target.type()) {
        case fs::file_type::none:  // cannot be looked at: the write itself tells why
        case fs::file_type::not_found:
        case fs::file_type::regular:
            return std::nullopt;
        case fs::file_type::fifo:
            kind = "именованный канал";
            break;
        case fs::file_type::directory:
            kind = "папка";
            break;
        case fs::file_type::character:
        case fs::file_type::block:
            kind = "устройство";
            break;
        case fs::file_type::socket:
            kind = "сокет";
            break;
        default:
            kind = "не обычный файл";
            break;
    }
    return std::string("Это ") + kind + ", а сохранить можно только в обычный файл.";
}

}  // namespace

std::optional<FileFailure> WriteWholeFile(const std::string& path, const std::string& bytes) {
    fs::path target(std::u8string(path.begin(), path.end()));
    std::error_code ec;
    // Saving onto a link replaces the file it points to, not the link.
    if (fs::is_symlink(fs::symlink_status(target, ec))) {
        const fs::path resolved = fs::canonical(target, ec);
        if (!ec) target = resolved;
    }
    // A folder in the file's place is told as such, however the name was written.
    if (fs::is_directory(target, ec))
        return FileFailure{FileErrorKind::Other, SystemErrorText(EISDIR)};
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    // Checked before anything is opened or made: nothing here ever opens the target itself.
    if (auto reason = NotAFileReason(fs::status(target, ec)))
        return FileFailure{FileErrorKind::Other, *reason};

    fs::path temporary;
    if (auto failure = WriteTemporary(folder, bytes, temporary)) return failure;
    // A replaced file keeps the permissions it had.
    const fs::file_status old = fs::status(target, ec);
    if (!ec && fs::is_regular_file(old)) fs::permissions(temporary, old.permissions(), ec);
    FileErrorKind kind = FileErrorKind::Other;
    if (auto error = RenameOver(temporary, target, &kind)) {
        fs::remove(temporary, ec);
        return FileFailure{kind, *error};
    }
    SyncFolder(folder);
    return std::nullopt;
}

std::string CannotCreateFileText(const std::string& path, const FileFailure& failure) {
    return "Cannot create file \"" + path + "\". " + failure.systemText;
}

std::optional<std::string> WriteFileBytes(const std::string& path, const std::string& bytes) {
    if (auto failure = WriteWholeFile(path, bytes)) return CannotCreateFileText(path, *failure);
    return std::nullopt;
}

}  // namespace rv
