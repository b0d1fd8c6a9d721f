#include "commands/SettingsEditor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/Cp1251.h"

namespace rv {
namespace {

class HintRecorder : public SettingsObserver {
  public:
    void HintChanged(int field) override { fields.push_back(field); }
    std::vector<int> fields;
};

class SettingsEditorTest : public ::testing::Test {
  protected:
    SettingsEditorTest()
        : actions([this](const std::string& line) {
              sent.push_back(line);
              return true;
          }),
          editor(display, actions, [this] { return open; }) {}

    int F(const char* name) const { return display.Field(name); }
    // A reply writes the field as the decoders do: SetV, colour ignored for masked edits.
    void Reply(const char* field, const std::string& cp1251) {
        display.SetV(F(field), cp1251, kGreen);
    }
    void Type(const char* field, const std::string& utf8) { editor.TypeText(F(field), utf8); }
    // What the link-status update does on start and stop.
    void SetPort(bool isOpen) {
        open = isOpen;
        actions.ApplyLinkRule(isOpen);
    }
    std::string HintUtf8(const char* field) const {
        return Cp1251ToUtf8(editor.Hint(display.Field(field)));
    }

    bool open = false;
    std::vector<std::string> sent;
    DisplayModel display;
    ActionSet actions;
    SettingsEditor editor;
};

TEST(PinMask, TextThroughTheMask) {
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"", "    "},
        {"1234", "1234"},
        {"123", "123 "},
        {"0", "0   "},
        {"12a4", "12 4"},
        {"123456", "1234"},
        {"12345a", "1234"},
        {" 123", " 123"},
        {"abcd", "    "},
        {"12;4", "12 4"},
        {"1\r", "1   "},
        {std::string{'\xB9', '2', '3', '4'}, " 234"},  // the numero sign of the code page
        {"-123", " 123"},
        {"+9", " 9  "},
        {"9999", "9999"},
        {std::string{'1', '2', '\0', '4'}, "12 4"},
    };
    for (const auto& c : cases) EXPECT_EQ(PinMaskText(c.in), c.out) << c.in;
}

TEST(PinMask, BlockValueIsFirstBlankPosition) {
    EXPECT_EQ(PinBlockValue("    "), 1);
    EXPECT_EQ(PinBlockValue("123 "), 4);
    EXPECT_EQ(PinBlockValue("12 4"), 3);
    EXPECT_EQ(PinBlockValue("1 3 "), 2);
    EXPECT_EQ(PinBlockValue("1234"), 0);
}

TEST(AccessPointCheck, LastFailingRuleNamesTheHint) {
    struct Case {
        std::string text;
        const char* hint;  // nullptr: valid
    };
    const std::string thirty(30, 'a');
    const Case cases[] = {
        {"", kHintTooShort},
        {"ab", kHintTooShort},
        {"abc", nullptr},
        {thirty, nullptr},
        {thirty + "a", kHintTooLong},
        {";", kHintSemicolon},
        {">", kHintGreater},
        {";>", kHintGreater},
        {">;", kHintGreater},
        {"a>", kHintGreater},
        {"abc;def", kHintSemicolon},
        {"abc;def>", kHintGreater},
        {"ab>de;gh", kHintGreater},
        {thirty + ";", kHintSemicolon},
        {thirty + ">", kHintGreater},
        {"internet.beeline.ru", nullptr},
        {"a b", nullptr},  // spaces are allowed
        {W("интернет"), nullptr},
        {W("абвгдеёжзийклмнопрстуфхцчшщъыэ"), nullptr},  // 30 letters, 60 bytes of UTF-8
        {W("абвгдеёжзийклмнопрстуфхцчшщъыэю"), kHintTooLong},
        {"apn\r", kHintControlCharacter},
        {"ap\nn", kHintControlCharacter},
        {"a\tb;>", kHintControlCharacter},
        {std::string("ab\0", 3), kHintControlCharacter},
    };
    for (const auto& c : cases) {
        const std::string expected = c.hint ? W(c.hint) : std::string();
        EXPECT_EQ(AccessPointFieldHint(c.text), expected) << Cp1251ToUtf8(c.text);
    }
    // A character the code page cannot hold wins over every other rule.
    EXPECT_EQ(AccessPointFieldHint("a?", true), W(kHintNotInCodePage));
    EXPECT_EQ(AccessPointFieldHint("internet?", true), W(kHintNotInCodePage));
}

TEST_F(SettingsEditorTest, FieldsStartBlockedUntilChanged) {
    SetPort(true);
    EXPECT_EQ(display.Text(F("LL_SP")), "    ");
    EXPECT_EQ(display.Text(F("LL_SS01")), "");
    for (const char* a :
         {"SettingsPinWrite", "SettinsPinWrite2", "SettingsStrWrite", "SettingsStrWrite2"}) {
        EXPECT_EQ(actions.Tag(a), 1) << a;
        EXPECT_FALSE(actions.Enabled(a)) << a;
    }
    for (const char* a : {"SettingsPinRead", "SettingsStrRead", "SettingsStrRead2",
                          "SettingsStrAuto", "SettingsStrAuto2"}) {
        EXPECT_TRUE(actions.Enabled(a)) << a;
    }
}

TEST_F(SettingsEditorTest, PinValidation) {
    struct Case {
        std::string reply;
        std::string text;
        int tag;
        bool portOpen;
        bool enabled;
    };
    const Case cases[] = {
        {"123", "123 ", 4, true, false},   {"1234", "1234", 0, true, true},
        {"", "    ", 1, true, false},      {"1a34", "1 34", 2, true, false},
        {"1234", "1234", 0, false, false}, {"98765", "9876", 0, true, true},
    };
    for (const auto& c : cases) {
        SetPort(c.portOpen);
        Reply("LL_SP", c.reply);
        EXPECT_EQ(display.Text(F("LL_SP")), c.text) << c.reply;
        EXPECT_EQ(actions.Tag("SettingsPinWrite"), c.tag) << c.reply;
        EXPECT_EQ(display.ColourOf(F("LL_SP")), c.tag ? kRed : kBlack) << c.reply;
        EXPECT_EQ(actions.Enabled("SettingsPinWrite"), c.enabled) << c.reply;
        EXPECT_TRUE(editor.Hint(F("LL_SP")).empty());  // no tooltip for the PIN fields
        // PIN 2 is a separate field with its own action.
        EXPECT_EQ(actions.Tag("SettinsPinWrite2"), 1);
        EXPECT_EQ(display.Text(F("LL_SP2")), "    ");
    }
}

TEST_F(SettingsEditorTest, TypingCompletesThePin) {
    SetPort(true);
    Type("LL_SP2", "123");
    EXPECT_EQ(display.ColourOf(F("LL_SP2")), kRed);
    EXPECT_FALSE(actions.Enabled("SettinsPinWrite2"));
    Type("LL_SP2", "1234");
    EXPECT_EQ(display.ColourOf(F("LL_SP2")), kBlack);
    EXPECT_TRUE(actions.Enabled("SettinsPinWrite2"));
    EXPECT_EQ(actions.Tag("SettinsPinWrite2"), 0);
    // Non-digits cannot enter: letters, a Cyrillic letter, a character outside the code page.
    for (const char* typed : {"12x4", "12ж4", "12中4", "12 4"}) {
        Type("LL_SP2", typed);
        EXPECT_EQ(display.Text(F("LL_SP2")), "12 4") << typed;
        EXPECT_FALSE(actions.Enabled("SettinsPinWrite2")) << typed;
        EXPECT_EQ(display.ColourOf(F("LL_SP2")), kRed) << typed;
    }
    EXPECT_EQ(actions.Tag("SettingsPinWrite"), 1);  // PIN 1 untouched
}

TEST_F(SettingsEditorTest, AccessPointGroupCountsInvalidFields) {
    SetPort(true);
    struct Case {
        std::string apn, login, password;
        int tag;
    };
    const Case cases[] = {
        {"internet", "gdata", "gdata", 0}, {"in", "gdata", "gdata", 1},
        {"in", "g;", "gdata", 2},          {"", "", "", 3},
        {"internet", "", "gdata", 1},      {"internet", "gdata", std::string(31, 'p'), 1},
        {"apn", "log", "pas", 0},
    };
    for (const auto& c : cases) {
        Reply("LL_SS01", c.apn);
        Reply("LL_SS11", c.login);
        Reply("LL_SS21", c.password);
        EXPECT_EQ(actions.Tag("SettingsStrWrite"), c.tag) << c.apn << "/" << c.login;
        EXPECT_EQ(actions.Enabled("SettingsStrWrite"), c.tag == 0) << c.apn;
        const std::pair<const char*, const std::string*> fields[] = {
            {"LL_SS01", &c.apn}, {"LL_SS11", &c.login}, {"LL_SS21", &c.password}};
        for (const auto& [name, text] : fields) {
            const std::string hint = AccessPointFieldHint(*text);
            EXPECT_EQ(editor.Hint(F(name)), hint) << name;
            EXPECT_EQ(display.ColourOf(F(name)), hint.empty() ? kBlack : kRed) << name;
        }
    }
}

TEST_F(SettingsEditorTest, OneChangeChecksAllThreeFields) {
    SetPort(true);
    Reply("LL_SS02", "internet");
    // The two fields never written are checked too and show their own reason.
    EXPECT_EQ(HintUtf8("LL_SS02"), "");
    EXPECT_EQ(HintUtf8("LL_SS12"), kHintTooShort);
    EXPECT_EQ(HintUtf8("LL_SS22"), kHintTooShort);
    EXPECT_EQ(display.ColourOf(F("LL_SS12")), kRed);
    EXPECT_EQ(actions.Tag("SettingsStrWrite2"), 2);
}

TEST_F(SettingsEditorTest, InvalidSim1BlocksOnlySim1) {
    SetPort(true);
    for (const char* f : {"LL_SS02", "LL_SS12", "LL_SS22"}) Reply(f, "valid");
    Reply("LL_SP", "1111");
    Reply("LL_SP2", "2222");
    for (const char* f : {"LL_SS01", "LL_SS11", "LL_SS21"}) Reply(f, "valid");
    EXPECT_TRUE(actions.Enabled("SettingsStrWrite"));
    Reply("LL_SS11", "bad>");
    EXPECT_FALSE(actions.Enabled("SettingsStrWrite"));
    EXPECT_EQ(HintUtf8("LL_SS11"), kHintGreater);
    EXPECT_TRUE(actions.Enabled("SettingsStrWrite2"));
    EXPECT_TRUE(actions.Enabled("SettingsPinWrite"));
    EXPECT_TRUE(actions.Enabled("SettinsPinWrite2"));
    EXPECT_EQ(display.ColourOf(F("LL_SS12")), kBlack);
    EXPECT_EQ(display.ColourOf(F("LL_SP")), kBlack);
}

TEST_F(SettingsEditorTest, ReplyFillingSim1EnablesItsWrite) {
    Reply("LL_SS01", "internet.mts.ru");
    Reply("LL_SS11", "mts");
    EXPECT_FALSE(actions.Enabled("SettingsStrWrite"));
    Reply("LL_SS21", "mts");
    EXPECT_EQ(actions.Tag("SettingsStrWrite"), 0);
    EXPECT_FALSE(actions.Enabled("SettingsStrWrite"));  // port still closed
    SetPort(true);
    EXPECT_TRUE(actions.Enabled("SettingsStrWrite"));
    SetPort(false);
    EXPECT_FALSE(actions.Enabled("SettingsStrWrite"));
}

TEST_F(SettingsEditorTest, UnencodableCharacterIsRefusedWithItsHint) {
    SetPort(true);
    Reply("LL_SS11", "user");
    Reply("LL_SS21", "pass");
    Type("LL_SS01", "internet");
    EXPECT_TRUE(actions.Enabled("SettingsStrWrite"));
    Type("LL_SS01", "inter中net");
    EXPECT_EQ(HintUtf8("LL_SS01"), kHintNotInCodePage);
    EXPECT_EQ(display.ColourOf(F("LL_SS01")), kRed);
    EXPECT_EQ(actions.Tag("SettingsStrWrite"), 1);
    EXPECT_FALSE(actions.Enabled("SettingsStrWrite"));
    // Another field of the group changing does not lift the refusal.
    Type("LL_SS11", "user2");
    EXPECT_EQ(HintUtf8("LL_SS01"), kHintNotInCodePage);
    EXPECT_FALSE(actions.Enabled("SettingsStrWrite"));
    // Cyrillic and the euro sign are in the code page and go through.
    Type("LL_SS01", "интернет€");
    EXPECT_EQ(HintUtf8("LL_SS01"), "");
    EXPECT_EQ(display.Text(F("LL_SS01")), W("интернет€"));
    EXPECT_TRUE(actions.Enabled("SettingsStrWrite"));
    // A reply replaces a refused text and is checked on its own.
    Type("LL_SS01", "😀😀😀");
    EXPECT_FALSE(actions.Enabled("SettingsStrWrite"));
    Reply("LL_SS01", "internet");
    EXPECT_EQ(HintUtf8("LL_SS01"), "");
    EXPECT_TRUE(actions.Enabled("SettingsStrWrite"));
}

TEST_F(SettingsEditorTest, HintObserverHearsChanges) {
    HintRecorder rec;
    const Subscription subscription = editor.Subscribe(rec);
    Reply("LL_SS01", "x");  // all three get "too short"
    EXPECT_EQ(rec.fields, (std::vector<int>{F("LL_SS01"), F("LL_SS11"), F("LL_SS21")}));
    rec.fields.clear();
    Reply("LL_SS01", "y");  // same hints: nothing to tell
    EXPECT_TRUE(rec.fields.empty());
    Reply("LL_SS01", "y;");
    EXPECT_EQ(rec.fields, std::vector<int>{F("LL_SS01")});
}

TEST_F(SettingsEditorTest, EveryButtonSendsItsExactLineAndChangesNoField) {
    SetPort(true);
    Reply("LL_SP", "1234");
    Reply("LL_SP2", "5678");
    Reply("LL_SS01", "internet");
    Reply("LL_SS11", "gdata");
    Reply("LL_SS21", "gpass");
    Reply("LL_SS02", W("апн2"));
    Reply("LL_SS12", "log2");
    Reply("LL_SS22", "pas2");
    struct Case {
        const char* button;
        std::string line;
    };
    const Case cases[] = {
        {"SP_Write", "\r>S 6;1234\n"},
        {"SP_Read", "\r>I 4\n"},
        {"SP_Write2", "\r>S 14;5678\n"},
        {"Button4", "\r>S ISS1 internet;gdata;gpass\n"},
        {"Button5", "\r>I 3\n"},
        {"Button2", "\r>S ISS1 auto;auto;auto\n"},
        {"Button3", "\r>S ISS2 " + W("апн2") + ";log2;pas2\n"},
        {"Button6", "\r>I 9\n"},
        {"Button7", "\r>S ISS2 auto;auto;auto\n"},
    };
    std::vector<std::string> before;
    for (std::size_t i = 0; i < display.FieldCount(); ++i) {
        before.push_back(display.Text(static_cast<int>(i)));
    }
    for (const auto& c : cases) {
        sent.clear();
        editor.ButtonClick(c.button);
        ASSERT_EQ(sent.size(), 1u) << c.button;
        EXPECT_EQ(sent[0], c.line) << c.button;
    }
    for (std::size_t i = 0; i < display.FieldCount(); ++i) {
        EXPECT_EQ(display.Text(static_cast<int>(i)), before[i]) << display.Name(i);
    }
    EXPECT_EQ(cases[0].line.size(), 11u);
    EXPECT_EQ(cases[2].line.size(), 12u);
}

TEST_F(SettingsEditorTest, WriteActionsSendWhatTheirButtonsSend) {
    Reply("LL_SP", "0042");
    Reply("LL_SP2", "1");
    for (const char* f : {"LL_SS01", "LL_SS11", "LL_SS21"}) Reply(f, "abc");
    Reply("LL_SS02", "xyz");
    const char* pairs[][2] = {{"SettingsPinWrite", "SP_Write"},
                              {"SettinsPinWrite2", "SP_Write2"},
                              {"SettingsStrWrite", "Button4"},
                              {"SettingsStrWrite2", "Button3"},
                              {"SettingsStrRead2", "Button6"}};
    for (const auto& [action, button] : pairs) {
        sent.clear();
        actions.Execute(action);
        editor.ButtonClick(button);
        ASSERT_EQ(sent.size(), 2u) << action;
        EXPECT_EQ(sent[0], sent[1]) << action;
    }
    EXPECT_EQ(editor.PinLine(1), "\r>S 14;1   \n");  // what the field holds, blanks included
    EXPECT_EQ(editor.AccessPointLine(1), "\r>S ISS2 xyz;;\n");
}

TEST_F(SettingsEditorTest, AutoLeavesTheFieldsAsTheyAre) {
    Reply("LL_SS01", "in;valid");
    const auto tag = actions.Tag("SettingsStrWrite");
    editor.SettingsStrAutoExecute();
    editor.SettingsStrAutoExecute2();
    EXPECT_EQ(sent, (std::vector<std::string>{"\r>S ISS1 auto;auto;auto\n",
                                              "\r>S ISS2 auto;auto;auto\n"}));
    EXPECT_EQ(display.Text(F("LL_SS01")), "in;valid");
    EXPECT_EQ(display.Text(F("LL_SS02")), "");
    EXPECT_EQ(actions.Tag("SettingsStrWrite"), tag);
}

TEST_F(SettingsEditorTest, ClosingThePortDisablesEveryButtonOfTheSection) {
    SetPort(true);
    Reply("LL_SP", "1234");
    Reply("LL_SP2", "1234");
    for (const char* f : {"LL_SS01", "LL_SS11", "LL_SS21", "LL_SS02", "LL_SS12", "LL_SS22"}) {
        Reply(f, "valid");
    }
    for (const auto& b : SettingsButtons()) EXPECT_TRUE(actions.Enabled(b.action)) << b.name;
    SetPort(false);
    for (const auto& b : SettingsButtons()) EXPECT_FALSE(actions.Enabled(b.action)) << b.name;
    // Validation while closed keeps them disabled.
    Reply("LL_SP", "4321");
    Reply("LL_SS01", "other");
    for (const auto& b : SettingsButtons()) EXPECT_FALSE(actions.Enabled(b.action)) << b.name;
}

TEST_F(SettingsEditorTest, TypingIntoAnotherFieldIsAProgrammingError) {
    EXPECT_THROW(editor.TypeText(F("LL_DN"), "x"), std::logic_error);
    EXPECT_THROW(editor.ButtonClick("Button1"), std::logic_error);
}

TEST(SettingsEditorLifetime, DestructionRemovesMaskAndHandlers) {
    DisplayModel display;
    ActionSet actions;
    {
        SettingsEditor editor(display, actions, [] { return true; });
        display.SetV(display.Field("LL_SP"), "12345", kBlack);
        EXPECT_EQ(display.Text(display.Field("LL_SP")), "1234");
    }
    display.SetV(display.Field("LL_SP"), "12", kBlack);  // no dangling handler runs
    EXPECT_EQ(display.Text(display.Field("LL_SP")), "12");
    EXPECT_THROW(actions.Execute("SettingsPinWrite"), std::logic_error);
}

}  // namespace
}  // namespace rv
