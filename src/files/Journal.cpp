#include "files/Journal.h"

#include <cstdio>
#include <system_error>
#include <utility>

#include "files/OsFile.h"
#include "text/Cp1251.h"
#include "text/FileNames.h"

namespace rv {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kExtension = ".log";

fs::path PathOf(const fs::path& folder, const std::string& cp1251Name) {
    const std::string utf8 = Cp1251ToUtf8(cp1251Name);
    return folder / fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Shown(const fs::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

// `name`, or name-2, name-3, ... when a file of that name is already there (two stretches started
// in the same second on the same port).
fs::path FreePath(const fs::path& folder, const std::string& name) {
    fs::path path = PathOf(folder, name);
    std::error_code ec;
    const std::string stem = name.substr(0, name.size() - kExtension.size());
    for (int n = 2; fs::exists(fs::symlink_status(path, ec)) && n < 1000; ++n) {
        const std::string suffix = "-" + std::to_string(n) + std::string(kExtension);
        path = PathOf(folder, FitFileNameLength(stem, kMaxFileNameBytes - suffix.size()) + suffix);
    }
    return path;
}

}  // namespace

std::string JournalFileName(const LocalDateTime& start, std::string_view port,
                            std::string_view unitId) {
    char time[32];
    std::snprintf(time, sizeof time, "%04d-%02d-%02d_%02d-%02d-%02d", start.year % 10000,
                  start.month % 100, start.day % 100, start.hour % 100, start.minute % 100,
                  start.second % 100);
    std::string name = std::string(time) + "_" + FileNameSafe(port);
    if (!unitId.empty()) name += "_" + FileNameSafe(unitId);
    return FitFileNameLength(name + std::string(kExtension));
}

struct Journal::WriterState {
    OsFile file;
    fs::path path;
    bool unsynced = false;  // bytes written since the last sync
    bool wrote = false;     // this cycle put bytes on the disk
};

Journal::Journal(Options options)
    : options_(std::move(options)), writer_(std::make_unique<WriterState>()) {
    thread_ = std::thread([this] { Run(); });
}

Journal::~Journal() {
    Close();
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void Journal::Post(Command::Kind kind, std::string text) {
    {
        std::lock_guard lock(mutex_);
        pending_.push_back({kind, std::move(text)});
    }
    wake_.notify_one();
}

void Journal::Start(const LocalDateTime& start, std::string_view port) {
    if (open_) Close();
    open_ = true;
    start_ = start;
    port_ = std::string(port);
    unitId_.clear();
    Post(Command::Open, JournalFileName(start_, port_));
}

void Journal::SetUnitId(std::string_view unitId) {
    if (!open_ || unitId == unitId_) return;
    unitId_ = std::string(unitId);
    Post(Command::Rename, JournalFileName(start_, port_, unitId_));
}

void Journal::Append(std::string_view bytes) {
    if (!open_ || bytes.empty()) return;
    std::lock_guard lock(mutex_);
    if (pendingBytes_ + bytes.size() > options_.maxPendingBytes) {
        dropped_ += bytes.size();
        if (!dropping_) {
            dropping_ = true;
            if (!failureReported_) {
                failure_ =
                    "Запись журнала сеансов отстаёт от приёма: часть строк в журнал не попадёт.";
                failureReported_ = true;
            }
        }
        return;
    }
    pendingBytes_ += bytes.size();
    if (pending_.empty() || pending_.back().kind != Command::Data)
        pending_.push_back({Command::Data, std::exchange(spareData_, std::string())});
    pending_.back().text.append(bytes);
}

void Journal::Close() {
    if (!open_) return;
    open_ = false;
    Post(Command::Close, {});
}

void Journal::Flush() {
    std::unique_lock lock(mutex_);
    const std::uint64_t wanted = ++flushWanted_;
    wake_.notify_one();
    flushed_.wait(lock, [&] { return flushDone_ >= wanted; });
}

std::optional<std::string> Journal::TakeFailure() {
    std::lock_guard lock(mutex_);
    std::optional<std::string> out;
    out.swap(failure_);
    return out;
}

std::uint64_t Journal::DroppedBytes() const {
    std::lock_guard lock(mutex_);
    return dropped_;
}

fs::path Journal::CurrentFile() const {
    std::lock_guard lock(mutex_);
    return currentFile_;
}

void Journal::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait_for(lock, options_.flushInterval, [this] {
            return stop_ || flushWanted_ > flushDone_ ||
                   (!pending_.empty() && pending_.back().kind == Command::Close);
        });
        std::vector<Command> work;
        work.swap(pending_);
        pendingBytes_ = 0;
        dropping_ = false;
        const std::uint64_t flushing = flushWanted_;
        const bool stopping = stop_;
        lock.unlock();

        writer_->wrote = false;
        for (Command& command : work) Process(command);
        if (writer_->file.IsOpen() && writer_->unsynced) {
            writer_->unsynced = false;
            if (auto error = writer_->file.Sync()) Fail(*error);
        }

        lock.lock();
        for (Command& command : work) {
            if (command.kind == Command::Data && command.text.capacity() > spareData_.capacity()) {
                spareData_ = std::move(command.text);
                spareData_.clear();
            }
        }
        if (writer_->wrote && writer_->file.IsOpen()) failureReported_ = false;
        flushDone_ = flushing;
        flushed_.notify_all();
        if (stopping && pending_.empty()) break;
    }
}

void Journal::Process(Command& command) {
    switch (command.kind) {
        case Command::Open:
            CloseFile();
            OpenFile(command.text);
            break;
        case Command::Rename:
            RenameFile(command.text);
            break;
        case Command::Data:
            if (!writer_->file.IsOpen()) break;  // the stretch failed: its lines are lost
            if (auto error = writer_->file.Write(command.text)) {
                Fail(*error);
            } else {
                writer_->unsynced = true;
                writer_->wrote = true;
            }
            break;
        case Command::Close:
            CloseFile();
            ApplyRetention(options_.folder, kExtension, options_.now(), options_.limits);
            break;
    }
}

void Journal::OpenFile(const std::string& name) {
    const fs::path path = FreePath(options_.folder, name);
    if (auto error = writer_->file.OpenAppend(path)) {
        writer_->path = path;
        Fail(*error);
        return;
    }
    writer_->path = path;
    {
        std::lock_guard lock(mutex_);
        currentFile_ = path;
    }
    const std::u8string u8 = path.filename().u8string();
    ApplyRetention(options_.folder, kExtension, options_.now(), options_.limits,
                   std::string(u8.begin(), u8.end()));
}

void Journal::RenameFile(const std::string& name) {
    if (!writer_->file.IsOpen()) return;
    if (PathOf(options_.folder, name) == writer_->path) return;
    // Closed first: a file that is open cannot be renamed on every system.
    if (writer_->unsynced) {
        writer_->unsynced = false;
        if (auto error = writer_->file.Sync()) return Fail(*error);
    }
    if (auto error = writer_->file.Close()) return Fail(*error);
    const fs::path target = FreePath(options_.folder, name);
    fs::path path = writer_->path;
    if (!RenameOver(path, target)) path = target;  // a failed rename keeps the old name
    if (auto error = writer_->file.OpenAppend(path)) {
        writer_->path = path;
        return Fail(*error);
    }
    writer_->path = path;
    std::lock_guard lock(mutex_);
    currentFile_ = path;
}

void Journal::CloseFile() {
    if (writer_->file.IsOpen()) {
        std::optional<std::string> error;
        if (writer_->unsynced) error = writer_->file.Sync();
        writer_->unsynced = false;
        const auto closeError = writer_->file.Close();
        if (!error) error = closeError;
        if (error) Fail(*error);
    }
    std::lock_guard lock(mutex_);
    currentFile_.clear();
}

void Journal::Fail(const std::string& systemText) {
    writer_->file.Close();
    writer_->unsynced = false;
    Report("Журнал сеансов не записывается в файл \"" + Shown(writer_->path) + "\". " + systemText);
}

void Journal::Report(std::string text) {
    std::lock_guard lock(mutex_);
    if (failureReported_) return;
    failure_ = std::move(text);
    failureReported_ = true;
}

}  // namespace rv
