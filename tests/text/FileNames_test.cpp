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

TEST(FitFileNameLength, CutsTheNameBeforeItsExtensionToWhatFileSystemsAccept) {
    const std::string longId(300, '7');
    std::string blocks;
    for (int i = 0; i < 150; ++i) blocks += W("Ж");  // two bytes each in UTF-8
    struct Case {
        std::string name;
        std::size_t maxBytes;
        std::string fitted;
    } cases[] = {
        {"123456-356938035643809-07-12-2026-9-05-07.log", 255,
         "123456-356938035643809-07-12-2026-9-05-07.log"},
        {longId + "-1-07-12-2026.log", 255, std::string(251, '7') + ".log"},
        {blocks + ".txt", 255, blocks.substr(0, 125) + ".txt"},  // 125 * 2 + 4 bytes
        {blocks + W("Ж") + ".txt", 9, W("ЖЖ") + ".txt"},
        {std::string(20, 'a') + ".verylongextension1", 10, std::string(10, 'a')},  // not one
        {std::string(20, 'a'), 10, std::string(10, 'a')},                          // none
        {".hidden" + std::string(20, 'h'), 10, ".hiddenhhh"},                      // dot first
        {"abc.toolong", 4, "abc."},  // the extension alone fills the limit: cut as a whole name
    };
    for (const Case& c : cases) {
        const std::string fitted = FitFileNameLength(c.name, c.maxBytes);
        EXPECT_EQ(fitted, c.fitted) << c.name;
        EXPECT_LE(Cp1251ToUtf8(fitted).size(), c.maxBytes) << c.name;
    }
}

}  // namespace
}  // namespace rv
