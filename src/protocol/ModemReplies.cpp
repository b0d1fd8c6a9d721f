// Modem, server link and SIM settings replies: modem IMEI and operator, the server address and
// its sessions, the signal level, the connection stage, GPRS traffic and the send queue, the
// server's last answer and packet, SMS counters, and the SIM PIN codes and access-point settings
// read back into the settings editor.

#include "protocol/ReplyFamilies.h"
#include "text/ByteSizeText.h"
#include "text/Cp1251.h"
#include "text/Formats.h"

namespace rv {
namespace {

class ModemReplies {
  public:
    explicit ModemReplies(const ReplyContext& context)
        : c_(context),
          mn_(F("LL_MN")),
          mo_(F("LL_MO")),
          md0_(F("LL_MD0")),
          md2_(F("LL_MD2")),
          ml_(F("LL_ML")),
          ms_{F("LL_MS1"), F("LL_MS2"), F("LL_MS4"), F("LL_MS6"), F("LL_MS7")},
          mt1_(F("LL_MT1")),
          mt2_(F("LL_MT2")),
          mt3_(F("LL_MT3")),
          mb_(F("LL_MB")),
          mw1_(F("LL_MW1")),
          sa_(F("LL_SA")),
          ss_(F("LL_SS")),
          smsIn_(F("LL_SMSIN")),
          smsOut_(F("LL_SMSOUT")),
          sp_(F("LL_SP")),
          sp2_(F("LL_SP2")),
          sim1_{F("LL_SS01"), F("LL_SS11"), F("LL_SS21")},
          sim2_{F("LL_SS02"), F("LL_SS12"), F("LL_SS22")} {}

    std::vector<FamilyKey<ModemReplies>> Keys() const {
        return {
            {">MN=", &ModemReplies::ModemImei},
            {">MO=", &ModemReplies::Operator},
            {">MD=", &ModemReplies::Server},
            {">ML=", &ModemReplies::SignalLevel},
            {">MT=", &ModemReplies::Traffic},
            {">SMS=", &ModemReplies::SmsCounters},
            {">MB=", &ModemReplies::SendQueue},
            {">MW=", &ModemReplies::SinceSending},
            {">SA=", &ModemReplies::ServerAnswer},
            {">SS=", &ModemReplies::LastPacket},
            {">MS=", &ModemReplies::Stage},
            {">PIN1=", [](ModemReplies& m, ReplyScanner& s) { m.Pin(s, m.sp_); }},
            {">PIN2=", [](ModemReplies& m, ReplyScanner& s) { m.Pin(s, m.sp2_); }},
            {">ISS1=", [](ModemReplies& m, ReplyScanner& s) { m.AccessPoint(s, m.sim1_); }},
            {">ISS2=", [](ModemReplies& m, ReplyScanner& s) { m.AccessPoint(s, m.sim2_); }},
        };
    }

  private:
    int F(const char* name) const { return c_.display.Field(name); }
    // Masked edits (PIN and access-point fields) take the text through their mask and run their
    // change handler inside SetV; the colour does not apply to them.
    void Set(int field, std::string_view text, Colour colour = kBlack) {
        c_.display.SetV(field, text, colour);
    }

    // ">MN=" modem IMEI
    void ModemImei(ReplyScanner& s) { Set(mn_, s.NextField('\r')); }

    // ">MO=" operator name;operator code
    void Operator(ReplyScanner& s) {
        text_ = s.NextField(';');
        text_ += " [";
        text_ += s.NextField('\r');
        text_ += ']';
        Set(mo_, text_);
    }

    // ">MD=" address;port;TCP sessions
    void Server(ReplyScanner& s) {
        text_ = s.NextField(';');
        text_ += ':';
        text_ += s.NextField(';');
        Set(md0_, text_);
        Set(md2_, s.NextField('\r'));
    }

    // ">ML=" signal level 0..31
    void SignalLevel(ReplyScanner& s) {
        const std::int32_t level = IntField(s.NextField('\r'));
        c_.display.SetBar(Bar::SignalLevel, level);
        text_ = '[';
        text_ += IntText(level);
        text_ += ']';
        Set(ml_, text_);
    }

    // ">MT=" bytes sent;bytes received;answer wait in ms
    void Traffic(ReplyScanner& s) {
        Set(mt1_, ByteSizeText(IntField(s.NextField(';')), c_.formats));
        Set(mt2_, ByteSizeText(IntField(s.NextField(';')), c_.formats));
        text_ = IntText(IntField(s.NextField('\r')));
        text_ += milliseconds_;
        Set(mt3_, text_);
        Set(mb_, queueReset_);
    }

    // ">SMS=" incoming;valid;outgoing
    void SmsCounters(ReplyScanner& s) {
        text_ = IntText(IntField(s.NextField(';')));
        text_ += '/';
        text_ += IntText(IntField(s.NextField(';')));
        Set(smsIn_, text_);
        Set(smsOut_, IntText(IntField(s.NextField('\r'))));
    }

    // ">MB=" packets;bytes
    void SendQueue(ReplyScanner& s) {
        text_ = IntText(IntField(s.NextField(';')));
        text_ += '[';
        text_ += s.NextField('\r');
        text_ += "] B";
        Set(mb_, text_);
    }

    // ">MW=" seconds since sending; the value is cut up to ";", so a value ended by CR alone
    // keeps the CR and reads as 0.
    void SinceSending(ReplyScanner& s) {
        text_ = IntText(IntField(s.NextField(';')));
        text_ += seconds_;
        Set(mw1_, text_);
    }

    // ">SA=" the server's last answer
    void ServerAnswer(ReplyScanner& s) { Set(sa_, s.NextField('\r')); }

    // ">SS=" packet;detail
    void LastPacket(ReplyScanner& s) {
        text_ = s.NextField(';');
        text_ += " [";
        text_ += s.NextField('\r');
        text_ += ']';
        Set(ss_, text_);
    }

    // ">MS=" connection stage
    void Stage(ReplyScanner& s) {
        const std::int32_t stage = IntField(s.NextField('\r'));
        if (stage >= 1) {
            Set(ms_[0], atOk_);
        } else {
            Set(ms_[0], error_, kRed);
        }
        if (stage >= 2) {
            Set(ms_[1], passed_);
        } else {
            Set(ms_[1], searching_, kGreen);
        }
        if (stage == 3) {
            Set(ms_[2], checking_, kGreen);
        } else if (stage >= 4) {
            Set(ms_[2], activated_);
        } else {
            Set(ms_[2], "-");
        }
        if (stage == 5) {
            Set(ms_[3], establishing_, kGreen);
        } else if (stage >= 6) {
            Set(ms_[3], established_);
        } else {
            Set(ms_[3], "-");
        }
        if (stage == 6) {
            Set(ms_[4], awaited_, kGreen);
        } else if (stage == 7) {
            Set(ms_[4], "Ok");  // all Latin here
        } else {
            Set(ms_[4], "-");
        }
    }

    // ">PIN1=" / ">PIN2=" the SIM card's PIN code, into its masked edit
    void Pin(ReplyScanner& s, int field) { Set(field, s.NextField('\r')); }

    // ">ISS1=" / ">ISS2=" APN;login;password
    void AccessPoint(ReplyScanner& s, const int (&fields)[3]) {
        Set(fields[0], s.NextField(';'));
        Set(fields[1], s.NextField(';'));
        Set(fields[2], s.NextField('\r'));
    }

    ReplyContext c_;
    int mn_, mo_, md0_, md2_, ml_;
    int ms_[5];
    int mt1_, mt2_, mt3_, mb_, mw1_, sa_, ss_, smsIn_, smsOut_, sp_, sp2_;
    int sim1_[3];
    int sim2_[3];

    const std::string milliseconds_ = W(" мс");
    const std::string seconds_ = W(" сек");
    const std::string queueReset_ = "0 [0] B";
    const std::string atOk_ = W("Оk");  // Cyrillic О, Latin k
    const std::string error_ = W("Ошибка");
    const std::string searching_ = W("Поиск");
    const std::string passed_ = W("Пройдена");
    const std::string checking_ = W("Проверка");
    const std::string activated_ = W("Активирован");
    const std::string establishing_ = W("Устанавливается");
    const std::string established_ = W("Установлено");
    const std::string awaited_ = W("Ожидается");
    std::string text_;  // scratch text, its capacity kept between replies
};

}  // namespace

void BindModemReplies(ReplyKeyTable& table, const ReplyContext& context) {
    BindFamily<ModemReplies>(table, context);
}

}  // namespace rv
