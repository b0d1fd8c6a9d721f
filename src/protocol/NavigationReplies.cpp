// Navigation replies: the position the unit's navigation receiver reports, its sentence counters
// and the quality of its fix (satellites and HDOP coloured by how far the position can be trusted).

#include "protocol/ReplyFamilies.h"
#include "text/Formats.h"

namespace rv {
namespace {

class NavigationReplies {
  public:
    explicit NavigationReplies(const ReplyContext& context)
        : c_(context),
          gk0_(F("LL_GK0")),
          gk1_(F("LL_GK1")),
          rmc_(F("LL_RMC")),
          gca_(F("LL_GCA")),
          gs_{F("LL_GS0"), F("LL_GS1"), F("LL_GS2"), F("LL_GS3"), F("LL_GS4")} {}

    std::vector<FamilyKey<NavigationReplies>> Keys() const {
        return {
            {">GK=", &NavigationReplies::Position},
            {">GP=", &NavigationReplies::SentenceCounters},
            {">GS=", &NavigationReplies::FixQuality},
        };
    }

  private:
    int F(const char* name) const { return c_.display.Field(name); }
    void Set(int field, std::string_view text, Colour colour = kBlack) {
        c_.display.SetV(field, text, colour);
    }

    // ">GK=" latitude;longitude
    void Position(ReplyScanner& s) {
        Set(gk0_, s.NextField(';'));
        Set(gk1_, s.NextField('\r'));
    }

    // ">GP=" RMC count;GGA count
    void SentenceCounters(ReplyScanner& s) {
        Set(rmc_, s.NextField(';'));
        Set(gca_, s.NextField('\r'));
    }

    // ">GS=" satellites;speed;altitude;HDOP in tenths;course
    void FixQuality(ReplyScanner& s) {
        const std::int32_t satellites = IntField(s.NextField(';'));
        Colour satColour = kBlack;
        if (satellites >= 0 && satellites <= 4) {
            satColour = kRed;
        } else if (satellites >= 5 && satellites <= 8) {
            satColour = kOlive;
        }
        Set(gs_[0], IntText(satellites), satColour);
        Set(gs_[1], s.NextField(';'));
        Set(gs_[2], s.NextField(';'));
        const std::int32_t hdop = IntField(s.NextField(';'));
        const Colour hdopColour = hdop > 30 ? kRed : hdop > 20 ? kOlive : kBlack;
        Set(gs_[3], ScaledIntText(hdop, 1, 1, c_.formats), hdopColour);
        Set(gs_[4], s.NextField('\r'));
    }

    ReplyContext c_;
    int gk0_, gk1_, rmc_, gca_;
    int gs_[5];
};

}  // namespace

void BindNavigationReplies(ReplyKeyTable& table, const ReplyContext& context) {
    BindFamily<NavigationReplies>(table, context);
}

}  // namespace rv
