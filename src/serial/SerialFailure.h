#pragma once
// Why a serial device would not open, or why an open one stopped working. The device keeps the
// last failure so that the window can tell the technician what to do about it instead of a bare
// "no connection".

#include <cstdint>
#include <string>

namespace rv {

enum class SerialFailureKind {
    None,             // no failure
    Busy,             // another program holds the device (which one is not known)
    BusyByProcess,    // another program holds the device; `holder` names it
    NoPermission,     // the user may not open the device (not in its group)
    Missing,          // no device at that path (unplugged, renumbered, never there)
    NotSerialDevice,  // the path leads to something that is no serial port of the user's
    Lost,             // the open device went away (adapter pulled, peer of a pty closed)
    Other,            // any other system error; `systemText` says which
};

struct SerialFailure {
    SerialFailureKind kind = SerialFailureKind::None;
    std::string holder;      // BusyByProcess: the holding program's name; NotSerialDevice: the
                             // program whose session terminal it is, when known
    std::string systemText;  // the system's own words, when there are any

    bool operator==(const SerialFailure&) const = default;
};

// The reason in Russian (UTF-8), worded to follow the port name: "COM9: " + text. Busy names the
// holder, no permission says how to get it. Empty for SerialFailureKind::None.
std::string SerialFailureText(const SerialFailure& failure);

// The kind of failure an errno value of open() means.
SerialFailureKind OpenErrnoFailureKind(int error);
// True when an errno value of read(), write() or poll() means the device itself is gone.
bool ErrnoMeansDeviceLost(int error);

// The kind of failure a Win32 error code of CreateFile means. A COM port is opened without
// sharing, so "access denied" is another program holding it.
SerialFailureKind Win32OpenErrorKind(std::uint32_t code);
// True when a Win32 error code of ReadFile, WriteFile or ClearCommError means that the device
// was removed (a USB adapter pulled out while open).
bool Win32ErrorMeansDeviceLost(std::uint32_t code);

}  // namespace rv
