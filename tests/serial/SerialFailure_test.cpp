// The reasons a port gives, and which system errors mean the device is gone.

#include "serial/SerialFailure.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <set>

namespace rv {
namespace {

TEST(SerialFailure, EveryReasonHasItsOwnRussianText) {
    using K = SerialFailureKind;
    EXPECT_EQ(SerialFailureText({}), "");
    std::set<std::string> texts;
    for (K kind : {K::Busy, K::BusyByProcess, K::NoPermission, K::Missing, K::NotSerialDevice,
                   K::Lost, K::Other}) {
        const std::string text = SerialFailureText({kind, "minicom", "Input/output error"});
        EXPECT_FALSE(text.empty());
        EXPECT_TRUE(texts.insert(text).second) << text;
    }
    // What the technician needs to act on is in the text.
    EXPECT_NE(SerialFailureText({K::BusyByProcess, "minicom", {}}).find("«minicom»"),
              std::string::npos);
    EXPECT_NE(SerialFailureText({K::NoPermission, {}, {}}).find("dialout"), std::string::npos);
    EXPECT_NE(SerialFailureText({K::Other, {}, "Input/output error"}).find("Input/output error"),
              std::string::npos);
    EXPECT_NE(SerialFailureText({K::NotSerialDevice, "bash", {}}).find("«bash»"),
              std::string::npos);
}

TEST(SerialFailure, SystemErrorsAreSorted) {
    using K = SerialFailureKind;
    struct OpenCase {
        int error;
        K kind;
    };
    for (const OpenCase& c : {OpenCase{EBUSY, K::Busy}, OpenCase{EWOULDBLOCK, K::Busy},
                              OpenCase{EACCES, K::NoPermission}, OpenCase{ENOENT, K::Missing},
                              OpenCase{ENXIO, K::Missing}, OpenCase{ELOOP, K::NotSerialDevice},
                              OpenCase{EMFILE, K::Other}})
        EXPECT_EQ(OpenErrnoFailureKind(c.error), c.kind) << c.error;

    // Read and write: gone versus "try again".
    for (int gone : {EIO, ENXIO, ENODEV}) EXPECT_TRUE(ErrnoMeansDeviceLost(gone)) << gone;
    for (int alive : {0, EAGAIN, EINTR, EINVAL}) EXPECT_FALSE(ErrnoMeansDeviceLost(alive)) << alive;

    struct Win32Case {
        std::uint32_t code;
        K openKind;
        bool lostWhenOpen;
    };
    // ERROR_SUCCESS, FILE_NOT_FOUND, ACCESS_DENIED, BAD_COMMAND, GEN_FAILURE, SHARING_VIOLATION,
    // OPERATION_ABORTED, IO_PENDING, DEVICE_REMOVED, SEM_TIMEOUT.
    for (const Win32Case& c :
         {Win32Case{0, K::None, false}, Win32Case{2, K::Missing, false},
          Win32Case{5, K::Busy, true}, Win32Case{22, K::Other, true}, Win32Case{31, K::Other, true},
          Win32Case{32, K::Busy, false}, Win32Case{995, K::Other, true},
          Win32Case{997, K::Other, false}, Win32Case{1617, K::Missing, true},
          Win32Case{121, K::Other, false}}) {
        EXPECT_EQ(Win32OpenErrorKind(c.code), c.openKind) << c.code;
        EXPECT_EQ(Win32ErrorMeansDeviceLost(c.code), c.lostWhenOpen) << c.code;
    }
}

}  // namespace
}  // namespace rv
