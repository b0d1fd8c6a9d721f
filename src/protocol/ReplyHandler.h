#pragma once
// Decoding of one received block: every reply key of the fixed order is searched once (first
// occurrence anywhere in the block) and, when present, decoded by its family, which writes the
// display. ">SERV=0" runs the clear action. A field that cannot be converted where a number is
// required ends the decoding of that block; the error text goes to the error report and the next
// block decodes normally.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/CalibrationCapture.h"
#include "protocol/DisplayModel.h"
#include "protocol/ReplyFamilies.h"
#include "protocol/ReplyScanner.h"
#include "text/RegionalFormats.h"

namespace rv {

class ReplyHandler {
  public:
    // `display`, `formats` and `capture` must outlive the handler. `statClear` is the clear
    // action (StatClearExecute); `reportError` receives the Windows-1251 text of a conversion
    // failure (or of any other error raised while decoding a block).
    ReplyHandler(DisplayModel& display, const RegionalFormats& formats, CalibrationCapture& capture,
                 std::function<void()> statClear,
                 std::function<void(const std::string& message)> reportError);
    ReplyHandler(const ReplyHandler&) = delete;
    ReplyHandler& operator=(const ReplyHandler&) = delete;

    // Decodes every reply of one block (the bytes as received, CR and LF included). Never throws.
    void Decode(std::string_view block);

    const ReplyKeyTable& Keys() const { return table_; }

  private:
    void DecodeServ(ReplyScanner& scan);
    void Report(const char* message) noexcept;

    ReplyContext context_;
    std::function<void()> statClear_;
    std::function<void(const std::string&)> reportError_;
    void NoteKeysToTry();

    ReplyKeyTable table_;
    ReplyScanner scanner_;
    // Which keys of the order can occur in a block, as bit sets of their indexes, `words` 64-bit
    // words each: a key ">" + c only where a '>' is followed by c, any other key always. The same
    // for every handler, made once.
    struct KeySets {
        static const KeySets& OfKeyOrder();
        std::size_t words = 0;
        std::vector<std::uint64_t> keysAfter;  // 256 sets, one for each character c
        std::vector<std::uint64_t> alwaysTried;
    };
    const KeySets* keySets_ = nullptr;
    std::vector<std::uint64_t> toTry_;  // for the block being decoded
};

}  // namespace rv
