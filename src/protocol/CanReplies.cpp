// CAN bus replies: one reply per vehicle quantity, shown in the CAN rows of the sensor area (a row
// opens on its first value, so only the quantities the vehicle delivers are shown). Some keys
// share a row: ">CB=", ">CD=", ">CF=" write the rows of ">CA=", ">CC=", ">CE=", and ">CQ="
// writes LL_CT.

#include "protocol/ReplyFamilies.h"

namespace rv {
namespace {

// How a one-field CAN value is shown: as received, or an integer divided by 10^scale with as
// many decimals.
struct CanValue {
    const char* key;
    const char* field;
    int scale;  // 0: as received
};

constexpr CanValue kCanValues[] = {
    {">CA=", "LL_CA", 2},  // engine hours
    {">CB=", "LL_CA", 2},  //
    {">CC=", "LL_CC", 2},  // total distance, km
    {">CD=", "LL_CC", 2},  //
    {">CE=", "LL_CE", 1},  // total fuel used, l
    {">CF=", "LL_CE", 1},  //
    {">CG=", "LL_CG", 1},  // tank level, %
    {">CH=", "LL_CH", 0},  // engine speed
    {">CI=", "LL_CI", 0},  // engine temperature
    {">CJ=", "LL_CJ", 0},  // vehicle speed
    {">CK=", "LL_CK", 0},  // axle loads 1..5
    {">CL=", "LL_CL", 0},  //
    {">CM=", "LL_CM", 0},  //
    {">CN=", "LL_CN", 0},  //
    {">CO=", "LL_CO", 0},  //
    {">CP=", "LL_CP", 0},  // alarm controllers
    {">CR=", "LL_CR", 1},  // tank level, l
    {">CS=", "LL_CS", 0},  // security state
    {">CQ=", "LL_CT", 1},  // instant consumption
    {">CU=", "LL_CU", 0},  // AdBlue level
};

class CanReplies {
  public:
    explicit CanReplies(const ReplyContext& context)
        : c_(context), cv0_(c_.display.Field("LL_CV0")), cv1_(c_.display.Field("LL_CV1")) {}

    std::vector<FamilyKey<CanReplies>> Keys() const {
        std::vector<FamilyKey<CanReplies>> keys = {{">CV=", &CanReplies::ProgramAndCounts}};
        for (const CanValue& v : kCanValues) {
            const int field = c_.display.Field(v.field);
            const int scale = v.scale;
            keys.push_back({v.key, [field, scale](CanReplies& f, ReplyScanner& s) {
                                f.Value(s, field, scale);
                            }});
        }
        return keys;
    }

  private:
    // ">CV=" program number;valid;invalid
    void ProgramAndCounts(ReplyScanner& s) {
        c_.display.SetV(cv0_, s.NextField(';'), kBlack);
        text_ = s.NextField(';');
        text_ += '/';
        text_ += s.NextField('\r');
        c_.display.SetV(cv1_, text_, kBlack);
    }

    void Value(ReplyScanner& s, int field, int scale) {
        const std::string_view value = s.NextField('\r');
        if (scale == 0) {
            c_.display.SetV(field, value, kBlack);
        } else {
            c_.display.SetV(field, ScaledIntText(IntField(value), scale, scale, c_.formats),
                            kBlack);
        }
    }

    ReplyContext c_;
    int cv0_, cv1_;
    std::string text_;
};

}  // namespace

void BindCanReplies(ReplyKeyTable& table, const ReplyContext& context) {
    BindFamily<CanReplies>(table, context);
}

}  // namespace rv
