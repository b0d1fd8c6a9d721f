#include "files/FileErrors.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace rv {
namespace {

TEST(FileErrors, SystemErrorsFallIntoTheKindsTheTechnicianIsToldOf) {
    const struct {
        int error;
        FileErrorKind kind;
    } errnoCases[] = {
        {ENOENT, FileErrorKind::NoFolder},     {ENOTDIR, FileErrorKind::NoFolder},
        {EACCES, FileErrorKind::AccessDenied}, {EPERM, FileErrorKind::AccessDenied},
        {EROFS, FileErrorKind::AccessDenied},  {ENOSPC, FileErrorKind::DiskFull},
        {EFBIG, FileErrorKind::DiskFull},      {EBUSY, FileErrorKind::FileInUse},
        {ETXTBSY, FileErrorKind::FileInUse},   {EISDIR, FileErrorKind::Other},
        {EIO, FileErrorKind::Other},           {0, FileErrorKind::Other},
    };
    for (const auto& c : errnoCases) {
        EXPECT_EQ(FileErrorKindOfErrno(c.error), c.kind) << "errno " << c.error;
    }
    // Windows system error codes: not found, access denied, write-protected, sharing and lock
    // violations, full disks, and one the console has no words for (invalid name).
    const struct {
        unsigned long code;
        FileErrorKind kind;
    } windowsCases[] = {
        {2, FileErrorKind::NoFolder},     {3, FileErrorKind::NoFolder},
        {5, FileErrorKind::AccessDenied}, {19, FileErrorKind::AccessDenied},
        {32, FileErrorKind::FileInUse},   {33, FileErrorKind::FileInUse},
        {39, FileErrorKind::DiskFull},    {112, FileErrorKind::DiskFull},
        {123, FileErrorKind::Other},
    };
    for (const auto& c : windowsCases) {
        EXPECT_EQ(FileErrorKindOfWindowsCode(c.code), c.kind) << "code " << c.code;
    }
}

TEST(FileErrors, TheMessageNamesTheFileAndTheReasonInRussian) {
    const std::string path = "/media/флешка/t.txt";
    const struct {
        FileErrorKind kind;
        const char* text;
    } cases[] = {
        {FileErrorKind::NoFolder,
         "Не удалось записать файл \"/media/флешка/t.txt\": нет такой папки."},
        {FileErrorKind::AccessDenied,
         "Не удалось записать файл \"/media/флешка/t.txt\": нет доступа (нет прав на запись или "
         "файл только для чтения)."},
        {FileErrorKind::DiskFull,
         "Не удалось записать файл \"/media/флешка/t.txt\": на диске нет места."},
        {FileErrorKind::FileInUse,
         "Не удалось записать файл \"/media/флешка/t.txt\": файл занят другой программой."},
        {FileErrorKind::Other, "Не удалось записать файл \"/media/флешка/t.txt\"."},
    };
    for (const auto& c : cases) EXPECT_EQ(FileNotWrittenText(path, c.kind), c.text);
}

}  // namespace
}  // namespace rv
