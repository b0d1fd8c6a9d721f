// The port driver over a scripted device: property limits, device paths, framing of the byte
// stream into blocks at the terminator, pending bytes across close and open, a full buffer.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "serial/CommPortDriver.h"
#include "serial/PortList.h"
#include "support/ScriptedSerialDevice.h"

namespace rv {
namespace {

using test::ManualTickSource;
using test::ScriptedSerialDevice;

struct Rig {
    ManualTickSource ticks;
    ScriptedSerialDevice* device = nullptr;
    std::unique_ptr<TCommPortDriver> q;
    std::vector<std::string> blocks;

    Rig() {
        auto d = std::make_unique<ScriptedSerialDevice>();
        device = d.get();
        q = std::make_unique<TCommPortDriver>(
            std::move(d), ticks, [](int port) { return "COM" + std::to_string(port); });
    }
    void Listen() {
        q->SetOnReceiveData([this](TCommPortDriver&, const std::uint8_t* data, std::int32_t size) {
            blocks.emplace_back(reinterpret_cast<const char*>(data),
                                static_cast<std::size_t>(size));
        });
    }
    // Reads `chunk` in one tick, through the poll the driver started its ticks with.
    void Receive(const std::string& chunk) {
        device->QueueRead(chunk);
        ticks.Tick();
    }
};

TEST(CommPortDriver, NewDriverHoldsItsDefaults) {
    Rig r;
    EXPECT_EQ(r.q->Port(), 2);
    EXPECT_EQ(r.q->PortSpeed(), br9600);
    EXPECT_EQ(r.q->PortDataBits(), 8);
    EXPECT_EQ(r.q->PortInBufSize(), 2048);
    EXPECT_EQ(r.q->PortOutBufSize(), 2048);
    EXPECT_EQ(r.q->PortPollingDelay(), 0);
    EXPECT_EQ(r.q->EndByte(), -1);
    EXPECT_FALSE(r.q->IsOpen());
}

TEST(CommPortDriver, SettersKeepValuesWithinTheirRanges) {
    struct Case {
        int in, port;
    };
    for (const Case& c :
         {Case{0, 1}, Case{1, 1}, Case{12, 12}, Case{99, 99}, Case{100, 99}, Case{255, 99}}) {
        Rig r;
        r.q->SetPort(c.in);
        EXPECT_EQ(r.q->Port(), c.port) << c.in;
    }
    struct Bits {
        int in, out;
    };
    for (const Bits& c : {Bits{4, 5}, Bits{5, 5}, Bits{7, 7}, Bits{8, 8}, Bits{9, 8}}) {
        Rig r;
        r.q->SetPortDataBits(c.in);
        EXPECT_EQ(r.q->PortDataBits(), c.out) << c.in;
    }
    struct End {
        int in, out;
    };
    for (const End& c :
         {End{-5, -1}, End{-1, -1}, End{0, 0}, End{10, 10}, End{255, 255}, End{300, 255}}) {
        Rig r;
        r.q->SetEndByte(c.in);
        EXPECT_EQ(r.q->EndByte(), c.out) << c.in;
    }
}

TEST(CommPortDriver, PortIsIgnoredWhileOpen) {
    Rig r;
    r.q->SetPort(5);
    ASSERT_TRUE(r.q->OpenPort());
    r.q->SetPort(7);
    EXPECT_EQ(r.q->Port(), 5);
    r.q->ClosePort();
    r.q->SetPort(7);
    EXPECT_EQ(r.q->Port(), 7);
}

TEST(CommPortDriver, WindowsDevicePathHasNoLeadingZero) {
    EXPECT_EQ(WindowsComPortPath(3), "\\\\.\\COM3");
    EXPECT_EQ(WindowsComPortPath(12), "\\\\.\\COM12");
    EXPECT_EQ(WindowsComPortPath(99), "\\\\.\\COM99");
}

TEST(CommPortDriver, OpenAppliesSettingsAndStartsTicksOnce) {
    Rig r;
    r.q->SetPort(3);
    r.q->SetPortSpeed(br115200);
    ASSERT_TRUE(r.q->OpenPort());
    EXPECT_EQ(r.device->OpenedPaths(), std::vector<std::string>{"COM3"});
    ASSERT_EQ(r.device->Applied().size(), 1u);
    const SerialLineSettings& s = r.device->Applied().back();
    EXPECT_EQ(s.baudRate, 115200u);
    EXPECT_EQ(s.dataBits, 8);
    EXPECT_EQ(s.xonLimit, 512);
    EXPECT_EQ(s.xoffLimit, 1);
    EXPECT_EQ(s.xonChar, 17);
    EXPECT_EQ(s.xoffChar, 19);
    EXPECT_EQ(r.ticks.StartPeriods(), std::vector<int>{0});

    // Open again: nothing is reopened or re-applied.
    EXPECT_TRUE(r.q->OpenPort());
    EXPECT_EQ(r.device->OpenedPaths().size(), 1u);
    EXPECT_EQ(r.device->Applied().size(), 1u);
    EXPECT_EQ(r.ticks.StartPeriods().size(), 1u);
}

TEST(CommPortDriver, SettingsChangesReachAnOpenDeviceOnly) {
    Rig r;
    r.q->SetPortSpeed(br4800);
    r.q->SetPortParity(ptMARK);
    EXPECT_TRUE(r.device->Applied().empty());
    ASSERT_TRUE(r.q->OpenPort());
    r.q->SetPortSpeed(br38400);
    r.q->SetPortStopBits(sb2BITS);
    r.q->SetPortHwHandshaking(hhRTSCTS);
    r.q->SetPortSwHandshaking(shXONXOFF);
    r.q->SetPortInBufSize(1024);
    r.q->SetPortOutBufSize(512);
    const SerialLineSettings& s = r.device->Applied().back();
    EXPECT_EQ(r.device->Applied().size(), 7u);
    EXPECT_EQ(s.baudRate, 38400u);
    EXPECT_EQ(s.parity, 3);
    EXPECT_EQ(s.stopBits, 2);
    EXPECT_TRUE(s.rtsCts);
    EXPECT_TRUE(s.xonXoff);
    EXPECT_EQ(s.inQueueSize, 1024);
    EXPECT_EQ(s.xonLimit, 256);
    EXPECT_EQ(s.outQueueSize, 512);
}

TEST(CommPortDriver, PollingDelayRestartsTicksOnlyOnAChangeWhileOpen) {
    Rig r;
    r.q->SetPortPollingDelay(50);
    EXPECT_TRUE(r.ticks.StartPeriods().empty());
    ASSERT_TRUE(r.q->OpenPort());
    r.q->SetPortPollingDelay(50);
    r.q->SetPortPollingDelay(20);
    EXPECT_EQ(r.ticks.StartPeriods(), (std::vector<int>{50, 20}));
    r.Listen();
    r.Receive("after the restart");
    EXPECT_EQ(r.blocks, std::vector<std::string>{"after the restart"});
    r.q->ClosePort();
    EXPECT_FALSE(r.ticks.Active());
}

TEST(CommPortDriver, FailedOpenReadsAsClosedAndCanBeRetried) {
    Rig r;
    r.q->SetPort(4);
    r.device->RefuseOpen("COM4");
    EXPECT_FALSE(r.q->OpenPort());
    EXPECT_FALSE(r.q->IsOpen());
    EXPECT_TRUE(r.ticks.StartPeriods().empty());
    EXPECT_FALSE(r.q->SendText("x"));
    r.device->AcceptOpen("COM4");
    EXPECT_TRUE(r.q->OpenPort());
}

TEST(CommPortDriver, TerminatorModeCutsBlocksAcrossReads) {
    struct Case {
        const char* name;
        std::vector<std::string> reads;
        std::vector<std::string> blocks;
        int pending;
    };
    const std::vector<Case> cases = {
        {"two lines and a rest", {"AB\nCD\nEF"}, {"AB\n", "CD\n"}, 2},
        {"rest completed later", {"AB\nCD\nEF", "\n"}, {"AB\n", "CD\n", "EF\n"}, 0},
        {"terminator alone", {"\n"}, {"\n"}, 0},
        {"line split over reads", {">GK=1", ";2", "\r", "\n"}, {">GK=1;2\r\n"}, 0},
        {"no terminator yet", {"abc", "def"}, {}, 6},
        {"zero bytes are data", {std::string("a\0b\n", 4)}, {std::string("a\0b\n", 4)}, 0},
    };
    for (const Case& c : cases) {
        Rig r;
        r.q->SetEndByte(10);
        r.Listen();
        ASSERT_TRUE(r.q->OpenPort());
        for (const auto& read : c.reads) r.Receive(read);
        EXPECT_EQ(r.blocks, c.blocks) << c.name;
        EXPECT_EQ(r.q->PendingCount(), c.pending) << c.name;
    }
}

TEST(CommPortDriver, ReadAsksForTheRoomLeftAfterPendingBytes) {
    Rig r;
    r.q->SetEndByte(10);
    r.Listen();
    ASSERT_TRUE(r.q->OpenPort());
    r.Receive("12345");
    r.Receive("");
    EXPECT_EQ(r.device->ReadCapacities(), (std::vector<std::int32_t>{2048, 2043}));
}

TEST(CommPortDriver, RawModeDeliversEachReadAsItComes) {
    Rig r;
    r.Listen();
    ASSERT_TRUE(r.q->OpenPort());
    r.Receive("AB\nCD");
    r.Receive("E");
    EXPECT_EQ(r.blocks, (std::vector<std::string>{"AB\nCD", "E"}));
    EXPECT_EQ(r.q->PendingCount(), 0);
}

TEST(CommPortDriver, NothingHappensWhileClosedOrAfterAFailedRead) {
    Rig r;
    r.q->SetEndByte(10);
    r.Listen();
    r.device->QueueReadFailure();
    r.device->QueueRead("A\n");
    r.q->PollReceive();  // closed: the device is not even read
    EXPECT_TRUE(r.device->ReadCapacities().empty());
    ASSERT_TRUE(r.q->OpenPort());
    r.q->PollReceive();
    EXPECT_TRUE(r.blocks.empty());
    EXPECT_TRUE(r.q->IsOpen());
    r.q->PollReceive();
    EXPECT_EQ(r.blocks, std::vector<std::string>{"A\n"});
}

TEST(CommPortDriver, WithoutAHandlerBytesAreLost) {
    Rig r;
    r.q->SetEndByte(10);
    ASSERT_TRUE(r.q->OpenPort());
    r.Receive("lost");
    EXPECT_EQ(r.q->PendingCount(), 0);
    r.Listen();
    r.Receive("new\n");
    EXPECT_EQ(r.blocks, std::vector<std::string>{"new\n"});
}

TEST(CommPortDriver, PendingBytesLeadTheFirstBlockAfterReopening) {
    Rig r;
    r.q->SetEndByte(10);
    r.Listen();
    ASSERT_TRUE(r.q->OpenPort());
    r.Receive("AB\nEF");
    r.q->ClosePort();
    EXPECT_EQ(r.q->PendingCount(), 2);
    ASSERT_TRUE(r.q->OpenPort());
    r.Receive("G\n");
    EXPECT_EQ(r.blocks, (std::vector<std::string>{"AB\n", "EFG\n"}));
}

TEST(CommPortDriver, NewBufferSizeDropsPendingBytes) {
    Rig r;
    r.q->SetEndByte(10);
    r.Listen();
    ASSERT_TRUE(r.q->OpenPort());
    r.Receive("old");
    r.q->SetPortInBufSize(16);
    EXPECT_EQ(r.q->PendingCount(), 0);
    r.Receive("new\n");
    EXPECT_EQ(r.blocks, std::vector<std::string>{"new\n"});
}

TEST(CommPortDriver, FullBufferWithoutTerminatorIsDeliveredWholeAndReceptionGoesOn) {
    Rig r;
    r.q->SetEndByte(10);
    r.q->SetPortInBufSize(8);
    r.Listen();
    ASSERT_TRUE(r.q->OpenPort());
    r.Receive("0123456789ab\n");  // 13 bytes arrive through an 8-byte buffer
    r.q->PollReceive();
    EXPECT_EQ(r.blocks, (std::vector<std::string>{"01234567", "89ab\n"}));
    EXPECT_EQ(r.q->PendingCount(), 0);
    // A line that exactly fills the buffer still ends at its terminator.
    r.Receive("abcdefg\n");
    EXPECT_EQ(r.blocks.back(), "abcdefg\n");
}

TEST(CommPortDriver, HandlerThatClosesThePortStillGetsTheLinesOfThatRead) {
    Rig r;
    r.q->SetEndByte(10);
    ASSERT_TRUE(r.q->OpenPort());
    r.q->SetOnReceiveData([&](TCommPortDriver& q, const std::uint8_t* data, std::int32_t size) {
        r.blocks.emplace_back(reinterpret_cast<const char*>(data), static_cast<std::size_t>(size));
        q.ClosePort();
    });
    r.Receive("A\nB\n");
    EXPECT_EQ(r.blocks, (std::vector<std::string>{"A\n", "B\n"}));
    EXPECT_FALSE(r.q->IsOpen());
}

TEST(CommPortDriver, SendWritesExactBytesAndReportsShortWrites) {
    Rig r;
    EXPECT_FALSE(r.q->SendText(">I 1"));  // closed
    ASSERT_TRUE(r.q->OpenPort());
    const std::string line("\r>D 1;0\n");
    EXPECT_TRUE(r.q->SendText(line));
    EXPECT_TRUE(r.q->SendText(""));
    EXPECT_EQ(r.device->Written(), line);
    r.device->SetWriteShortBy(1);
    EXPECT_FALSE(r.q->SendText("abc"));
    r.device->SetWriteShortBy(0);
    r.device->SetWriteFails(true);
    EXPECT_FALSE(r.q->SendText("abc"));
    EXPECT_FALSE(r.q->SendBytes(reinterpret_cast<const std::uint8_t*>("x"), -1));
}

TEST(CommPortDriver, LostDeviceClosesThePortDropsTheHalfLineAndTellsWhy) {
    // The device goes away during a read, or during a write.
    for (const bool inWrite : {false, true}) {
        SCOPED_TRACE(inWrite ? "write" : "read");
        Rig r;
        r.Listen();
        r.q->SetEndByte(10);
        std::vector<SerialFailure> told;
        r.q->SetOnLinkLost([&](TCommPortDriver& q, const SerialFailure& why) {
            EXPECT_FALSE(q.IsOpen());  // closed before the owner hears of it
            told.push_back(why);
        });
        ASSERT_TRUE(r.q->OpenPort());
        r.Receive(">ID=UNIT_A_PART");
        ASSERT_EQ(r.q->PendingCount(), 15);
        if (inWrite) {
            r.device->LoseOnWrite();
            EXPECT_FALSE(r.q->SendText(">I 1\n"));
        } else {
            r.device->QueueLoss();
            r.ticks.Tick();
        }
        ASSERT_EQ(told.size(), 1u);
        EXPECT_EQ(told[0].kind, SerialFailureKind::Lost);
        EXPECT_FALSE(r.q->IsOpen());
        EXPECT_FALSE(r.ticks.Active());
        EXPECT_EQ(r.device->CloseCalls(), 1);
        EXPECT_EQ(r.q->PendingCount(), 0);
        // Nothing more is read from the dead device, nothing more is told.
        r.ticks.Tick();
        r.q->PollReceive();
        EXPECT_EQ(told.size(), 1u);
        EXPECT_TRUE(r.blocks.empty());
        // Reopened, it reads as it did before.
        ASSERT_TRUE(r.q->OpenPort());
        r.Receive(">MS=7\n");
        EXPECT_EQ(r.blocks, (std::vector<std::string>{">MS=7\n"}));
    }
}

TEST(CommPortDriver, OpenFailureKeepsTheDevicesReason) {
    using K = SerialFailureKind;
    struct Case {
        std::string path;  // what the port resolves to
        SerialFailure refusal;
        K kind;
    };
    const Case cases[] = {
        {"COM2", {K::BusyByProcess, "minicom", {}}, K::BusyByProcess},
        {"COM2", {K::NoPermission, {}, {}}, K::NoPermission},
        {"COM2", {K::None, {}, {}}, K::Other},  // a device that gives no reason
        {"", {}, K::Missing},                   // no device path: the port is absent
    };
    for (const Case& c : cases) {
        ManualTickSource ticks;
        auto device = std::make_unique<ScriptedSerialDevice>();
        device->RefuseOpen("COM2", c.refusal);
        TCommPortDriver q(std::move(device), ticks, [&](int) { return c.path; });
        EXPECT_FALSE(q.OpenPort());
        EXPECT_EQ(q.LastOpenFailure().kind, c.kind) << c.path;
        if (c.kind == K::BusyByProcess) {
            EXPECT_EQ(q.LastOpenFailure().holder, "minicom");
        }
    }
    Rig r;
    ASSERT_TRUE(r.q->OpenPort());
    EXPECT_EQ(r.q->LastOpenFailure().kind, K::None);
}

}  // namespace
}  // namespace rv
