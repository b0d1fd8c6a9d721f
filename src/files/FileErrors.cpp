#include "files/FileErrors.h"

#include <cerrno>

namespace rv {

FileErrorKind FileErrorKindOfErrno(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return FileErrorKind::NoFolder;
        case EACCES:
        case EPERM:
        case EROFS:
            return FileErrorKind::AccessDenied;
        case ENOSPC:
        case EFBIG:  // a file larger than the disk or the user's limit allows
#ifdef EDQUOT
        case EDQUOT:
#endif
            return FileErrorKind::DiskFull;
        case EBUSY:
        case ETXTBSY:
            return FileErrorKind::FileInUse;
        default:
            return FileErrorKind::Other;
    }
}

FileErrorKind FileErrorKindOfWindowsCode(unsigned long code) {
    switch (code) {
        case 2:  // ERROR_FILE_NOT_FOUND
        case 3:  // ERROR_PATH_NOT_FOUND
            return FileErrorKind::NoFolder;
        case 5:   // ERROR_ACCESS_DENIED
        case 19:  // ERROR_WRITE_PROTECT
            return FileErrorKind::AccessDenied;
        case 39:   // ERROR_HANDLE_DISK_FULL
        case 112:  // ERROR_DISK_FULL
            return FileErrorKind::DiskFull;
        case 32:  // ERROR_SHARING_VIOLATION
        case 33:  // ERROR_LOCK_VIOLATION
            return FileErrorKind::FileInUse;
        default:
            return FileErrorKind::Other;
    }
}

std::string FileNotWrittenText(const std::string& path, FileErrorKind kind) {
    const std::string head = "Не удалось записать файл \"" + path + "\"";
    switch (kind) {
        case FileErrorKind::NoFolder:
            return head + ": нет такой папки.";
        case FileErrorKind::AccessDenied:
            return head + ": нет доступа (нет прав на запись или файл только для чтения).";
        case FileErrorKind::DiskFull:
            return head + ": на диске нет места.";
        case FileErrorKind::FileInUse:
            return head + ": файл занят другой программой.";
        case FileErrorKind::Other:
            break;
    }
    return head + ".";
}

}  // namespace rv
