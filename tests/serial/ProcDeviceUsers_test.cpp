// Who else uses a device, over a made-up /proc tree: descriptors are links to files of the test,
// as the kernel's are links to the open files.

#include "serial/posix/ProcDeviceUsers.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace rv {
namespace {

struct FakeProc {
    fs::path root;
    fs::path device;  // stands for the serial device
    fs::path other;   // some other open file

    FakeProc() {
        std::string templ = (fs::temp_directory_path() / "revodive-proc-XXXXXX").string();
        const fs::path base = ::mkdtemp(templ.data());
        root = base / "proc";
        fs::create_directories(root);
        device = base / "ttyUSB0";
        other = base / "log.txt";
        std::ofstream(device) << "";
        std::ofstream(other) << "";
    }
    ~FakeProc() {
        std::error_code ec;
        fs::remove_all(root.parent_path(), ec);
    }
    // A process with a name and descriptors leading to `targets`.
    void Process(const std::string& pid, const std::string& comm,
                 const std::vector<fs::path>& targets, const std::string& stat = {}) {
        const fs::path folder = root / pid;
        fs::create_directories(folder / "fd");
        std::ofstream(folder / "comm", std::ios::binary) << comm;
        if (!stat.empty()) std::ofstream(folder / "stat") << stat;
        int fd = 0;
        for (const auto& target : targets)
            fs::create_symlink(target, folder / "fd" / std::to_string(fd++));
    }
};

std::vector<std::string> Described(const std::vector<DeviceUser>& users) {
    std::vector<std::string> out;
    for (const auto& u : users) out.push_back(std::to_string(u.pid) + ":" + u.name);
    return out;
}

TEST(ProcDeviceUsers, FindsOtherProcessesHoldingTheDevice) {
    FakeProc proc;
    proc.Process("4711", "minicom\n", {proc.other, proc.device});
    proc.Process("120", "bash\n", {proc.other});
    proc.Process("900", "revodive\n", {proc.device});            // the console itself
    proc.Process("35", "x\x1b[2J\xd0\xb9\n", {proc.device});     // a name made to mislead
    proc.Process("77", "gone\n", {proc.root / "nothing-here"});  // a dangling descriptor
    proc.Process("self", "self\n", {proc.device});               // not a process entry
    fs::create_directories(proc.root / "88");                    // no fd folder to read

    struct Case {
        std::string device;
        int ownPid;
        std::vector<std::string> holders;
    };
    const Case cases[] = {
        {proc.device.string(), 900, {"35:x?[2J??", "4711:minicom"}},
        {proc.device.string(), 4711, {"35:x?[2J??", "900:revodive"}},
        {proc.other.string(), 900, {"120:bash", "4711:minicom"}},
        {(proc.root / "missing").string(), 900, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Described(FindDeviceHolders(c.device, proc.root.string(), c.ownPid)), c.holders)
            << c.device << " own " << c.ownPid;
    EXPECT_TRUE(FindDeviceHolders(proc.device.string(), "/nonexistent-proc", 1).empty());
}

TEST(ProcDeviceUsers, FindsTheSessionsWhoseControllingTerminalItIs) {
    // tty_nr of /dev/pts/3 (136:3) and of /dev/pts/300 (136:300, minor above 255).
    FakeProc proc;
    proc.Process("10", "bash", {}, "10 (bash) S 1 10 10 34819 10 4194560 0 0");
    proc.Process("11", "vim", {}, "11 (a) b) (c) S 10 11 10 34819 11 0 0 0");
    proc.Process("12", "daemon", {}, "12 (daemon) S 1 12 12 0 -1 0 0 0");
    proc.Process("13", "zsh", {}, "13 (zsh) S 1 13 13 1083436 13 0 0 0");
    proc.Process("14", "broken", {}, "14 (broken S 1");

    struct Case {
        unsigned major, minor;
        std::vector<std::string> members;
    };
    for (const Case& c : {Case{136, 3, {"10:bash", "11:vim"}}, Case{136, 300, {"13:zsh"}},
                          Case{136, 4, {}}, Case{0, 0, {}}})
        EXPECT_EQ(Described(FindTerminalSessionMembers(c.major, c.minor, proc.root.string())),
                  c.members)
            << c.major << ":" << c.minor;
}

TEST(ProcDeviceUsers, TerminalDriversTellTerminalsFromOtherDevices) {
    FakeProc proc;
    EXPECT_EQ(IsTerminalDevice(136, 3, proc.root.string()), std::nullopt);  // no table to read
    fs::create_directories(proc.root / "tty");
    std::ofstream(proc.root / "tty" / "drivers")
        << "/dev/tty             /dev/tty        5       0 system:/dev/tty\n"
           "serial               /dev/ttyS       4  64-111 serial\n"
           "usbserial            /dev/ttyUSB   188 0-511 serial\n"
           "pty_slave            /dev/pts      136 0-1048575 pty:slave\n"
           "garbled line\n";
    struct Case {
        unsigned major, minor;
        bool terminal;
    };
    for (const Case& c : {Case{136, 3, true}, Case{136, 300, true}, Case{188, 0, true},
                          Case{4, 64, true}, Case{4, 112, false}, Case{5, 0, true},
                          Case{5, 1, false}, Case{1, 3, false}})  // 1:3 is /dev/null
        EXPECT_EQ(IsTerminalDevice(c.major, c.minor, proc.root.string()), c.terminal)
            << c.major << ":" << c.minor;
}

TEST(ProcDeviceUsers, ProcessThatEndsWhileItIsLookedAtIsNoError) {
    // A process that ends during the scan leaves files whose reads fail (ESRCH); a folder where a
    // file should be fails the read the same way, every time.
    FakeProc proc;
    proc.Process("4711", "minicom\n", {proc.device});
    fs::remove(proc.root / "4711" / "comm");
    fs::create_directories(proc.root / "4711" / "comm");
    proc.Process("4712", "", {}, "");
    fs::create_directories(proc.root / "4712" / "stat");
    EXPECT_EQ(Described(FindDeviceHolders(proc.device.string(), proc.root.string(), 1)),
              std::vector<std::string>{"4711:"});
    EXPECT_TRUE(FindTerminalSessionMembers(136, 4, proc.root.string()).empty());
}

}  // namespace
}  // namespace rv
