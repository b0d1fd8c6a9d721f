#include "protocol/ReplyHandler.h"

#include <stdexcept>

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
    for (std::string_view key : KeyOrder()) entries_.push_back(Entry{std::string(key), {}});
}

void ReplyKeyTable::Bind(std::string_view key, ReplyDecoder decoder) {
    for (Entry& e : entries_) {
        if (e.key != key) continue;
        if (e.decode) throw std::logic_error("reply key bound twice: " + e.key);
        e.decode = std::move(decoder);
        return;
    }
    throw std::logic_error("unknown reply key: " + std::string(key));
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
}

void ReplyHandler::DecodeServ(ReplyScanner& scan) {
    // The unit restarted its service session: the window starts again from its idle state, and
    // the rest of the block is decoded into the cleared window.
    if (scan.NextField('\r') == "0" && statClear_) statClear_();
}

void ReplyHandler::Decode(std::string_view block) {
    try {
        scanner_.Reset(block);
        for (const auto& entry : table_.Entries()) {
            if (scanner_.FindKey(entry.key)) entry.decode(scanner_);
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
