// Input and output replies: ">I" / ">O" + type letter + line digit + "=" + value. Inputs and
// outputs share the six rows of the discrete inputs / outputs section (caption and value), so a
// row shows whichever reply for its number came last. Analogue and frequency inputs also go to the
// calibration recorder, for all eight line numbers.

#include "protocol/ReplyFamilies.h"
#include "text/Cp1251.h"

namespace rv {
namespace {

// The word that starts a row caption for an input or output type letter: "Аналоговый ",
// "Дискретный ", "Частотный ", "Импульсный " for A, D, F, I; empty for any other letter.
const std::string& InputTypeWord(char letter) {
    static const std::string analogue = W("Аналоговый ");
    static const std::string discrete = W("Дискретный ");
    static const std::string frequency = W("Частотный ");
    static const std::string pulse = W("Импульсный ");
    static const std::string none;
    switch (letter) {
        case 'A':
            return analogue;
        case 'D':
            return discrete;
        case 'F':
            return frequency;
        case 'I':
            return pulse;
        default:
            return none;
    }
}

class IoReplies {
  public:
    explicit IoReplies(const ReplyContext& context) : c_(context) {
        for (int n = 0; n < 6; ++n) {
            const std::string digit(1, static_cast<char>('0' + n));
            captions_[n] = c_.display.Field("LL" + digit);
            values_[n] = c_.display.Field("LL_I" + digit);
        }
    }

    std::vector<FamilyKey<IoReplies>> Keys() const {
        return {
            {">I", &IoReplies::Input},
            {">O", &IoReplies::Output},
        };
    }

  private:
    // The type letter, line digit and "=" after the key; false when they do not form an input or
    // output reply (the first ">I" of the block may belong to ">ICT=" or ">ISS1=", and the first
    // ">O" to ">OWT=": then the block's input or output reply is not decoded).
    static bool ReadHead(ReplyScanner& s, std::string_view letters, char& type, int& line) {
        const std::size_t at = s.Position();
        type = s.CharAt(at);
        const char digit = s.CharAt(at + 1);
        if (type == '\0' || letters.find(type) == std::string_view::npos) return false;
        if (digit < '0' || digit > '7' || s.CharAt(at + 2) != '=') return false;
        line = digit - '0';
        s.Skip(3);
        return true;
    }

    void Input(ReplyScanner& s) {
        char type = 0;
        int line = 0;
        if (!ReadHead(s, "ADFIU", type, line)) return;
        const std::string_view value = s.NextField('\r');
        std::string_view shown = value;
        if (type == 'D') {
            if (value == "1") {
                shown = closed_;
            } else if (value == "0") {
                shown = open_;
            }
        }
        if (type == 'F' || type == 'A') {
            const char digit = static_cast<char>('0' + line);
            c_.capture.SendTarDat(std::string_view(&digit, 1), std::string_view(&type, 1), value);
        }
        if (line > 5) return;  // lines 6 and 7 have no row
        caption_ = InputTypeWord(type);
        caption_ += static_cast<char>('0' + line);
        caption_ += ':';
        c_.display.SetCaption(captions_[line], caption_);
        c_.display.SetV(values_[line], shown, kBlack);
    }

    void Output(ReplyScanner& s) {
        char type = 0;
        int line = 0;
        if (!ReadHead(s, "123ADFIU", type, line)) return;
        const std::string_view value = s.NextField('\r');
        std::string_view shown = value;
        if (value == "1") {
            shown = activated_;
        } else if (value == "0") {
            shown = notActivated_;
        }
        if (line > 5) return;  // outputs never go to the calibration recorder
        caption_ = InputTypeWord(type);
        caption_ += output_;
        caption_ += type;
        caption_ += "] ";
        caption_ += static_cast<char>('0' + line);
        caption_ += ':';
        c_.display.SetCaption(captions_[line], caption_);
        c_.display.SetV(values_[line], shown, kBlack);
    }

    ReplyContext c_;
    int captions_[6];
    int values_[6];
    const std::string closed_ = W("замкнут");
    const std::string open_ = W("разомкнут");
    const std::string activated_ = W("активирован");
    const std::string notActivated_ = W("не активирован");
    const std::string output_ = W("Выход [М");  // Cyrillic М
    std::string caption_;
};

}  // namespace

void BindIoReplies(ReplyKeyTable& table, const ReplyContext& context) {
    BindFamily<IoReplies>(table, context);
}

}  // namespace rv
