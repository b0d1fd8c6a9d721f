#pragma once
// The calibration recorder's capture entry as the reply decoders see it: analogue and frequency
// inputs and fuel-level readings are handed on with their index text, kind letter and value text.

#include <string_view>

namespace rv {

class CalibrationCapture {
  public:
    virtual ~CalibrationCapture() = default;
    // The texts are valid during the call only (they may point into the received block).
    virtual void SendTarDat(std::string_view index, std::string_view kind,
                            std::string_view value) = 0;
};

}  // namespace rv
