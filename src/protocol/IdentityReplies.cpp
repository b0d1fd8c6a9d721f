// Unit identity, power and self-test replies: the supply voltages, model, firmware and unit ID,
// the unit's clock and running time, pending updates, the memory counters and the self-test word.

#include "protocol/ReplyFamilies.h"
#include "text/Cp1251.h"
#include "text/Formats.h"

namespace rv {
namespace {

class IdentityReplies {
  public:
    explicit IdentityReplies(const ReplyContext& context)
        : c_(context),
          df0_(F("LL_DF0")),
          df1_(F("LL_DF1")),
          dn_(F("LL_DN")),
          pb0_(F("LL_PB0")),
          pb1_(F("LL_PB1")),
          di0_(F("LL_DI0")),
          di1_(F("LL_DI1")),
          tw0_(F("LL_TW0")),
          tw1_(F("LL_TW1")),
          rw0_(F("LL_RW0")),
          rw1_(F("LL_RW1")),
          rwres_(F("LL_RWRES")),
          ds0_(F("LL_DS0")),
          ds1_(F("LL_DS1")),
          ds2_(F("LL_DS2")),
          ds4_(F("LL_DS4")),
          ds6_(F("LL_DS6")),
          ds62_(F("LL_DS62")),
          ds8_(F("LL_DS8")),
          ds82_(F("LL_DS82")),
          ds10_(F("LL_DS10")),
          ds11_(F("LL_DS11")) {}

    std::vector<FamilyKey<IdentityReplies>> Keys() const {
        return {
            {">DF=", &IdentityReplies::PendingUpdates}, {">DN=", &IdentityReplies::UnitId},
            {">PB=", &IdentityReplies::Supply},         {">DI=", &IdentityReplies::DeviceInfo},
            {">TW=", &IdentityReplies::UnitTime},       {">RW=", &IdentityReplies::MemoryCounters},
            {">DS=", &IdentityReplies::SelfTest},
        };
    }

  private:
    int F(const char* name) const { return c_.display.Field(name); }
    void Set(int field, std::string_view text, Colour colour = kBlack) {
        c_.display.SetV(field, text, colour);
    }

    // ">DF=" settings update state;firmware update state
    void PendingUpdates(ReplyScanner& s) {
        ShowUpdateState(df0_, IntField(s.NextField(';')));
        ShowUpdateState(df1_, IntField(s.NextField('\r')));
    }

    void ShowUpdateState(int field, std::int32_t code) {
        // Code 3 ("передать на WEB") has a word in the unit's table but the window shows the idle
        // word for it, as for every code outside 0..2.
        switch (code) {
            case 1:
                Set(field, required_, kRed);
                break;
            case 2:
                Set(field, confirmation_, kOlive);
                break;
            default:
                Set(field, noJobs_, kGrey);
                break;
        }
    }

    // ">DN=" unit ID
    void UnitId(ReplyScanner& s) { Set(dn_, s.NextField('\r')); }

    // ">PB=" external supply mV;battery mV
    void Supply(ReplyScanner& s) {
        const std::int32_t external = IntField(s.NextField(';'));
        text_ = ScaledIntText(external, 3, 2, c_.formats);
        text_ += volt_;
        Set(pb0_, text_, external < 7000 ? kRed : external < 12000 ? kOlive : kBlack);

        const std::int32_t battery = IntField(s.NextField('\r'));
        int level = 4;
        Colour colour = kBlack;
        if (battery < 3300) {
            level = 0;
            colour = kRed;
        } else if (battery < 3600) {
            level = 1;
            colour = kOlive;
        } else if (battery < 3900) {
            level = 2;
            colour = kOlive;
        } else if (battery < 4200) {
            level = 3;
        }
        text_.assign(1, ' ').append(ScaledIntText(battery, 3, 2, c_.formats)).append(volt_);
        Set(pb1_, text_, colour);
        c_.display.SetBar(Bar::Battery, level);
    }

    // ">DI=" model code;version major;version minor
    void DeviceInfo(ReplyScanner& s) {
        switch (IntField(s.NextField(';'))) {
            case 200:
                Set(di0_, "Rarevi");
                break;
            case 201:
                Set(di0_, "Rarevi Pro");
                break;
            case 202:
                Set(di0_, "Rarevi CAN");
                break;
            default:
                break;  // an unknown model leaves the shown model as it is
        }
        const std::int32_t major = IntField(s.NextField(';'));
        const std::int32_t minor = IntField(s.NextField('\r'));
        text_ = IntText(major);
        text_ += '.';
        text_ += IntText(minor);
        Set(di1_, text_);
    }

    // ">TW=" unit clock in seconds since 1970;running time in seconds
    void UnitTime(ReplyScanner& s) {
        const auto clock = static_cast<std::uint32_t>(IntField(s.NextField(';')));
        const LocalDateTime t = FromDayCount(UnixToDateTime(clock, 0));
        text_ = ShortDateText(t, c_.formats);
        text_ += "  ";
        text_ += LongTimeText(t, c_.formats);
        Set(tw0_, text_);

        // The running time is the unit's unsigned seconds counter, like its clock.
        const auto running = static_cast<std::uint32_t>(IntField(s.NextField('\r')));
        const std::uint32_t minutes = running / 60 % 60;
        const std::uint32_t seconds = running % 60;
        text_ = IntText(running / 3600);
        text_ += ':';
        if (minutes < 10) text_ += '0';
        text_ += IntText(minutes);
        text_ += ':';
        if (seconds < 10) text_ += '0';
        text_ += IntText(seconds);
        Set(tw1_, text_);
    }

    // ">RW=" read counter;written counter
    void MemoryCounters(ReplyScanner& s) {
        const std::int32_t read = IntField(s.NextField(';'));
        const std::int32_t written = IntField(s.NextField('\r'));
        Set(rw0_, IntText(read));
        Set(rw1_, IntText(written));
        // round((written - read) * 100 / 6592), halves to even, in exact integer arithmetic.
        const std::int64_t n = (static_cast<std::int64_t>(written) - read) * 100;
        constexpr std::int64_t kCapacity = 6592;
        std::int64_t q = n / kCapacity;
        std::int64_t r = n % kCapacity;
        if (r < 0) {
            r += kCapacity;
            --q;  // floor division
        }
        if (2 * r > kCapacity || (2 * r == kCapacity && q % 2 != 0)) ++q;
        text_ = IntText(q);
        text_ += " %";
        Set(rwres_, text_);
    }

    // ">DS=" self-test bit set
    void SelfTest(ReplyScanner& s) {
        const auto bits = static_cast<std::uint32_t>(IntField(s.NextField('\r')));
        const auto bit = [bits](int n) { return (bits >> n & 1u) != 0; };
        const auto okOr = [&](int field, bool ok, const std::string& failure) {
            if (ok) {
                Set(field, ok_);
            } else {
                Set(field, failure, kRed);
            }
        };
        okOr(ds0_, bit(0), noSettings_);
        okOr(ds1_, bit(1), error_);
        okOr(ds2_, bit(2), error_);
        okOr(ds4_, bit(4) && bit(5), error_);
        if (!bit(16)) {
            Set(ds62_, notFound_, kRed);
        } else {
            Set(ds62_, bit(13) ? okInUse_ : ok_);
        }
        ShowPin(ds82_, bit(17), bit(18));
        if (bit(6)) {
            Set(ds6_, okInUse_);
        } else {
            Set(ds6_, notFound_, kRed);
        }
        ShowPin(ds8_, bit(7), bit(8));
        if (bit(9) && bit(10)) {
            Set(ds10_, ok_);
        } else if (bit(9)) {
            Set(ds10_, noNmea_, kRed);
        } else if (bit(10)) {
            Set(ds10_, noPower_, kRed);
        }  // both clear: the navigation module's field keeps its text
        okOr(ds11_, bit(11), error_);
    }

    void ShowPin(int field, bool required, bool accepted) {
        if (!required) {
            Set(field, notRequired_, kOlive);
        } else if (accepted) {
            Set(field, ok_);
        } else {
            Set(field, error_, kRed);
        }
    }

    ReplyContext c_;
    int df0_, df1_, dn_, pb0_, pb1_, di0_, di1_, tw0_, tw1_, rw0_, rw1_, rwres_;
    int ds0_, ds1_, ds2_, ds4_, ds6_, ds62_, ds8_, ds82_, ds10_, ds11_;

    const std::string noJobs_ = W("нет заданий");
    const std::string required_ = W("требуется");
    const std::string confirmation_ = W("подтверждение");
    const std::string volt_ = W(" В");  // Cyrillic В
    const std::string ok_ = "Ok";       // Latin
    const std::string okInUse_ = W("Ok (В работе)");
    const std::string noSettings_ = W("нет настроек");
    const std::string error_ = W("Ошибка");
    const std::string notFound_ = W("Не обнаружена");
    const std::string notRequired_ = W("Hе требуется");  // Latin H, then Cyrillic
    const std::string noNmea_ = W("Нет NMEA");
    const std::string noPower_ = W("Нет питания");
    std::string text_;  // scratch text, its capacity kept between replies
};

}  // namespace

void BindIdentityReplies(ReplyKeyTable& table, const ReplyContext& context) {
    BindFamily<IdentityReplies>(table, context);
}

}  // namespace rv
