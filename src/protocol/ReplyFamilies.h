#pragma once
// The key table of the reply handler and the binding of each reply family's decoders to it. The
// table holds every key of the fixed decoding order from the start; each family file lists its
// keys with their decoders, which cut their fields from the shared scanner and write the display,
// and BindFamily binds them all to one instance of the family.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/CalibrationCapture.h"
#include "protocol/DisplayModel.h"
#include "protocol/FieldConversions.h"
#include "protocol/ReplyScanner.h"
#include "text/RegionalFormats.h"

namespace rv {

// What a decoder works with besides the scanner.
struct ReplyContext {
    DisplayModel& display;
    const RegionalFormats& formats;
    CalibrationCapture& capture;
};

// Decodes one reply: the scanner's position stands right after the key.
using ReplyDecoder = std::function<void(ReplyScanner&)>;

class ReplyKeyTable {
  public:
    struct Entry {
        std::string key;
        ReplyDecoder decode;
    };

    // Every key of the decoding order, none bound yet.
    ReplyKeyTable();

    // Binds a key of the order to its decoder; an unknown key or a second binding is a programming
    // error (std::logic_error).
    void Bind(std::string_view key, ReplyDecoder decoder);
    // Throws std::logic_error naming the first key without a decoder.
    void CheckComplete() const;

    const std::vector<Entry>& Entries() const { return entries_; }

    // The keys in the order in which they are searched and decoded within one block.
    static const std::vector<std::string_view>& KeyOrder();

  private:
    std::vector<Entry> entries_;
};

// One key of a family and how it is decoded: a member function of the family, or a function that
// takes the family (for keys that share a decoder with different fields).
template <typename Family>
struct FamilyKey {
    std::string key;
    std::function<void(Family&, ReplyScanner&)> decode;
};

// Binds every key a family lists to one instance of it built on `context`, which the bound
// decoders share. A family is a class with a constructor taking the ReplyContext and a Keys()
// member returning its FamilyKeys.
template <typename Family>
void BindFamily(ReplyKeyTable& table, const ReplyContext& context) {
    const auto family = std::make_shared<Family>(context);
    for (FamilyKey<Family>& k : family->Keys()) {
        table.Bind(k.key,
                   [family, decode = std::move(k.decode)](ReplyScanner& s) { decode(*family, s); });
    }
}

// The families, one file each; the handler binds them all.
void BindIdentityReplies(ReplyKeyTable& table, const ReplyContext& context);
void BindNavigationReplies(ReplyKeyTable& table, const ReplyContext& context);
void BindModemReplies(ReplyKeyTable& table, const ReplyContext& context);
void BindIoReplies(ReplyKeyTable& table, const ReplyContext& context);
void BindSensorReplies(ReplyKeyTable& table, const ReplyContext& context);
void BindCanReplies(ReplyKeyTable& table, const ReplyContext& context);

}  // namespace rv
