#include "files/FileWriter.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>

#include <filesystem>

#include "support/FileSizeLimit.h"
#include "support/TempFolder.h"

namespace rv {
namespace {

namespace fs = std::filesystem;
using test::NamesIn;
using test::ReadAll;
using test::TempFolder;
using test::WriteAll;

TEST(WriteFileBytes, CreatesOrReplacesTheFileByteForByte) {
    TempFolder dir;
    const fs::path file = dir.path() / "123456_LLS0(уровень)_07-12-26.txt";
    const std::string bytes = "  \xB9  |\r\n\xCA\xEE\xEC\r\n";
    for (const bool existed : {false, true}) {
        if (existed) {
            WriteAll(file, std::string(200, 'z'));
            fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
        }
        EXPECT_EQ(WriteFileBytes(file.string(), bytes), std::nullopt);
        EXPECT_EQ(ReadAll(file), bytes);
        EXPECT_EQ(NamesIn(dir.path()), std::vector<std::string>{file.filename().string()})
            << "no temporary file is left";
        if (existed) {
            EXPECT_EQ(fs::status(file).permissions(),
                      fs::perms::owner_read | fs::perms::owner_write)
                << "a replaced file keeps its permissions";
        }
        fs::remove(file);
    }
}

TEST(WriteFileBytes, SavingOntoALinkReplacesTheFileItPointsTo) {
    TempFolder dir;
    WriteAll(dir.path() / "real.log", "old");
    fs::create_symlink("real.log", dir.path() / "link.log");
    EXPECT_EQ(WriteFileBytes((dir.path() / "link.log").string(), "new"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir.path() / "link.log")));
    EXPECT_EQ(ReadAll(dir.path() / "real.log"), "new");
}

TEST(WriteFileBytes, ReportsAFileThatCannotBeCreated) {
    TempFolder dir;
    const fs::path plainFile = dir.path() / "plain";
    WriteAll(plainFile, "x");
    const struct {
        std::string path;
        FileErrorKind kind;
    } cases[] = {
        {(dir.path() / "missing" / "t.txt").string(), FileErrorKind::NoFolder},
        {(plainFile / "t.txt").string(), FileErrorKind::NoFolder},  // a file in a folder's place
        {dir.path().string(), FileErrorKind::Other},        // a folder where the file should be
        {dir.path().string() + "/", FileErrorKind::Other},  // the same, written as a folder
    };
    for (const auto& c : cases) {
        const auto error = WriteFileBytes(c.path, "x\r\n");
        ASSERT_TRUE(error.has_value()) << c.path;
        const std::string head = "Cannot create file \"" + c.path + "\". ";
        EXPECT_EQ(error->substr(0, head.size()), head);
        EXPECT_GT(error->size(), head.size()) << "the system's reason follows";
        const auto failure = WriteWholeFile(c.path, "x\r\n");
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->kind, c.kind) << c.path;
        EXPECT_EQ(*error, CannotCreateFileText(c.path, *failure));
    }
    EXPECT_EQ(NamesIn(dir.path()), std::vector<std::string>{"plain"});
}

// A named pipe would hold the save until a reader came; a device or a socket is nobody's saved
// file. Each is refused at once with what it is, and left as it was.
TEST(WriteFileBytes, OnlyARegularFileIsSavedOver) {
    TempFolder dir;
    const fs::path fifo = dir.path() / "pipe.log";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink("pipe.log", dir.path() / "link-to-pipe.log");
    const fs::path socketPath = dir.path() / "socket.log";
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    struct sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    // A pseudo-terminal stands for every device (its folder takes no files, should the check
    // ever let a save through).
    int master = -1, slave = -1;
    char terminalName[256] = {};
    ASSERT_EQ(::openpty(&master, &slave, terminalName, nullptr, nullptr), 0);
    const fs::path terminal = terminalName;
    struct Case {
        fs::path target;
        const char* kind;
        fs::file_type left;
    };
    const Case cases[] = {
        {fifo, "именованный канал", fs::file_type::fifo},
        {dir.path() / "link-to-pipe.log", "именованный канал", fs::file_type::fifo},
        {socketPath, "сокет", fs::file_type::socket},
        {terminal, "устройство", fs::file_type::character},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        const auto error = WriteFileBytes(c.target.string(), "x\r\n");
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(*error, "Cannot create file \"" + c.target.string() + "\". Это " + c.kind +
                              ", а сохранить можно только в обычный файл.");
        EXPECT_EQ(fs::status(c.target).type(), c.left);
    }
    ::close(sock);
    ::close(master);
    ::close(slave);
    EXPECT_EQ(NamesIn(dir.path()),
              (std::vector<std::string>{"link-to-pipe.log", "pipe.log", "socket.log"}))
        << "no temporary file is left";
}

// A disk that fills up in the middle of the new bytes, and a target that cannot be replaced (a
// folder of that name): the earlier file stays byte for byte, no fragment or temporary file is
// left, and the failure is reported with its kind (a full disk as such).
TEST(WriteFileBytes, AFailedSaveLeavesTheEarlierFileUntouched) {
    struct Case {
        const char* what;
        bool diskFills;
        bool targetIsFolder;
        bool earlierFile;
    } cases[] = {
        {"full disk over a 30 KB log", true, false, true},
        {"full disk, no earlier file", true, false, false},
        {"folder in the way", false, true, false},
    };
    const std::string earlier(30000, 'o');
    const std::string bigger(40000, 'n');
    for (const Case& c : cases) {
        TempFolder dir;
        const fs::path target = dir.path() / "unit.log";
        if (c.earlierFile) WriteAll(target, earlier);
        if (c.targetIsFolder) fs::create_directory(target);
        std::optional<FileFailure> failure;
        {
            std::optional<test::FileSizeLimit> full;
            if (c.diskFills) full.emplace(32 * 1024);
            failure = WriteWholeFile(target.string(), bigger);
        }
        ASSERT_TRUE(failure.has_value()) << c.what;
        EXPECT_EQ(failure->kind, c.diskFills ? FileErrorKind::DiskFull : FileErrorKind::Other)
            << c.what << ": " << failure->systemText;
        if (c.earlierFile) {
            EXPECT_EQ(ReadAll(target), earlier) << c.what;
        } else if (!c.targetIsFolder) {
            EXPECT_FALSE(fs::exists(target)) << c.what;
        }
        EXPECT_EQ(NamesIn(dir.path()).size(), c.earlierFile || c.targetIsFolder ? 1u : 0u)
            << c.what << ": no temporary file is left";
    }
}

}  // namespace
}  // namespace rv
