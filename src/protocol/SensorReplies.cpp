// External sensor replies, shown in the sensor area (every value field there is a collapsible row
// that opens on its first value): eight gas sensors, up to six fuel-level sensors and six 1-wire
// temperature sensors identified by the address they report, the refrigeration-unit controller
// and the bill acceptor. Fuel-level readings also go to the calibration recorder.

#include "protocol/ReplyFamilies.h"

namespace rv {
namespace {

// Row 0..5 of a sensor address among six caption fields (row order): the first caption equal to
// address + ":"; else the first free caption (":"), which takes address + ":"; else -1: all six
// rows belong to other sensors, and the caller ignores this sensor's values.
int FindSensorRow(std::string_view address, DisplayModel& display,
                  const std::array<int, 6>& captionFields) {
    const auto isKey = [&](const std::string& caption) {
        return caption.size() == address.size() + 1 && caption.back() == ':' &&
               caption.compare(0, address.size(), address) == 0;
    };
    for (int row = 0; row < 6; ++row) {
        if (isKey(display.Text(captionFields[row]))) return row;
    }
    for (int row = 0; row < 6; ++row) {
        if (display.Text(captionFields[row]) == ":") {
            std::string key;
            key.reserve(address.size() + 1);
            key.append(address);
            key += ':';
            display.SetCaption(captionFields[row], key);
            return row;
        }
    }
    return -1;
}

class SensorReplies {
  public:
    explicit SensorReplies(const ReplyContext& context) : c_(context) {
        for (int n = 0; n < 6; ++n) {
            const std::string digit(1, static_cast<char>('0' + n));
            fuelCaptions_[n] = F("LLS" + digit);
            level_[n] = F("LL_LS" + digit + "Y");
            frequency_[n] = F("LL_LS" + digit + "Z");
            temperature_[n] = F("LL_LS" + digit + "T");
            wireCaptions_[n] = F("LLOWT" + digit);
            wire_[n] = F("LL_OW" + digit);
            rowText_[n] = digit;
        }
        for (int n : {0, 1, 2, 3, 5}) refrigeration_[n] = F("LL_ML" + std::to_string(n));
        for (int n = 0; n < 3; ++n) billAcceptor_[n] = F("LL_ICT" + std::to_string(n));
    }

    std::vector<FamilyKey<SensorReplies>> Keys() const {
        std::vector<FamilyKey<SensorReplies>> keys;
        for (const char* code : {"1480", "10", "20", "70", "1520", "340", "960", "1460"}) {
            const int field = F(std::string("LL_GAS") + code);
            keys.push_back({std::string(">GAS=") + code + ";",
                            [field](SensorReplies& f, ReplyScanner& s) { f.Gas(s, field); }});
        }
        keys.push_back({">LLS=", &SensorReplies::FuelLevel});
        keys.push_back({">OWT=", &SensorReplies::OneWire});
        keys.push_back({">ML3=", &SensorReplies::Refrigeration});
        keys.push_back({">ICT=", &SensorReplies::BillAcceptor});
        return keys;
    }

  private:
    int F(const std::string& name) const { return c_.display.Field(name); }
    void Set(int field, std::string_view text) { c_.display.SetV(field, text, kBlack); }

    // ">GAS=<gas code>;" the value's IEEE single bits
    void Gas(ReplyScanner& s, int field) {
        Set(field, FloatBitsField(s.NextField('\r'), 4, c_.formats));
    }

    // ">LLS=" (not shown);address;level;frequency;temperature
    void FuelLevel(ReplyScanner& s) {
        s.NextField(';');
        const int row = FindSensorRow(s.NextField(';'), c_.display, fuelCaptions_);
        if (row < 0) return;  // a seventh sensor while six rows are taken: ignored
        Set(level_[row], s.NextField(';'));
        Set(frequency_[row], s.NextField(';'));
        Set(temperature_[row], SignedByteText(s.NextField('\r')));
        c_.capture.SendTarDat(rowText_[row], "Y", c_.display.Text(level_[row]));
        c_.capture.SendTarDat(rowText_[row], "Z", c_.display.Text(frequency_[row]));
    }

    // ">OWT=" address;temperature
    void OneWire(ReplyScanner& s) {
        const int row = FindSensorRow(s.NextField(';'), c_.display, wireCaptions_);
        if (row < 0) return;  // a seventh sensor while six rows are taken: ignored
        Set(wire_[row], s.NextField('\r'));
    }

    // ">ML3=" index;value... (index 0..2 temperatures, 3 container ID, 5 serial number)
    void Refrigeration(ReplyScanner& s) {
        const std::int32_t index = StrictIntField(s.NextField(';'));
        switch (index) {
            case 0:
            case 1:
            case 2:
                Set(refrigeration_[index], FloatBitsField(s.NextField('\r'), 2, c_.formats));
                break;
            case 3:
                text_ = PackedCharsText(s.NextField(';'));
                text_ += s.NextField('\r');
                Set(refrigeration_[3], text_);
                break;
            case 5:
                Set(refrigeration_[5], s.NextField('\r'));
                break;
            default:
                break;  // index 4 and others have no field
        }
    }

    // ">ICT=" last note;sum;number of notes
    void BillAcceptor(ReplyScanner& s) {
        Set(billAcceptor_[0], s.NextField(';'));
        Set(billAcceptor_[1], s.NextField(';'));
        Set(billAcceptor_[2], s.NextField('\r'));
    }

    ReplyContext c_;
    std::array<int, 6> fuelCaptions_{};
    std::array<int, 6> wireCaptions_{};
    int level_[6], frequency_[6], temperature_[6], wire_[6];
    int refrigeration_[6] = {-1, -1, -1, -1, -1, -1};
    int billAcceptor_[3];
    std::string rowText_[6];
    std::string text_;
};

}  // namespace

void BindSensorReplies(ReplyKeyTable& table, const ReplyContext& context) {
    BindFamily<SensorReplies>(table, context);
}

}  // namespace rv
