#pragma once
// The editor of the "Настройки" section: the PIN codes of the two SIM cards (LL_SP, LL_SP2) and
// the access-point strings of each SIM card (APN, login, password: LL_SS01/LL_SS11/LL_SS21 for
// SIM 1, LL_SS02/LL_SS12/LL_SS22 for SIM 2).
//
// Values reach the fields from the unit's replies (">PIN1=", ">ISS1=" ... write them with SetV)
// and from typing (the window passes what the technician typed to TypeText). Every change runs
// the field's change handler, which validates its group at once: an invalid field turns red, an
// access-point field tells the reason in its hint (the box's tooltip), and the write action of the
// group is blocked through its Tag. The write buttons build their lines from the current field
// texts; no button changes a field.
//
// Text typed in the fields goes to the unit in Windows-1251. A typed character the code page
// cannot hold is not turned into "?" on the wire: the field is invalid with the hint
// kHintNotInCodePage until the character is removed. Control characters (codes below 32: a CR
// or LF would cut the command line in two on the wire) are refused the same way, whether typed or
// received, with the hint kHintControlCharacter.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/ObserverList.h"
#include "commands/ActionSet.h"
#include "protocol/DisplayModel.h"

namespace rv {

// The PIN boxes' input mask as the form declares it: four optional digit positions, blanks
// shown as "*", blanks kept as spaces in the field's text.
inline constexpr const char* kPinEditMask = "!9999;1;*";
inline constexpr int kPinLength = 4;

// What a text becomes in a PIN field when it passes the mask (a reply's field or what was typed):
// always four characters; position k holds the k-th character of the text when that is a digit
// 0..9, otherwise a space (an unfilled position). Characters after the fourth are dropped. So ""
// gives four spaces, "12" gives "12  ", "1a34" gives "1 34", "123456" gives "1234".
std::string PinMaskText(std::string_view text);

// Block value of a PIN: the 1-based position of the first space in the text, 0 when none.
int PinBlockValue(std::string_view pinText);

// The hints of the access-point fields (UTF-8; Hint() returns them in Windows-1251).
inline constexpr const char* kHintTooShort = "Слишком короткая строка";
inline constexpr const char* kHintTooLong = "Слишком длинная строка";
inline constexpr const char* kHintSemicolon = "Недопустимый символ ';'";
inline constexpr const char* kHintGreater = "Недопустимый символ '>'";
inline constexpr const char* kHintControlCharacter = "Недопустимый управляющий символ";
inline constexpr const char* kHintNotInCodePage =
    "Недопустимый символ (нет в кодировке Windows-1251)";

// The check of one access-point field (Windows-1251 text): the hint of the last failing rule,
// empty when the text is valid. Rules in order, each failing one overwriting the hint: shorter
// than 3 characters; longer than 30; contains ";"; contains ">"; contains a control character;
// `notInCodePage` (the typed text held a character Windows-1251 cannot encode).
std::string AccessPointFieldHint(std::string_view text, bool notInCodePage = false);

// A button of the section, the action it is bound to (it takes its enabled state from it) and the
// caption it shows (UTF-8).
struct SettingsButton {
    const char* name;
    const char* action;
    const char* caption;
};

// SP_Write, SP_Read, SP_Write2, Button4, Button5, Button2, Button3, Button6, Button7.
const std::vector<SettingsButton>& SettingsButtons();

class SettingsObserver {
  public:
    virtual ~SettingsObserver() = default;
    // The hint (tooltip) of an access-point field has changed.
    virtual void HintChanged(int /*field*/) {}
};

class SettingsEditor {
  public:
    // Installs the PIN mask on LL_SP and LL_SP2, the change handlers on the eight fields, and the
    // execute handlers of the four write actions. `portOpen` answers whether the port is open.
    SettingsEditor(DisplayModel& display, ActionSet& actions, std::function<bool()> portOpen);
    ~SettingsEditor();  // removes what it installed
    SettingsEditor(const SettingsEditor&) = delete;
    SettingsEditor& operator=(const SettingsEditor&) = delete;

    // Whether a display field is one of the eight fields of the editor.
    bool IsSettingsField(int field) const;

    // Text the technician typed into a field (UTF-8, the whole box text; blank PIN positions as
    // spaces): encoded to Windows-1251, taken through the field's mask, validated. Throws
    // logic_error for a field that is not one of the eight.
    void TypeText(int field, std::string_view utf8);

    // The hint of a field (Windows-1251): the failed rule of an invalid access-point field, empty
    // for a valid one and always empty for the PIN fields.
    const std::string& Hint(int field) const;

    // Change handlers (run by the display model on every change of their fields).
    void LL_SPChange() { PinChange(0); }
    void LL_SPChange2() { PinChange(1); }
    void LL_SSChange() { AccessPointChange(0); }
    void LL_SSChange2() { AccessPointChange(1); }

    // Click handlers of the section's buttons; each sends its line and changes no field.
    void SettingsPinWriteExecute() { SendPin(0); }          // SP_Write: "\r>S 6;" + LL_SP + "\n"
    void SettingsPinWriteExecute2() { SendPin(1); }         // SP_Write2: "\r>S 14;" + LL_SP2 + "\n"
    void SettingsStrWriteExecute() { SendAccessPoint(0); }  // Button4: "\r>S ISS1 a;l;p\n"
    void SettingsStrWriteExecute2() { SendAccessPoint(1); }  // Button3: "\r>S ISS2 a;l;p\n"
    void SettingsPinReadExecute();                           // SP_Read: "\r>I 4\n"
    void SettingsStrReadExecute();                           // Button5: "\r>I 3\n"
    void SettingsStrReadExecute2();                          // Button6: "\r>I 9\n"
    void SettingsStrAutoExecute();   // Button2: "\r>S ISS1 auto;auto;auto\n"
    void SettingsStrAutoExecute2();  // Button7: "\r>S ISS2 auto;auto;auto\n"

    // The click of a button of SettingsButtons() by name; throws logic_error for another name.
    void ButtonClick(std::string_view button);

    // The command lines the write buttons would send now (Windows-1251).
    std::string PinLine(int sim) const;          // sim 0 or 1
    std::string AccessPointLine(int sim) const;  // sim 0 or 1

    Subscription Subscribe(SettingsObserver& observer) { return observers_.Subscribe(observer); }

  private:
    struct Slot {
        int field;
        bool notInCodePage = false;
        std::string hint;
    };

    void PinChange(int sim);
    void AccessPointChange(int sim);
    void AccessPointFieldChanged(int sim, int field);
    void SendPin(int sim);
    void SendAccessPoint(int sim);
    Slot* SlotOf(int field);
    const Slot* SlotOf(int field) const;

    DisplayModel& display_;
    ActionSet& actions_;
    std::function<bool()> portOpen_;
    Slot pins_[2];
    Slot accessPoints_[2][3];  // [sim][APN, login, password]
    int pinWrite_[2];
    int strWrite_[2];
    int typingField_ = -1;
    bool typingNotInCodePage_ = false;
    ObserverList<SettingsObserver> observers_;
};

}  // namespace rv
