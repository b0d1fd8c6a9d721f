#include "serial/SerialFailure.h"

#include <cerrno>

namespace rv {

std::string SerialFailureText(const SerialFailure& f) {
    switch (f.kind) {
        case SerialFailureKind::None:
            return {};
        case SerialFailureKind::Busy:
            return "порт занят другой программой; закройте её и выберите порт снова";
        case SerialFailureKind::BusyByProcess:
            return "порт занят программой «" + f.holder + "»; закройте её и выберите порт снова";
        case SerialFailureKind::NoPermission:
            return "нет прав на доступ к порту; добавьте пользователя в группу dialout "
                   "(sudo usermod -aG dialout $USER) и войдите в систему заново";
        case SerialFailureKind::Missing:
            return "устройство не найдено; проверьте, подключён ли кабель";
        case SerialFailureKind::NotSerialDevice:
            if (!f.holder.empty())
                return "это терминал сеанса программы «" + f.holder +
                       "», а не последовательный порт";
            return "это не последовательный порт";
        case SerialFailureKind::Lost:
            return "связь потеряна";
        case SerialFailureKind::Other:
            if (f.systemText.empty()) return "порт не открывается";
            return "порт не открывается: " + f.systemText;
    }
    return {};
}

SerialFailureKind OpenErrnoFailureKind(int error) {
    switch (error) {
        case 0:
            return SerialFailureKind::None;
        case EBUSY:
        case EWOULDBLOCK:  // flock held by another opener
            return SerialFailureKind::Busy;
        case EACCES:
        case EPERM:
        case EROFS:
            return SerialFailureKind::NoPermission;
        case ENOENT:
        case ENXIO:
        case ENODEV:
            return SerialFailureKind::Missing;
        case ELOOP:
        case EISDIR:
        case ENOTDIR:
        case ENOTTY:
            return SerialFailureKind::NotSerialDevice;
        default:
            return SerialFailureKind::Other;
    }
}

bool ErrnoMeansDeviceLost(int error) {
    return error == EIO || error == ENXIO || error == ENODEV;
}

namespace {

// Win32 error codes (winerror.h), spelled out so that this file builds everywhere.
constexpr std::uint32_t kFileNotFound = 2;
constexpr std::uint32_t kPathNotFound = 3;
constexpr std::uint32_t kAccessDenied = 5;
constexpr std::uint32_t kInvalidHandle = 6;
constexpr std::uint32_t kNotReady = 21;
constexpr std::uint32_t kBadCommand = 22;
constexpr std::uint32_t kGenFailure = 31;
constexpr std::uint32_t kSharingViolation = 32;
constexpr std::uint32_t kDevNotExist = 55;
constexpr std::uint32_t kInvalidName = 123;
constexpr std::uint32_t kNoSuchDevice = 433;
constexpr std::uint32_t kOperationAborted = 995;
constexpr std::uint32_t kDeviceNotConnected = 1167;
constexpr std::uint32_t kDeviceRemoved = 1617;

}  // namespace

SerialFailureKind Win32OpenErrorKind(std::uint32_t code) {
    switch (code) {
        case 0:
            return SerialFailureKind::None;
        case kAccessDenied:
        case kSharingViolation:
            return SerialFailureKind::Busy;
        case kFileNotFound:
        case kPathNotFound:
        case kInvalidName:
        case kDevNotExist:
        case kNoSuchDevice:
        case kDeviceNotConnected:
        case kDeviceRemoved:
            return SerialFailureKind::Missing;
        default:
            return SerialFailureKind::Other;
    }
}

bool Win32ErrorMeansDeviceLost(std::uint32_t code) {
    switch (code) {
        case kAccessDenied:  // the handle of a removed USB adapter refuses every call
        case kInvalidHandle:
        case kNotReady:
        case kBadCommand:
        case kGenFailure:
        case kDevNotExist:
        case kNoSuchDevice:
        case kOperationAborted:
        case kDeviceNotConnected:
        case kDeviceRemoved:
            return true;
        default:
            return false;
    }
}

}  // namespace rv
