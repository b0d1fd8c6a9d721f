#include "protocol/ReplyHandler.h"

#include <algorithm>
#include <bit>
#include <stdexcept>
#include <unordered_map>

namespace rv {

const std::vector<std::string_view>& ReplyKeyTable::KeyOrder() {
    static const std::vector<std::string_view> order = {
        ">SERV=",   ">GK=",       ">GP=",      ">GS=",      ">GAS=1480;", ">GAS=10;", ">GAS=20;",
        ">GAS=70;", ">GAS=1520;", ">GAS=340;", ">GAS=960;", ">GAS=1460;", ">DF=",     ">DN=",
        ">PB=",     ">DI=",       ">TW=",      ">LLS=",     ">MN=",       ">MO=",     ">MD=",
        ">ML=",     ">RW=",       ">MT=",      ">CV=",      ">SMS=",      ">MB=",     ">MW=",
        ">SA=",     ">SS=",       ">DS=",      ">MS=",      ">I",         ">O",       ">PIN1=",
        ">PIN2=",   ">ISS1=",     ">ISS2=",    ">CA=",      ">CB=",       ">CC=",     ">CD=",
        ">CE=",     ">CF=",       ">CG=",      ">CH=",      ">CI=",       ">CJ=",     ">CK=",
        ">CL=",     ">CM=",       ">CN=",      ">CO=",      ">CP=",       ">CR=",     ">CS=",
        ">CQ=",     ">CU=",       ">OWT=",     ">ML3=",     ">ICT=",
    };
    return order;
}

ReplyKeyTable::ReplyKeyTable() {
    entries_.reserve(KeyOrder().size());
    for (std::string_view key : KeyOrder()) entries_.push_back(Entry{std::string(key), {}});
}

void ReplyKeyTable::Bind(std::string_view key, ReplyDecoder decoder) {
    // Every table holds the keys of the fixed order in that order: where each stands is found
    // once for all tables.
    static const std::unordered_map<std::string_view, std::size_t> position = [] {
        std::unordered_map<std::string_view, std::size_t> map;
        for (std::size_t i = 0; i < KeyOrder().size(); ++i) map.emplace(KeyOrder()[i], i);
        return map;
    }();
    const auto it = position.find(key);
    if (it == position.end()) throw std::logic_error("unknown reply key: " + std::string(key));
    Entry& e = entries_[it->second];
    if (e.decode) throw std::logic_error("reply key bound twice: " + e.key);
    e.decode = std::move(decoder);
}

void ReplyKeyTable::CheckComplete() const {
    for (const Entry& e : entries_) {
        if (!e.decode) throw std::logic_error("reply key without decoder: " + e.key);
    }
}

ReplyHandler::ReplyHandler(DisplayModel& display, const RegionalFormats& formats,
                           CalibrationCapture& capture, std::function<void()> statClear,
                           std::function<void(const std::string& message)> reportError)
    : context_{display, formats, capture},
      statClear_(std::move(statClear)),
      reportError_(std::move(reportError)) {
    table_.Bind(">SERV=", [this](ReplyScanner& scan) { DecodeServ(scan); });
    BindIdentityReplies(table_, context_);
    BindNavigationReplies(table_, context_);
    BindModemReplies(table_, context_);
    BindIoReplies(table_, context_);
    BindSensorReplies(table_, context_);
    BindCanReplies(table_, context_);
    table_.CheckComplete();

    keySets_ = &KeySets::OfKeyOrder();
    toTry_.assign(keySets_->words, 0);
}

const ReplyHandler::KeySets& ReplyHandler::KeySets::OfKeyOrder() {
    static const KeySets sets = [] {
        const std::vector<std::string_view>& keys = ReplyKeyTable::KeyOrder();
        KeySets k;
        k.words = (keys.size() + 63) / 64;
        k.keysAfter.assign(256 * k.words, 0);
        k.alwaysTried.assign(k.words, 0);
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const std::string_view key = keys[i];
            const std::uint64_t bit = std::uint64_t{1} << (i % 64);
            if (key.size() >= 2 && key[0] == '>')
                k.keysAfter[static_cast<unsigned char>(key[1]) * k.words + i / 64] |= bit;
            else
                k.alwaysTried[i / 64] |= bit;
        }
        return k;
    }();
    return sets;
}

void ReplyHandler::NoteKeysToTry() {
    const KeySets& k = *keySets_;
    std::copy(k.alwaysTried.begin(), k.alwaysTried.end(), toTry_.begin());
    scanner_.ForEachCharAfterMark([this, &k](unsigned char c) {
        for (std::size_t w = 0; w < k.words; ++w) toTry_[w] |= k.keysAfter[c * k.words + w];
    });
}

void ReplyHandler::DecodeServ(ReplyScanner& scan) {
    // The unit restarted its service session: the window starts again from its idle state, and
    // the rest of the block is decoded into the cleared window.
    if (scan.NextField('\r') == "0" && statClear_) statClear_();
}

void ReplyHandler::Decode(std::string_view block) {
    try {
        scanner_.Reset(block);
        // A line holds one or two replies: the keys its '>' marks rule out are not looked for.
        // The rest are searched in the table's order, so the decoding order stays the same.
        NoteKeysToTry();
        const std::vector<ReplyKeyTable::Entry>& entries = table_.Entries();
        for (std::size_t w = 0; w < toTry_.size(); ++w) {
            for (std::uint64_t bits = toTry_[w]; bits != 0; bits &= bits - 1) {
                const auto& entry = entries[w * 64 + static_cast<unsigned>(std::countr_zero(bits))];
                if (scanner_.FindKey(entry.key)) entry.decode(scanner_);
            }
        }
    } catch (const std::exception& e) {
        // A conversion failure ends this block here; what was written before stays.
        Report(e.what());
    } catch (...) {
        Report("unknown error while decoding a reply");
    }
}

void ReplyHandler::Report(const char* message) noexcept {
    // The report must not take reception down with it: an error report that fails itself is
    // dropped, and the next block is decoded as usual.
    if (!reportError_) return;
    try {
        reportError_(message);
    } catch (...) {
    }
}

}  // namespace rv
