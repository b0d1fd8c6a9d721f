#include "commands/SettingsEditor.h"

#include <algorithm>
#include <stdexcept>

#include "text/Cp1251.h"

namespace rv {
namespace {

constexpr std::size_t kMinAccessPointLength = 3;
constexpr std::size_t kMaxAccessPointLength = 30;

const char* const kPinFieldNames[2] = {"LL_SP", "LL_SP2"};
const char* const kAccessPointFieldNames[2][3] = {{"LL_SS01", "LL_SS11", "LL_SS21"},
                                                  {"LL_SS02", "LL_SS12", "LL_SS22"}};
const char* const kPinWriteActions[2] = {"SettingsPinWrite", "SettinsPinWrite2"};
const char* const kStrWriteActions[2] = {"SettingsStrWrite", "SettingsStrWrite2"};
const char* const kPinLinePrefixes[2] = {"\r>S 6;", "\r>S 14;"};
const char* const kAccessPointLinePrefixes[2] = {"\r>S ISS1 ", "\r>S ISS2 "};

// The hints in Windows-1251, converted once.
struct Hints {
    std::string tooShort = W(kHintTooShort);
    std::string tooLong = W(kHintTooLong);
    std::string semicolon = W(kHintSemicolon);
    std::string greater = W(kHintGreater);
    std::string control = W(kHintControlCharacter);
    std::string notInCodePage = W(kHintNotInCodePage);
};

const Hints& TheHints() {
    static const Hints hints;
    return hints;
}

const std::string kNoHint;

}  // namespace

std::string PinMaskText(std::string_view text) {
    std::string out(kPinLength, ' ');
    const std::size_t n = std::min<std::size_t>(text.size(), kPinLength);
    for (std::size_t i = 0; i < n; ++i) {
        if (text[i] >= '0' && text[i] <= '9') out[i] = text[i];
    }
    return out;
}

int PinBlockValue(std::string_view pinText) {
    const auto pos = pinText.find(' ');
    return pos == std::string_view::npos ? 0 : static_cast<int>(pos) + 1;
}

std::string AccessPointFieldHint(std::string_view text, bool notInCodePage) {
    const Hints& h = TheHints();
    const std::string* hint = &kNoHint;
    if (text.size() < kMinAccessPointLength) hint = &h.tooShort;
    if (text.size() > kMaxAccessPointLength) hint = &h.tooLong;
    if (text.find(';') != std::string_view::npos) hint = &h.semicolon;
    if (text.find('>') != std::string_view::npos) hint = &h.greater;
    if (std::any_of(text.begin(), text.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20; })) {
        hint = &h.control;
    }
    if (notInCodePage) hint = &h.notInCodePage;
    return *hint;
}

const std::vector<SettingsButton>& SettingsButtons() {
    static const std::vector<SettingsButton> buttons = {
        {"SP_Write", "SettingsPinWrite", "Записать"},  {"SP_Read", "SettingsPinRead", "Прочитать"},
        {"SP_Write2", "SettinsPinWrite2", "Записать"}, {"Button4", "SettingsStrWrite", "Записать"},
        {"Button5", "SettingsStrRead", "Прочитать"},   {"Button2", "SettingsStrAuto", "Авто"},
        {"Button3", "SettingsStrWrite2", "Записать"},  {"Button6", "SettingsStrRead2", "Прочитать"},
        {"Button7", "SettingsStrAuto2", "Авто"},
    };
    return buttons;
}

SettingsEditor::SettingsEditor(DisplayModel& display, ActionSet& actions,
                               std::function<bool()> portOpen)
    : display_(display), actions_(actions), portOpen_(std::move(portOpen)) {
    for (int sim = 0; sim < 2; ++sim) {
        pins_[sim].field = display_.Field(kPinFieldNames[sim]);
        for (int k = 0; k < 3; ++k) {
            accessPoints_[sim][k].field = display_.Field(kAccessPointFieldNames[sim][k]);
        }
        pinWrite_[sim] = actions_.Index(kPinWriteActions[sim]);
        strWrite_[sim] = actions_.Index(kStrWriteActions[sim]);
    }
    for (int sim = 0; sim < 2; ++sim) {
        display_.SetMask(pins_[sim].field, PinMaskText);
        display_.SetChangeHandler(pins_[sim].field, [this, sim](int) { PinChange(sim); });
        for (auto& slot : accessPoints_[sim]) {
            display_.SetChangeHandler(slot.field,
                                      [this, sim](int f) { AccessPointFieldChanged(sim, f); });
        }
        actions_.SetExecuteHandler(pinWrite_[sim], [this, sim] { SendPin(sim); });
        actions_.SetExecuteHandler(strWrite_[sim], [this, sim] { SendAccessPoint(sim); });
    }
}

SettingsEditor::~SettingsEditor() {
    for (int sim = 0; sim < 2; ++sim) {
        display_.SetMask(pins_[sim].field, {});
        display_.SetChangeHandler(pins_[sim].field, {});
        for (auto& slot : accessPoints_[sim]) display_.SetChangeHandler(slot.field, {});
        actions_.SetExecuteHandler(pinWrite_[sim], {});
        actions_.SetExecuteHandler(strWrite_[sim], {});
    }
}

SettingsEditor::Slot* SettingsEditor::SlotOf(int field) {
    return const_cast<Slot*>(static_cast<const SettingsEditor*>(this)->SlotOf(field));
}

const SettingsEditor::Slot* SettingsEditor::SlotOf(int field) const {
    for (int sim = 0; sim < 2; ++sim) {
        if (pins_[sim].field == field) return &pins_[sim];
        for (const auto& slot : accessPoints_[sim]) {
            if (slot.field == field) return &slot;
        }
    }
    return nullptr;
}

bool SettingsEditor::IsSettingsField(int field) const {
    return SlotOf(field) != nullptr;
}

const std::string& SettingsEditor::Hint(int field) const {
    const Slot* slot = SlotOf(field);
    return slot ? slot->hint : kNoHint;
}

void SettingsEditor::TypeText(int field, std::string_view utf8) {
    if (!SlotOf(field)) {
        throw std::logic_error("not a settings field: " + display_.Name(field));
    }
    bool lossless = true;
    const std::string text = Utf8ToCp1251(utf8, &lossless);
    // The change handler that SetMaskedText runs reads the flag for this field; any other change
    // of a field (a reply) is Windows-1251 already and clears it.
    typingField_ = field;
    typingNotInCodePage_ = !lossless;
    try {
        display_.SetMaskedText(field, text);
    } catch (...) {
        typingField_ = -1;
        throw;
    }
    typingField_ = -1;
}

void SettingsEditor::PinChange(int sim) {
    Slot& pin = pins_[sim];
    const int tag = PinBlockValue(display_.Text(pin.field));
    actions_.SetTag(pinWrite_[sim], tag);
    display_.SetFieldColour(pin.field, tag != 0 ? kRed : kBlack);
    actions_.SetEnabled(pinWrite_[sim], portOpen_() && tag == 0);
}

void SettingsEditor::AccessPointFieldChanged(int sim, int field) {
    // The field that has just changed takes its code-page flag from this change: set when the
    // technician typed a character Windows-1251 cannot hold, clear for any other text (a reply
    // is Windows-1251 already). The other fields keep the flag of their own last change.
    Slot* slot = SlotOf(field);
    if (slot) slot->notInCodePage = field == typingField_ && typingNotInCodePage_;
    AccessPointChange(sim);
}

void SettingsEditor::AccessPointChange(int sim) {
    int tag = 0;
    for (auto& slot : accessPoints_[sim]) {
        std::string hint = AccessPointFieldHint(display_.Text(slot.field), slot.notInCodePage);
        if (!hint.empty()) ++tag;
        display_.SetFieldColour(slot.field, hint.empty() ? kBlack : kRed);
        if (hint != slot.hint) {
            slot.hint = std::move(hint);
            observers_.Notify(&SettingsObserver::HintChanged, slot.field);
        }
    }
    actions_.SetTag(strWrite_[sim], tag);
    actions_.SetEnabled(strWrite_[sim], portOpen_() && tag == 0);
}

void SettingsEditor::SendPin(int sim) {
    actions_.Send(PinLine(sim));
}

void SettingsEditor::SendAccessPoint(int sim) {
    actions_.Send(AccessPointLine(sim));
}

std::string SettingsEditor::PinLine(int sim) const {
    return kPinLinePrefixes[sim] + display_.Text(pins_[sim].field) + "\n";
}

std::string SettingsEditor::AccessPointLine(int sim) const {
    const auto& f = accessPoints_[sim];
    return kAccessPointLinePrefixes[sim] + display_.Text(f[0].field) + ";" +
           display_.Text(f[1].field) + ";" + display_.Text(f[2].field) + "\n";
}

void SettingsEditor::SettingsPinReadExecute() {
    actions_.Execute("SettingsPinRead");
}
void SettingsEditor::SettingsStrReadExecute() {
    actions_.Execute("SettingsStrRead");
}
void SettingsEditor::SettingsStrReadExecute2() {
    actions_.Execute("SettingsStrRead2");
}
void SettingsEditor::SettingsStrAutoExecute() {
    actions_.Execute("SettingsStrAuto");
}
void SettingsEditor::SettingsStrAutoExecute2() {
    actions_.Execute("SettingsStrAuto2");
}

void SettingsEditor::ButtonClick(std::string_view button) {
    // Every button runs its action's execute operation: the write actions' are the editor's own
    // senders, installed above, so the buttons with click handlers of their own send the same.
    for (const SettingsButton& b : SettingsButtons()) {
        if (button == b.name) return actions_.Execute(b.action);
    }
    throw std::logic_error("no settings button " + std::string(button));
}

}  // namespace rv
