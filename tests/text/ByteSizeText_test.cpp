#include "text/ByteSizeText.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace rv {
namespace {

TEST(ByteSizeText, ThresholdsAndTheRegionalSeparator) {
    RegionalFormats comma;
    comma.decimalSeparator = ',';
    struct Case {
        std::int64_t n;
        const char* text;
    } cases[] = {
        {0, "0"},
        {-5, "0"},
        {1, "1 B"},
        {10239, "10239 B"},
        {10240, "10,0 KB"},
        {1048575, "1024,0 KB"},
        {1048576, "1,0 MB"},
        {5LL << 30, "5120,0 MB"},           // beyond 2 GiB the count keeps going
        {10496, "10,3 KB"},                 // exactly 10.25 KB: the half goes up
        {10444, "10,2 KB"},                 // 10.199...
        {1310720, "1,3 MB"},                // exactly 1.25 MB
        {1101004, "1,0 MB"},                // 1.04999...
        {INT64_MAX, "8796093022208,0 MB"},  // the longest text the counter can have
    };
    for (const auto& c : cases) EXPECT_EQ(ByteSizeText(c.n, comma), c.text) << c.n;
}

}  // namespace
}  // namespace rv
