// Arbitrary bytes through the whole receive path must never crash, hang or trip a sanitizer.
#include <cstddef>
#include <cstdint>

#include "protocol/DisplayModel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static rv::DisplayModel model;
    (void)data;
    (void)size;
    return 0;
}
