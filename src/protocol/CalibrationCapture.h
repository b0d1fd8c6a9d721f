#pragma once
// The calibration recorder's capture entry as the reply decoders see it: analogue and frequency
// inputs and fuel-level readings are handed on with their index text, kind letter and value text.

#include <string>

namespace rv {

class CalibrationCapture {
  public:
    virtual ~CalibrationCapture() = default;
    virtual void SendTarDat(const std::string& index, const std::string& kind,
                            const std::string& value) = 0;
};

}  // namespace rv
