#include "UnitModel.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <utility>

#include "Wire.h"

namespace sim {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTankLitres = 400;
constexpr int kModel = 200;  // "Rarevi"
constexpr int kFirmwareMajor = 1;
constexpr int kFirmwareMinor = 5;
constexpr const char* kOperator = "МегаФон";
constexpr const char* kOperatorCode = "25002";
constexpr const char* kServer = "203.0.113.17";
constexpr int kServerPort = 20100;
constexpr int kFuelAddress[kFuelSensors] = {1, 2, 85};
constexpr const char* kOneWireAddress[kOneWireSensors] = {"28A1B2C3D4E5", "28F0E1D2C3B4"};
constexpr int kGasCode[kGasCodes] = {1480, 10, 20, 70, 1520, 340, 960, 1460};
constexpr float kGasBase[kGasCodes] = {1.2f, 0.035f, 0.06f, 0.018f, 0.004f, 0.15f, 1.9f, 0.7f};
constexpr int kReeferIndex[kReeferItems] = {0, 1, 2, 3, 5};
constexpr char kCanLetter[kCanKeys] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J',
                                       'K', 'L', 'M', 'N', 'O', 'P', 'R', 'S', 'Q', 'U'};
constexpr int kBills[] = {50, 100, 200, 500, 1000};
// Self-test word of a healthy unit: memories, clock, GPS module, motion sensor, SIM1 in use with
// its PIN entered, SIM2 present without a PIN. The modem bits (4, 5) follow the modem.
constexpr std::uint32_t kSelfTestHealthy =
    0x1 | 0x2 | 0x4 | 0x40 | 0x80 | 0x100 | 0x200 | 0x400 | 0x800 | 0x10000;
constexpr std::uint32_t kSelfTestModem = 0x10 | 0x20;

std::string Digits(Random& rng, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s.push_back(static_cast<char>('0' + rng.Between(0, 9)));
    return s;
}

// A 15-digit IMEI whose last digit is the Luhn check digit.
std::string MakeImei(Random& rng) {
    std::string s = "35" + Digits(rng, 12);
    int sum = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        int d = s[i] - '0';
        if (i % 2 == 1) {
            d *= 2;
            if (d > 9) d -= 9;
        }
        sum += d;
    }
    s.push_back(static_cast<char>('0' + (10 - sum % 10) % 10));
    return s;
}

int Round(double v) {
    return static_cast<int>(std::lround(v));
}

double Toward(double value, double target, double step) {
    if (value < target) return std::min(target, value + step);
    return std::max(target, value - step);
}

}  // namespace

UnitModel::UnitModel(std::uint64_t seed) : rng_(seed) {
    unitId_ = std::to_string(rng_.Between(10000000, 99999999));
    imei_ = MakeImei(rng_);
    bootUnix_ = static_cast<std::uint32_t>(std::time(nullptr));
    lat_ += rng_.Real(-0.02, 0.02);
    lon_ += rng_.Real(-0.03, 0.03);
    heading_ = rng_.Real(0, 360);
    written_ = static_cast<double>(rng_.Between(12000, 60000));
    read_ = written_ - static_cast<double>(rng_.Between(150, 400));
    for (int g = 0; g < kGasCodes; ++g) gas_[g] = kGasBase[g];
    containerSerial_ = Digits(rng_, 7);
    reeferSerial_ = Digits(rng_, 8);
    engineHours_ = static_cast<double>(rng_.Between(200000, 900000));  // centi-hours
    odometer_ = static_cast<double>(rng_.Between(5000000, 60000000));  // centi-km
    fuelUsed_ = static_cast<double>(rng_.Between(100000, 900000));     // deci-litres
    canValid_ = static_cast<double>(rng_.Between(1000, 5000));
    satTarget_ = static_cast<int>(rng_.Between(9, 13));
}

void UnitModel::Restart() {
    bootUnix_ = static_cast<std::uint32_t>(std::time(nullptr));
    uptime_ = 0;
    satellites_ = 0;
    hdop_ = 30;
    rmc_ = gga_ = 0;
    nmeaTimer_ = 0;
    stage_ = 0;
    stageTimer_ = 0;
    stageChanged_ = false;
    sessions_ = 0;
    sentBytes_ = receivedBytes_ = 0;
    waitMs_ = 0;
    sinceSend_ = 0;
    sendTimer_ = 0;
    packetSent_ = false;
    canValid_ = canInvalid_ = 0;
    settingsState_ = firmwareState_ = 0;
}

void UnitModel::Settle() {
    satellites_ = satTarget_;
    hdop_ = 9;
    stage_ = kTopStage;
    sessions_ = 1;
    rmc_ = gga_ = 3600;
    uptime_ = 3600;
    speed_ = targetSpeed_;
    coolant_ = 86;
    sentBytes_ = 48210;
    receivedBytes_ = 3120;
    waitMs_ = 420;
    lastPacketBytes_ = 164;
}

void UnitModel::Advance(double dt) {
    if (dt <= 0) return;
    uptime_ += dt;
    AdvanceVehicle(dt);
    AdvanceModem(dt);
    AdvanceSensors(dt);
    // Pending updates: required, then confirmation, then done.
    auto step = [&](int& state, double& timer) {
        if (state == 0) return;
        timer -= dt;
        if (timer > 0) return;
        state = state == 1 ? 2 : 0;
        timer = 3;
        updateChanged_ = true;
    };
    step(settingsState_, settingsTimer_);
    step(firmwareState_, firmwareTimer_);
}

void UnitModel::AdvanceVehicle(double dt) {
    ignitionTimer_ -= dt;
    if (ignitionTimer_ <= 0) {
        ignition_ = !ignition_ || rng_.Chance(0.7);
        ignitionTimer_ = rng_.Real(20, 60);
    }
    targetTimer_ -= dt;
    if (targetTimer_ <= 0) {
        targetSpeed_ = ignition_ && rng_.Chance(0.85) ? rng_.Real(15, 90) : 0;
        targetTimer_ = rng_.Real(6, 15);
    }
    speed_ = Toward(speed_, ignition_ ? targetSpeed_ : 0, 1.8 * dt);
    if (speed_ > 1) heading_ = std::fmod(heading_ + rng_.Real(-4, 4) * dt + 360, 360);
    const double metres = speed_ / 3.6 * dt;
    const double h = heading_ * kPi / 180;
    lat_ += metres * std::cos(h) / 111320.0;
    lon_ += metres * std::sin(h) / (111320.0 * std::cos(lat_ * kPi / 180));
    altitude_ = std::clamp(altitude_ + rng_.Real(-0.3, 0.3) * dt, 120.0, 190.0);

    satTimer_ -= dt;
    if (satTimer_ <= 0) {
        satTimer_ = satellites_ < satTarget_ ? 0.6 : rng_.Real(4, 9);
        if (satellites_ < satTarget_)
            ++satellites_;
        else
            satellites_ = std::clamp(satellites_ + static_cast<int>(rng_.Between(-1, 1)), 7, 14);
        hdop_ = satellites_ < 4
                    ? 40 - satellites_ * 3
                    : std::clamp(24 - satellites_ + static_cast<int>(rng_.Between(-2, 2)), 6, 35);
    }
    nmeaTimer_ += dt;
    while (nmeaTimer_ >= 1) {
        nmeaTimer_ -= 1;
        ++rmc_;
        ++gga_;
    }

    // Supply: the alternator charges while the engine runs.
    const int externalTarget = ignition_ ? 13900 : 12500;
    externalMv_ = std::clamp(externalMv_ + Round(rng_.Real(-40, 40) * dt * 10) +
                                 (externalTarget > externalMv_ ? 20 : -20),
                             11800, 14400);
    batteryMv_ = std::clamp(batteryMv_ + static_cast<int>(rng_.Between(-3, 3)), 4080, 4200);

    // CAN quantities follow the vehicle.
    if (ignition_) engineHours_ += dt / 36.0;  // 1 centi-hour is 36 s
    odometer_ += speed_ / 3.6 * dt / 10.0;     // centi-km
    const double litresPerHour = ignition_ ? 2.5 + speed_ * 0.25 : 0;
    fuelUsed_ += litresPerHour * dt / 3600 * 10;  // deci-litres
    fuel_ = std::max(0.05, fuel_ - litresPerHour * dt / 3600 / kTankLitres);
    coolant_ = Toward(coolant_, ignition_ ? 88 : 30, 0.4 * dt);
    canValid_ += 48 * dt;
    canInvalid_ += 0.02 * dt;
    pulses3_ += speed_ / 3.6 * dt * 0.5;  // two metres a pulse
}

void UnitModel::AdvanceModem(double dt) {
    if (stage_ < kTopStage) {
        stageTimer_ += dt;
        if (stageTimer_ >= 0.7) {
            stageTimer_ = 0;
            ++stage_;
            stageChanged_ = true;
            if (stage_ == 6) ++sessions_;
        }
    }
    if (rng_.Chance(0.2 * dt))
        signal_ = std::clamp(signal_ + static_cast<int>(rng_.Between(-2, 2)), 9, 27);

    // Memory: one record a second while driving, one every 10 s parked; records go to the server
    // while the link is up.
    recordTimer_ += dt;
    const double recordEvery = speed_ > 1 ? 1.0 : 10.0;
    while (recordTimer_ >= recordEvery) {
        recordTimer_ -= recordEvery;
        written_ += 1;
    }
    sinceSend_ += dt;
    if (stage_ >= kTopStage) {
        sendTimer_ += dt;
        if (sendTimer_ >= 10) {
            sendTimer_ = 0;
            const double backlog = written_ - read_;
            const double taken = std::min(backlog - 5, 12.0 + rng_.Between(0, 6));
            if (taken > 0) read_ += taken;
            lastPacketBytes_ = static_cast<int>(rng_.Between(120, 320));
            sentBytes_ += static_cast<std::uint32_t>(lastPacketBytes_);
            receivedBytes_ += 16;
            waitMs_ = static_cast<int>(rng_.Between(180, 900));
            sinceSend_ = 0;
            packetSent_ = true;
        }
    }
    queuePackets_ = std::clamp(static_cast<int>((written_ - read_) / 100), 0, 9);
    smsTimer_ += dt;
    if (smsTimer_ >= 90) {
        smsTimer_ = 0;
        ++smsIn_;
        if (rng_.Chance(0.6)) ++smsValid_;
        if (rng_.Chance(0.3)) ++smsOut_;
    }
}

void UnitModel::AdvanceSensors(double dt) {
    analog1_ = std::clamp(analog1_ + rng_.Real(-60, 60) * dt, 0.0, 5000.0);
    analog6_ = std::clamp(analog6_ + rng_.Real(-30, 30) * dt, 0.0, 5000.0);
    frequency2_ = std::clamp(frequency2_ + rng_.Real(-20, 20) * dt, 500.0, 1500.0);
    frequency7_ = std::clamp(frequency7_ + rng_.Real(-10, 10) * dt, 300.0, 1500.0);
    outputTimer_ -= dt;
    if (outputTimer_ <= 0) {
        output4_ = !output4_;
        outputTimer_ = rng_.Real(15, 45);
    }
    for (int s = 0; s < kFuelSensors; ++s)
        tankTemp_[s] = std::clamp(tankTemp_[s] + rng_.Real(-0.05, 0.05) * dt, -40.0, 60.0);
    for (int s = 0; s < kOneWireSensors; ++s)
        oneWire_[s] += rng_.Real(-0.05, 0.05) * dt +
                       (s == 0 ? (-18.5 - oneWire_[s]) : (4.0 - oneWire_[s])) * 0.02 * dt;
    for (int g = 0; g < kGasCodes; ++g)
        gas_[g] =
            std::max(0.0f, gas_[g] + kGasBase[g] * static_cast<float>(rng_.Real(-0.02, 0.02) * dt) +
                               (kGasBase[g] - gas_[g]) * 0.01f * static_cast<float>(dt));
    for (int r = 0; r < 2; ++r)
        reefer_[r] +=
            static_cast<float>(rng_.Real(-0.05, 0.05) * dt) +
            (reefer_[2] + (r == 0 ? 0.3f : -1.2f) - reefer_[r]) * 0.02f * static_cast<float>(dt);
    billTimer_ -= dt;
    if (billTimer_ <= 0) {
        billTimer_ = rng_.Real(15, 40);
        lastBill_ = kBills[rng_.Between(0, 4)];
        billSum_ += lastBill_;
        ++billCount_;
        newBill_ = true;
    }
    adblue_ = std::clamp(adblue_ - (rng_.Chance(0.002 * dt) ? 1 : 0), 5, 100);
}

bool UnitModel::SetPin(int sim, const std::string& pin) {
    if (pin.size() != 4 ||
        !std::all_of(pin.begin(), pin.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    pin_[sim == 2 ? 1 : 0] = pin;
    return true;
}

bool UnitModel::SetAccessPoint(int sim, const std::string& apn, const std::string& login,
                               const std::string& password) {
    for (const std::string* s : {&apn, &login, &password})
        if (s->empty() || s->size() > 63 || s->find_first_of(";>\r\n") != std::string::npos)
            return false;
    auto& slot = apn_[sim == 2 ? 1 : 0];
    slot[0] = apn;
    slot[1] = login;
    slot[2] = password;
    return true;
}

void UnitModel::ResetMemoryCounters() {
    written_ = read_ = 0;
}

void UnitModel::StartSettingsUpdate() {
    settingsState_ = 1;
    settingsTimer_ = 3;
    updateChanged_ = true;
}

void UnitModel::StartFirmwareUpdate() {
    firmwareState_ = 1;
    firmwareTimer_ = 3;
    updateChanged_ = true;
}

bool UnitModel::TakeStageChange() {
    return std::exchange(stageChanged_, false);
}
bool UnitModel::TakeUpdateChange() {
    return std::exchange(updateChanged_, false);
}
bool UnitModel::TakePacketSent() {
    return std::exchange(packetSent_, false);
}
bool UnitModel::TakeNewBill() {
    return std::exchange(newBill_, false);
}

std::string UnitModel::Render(const Item& item) const {
    const int i = item.index;
    switch (item.family) {
        case Family::DI:
            return DeviceInfo(kModel, kFirmwareMajor, kFirmwareMinor);
        case Family::DN:
            return UnitId(unitId_);
        case Family::MN:
            return ModemImei(imei_);
        case Family::DF:
            return UpdateStates(settingsState_, firmwareState_);
        case Family::TW:
            return UnitTime(bootUnix_ + static_cast<std::uint32_t>(uptime_),
                            static_cast<std::uint32_t>(uptime_));
        case Family::GK:
            return Position(lat_, lon_);
        case Family::GS:
            return FixQuality(satellites_, satellites_ < 4 ? 0.0 : speed_, Round(altitude_), hdop_,
                              Round(heading_) % 360);
        case Family::GP:
            return SentenceCounters(rmc_, gga_);
        case Family::PB:
            return Voltages(externalMv_, batteryMv_);
        case Family::RW:
            return MemoryCounters(static_cast<std::uint32_t>(read_),
                                  static_cast<std::uint32_t>(written_));
        case Family::DS:
            return SelfTest(kSelfTestHealthy | (stage_ >= 1 ? kSelfTestModem : 0));
        case Family::MS:
            return ConnectionStage(stage_);
        case Family::MO:
            return OperatorName(kOperator, kOperatorCode);
        case Family::ML:
            return SignalLevel(stage_ >= 1 ? signal_ : 0);
        case Family::MD:
            return ServerLink(kServer, kServerPort, sessions_);
        case Family::MT:
            return Traffic(sentBytes_, receivedBytes_, waitMs_);
        case Family::MB:
            return SendQueue(queuePackets_, static_cast<std::uint32_t>(queuePackets_ * 164));
        case Family::MW:
            return SinceSending(static_cast<int>(sinceSend_));
        case Family::SA:
            return ServerAnswer(stage_ >= kTopStage ? "Принят" : "Нет связи");
        case Family::SS:
            return LastPacket("Координаты", lastPacketBytes_);
        case Family::SMS:
            return SmsCounters(smsIn_, smsValid_, smsOut_);
        case Family::PIN1:
            return SimPin(1, pin_[0]);
        case Family::PIN2:
            return SimPin(2, pin_[1]);
        case Family::ISS1:
            return AccessPoint(1, apn_[0][0], apn_[0][1], apn_[0][2]);
        case Family::ISS2:
            return AccessPoint(2, apn_[1][0], apn_[1][1], apn_[1][2]);
        case Family::IO:
            switch (i) {
                case 0:
                    return Input('D', 0, ignition_ ? "1" : "0");
                case 1:
                    return Input('A', 1, std::to_string(Round(analog1_)));
                case 2:
                    return Input('F', 2, std::to_string(Round(frequency2_)));
                case 3:
                    return Input('I', 3, std::to_string(static_cast<long long>(pulses3_)));
                case 4:
                    return Output('1', 4, output4_ ? "1" : "0");
                case 5:
                    return Output('2', 5, output5_ ? "1" : "0");
                case 6:
                    return Input('A', 6, std::to_string(Round(analog6_)));
                default:
                    return Input('F', 7, std::to_string(Round(frequency7_)));
            }
        case Family::LLS: {
            const int s = std::clamp(i, 0, kFuelSensors - 1);
            // Two tanks share the fuel; the third sensor is a small day tank.
            const double fill = s == 2 ? 0.4 + 0.1 * std::sin(uptime_ / 200) : fuel_;
            const int level = std::clamp(Round(fill * 4095 + rng_.Real(-6, 6)), 0, 4095);
            const int frequency = 500 + level * 1000 / 4095;
            return FuelLevel(0, kFuelAddress[s], level, frequency, Round(tankTemp_[s]));
        }
        case Family::OWT: {
            const int s = std::clamp(i, 0, kOneWireSensors - 1);
            return OneWireTemperature(kOneWireAddress[s], oneWire_[s]);
        }
        case Family::GAS: {
            const int g = std::clamp(i, 0, kGasCodes - 1);
            return Gas(kGasCode[g], gas_[g]);
        }
        case Family::ML3:
            switch (kReeferIndex[std::clamp(i, 0, kReeferItems - 1)]) {
                case 0:
                    return ReeferTemperature(0, reefer_[0]);
                case 1:
                    return ReeferTemperature(1, reefer_[1]);
                case 2:
                    return ReeferTemperature(2, reefer_[2]);
                case 3:
                    return ReeferContainer("MSCU", containerSerial_);
                default:
                    return ReeferSerial(reeferSerial_);
            }
        case Family::ICT:
            return Bills(lastBill_, billSum_, billCount_);
        case Family::CV:
            return CanProgram(12, static_cast<int>(canValid_), static_cast<int>(canInvalid_));
        case Family::CAN: {
            const char letter = kCanLetter[std::clamp(i, 0, kCanKeys - 1)];
            const double rpm = ignition_ ? 750 + speed_ * 22 : 0;
            const double instant = ignition_ ? 25 + speed_ * 2.5 : 0;  // deci-litres an hour
            switch (letter) {
                case 'A':
                case 'B':
                    return Can(letter, std::to_string(static_cast<long long>(engineHours_)));
                case 'C':
                case 'D':
                    return Can(letter, std::to_string(static_cast<long long>(odometer_)));
                case 'E':
                case 'F':
                    return Can(letter, std::to_string(static_cast<long long>(fuelUsed_)));
                case 'G':
                    return Can(letter, std::to_string(Round(fuel_ * 1000)));
                case 'H':
                    return Can(letter, std::to_string(Round(rpm)));
                case 'I':
                    return Can(letter, std::to_string(Round(coolant_)));
                case 'J':
                    return Can(letter, std::to_string(Round(speed_)));
                case 'K':
                case 'L':
                case 'M':
                case 'N':
                case 'O':
                    return Can(letter, std::to_string(axle_[letter - 'K'] +
                                                      static_cast<int>(rng_.Between(-20, 20))));
                case 'P':
                    return Can(letter, "0");
                case 'R':
                    return Can(letter, std::to_string(Round(fuel_ * kTankLitres * 10)));
                case 'S':
                    return Can(letter, "0");
                case 'Q':
                    return Can(letter, std::to_string(Round(instant)));
                default:
                    return Can(letter, std::to_string(adblue_));
            }
        }
    }
    return {};
}

std::vector<Item> UnitModel::AllItems() {
    std::vector<Item> items = {{Family::DI}, {Family::DN}, {Family::MN}, {Family::DF},
                               {Family::TW}, {Family::GK}, {Family::GS}, {Family::GP},
                               {Family::PB}, {Family::RW}, {Family::DS}};
    for (Family f : {Family::MS, Family::MO, Family::ML, Family::MD, Family::MT, Family::MB,
                     Family::MW, Family::SA, Family::SS, Family::SMS, Family::PIN1, Family::PIN2,
                     Family::ISS1, Family::ISS2})
        items.push_back({f});
    for (int i = 0; i < kIoLines; ++i) items.push_back({Family::IO, i});
    for (int i = 0; i < kFuelSensors; ++i) items.push_back({Family::LLS, i});
    for (int i = 0; i < kOneWireSensors; ++i) items.push_back({Family::OWT, i});
    for (int i = 0; i < kGasCodes; ++i) items.push_back({Family::GAS, i});
    for (int i = 0; i < kReeferItems; ++i) items.push_back({Family::ML3, i});
    items.push_back({Family::ICT});
    items.push_back({Family::CV});
    for (int i = 0; i < kCanKeys; ++i) items.push_back({Family::CAN, i});
    return items;
}

std::vector<Item> UnitModel::Parameters() {
    return {{Family::DI}, {Family::DN}, {Family::MN}, {Family::DF}, {Family::TW}};
}

std::vector<Item> UnitModel::Status() {
    return {{Family::DS}, {Family::PB}, {Family::RW}, {Family::TW}};
}

std::vector<Item> UnitModel::GsmGroup() {
    return {{Family::MS}, {Family::MO}, {Family::ML}, {Family::MD}, {Family::MT},
            {Family::MB}, {Family::MW}, {Family::SA}, {Family::SS}, {Family::SMS}};
}

std::vector<Item> UnitModel::PositionPacket() {
    return {{Family::GK}, {Family::GS}, {Family::GP}, {Family::TW}};
}

}  // namespace sim
