#pragma once
// A calibration capture for tests: records every SendTarDat call in order.

#include <ostream>
#include <string>
#include <vector>

#include "protocol/CalibrationCapture.h"

namespace rv {

class RecordingCapture : public CalibrationCapture {
  public:
    struct Call {
        std::string index;
        std::string kind;
        std::string value;
        bool operator==(const Call&) const = default;
        // Shown by test failures as {index, kind, value}.
        friend void PrintTo(const Call& c, std::ostream* os) {
            *os << "{" << c.index << ", " << c.kind << ", " << c.value << "}";
        }
    };

    void SendTarDat(std::string_view index, std::string_view kind,
                    std::string_view value) override {
        calls.push_back({std::string(index), std::string(kind), std::string(value)});
    }

    std::vector<Call> calls;
};

}  // namespace rv
