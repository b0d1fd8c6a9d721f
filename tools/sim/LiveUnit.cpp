#include "LiveUnit.h"

#include "Wire.h"

namespace sim {
namespace {

// How long the unit takes to come back after a restart command, in seconds.
constexpr double kRestartPause = 0.3;

}  // namespace

LiveUnit::LiveUnit(std::uint64_t seed) : model_(seed) {
    model_.Settle();
    // Cadences of a unit in its diagnostic mode: navigation every second, power and memory every
    // few seconds, identity now and then; every sensor has its own turn, offset a little so the
    // lines do not all come at once.
    auto add = [&](Family f, int index, double period, double offset, bool gsm = false) {
        schedule_.push_back({{f, index}, period, offset, gsm});
    };
    add(Family::GK, 0, 1, 0.05);
    add(Family::GS, 0, 1, 0.1);
    add(Family::GP, 0, 5, 0.15);
    add(Family::PB, 0, 5, 0.2);
    add(Family::TW, 0, 10, 0.25);
    add(Family::RW, 0, 10, 0.3);
    add(Family::DS, 0, 30, 0.35);
    add(Family::DF, 0, 30, 0.4);
    add(Family::DI, 0, 60, 0.45);
    add(Family::DN, 0, 60, 0.5);
    for (int i = 0; i < kIoLines; ++i) add(Family::IO, i, 2, 0.55 + 0.05 * i);
    for (int i = 0; i < kFuelSensors; ++i) add(Family::LLS, i, 3, 0.6 + 0.3 * i);
    for (int i = 0; i < kOneWireSensors; ++i) add(Family::OWT, i, 5, 1.0 + 0.4 * i);
    for (int i = 0; i < kGasCodes; ++i) add(Family::GAS, i, 5, 1.2 + 0.2 * i);
    for (int i = 0; i < kReeferItems; ++i) add(Family::ML3, i, 5, 1.5 + 0.2 * i);
    add(Family::ICT, 0, 30, 2.2);
    add(Family::CV, 0, 10, 2.4);
    for (int i = 0; i < kCanKeys; ++i) add(Family::CAN, i, 2, 2.5 + 0.05 * i);
    // The GSM log.
    add(Family::MS, 0, 10, 0.7, true);
    add(Family::ML, 0, 5, 0.75, true);
    add(Family::MN, 0, 60, 0.8, true);
    add(Family::MO, 0, 30, 0.85, true);
    add(Family::MD, 0, 30, 0.9, true);
    add(Family::MT, 0, 10, 0.95, true);
    add(Family::MB, 0, 10, 1.0, true);
    add(Family::MW, 0, 5, 1.05, true);
    add(Family::SA, 0, 10, 1.1, true);
    add(Family::SS, 0, 10, 1.15, true);
    add(Family::SMS, 0, 60, 1.2, true);
}

void LiveUnit::Send(const Item& item) {
    outbox_ += model_.Render(item);
    ++lines_;
}

void LiveUnit::SendGroup(const std::vector<Item>& items) {
    for (const Item& item : items) Send(item);
}

void LiveUnit::StartupBurst() {
    SendGroup(UnitModel::Parameters());
    SendGroup({{Family::DS},
               {Family::PB},
               {Family::RW},
               {Family::MS},
               {Family::PIN1},
               {Family::PIN2},
               {Family::ISS1},
               {Family::ISS2}});
}

void LiveUnit::Greet() {
    SendGroup(UnitModel::Parameters());
    SendGroup({{Family::DS}, {Family::PB}, {Family::RW}, {Family::GK}, {Family::GS}, {Family::GP}});
    if (gsmLogOn_) SendGroup(UnitModel::GsmGroup());
}

void LiveUnit::FullRound() {
    SendGroup(UnitModel::AllItems());
}

void LiveUnit::Restart() {
    model_.Restart();
    outbox_ += Restarted();
    ++lines_;
    restartAt_ = now_ + kRestartPause;
}

void LiveUnit::Tick(double seconds) {
    if (now_ < 0) {
        now_ = seconds;
        for (Periodic& p : schedule_) p.next += seconds;  // offsets count from the first tick
    }
    const double dt = seconds - now_;
    now_ = seconds;
    if (dt > 0) model_.Advance(dt > 5 ? 5 : dt);

    if (restartAt_ >= 0) {
        if (now_ < restartAt_) return;  // the unit is booting: silent
        restartAt_ = -1;
        StartupBurst();
    }

    // Events are reported at once, on their own stream.
    if (model_.TakeStageChange() && gsmLogOn_) Send({Family::MS});
    if (model_.TakeUpdateChange() && streamOn_) Send({Family::DF});
    if (model_.TakePacketSent() && gsmLogOn_) SendGroup({{Family::SS}, {Family::SA}, {Family::MT}});
    if (model_.TakeNewBill() && streamOn_) Send({Family::ICT});

    for (Periodic& p : schedule_) {
        if (now_ < p.next) continue;
        p.next += p.period;
        if (p.next <= now_) p.next = now_ + p.period;  // fell behind: skip, do not flood
        if (p.gsm ? gsmLogOn_ : streamOn_) Send(p.item);
    }
}

void LiveUnit::HandleLine(const std::string& line) {
    if (const auto cmd = ParseCommand(line)) Handle(*cmd);
}

void LiveUnit::Handle(const Command& cmd) {
    switch (cmd.kind) {
        case Command::Kind::Do:
            switch (cmd.a) {
                case 10:
                    streamOn_ = cmd.b != 0;
                    break;
                case 9:
                    gsmLogOn_ = cmd.b != 0;
                    if (gsmLogOn_) SendGroup(UnitModel::GsmGroup());
                    break;
                case 1:
                    Restart();
                    break;
                case 8:
                    model_.ResetMemoryCounters();
                    Send({Family::RW});
                    break;
                case 4:
                    SendGroup(UnitModel::PositionPacket());
                    break;
                case 0:
                    model_.StartSettingsUpdate();
                    Send({Family::DF});
                    break;
                case 2:
                case 3:
                    model_.StartFirmwareUpdate();
                    Send({Family::DF});
                    break;
                default:
                    break;  // factory test functions: nothing to see
            }
            break;
        case Command::Kind::Inquire:
            switch (cmd.a) {
                case 0:
                    SendGroup(UnitModel::Parameters());
                    break;
                case 1:
                    SendGroup(UnitModel::Status());
                    break;
                case 7:
                    SendGroup(UnitModel::GsmGroup());
                    break;
                case 4:
                    SendGroup({{Family::PIN1}, {Family::PIN2}});
                    break;
                case 3:
                    Send({Family::ISS1});
                    break;
                case 9:
                    Send({Family::ISS2});
                    break;
                default:
                    break;
            }
            break;
        case Command::Kind::SetPin:
            // A valid PIN is stored; either way the unit reports what it now holds.
            model_.SetPin(cmd.a, cmd.text[0]);
            Send({cmd.a == 2 ? Family::PIN2 : Family::PIN1});
            break;
        case Command::Kind::SetAccess:
            model_.SetAccessPoint(cmd.a, cmd.text[0], cmd.text[1], cmd.text[2]);
            Send({cmd.a == 2 ? Family::ISS2 : Family::ISS1});
            break;
    }
}

std::string LiveUnit::TakeOutbox() {
    std::string out;
    out.swap(outbox_);
    return out;
}

}  // namespace sim
