#include "Commands.h"

namespace sim {
namespace {

// A whole non-negative decimal number of at most 9 digits.
std::optional<int> Number(std::string_view s) {
    if (s.empty() || s.size() > 9) return std::nullopt;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

}  // namespace

std::optional<Command> ParseCommand(std::string_view raw) {
    std::string line;
    for (char c : raw)
        if (c != '\r') line.push_back(c);
    std::string_view s(line);
    if (s.size() < 4 || s[0] != '>' || s[2] != ' ') return std::nullopt;
    const char letter = s[1];
    const std::string_view args = s.substr(3);
    Command cmd;
    if (letter == 'D') {
        const auto semi = args.find(';');
        if (semi == std::string_view::npos) return std::nullopt;
        const auto a = Number(args.substr(0, semi));
        const auto b = Number(args.substr(semi + 1));
        if (!a || !b) return std::nullopt;
        cmd.kind = Command::Kind::Do;
        cmd.a = *a;
        cmd.b = *b;
        return cmd;
    }
    if (letter == 'I') {
        const auto n = Number(args);
        if (!n) return std::nullopt;
        cmd.kind = Command::Kind::Inquire;
        cmd.a = *n;
        return cmd;
    }
    if (letter != 'S') return std::nullopt;
    if (args.substr(0, 3) == "ISS" && args.size() >= 5 && (args[3] == '1' || args[3] == '2') &&
        args[4] == ' ') {
        std::string_view rest = args.substr(5);
        cmd.kind = Command::Kind::SetAccess;
        cmd.a = args[3] - '0';
        for (int i = 0; i < 3; ++i) {
            const auto semi = rest.find(';');
            if (i < 2 && semi == std::string_view::npos) return std::nullopt;
            if (i == 2 && semi != std::string_view::npos) return std::nullopt;
            cmd.text[i] = std::string(rest.substr(0, semi));
            if (semi != std::string_view::npos) rest.remove_prefix(semi + 1);
        }
        return cmd;
    }
    const auto semi = args.find(';');
    if (semi == std::string_view::npos) return std::nullopt;
    const auto function = Number(args.substr(0, semi));
    if (!function || (*function != 6 && *function != 14)) return std::nullopt;
    cmd.kind = Command::Kind::SetPin;
    cmd.a = *function == 6 ? 1 : 2;
    cmd.text[0] = std::string(args.substr(semi + 1));
    return cmd;
}

void LineSplitter::Feed(std::string_view bytes) {
    for (char c : bytes) {
        if (c == '\n') {
            if (!overlong_) {
                ready_ += partial_;
                ready_ += '\n';
            }
            partial_.clear();
            overlong_ = false;
            continue;
        }
        if (overlong_) continue;
        partial_.push_back(c);
        if (partial_.size() > kLongestLine) {
            partial_.clear();
            overlong_ = true;
        }
    }
}

std::optional<std::string> LineSplitter::Next() {
    const auto lf = ready_.find('\n');
    if (lf == std::string::npos) return std::nullopt;
    std::string line = ready_.substr(0, lf);
    ready_.erase(0, lf + 1);
    return line;
}

}  // namespace sim
