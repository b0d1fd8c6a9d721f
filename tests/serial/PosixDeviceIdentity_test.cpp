// Finding a device again after it went away, over a temporary ports folder, a made-up
// /sys/class/tty and /dev, and a made-up /dev/serial/by-id.

#include "serial/posix/PosixDeviceIdentity.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace rv {
namespace {

struct Tree {
    fs::path root;
    ComNamespaceRoots roots;
    std::string byId;

    Tree() {
        std::string templ = (fs::temp_directory_path() / "revodive-identity-XXXXXX").string();
        root = ::mkdtemp(templ.data());
        roots.portsFolder = (root / "ports").string();
        roots.sysClassTty = (root / "sys").string();
        roots.devFolder = (root / "dev").string();
        byId = (root / "by-id").string();
        for (const auto& f : {roots.portsFolder, roots.sysClassTty, roots.devFolder, byId})
            fs::create_directories(f);
        fs::create_directories(root / "driver");
        // The ports folder is used only when no one but its owner may touch it.
        fs::permissions(roots.portsFolder, fs::perms::owner_all, fs::perm_options::replace);
    }
    ~Tree() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    // A USB adapter plugged in as `tty`, with udev's link named after it.
    void Plug(const std::string& tty, const std::string& adapter) {
        fs::create_directories(fs::path(roots.sysClassTty) / tty / "device");
        fs::create_symlink(root / "driver", fs::path(roots.sysClassTty) / tty / "device/driver");
        std::ofstream(fs::path(roots.devFolder) / tty) << "";
        fs::create_symlink(fs::path(roots.devFolder) / tty, fs::path(byId) / adapter);
    }
    void Unplug(const std::string& tty, const std::string& adapter) {
        fs::remove_all(fs::path(roots.sysClassTty) / tty);
        fs::remove(fs::path(roots.devFolder) / tty);
        fs::remove(fs::path(byId) / adapter);
    }
    // A unit published as COM<n> on the node `node` (made when missing).
    void Publish(int n, const std::string& node) {
        const fs::path target = root / node;
        if (!fs::exists(target)) std::ofstream(target) << "";
        const fs::path link = fs::path(roots.portsFolder) / ("COM" + std::to_string(n));
        fs::remove(link);
        fs::create_symlink(target, link);
    }
    std::string Identity(int port) const { return PosixDeviceIdentity(port, roots, byId); }
    PortPresence Find(const std::string& identity) const {
        return PosixFindDevice(identity, roots, byId);
    }
};

TEST(PosixDeviceIdentity, UsbAdapterIsFoundAgainUnderItsNewNumber) {
    Tree t;
    const std::string adapter = "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    t.Plug("ttyUSB0", adapter);
    const std::string identity = t.Identity(21);
    EXPECT_EQ(identity, "by-id:" + adapter);
    const PortPresence before = t.Find(identity);
    EXPECT_EQ(before.port, 21);

    t.Unplug("ttyUSB0", adapter);
    EXPECT_EQ(t.Find(identity).port, 0);
    // Another adapter took ttyUSB0 meanwhile; ours comes back as ttyUSB1.
    t.Plug("ttyUSB0", "usb-Prolific_PL2303-if00-port0");
    EXPECT_EQ(t.Find(identity).port, 0);
    t.Plug("ttyUSB1", adapter);
    const PortPresence after = t.Find(identity);
    EXPECT_EQ(after.port, 22);
    EXPECT_NE(after.device, before.device);
}

TEST(PosixDeviceIdentity, PublishedUnitIsFoundAgainUnderItsEntry) {
    Tree t;
    t.Publish(9, "pts-4");
    const std::string identity = t.Identity(9);
    EXPECT_EQ(identity, "ports:COM9");
    const PortPresence first = t.Find(identity);
    EXPECT_EQ(first.port, 9);
    EXPECT_EQ(t.Find(identity), first);  // nothing changed: the same answer

    fs::remove(t.root / "pts-4");  // the unit went away: its link dangles
    EXPECT_EQ(t.Find(identity).port, 0);
    t.Publish(9, "pts-4");  // back on a terminal of the same name, made anew
    const PortPresence again = t.Find(identity);
    EXPECT_EQ(again.port, 9);
    EXPECT_NE(again.device, first.device);
}

TEST(PosixDeviceIdentity, OtherHardwareIsItsTtyAndAnAbsentPortHasNoIdentity) {
    Tree t;
    fs::create_directories(fs::path(t.roots.sysClassTty) / "ttyS0/device");
    fs::create_symlink(t.root / "driver", fs::path(t.roots.sysClassTty) / "ttyS0/device/driver");
    std::ofstream(fs::path(t.roots.devFolder) / "ttyS0") << "";
    EXPECT_EQ(t.Identity(1), "tty:ttyS0");
    EXPECT_EQ(t.Find("tty:ttyS0").port, 1);
    EXPECT_EQ(t.Identity(2), "");
    EXPECT_EQ(t.Identity(0), "");
    for (const char* unknown : {"", "tty:", "ports:COMX", "by-id:nothing", "what:ever"})
        EXPECT_EQ(t.Find(unknown).port, 0) << unknown;
}

}  // namespace
}  // namespace rv
