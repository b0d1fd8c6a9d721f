#include "text/FileNames.h"

#include <gtest/gtest.h>

#include "text/Cp1251.h"

namespace rv {
namespace {

TEST(FileNames, UnsafeFileNameCharactersBecomeDashes) {
    EXPECT_EQ(FileNameSafe("a/b\\c:d*e?f\"g<h>i|j"), "a-b-c-d-e-f-g-h-i-j");
    EXPECT_EQ(FileNameSafe(std::string("x\ty\0z\x7F", 6)), "x-y-z-");
    EXPECT_EQ(FileNameSafe(W("Блок 7.1")), W("Блок 7.1"));
}

}  // namespace
}  // namespace rv
