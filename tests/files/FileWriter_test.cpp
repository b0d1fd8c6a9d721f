#include "files/FileWriter.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace rv {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "revodive-files-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

TEST(WriteFileBytes, CreatesOrReplacesTheFileByteForByte) {
    TempFolder dir;
    const fs::path file = dir.path() / "123456_LLS0(уровень)_07-12-26.txt";
    const std::string bytes = "  \xB9  |\r\n\xCA\xEE\xEC\r\n";
    {
        std::ofstream old(file, std::ios::binary);
        old << std::string(200, 'z');
    }
    EXPECT_EQ(WriteFileBytes(file.string(), bytes), std::nullopt);
    EXPECT_EQ(ReadAll(file), bytes);
}

TEST(WriteFileBytes, ReportsAFileThatCannotBeCreated) {
    TempFolder dir;
    const fs::path plainFile = dir.path() / "plain";
    std::ofstream(plainFile) << "x";
    const std::string paths[] = {
        (dir.path() / "missing" / "t.txt").string(),  // no such folder
        (plainFile / "t.txt").string(),               // a file where a folder should be
        dir.path().string(),                          // a folder where the file should be
    };
    for (const std::string& path : paths) {
        const auto error = WriteFileBytes(path, "x\r\n");
        ASSERT_TRUE(error.has_value()) << path;
        const std::string head = "Cannot create file \"" + path + "\". ";
        EXPECT_EQ(error->substr(0, head.size()), head);
        EXPECT_GT(error->size(), head.size()) << "the system's reason follows";
    }
}

}  // namespace
}  // namespace rv
