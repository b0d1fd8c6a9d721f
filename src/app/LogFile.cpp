#include "app/LogFile.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

namespace rv {
namespace {

constexpr std::size_t kTimeLength = 12;                 // "HH:MM:SS.mmm"
constexpr std::size_t kPrefixLength = kTimeLength + 2;  // and two spaces
constexpr std::size_t kSniffBytes = 64 * 1024;

int Digits(std::string_view s, std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (s[i] < '0' || s[i] > '9') return -1;
        value = value * 10 + (s[i] - '0');
    }
    return value;
}

// A file whose first bytes are mostly control characters is no text at all.
bool LooksBinary(std::string_view bytes) {
    const std::size_t n = std::min(bytes.size(), kSniffBytes);
    std::size_t control = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x20 && c != '\r' && c != '\n' && c != '\t') ++control;
    }
    return control * 10 > n;
}

// A reply of the unit: ">KEY=...".
bool HoldsReply(std::string_view text) {
    const std::size_t key = text.find('>');
    return key != std::string_view::npos && text.find('=', key) != std::string_view::npos;
}

}  // namespace

std::int32_t LogFile::LeadingTime(std::string_view line) {
    if (line.size() < kPrefixLength || line[2] != ':' || line[5] != ':' || line[8] != '.' ||
        line[12] != ' ' || line[13] != ' ') {
        return kNoTime;
    }
    const int h = Digits(line, 0, 2), m = Digits(line, 3, 2), s = Digits(line, 6, 2),
              ms = Digits(line, 9, 3);
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59 || ms < 0) return kNoTime;
    return ((h * 60 + m) * 60 + s) * 1000 + ms;
}

std::string LogFile::TimeText(std::int32_t ms) {
    if (ms < 0) ms = 0;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", ms / 3600000, ms / 60000 % 60,
                  ms / 1000 % 60, ms % 1000);
    return text;
}

std::string_view LogFile::Text(std::size_t i) const {
    const std::string_view rest = std::string_view(bytes_).substr(starts_[i]);
    std::string_view text = rest.substr(0, rest.find('\n'));
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    return text;
}

std::optional<LogFile> LogFile::Index(std::string bytes, std::string* whyNot,
                                      const std::function<void(double)>& progress) {
    auto refuse = [&](const char* reason) -> std::optional<LogFile> {
        if (whyNot) *whyNot = reason;
        return std::nullopt;
    };
    if (bytes.empty()) return refuse("Файл пуст.");
    if (LooksBinary(bytes)) return refuse("Это не текстовый файл.");

    LogFile file;
    file.bytes_ = std::move(bytes);
    const std::string_view all(file.bytes_);
    bool decided = false;  // whether the first readable line told timed from bare
    bool sawReply = false;
    std::size_t nextProgress = 0;
    for (std::size_t at = 0; at < all.size();) {
        if (progress && at >= nextProgress) {
            progress(static_cast<double>(at) / static_cast<double>(all.size()));
            nextProgress = at + (1u << 22);
        }
        const std::size_t end = all.find('\n', at);
        if (end == std::string_view::npos) {  // cut off before its line end
            ++file.skipped_;
            break;
        }
        std::string_view line = all.substr(at, end - at);
        const std::size_t start = at;
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;  // the closing empty line of a saved log
        if (line.size() > kMaxLineLength + kPrefixLength) {
            ++file.skipped_;
            continue;
        }
        const std::int32_t ms = LeadingTime(line);
        if (!decided) {
            file.timed_ = ms != kNoTime;
            decided = true;
        }
        if (file.timed_ && ms == kNoTime) {
            ++file.skipped_;
            continue;
        }
        const std::size_t textStart = file.timed_ ? start + kPrefixLength : start;
        if (!file.timed_ && !sawReply) sawReply = HoldsReply(line);
        file.starts_.push_back(textStart);
        file.timesMs_.push_back(file.timed_ ? ms : kNoTime);
    }
    if (file.starts_.empty() || (!file.timed_ && !sawReply)) {
        return refuse("В файле нет строк журнала обмена (ни времени приёма, ни ответов блока).");
    }
    file.starts_.shrink_to_fit();
    file.timesMs_.shrink_to_fit();
    if (progress) progress(1.0);
    return file;
}

std::variant<LogFile, std::string> ReadLogFile(const std::filesystem::path& path,
                                               const std::function<void(double)>& progress) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return std::string("Это папка, а не файл.");
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::string("Файл не открывается для чтения.");
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::string("Файл не читается.");
    std::string whyNot;
    auto file = LogFile::Index(std::move(bytes), &whyNot, progress);
    if (!file) return whyNot;
    return std::move(*file);
}

}  // namespace rv
