// The termios backend against a real pseudo-terminal, and the COM namespace over a temporary
// ports folder and a made-up /sys/class/tty tree.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "serial/CommPortDriver.h"
#include "serial/posix/PosixComNamespace.h"
#include "serial/posix/PosixSerialDevice.h"
#include "support/OtherHolder.h"

namespace fs = std::filesystem;

namespace rv {
namespace {

// A pseudo-terminal pair; the test plays the unit on the master side.
struct Pty {
    int master = -1;
    int slave = -1;
    std::string path;

    Pty() {
        char name[256] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) return;
        path = name;
        ::close(slave);  // the device under test opens it by path
        slave = -1;
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    }
    ~Pty() { ClosePeer(); }
    // The unit goes away: the cable is pulled, the simulator ends.
    void ClosePeer() {
        if (master >= 0) ::close(master);
        master = -1;
    }
    std::string ReadAll() {
        std::string out;
        char buf[4096];
        for (int idle = 0; idle < 20;) {
            const ssize_t n = ::read(master, buf, sizeof buf);
            if (n > 0) {
                out.append(buf, static_cast<std::size_t>(n));
                idle = 0;
            } else {
                struct pollfd p = {master, POLLIN, 0};
                ::poll(&p, 1, 10);
                ++idle;
            }
        }
        return out;
    }
};

struct TempFolder {
    fs::path path;
    TempFolder() {
        std::string templ = (fs::temp_directory_path() / "revodive-serial-XXXXXX").string();
        path = ::mkdtemp(templ.data());
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

// Reads from the device until `want` bytes came, the device failed, or ten seconds passed. The
// far end's bytes reach the terminal asynchronously, later still on a loaded machine: the wait
// is for the device to become readable, not a count of tries.
std::string ReadFromDevice(PosixSerialDevice& d, std::size_t want) {
    std::string out;
    std::uint8_t buf[256];
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (out.size() < want && std::chrono::steady_clock::now() < deadline) {
        const std::int32_t n = d.Read(buf, sizeof buf);
        if (n < 0) break;
        if (n == 0) {
            struct pollfd p = {d.Descriptor(), POLLIN, 0};
            ::poll(&p, 1, 50);
            continue;
        }
        out.append(reinterpret_cast<char*>(buf), static_cast<std::size_t>(n));
    }
    return out;
}

TEST(PosixSerialDevice, BytesTravelBothWaysUnchanged) {
    Pty pty;
    ASSERT_FALSE(pty.path.empty());
    PosixSerialDevice d;
    ASSERT_TRUE(d.Open(pty.path));
    ASSERT_TRUE(d.Apply(SerialLineSettings{}));

    // Raw mode: CR, LF, zero bytes and 8-bit bytes pass unchanged, no echo.
    const std::string toConsole(">MO=\xCC\xE5\xE3\xE0;1\r\n\0\x7F\xFF", 14);
    ASSERT_EQ(::write(pty.master, toConsole.data(), toConsole.size()),
              static_cast<ssize_t>(toConsole.size()));
    EXPECT_EQ(ReadFromDevice(d, toConsole.size()), toConsole);

    const std::string toUnit("\r>D 10;1\n");
    EXPECT_EQ(d.Write(reinterpret_cast<const std::uint8_t*>(toUnit.data()),
                      static_cast<std::int32_t>(toUnit.size())),
              static_cast<std::int32_t>(toUnit.size()));
    EXPECT_EQ(pty.ReadAll(), toUnit);
}

TEST(PosixSerialDevice, ReadReturnsAtOnceWhenNothingIsThere) {
    Pty pty;
    PosixSerialDevice d;
    ASSERT_TRUE(d.Open(pty.path));
    std::uint8_t buf[16];
    EXPECT_EQ(d.Read(buf, sizeof buf), 0);
    d.Close();
    EXPECT_EQ(d.Read(buf, sizeof buf), -1);
    EXPECT_EQ(d.Write(buf, 1), -1);
}

TEST(PosixSerialDevice, LineSettingsAreApplied) {
    Pty pty;
    PosixSerialDevice d;
    ASSERT_TRUE(d.Open(pty.path));
    struct Case {
        SerialLineSettings s;
        speed_t speed;
        tcflag_t csize;
        tcflag_t parity;  // PARENB | PARODD (| CMSPAR) bits expected
        bool twoStop;
    };
    SerialLineSettings base;
    auto with = [&](auto change) {
        SerialLineSettings s = base;
        change(s);
        return s;
    };
    const Case cases[] = {
        {with([](auto& s) { s.baudRate = 115200; }), B115200, CS8, 0, false},
        {with([](auto& s) {
             s.baudRate = 4800;
             s.dataBits = 7;
             s.parity = 2;
         }),
         B4800, CS7, PARENB, false},
        {with([](auto& s) {
             s.baudRate = 38400;
             s.dataBits = 5;
             s.parity = 1;
             s.stopBits = 2;
         }),
         B38400, CS5, PARENB | PARODD, true},
#ifdef CMSPAR
        {with([](auto& s) { s.parity = 3; }), B9600, CS8, PARENB | PARODD | CMSPAR, false},
        {with([](auto& s) {
             s.parity = 4;
             s.stopBits = 1;
         }),
         B9600, CS8, PARENB | CMSPAR, true},
#endif
    };
    for (const Case& c : cases) {
        // The mapping itself, on a structure of its own: a pseudo-terminal keeps only part of it.
        struct termios mapped = {};
        PosixLineSettingsToTermios(c.s, mapped);
        EXPECT_EQ(::cfgetospeed(&mapped), c.speed);
        EXPECT_EQ(mapped.c_cflag & CSIZE, c.csize);
        tcflag_t parityBits = PARENB | PARODD;
#ifdef CMSPAR
        parityBits |= CMSPAR;
#endif
        EXPECT_EQ(mapped.c_cflag & parityBits, c.parity);
        EXPECT_EQ((mapped.c_cflag & CSTOPB) != 0, c.twoStop);

        // What the terminal took.
        EXPECT_TRUE(d.Apply(c.s));
        struct termios tio;
        ASSERT_EQ(::tcgetattr(d.Descriptor(), &tio), 0);
        EXPECT_EQ(::cfgetospeed(&tio), c.speed);
        EXPECT_EQ((tio.c_cflag & CSTOPB) != 0, c.twoStop);
        EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
        EXPECT_EQ(tio.c_oflag & OPOST, 0u);
        EXPECT_EQ(tio.c_iflag & (ICRNL | IXON | IXOFF), 0u);
        EXPECT_EQ(tio.c_cc[VMIN], 0);
        EXPECT_EQ(tio.c_cc[VTIME], 0);
    }

    SerialLineSettings flow;
    flow.rtsCts = true;
    flow.xonXoff = true;
    EXPECT_TRUE(d.Apply(flow));
    struct termios tio;
    ASSERT_EQ(::tcgetattr(d.Descriptor(), &tio), 0);
    EXPECT_NE(tio.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
    EXPECT_EQ(tio.c_cc[VSTART], 17);
    EXPECT_EQ(tio.c_cc[VSTOP], 19);
}

TEST(PosixSerialDevice, SecondOpenerIsRefusedUntilTheFirstCloses) {
    Pty pty;
    PosixSerialDevice first;
    PosixSerialDevice second;
    ASSERT_TRUE(first.Open(pty.path));
    EXPECT_FALSE(second.Open(pty.path));
    EXPECT_EQ(second.LastFailure().kind, SerialFailureKind::Busy);
    first.Close();
    EXPECT_TRUE(second.Open(pty.path));
    EXPECT_EQ(second.LastFailure().kind, SerialFailureKind::None);
}

TEST(PosixSerialDevice, LostPeerIsToldApartFromSilence) {
    struct Case {
        const char* name;
        std::string sentBefore;  // by the unit, before it goes (or stays)
        bool peerCloses;
    };
    // (Bytes still unread when the far end closes are gone: the hang-up discards them.)
    for (const Case& c : {Case{"silent peer", ">ID=7\r\n", false}, Case{"peer closes", "", true}}) {
        SCOPED_TRACE(c.name);
        Pty pty;
        PosixSerialDevice d;
        ASSERT_TRUE(d.Open(pty.path));
        if (!c.sentBefore.empty()) {
            ASSERT_EQ(::write(pty.master, c.sentBefore.data(), c.sentBefore.size()),
                      static_cast<ssize_t>(c.sentBefore.size()));
        }
        if (c.peerCloses) {
            pty.ClosePeer();
            // The hang-up is the system's to deliver; wait until the terminal shows it (at once
            // on Linux), so that what is proven is how the device reads it, not how soon it came.
            struct pollfd p = {d.Descriptor(), POLLIN, 0};
            ASSERT_EQ(::poll(&p, 1, 10000), 1);
        }

        EXPECT_EQ(ReadFromDevice(d, c.sentBefore.size()), c.sentBefore);
        std::uint8_t buf[64];
        const std::int32_t expected = c.peerCloses ? kSerialDeviceLost : 0;
        EXPECT_EQ(d.Read(buf, sizeof buf), expected);
        EXPECT_EQ(d.Read(buf, sizeof buf), expected);  // it stays so
        EXPECT_EQ(d.LastFailure().kind,
                  c.peerCloses ? SerialFailureKind::Lost : SerialFailureKind::None);
        const std::uint8_t line[] = ">I 1\n";
        EXPECT_EQ(d.Write(line, sizeof line),
                  c.peerCloses ? kSerialDeviceLost : static_cast<std::int32_t>(sizeof line));
        d.Close();
        EXPECT_EQ(d.Read(buf, sizeof buf), -1);  // closed is not lost
    }
}

// A child process that makes `path` the controlling terminal of a session of its own and then
// waits (without holding the terminal open) until it is killed.
class SessionLeader {
  public:
    explicit SessionLeader(const std::string& path) {
        int ready[2];
        if (::pipe(ready) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setsid();
            const int fd = ::open(path.c_str(), O_RDWR);  // the first terminal a leader opens
            (void)::ioctl(fd, TIOCSCTTY, 0);
            ::close(fd);
            (void)!::write(ready[1], "x", 1);
            for (;;) ::pause();
        }
        char c;
        (void)!::read(ready[0], &c, 1);
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~SessionLeader() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }

  private:
    pid_t pid_ = -1;
};

// The name this test program runs under, as /proc shows it.
std::string OwnProcessName() {
    std::ifstream in("/proc/self/comm");
    std::string name;
    std::getline(in, name);
    return name;
}

TEST(PosixSerialDevice, OnlyAPlainTerminalIsOpened) {
    TempFolder tmp;
    const fs::path file = tmp.path / "plain";
    std::ofstream(file) << "x";
    const fs::path fifo = tmp.path / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directories(tmp.path / "folder");
    fs::create_symlink(tmp.path / "gone", tmp.path / "dangling");
    fs::create_symlink(tmp.path / "loop-b", tmp.path / "loop-a");
    fs::create_symlink(tmp.path / "loop-a", tmp.path / "loop-b");
    Pty sessionPty;
    SessionLeader leader(sessionPty.path);
    Pty heldPty;
    OtherHolder holder(heldPty.path);
    Pty plainPty;
    fs::create_symlink(plainPty.path, tmp.path / "COM5");

    using K = SerialFailureKind;
    struct Case {
        std::string path;
        K kind;
        std::string holder;
    };
    const Case cases[] = {
        {file.string(), K::NotSerialDevice, ""},
        {fifo.string(), K::NotSerialDevice, ""},
        {(tmp.path / "folder").string(), K::NotSerialDevice, ""},
        {(tmp.path / "dangling").string(), K::Missing, ""},
        {(tmp.path / "loop-a").string(), K::NotSerialDevice, ""},
        {(tmp.path / "missing").string(), K::Missing, ""},
        {"", K::Missing, ""},
        {"/dev/null", K::NotSerialDevice, ""},
        {"/dev/tty", K::NotSerialDevice, ""},
        {"/dev/ptmx", K::NotSerialDevice, ""},
        {sessionPty.path, K::NotSerialDevice, OwnProcessName()},  // the forked session leader
        {heldPty.path, K::BusyByProcess, "sleep"},
        {plainPty.path, K::None, ""},
        {(tmp.path / "COM5").string(), K::None, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        PosixSerialDevice d;
        EXPECT_EQ(d.Open(c.path), c.kind == K::None);
        EXPECT_EQ(d.LastFailure().kind, c.kind);
        EXPECT_EQ(d.LastFailure().holder, c.holder);
        EXPECT_EQ(d.Descriptor() >= 0, c.kind == K::None);
    }
    // Nothing was written into what was refused.
    std::ifstream in(file);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "x");
    EXPECT_EQ(sessionPty.ReadAll(), "");
}

// 0 when opening `path` as the current user is refused for want of permission.
int RefusedForPermission(const std::string& path) {
    PosixSerialDevice d;
    return !d.Open(path) && d.LastFailure().kind == SerialFailureKind::NoPermission ? 0 : 1;
}

TEST(PosixSerialDevice, NoPermissionIsReported) {
    Pty pty;
    ASSERT_EQ(::chmod(pty.path.c_str(), 0), 0);
    if (::geteuid() != 0) {
        EXPECT_EQ(RefusedForPermission(pty.path), 0);
        return;
    }
    // Root opens every device: the check runs as an ordinary user in a child process.
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
        ::_exit(RefusedForPermission(pty.path));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: opened or another reason; 2: could not drop root";
}

// Opened at 115200 bit/s raw and closed again, by the device itself and by "Стоп" through the
// driver: the terminal is back in the cooked mode and speed it was found in.
TEST(PosixSerialDevice, TerminalIsLeftAsItWasFound) {
    class Ticks : public TickSource {
        void Start(int, std::function<void()>) override {}
        void Stop() override {}
    } ticks;
    const std::function<void(const std::string&)> uses[] = {
        [](const std::string& path) {
            PosixSerialDevice d;
            ASSERT_TRUE(d.Open(path));
            SerialLineSettings s;
            s.baudRate = 115200;
            s.xonXoff = true;
            ASSERT_TRUE(d.Apply(s));
            d.Close();
        },
        [&ticks](const std::string& path) {
            TCommPortDriver q(std::make_unique<PosixSerialDevice>(), ticks,
                              [&](int) { return path; });
            q.SetPortSpeed(br115200);
            ASSERT_TRUE(q.OpenPort());
            q.ClosePort();
        },
    };
    for (const auto& use : uses) {
        Pty pty;
        // A terminal in cooked mode at 4800 bit/s, as a shell or another program might leave it.
        struct termios before;
        ASSERT_EQ(::tcgetattr(pty.master, &before), 0);  // the master reports the slave's settings
        before.c_lflag |= ICANON | ECHO | ISIG;
        before.c_iflag |= ICRNL | IXON;
        before.c_oflag |= OPOST;
        ::cfsetispeed(&before, B4800);
        ::cfsetospeed(&before, B4800);
        before.c_cc[VMIN] = 1;
        ASSERT_EQ(::tcsetattr(pty.master, TCSANOW, &before), 0);
        ASSERT_EQ(::tcgetattr(pty.master, &before), 0);

        use(pty.path);

        struct termios after;
        ASSERT_EQ(::tcgetattr(pty.master, &after), 0);
        EXPECT_EQ(after.c_iflag, before.c_iflag);
        EXPECT_EQ(after.c_oflag, before.c_oflag);
        EXPECT_EQ(after.c_cflag, before.c_cflag);
        EXPECT_EQ(after.c_lflag, before.c_lflag);
        EXPECT_EQ(::cfgetospeed(&after), ::cfgetospeed(&before));
        for (std::size_t i = 0; i < NCCS; ++i) EXPECT_EQ(after.c_cc[i], before.c_cc[i]) << i;
    }
}

TEST(PosixSerialDevice, WriteToAPeerThatDoesNotReadEndsShort) {
    Pty pty;
    PosixSerialDevice d(200);  // 200 ms of patience
    ASSERT_TRUE(d.Open(pty.path));
    ASSERT_TRUE(d.Apply(SerialLineSettings{}));
    // Far more than a terminal's queues hold; the master side never reads.
    const std::string big(4 * 1024 * 1024, 'x');
    const std::int32_t written = d.Write(reinterpret_cast<const std::uint8_t*>(big.data()),
                                         static_cast<std::int32_t>(big.size()));
    EXPECT_GE(written, 0);
    EXPECT_LT(written, static_cast<std::int32_t>(big.size()));
}

TEST(PosixSerialDevice, DriverSendReportsFalseWhenThePeerStalls) {
    Pty pty;
    TempFolder tmp;
    class Ticks : public TickSource {
        void Start(int, std::function<void()>) override {}
        void Stop() override {}
    } ticks;
    TCommPortDriver q(std::make_unique<PosixSerialDevice>(100), ticks,
                      [&](int) { return pty.path; });
    ASSERT_TRUE(q.OpenPort());
    EXPECT_TRUE(q.SendText("\r>I 1\n"));
    const std::string big(4 * 1024 * 1024, 'y');
    EXPECT_FALSE(q.SendText(big));
}

// --- COM namespace ---

struct Namespace {
    TempFolder tmp;
    ComNamespaceRoots roots;
    Namespace() {
        roots.portsFolder = (tmp.path / "ports").string();
        roots.sysClassTty = (tmp.path / "sys").string();
        roots.devFolder = (tmp.path / "dev").string();
        fs::create_directories(roots.portsFolder);
        fs::permissions(roots.portsFolder, fs::perms::owner_all);  // as the console makes it
        fs::create_directories(roots.sysClassTty);
        fs::create_directories(roots.devFolder);
    }
    // A tty in the fake sysfs; `driver` gives it a bound driver, `type` writes the 8250 type.
    void AddTty(const std::string& name, bool driver, int type = -1, bool node = true) {
        const fs::path entry = fs::path(roots.sysClassTty) / name;
        fs::create_directories(entry / "device");
        if (driver) {
            fs::create_directories(tmp.path / "drivers" / "serial");
            fs::create_symlink(tmp.path / "drivers" / "serial", entry / "device" / "driver");
        }
        if (type >= 0) std::ofstream(entry / "type") << type << "\n";
        if (node) std::ofstream(fs::path(roots.devFolder) / name) << "";
    }
    void Publish(const std::string& name, const fs::path& target) {
        fs::create_symlink(target, fs::path(roots.portsFolder) / name);
    }
};

TEST(ComNamespace, HardwareRuleMapsTtyNamesToComNumbers) {
    struct Case {
        const char* tty;
        int com;
    };
    for (const Case& c :
         {Case{"ttyS0", 1}, Case{"ttyS19", 20}, Case{"ttyS20", 0}, Case{"ttyUSB0", 21},
          Case{"ttyUSB39", 60}, Case{"ttyUSB40", 0}, Case{"ttyACM0", 61}, Case{"ttyACM38", 99},
          Case{"ttyACM39", 0}, Case{"ttyS01", 0}, Case{"ttyS", 0}, Case{"tty1", 0},
          Case{"ttyAMA0", 0}}) {
        EXPECT_EQ(HardwareComNumber(c.tty), c.com) << c.tty;
    }
}

TEST(ComNamespace, PortsFolderFollowsTheRuntimeDirectory) {
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = old ? old : "";
    ::setenv("XDG_RUNTIME_DIR", "/run/user/1234", 1);
    EXPECT_EQ(ComPortsFolder(), "/run/user/1234/revodive/ports");
    ::setenv("XDG_RUNTIME_DIR", "", 1);
    EXPECT_EQ(ComPortsFolder(), "/tmp/revodive-" + std::to_string(::getuid()) + "/ports");
    if (old)
        ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
}

TEST(ComNamespace, ListsPublishedPortsAndRealHardwareSortedByNumber) {
    Namespace ns;
    Pty a, b;
    ns.Publish("COM9", a.path);
    ns.Publish("COM3", b.path);
    ns.Publish("COM05", a.path);               // leading zero: not a port name
    ns.Publish("COM100", a.path);              // out of range
    ns.Publish("COM7", ns.tmp.path / "gone");  // dangling: absent
    ns.AddTty("ttyS0", true, 4);               // a UART: COM1
    ns.AddTty("ttyS1", true, 0);               // a slot without a UART
    ns.AddTty("ttyS2", false);                 // no driver
    ns.AddTty("ttyUSB0", true);                // COM21
    ns.AddTty("ttyACM1", true, -1, false);     // no device node
    ns.AddTty("ttyS8", true, 4);               // would be COM9, but the ports folder has it

    const auto ports = ListComPorts(ns.roots);
    std::vector<std::string> names;
    for (const auto& p : ports) names.push_back(p.name);
    EXPECT_EQ(names, (std::vector<std::string>{"COM1", "COM3", "COM9", "COM21"}));
    EXPECT_EQ(ComNamespaceList(ns.roots), std::string("COM1\0COM3\0COM9\0COM21\0\0", 22));

    EXPECT_EQ(ResolveComPort(9, ns.roots), fs::canonical(a.path).string());
    EXPECT_EQ(ResolveComPort(1, ns.roots), ns.roots.devFolder + "/ttyS0");
    EXPECT_EQ(ResolveComPort(21, ns.roots), ns.roots.devFolder + "/ttyUSB0");
    for (int absent : {0, 2, 7, 62, 100}) EXPECT_EQ(ResolveComPort(absent, ns.roots), "") << absent;
}

TEST(ComNamespace, MissingPortsFolderListsOnlyHardware) {
    Namespace ns;
    fs::remove_all(ns.roots.portsFolder);
    ns.AddTty("ttyUSB2", true);
    EXPECT_EQ(ComNamespaceList(ns.roots), std::string("COM23\0\0", 7));
}

TEST(ComNamespace, UnreadablePortsFolderIsAnError) {
    // A trusted folder that cannot be read is reported, not taken for an empty folder (root reads
    // everything: checked as an ordinary user only).
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every folder";
    Namespace ns;
    ::chmod(ns.roots.portsFolder.c_str(), 0);
    EXPECT_THROW(ListComPorts(ns.roots), std::runtime_error);
    ::chmod(ns.roots.portsFolder.c_str(), 0700);
}

// Somebody else's ports folder could send the console to a terminal of theirs: it is passed over
// (COM9 is then the hardware port again) and the technician is told why.
TEST(ComNamespace, PortsFolderNotTheUsersOwnIsNotUsed) {
    struct Case {
        const char* what;
        std::function<void(Namespace&)> spoil;
        const char* reason;  // a part of the reason; empty: the folder is used
    };
    const auto moveAway = [](const fs::path& folder) {
        fs::rename(folder, folder.string() + "-real");
        fs::create_directory_symlink(folder.string() + "-real", folder);
    };
    const Case cases[] = {
        {"the user's own", [](Namespace&) {}, ""},
        {"open to everybody", [](Namespace& ns) { ::chmod(ns.roots.portsFolder.c_str(), 0777); },
         "права 0777"},
        {"readable by the group",
         [](Namespace& ns) { ::chmod(ns.roots.portsFolder.c_str(), 0750); }, "права 0750"},
        {"holding folder open", [](Namespace& ns) { ::chmod(ns.tmp.path.c_str(), 0755); },
         "права 0755"},
        {"made by another user", [](Namespace& ns) { ns.roots.owner = ::getuid() + 1; },
         "другой пользователь"},
        {"a link to a folder", [&](Namespace& ns) { moveAway(ns.roots.portsFolder); },
         "ссылка, а не папка"},
        {"a file",
         [](Namespace& ns) {
             fs::remove_all(ns.roots.portsFolder);
             std::ofstream(ns.roots.portsFolder) << "COM9";
         },
         "не папка"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Namespace ns;
        Pty unit;
        ns.Publish("COM9", unit.path);
        ns.AddTty("ttyS8", true, 4);  // COM9 by the hardware rule
        c.spoil(ns);
        const std::string reason = PortsFolderRefusal(ns.roots);
        const bool used = std::string(c.reason).empty();
        EXPECT_EQ(reason.empty(), used) << reason;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
        EXPECT_EQ(ResolveComPort(9, ns.roots),
                  used ? fs::canonical(unit.path).string() : ns.roots.devFolder + "/ttyS8");
        const auto ports = ListComPorts(ns.roots);
        ASSERT_EQ(ports.size(), 1u);
        EXPECT_EQ(ports[0].published, used);
    }
}

TEST(ComNamespace, MissingPortsFolderIsMadeForTheUserAlone) {
    TempFolder tmp;
    ComNamespaceRoots roots;
    roots.portsFolder = (tmp.path / "revodive-1000" / "ports").string();
    const mode_t oldMask = ::umask(0);  // even a careless umask gives nobody else access
    MakePortsFolder(roots);
    ::umask(oldMask);
    for (const fs::path& folder : {tmp.path / "revodive-1000", fs::path(roots.portsFolder)}) {
        struct stat st;
        ASSERT_EQ(::lstat(folder.c_str(), &st), 0) << folder;
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 0777, 0700u) << folder;
    }
    EXPECT_EQ(PortsFolderRefusal(roots), "");
}

}  // namespace
}  // namespace rv
