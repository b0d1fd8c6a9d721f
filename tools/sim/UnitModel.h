#pragma once
// The simulated unit's state: identity, navigation, power, memory, modem, inputs and outputs,
// external sensors, CAN values and the stored SIM settings. Advance() moves it forward in time
// (a vehicle driving about, fuel burning, the modem coming up); Render() writes one reply line of
// the current state.

#include <cstdint>
#include <string>
#include <vector>

#include "Random.h"

namespace sim {

enum class Family {
    DI,
    DN,
    MN,
    DF,
    TW,
    GK,
    GS,
    GP,
    PB,
    RW,
    DS,  // identity, navigation, power, self-test
    MS,
    MO,
    ML,
    MD,
    MT,
    MB,
    MW,
    SA,
    SS,
    SMS,  // modem and server link
    PIN1,
    PIN2,
    ISS1,
    ISS2,  // stored SIM settings
    IO,    // inputs and outputs, index = line 0..7
    LLS,
    OWT,
    GAS,
    ML3,
    ICT,  // external sensors, index = sensor/item
    CV,
    CAN,  // CAN bus, CAN index 0..19 = CA..CU
};

struct Item {
    Family family;
    int index = 0;
};

inline constexpr int kIoLines = 8;
inline constexpr int kFuelSensors = 3;
inline constexpr int kOneWireSensors = 2;
inline constexpr int kGasCodes = 8;
inline constexpr int kReeferItems = 5;  // ML3 indexes 0, 1, 2, 3, 5
inline constexpr int kCanKeys = 20;     // CA .. CU in the console's key order
inline constexpr int kTopStage = 7;     // the GSM stage "server confirmed"

class UnitModel {
  public:
    explicit UnitModel(std::uint64_t seed);

    // Moves the state on by dt seconds.
    void Advance(double dt);
    // Power-on state after a restart: running time 0, modem and fix searching again. Identity,
    // memory counters and stored settings stay.
    void Restart();
    // A unit that has been running for a while: fix, modem and server link up.
    void Settle();

    std::string Render(const Item& item) const;

    // The groups the unit reports on request.
    static std::vector<Item> AllItems();        // every family and every index, identity first
    static std::vector<Item> Parameters();      // ">I 0"
    static std::vector<Item> Status();          // ">I 1"
    static std::vector<Item> GsmGroup();        // ">I 7" and the GSM log
    static std::vector<Item> PositionPacket();  // ">D 4;1"

    // Commands that change the state.
    bool SetPin(int sim, const std::string& pin);  // four digits, else refused
    bool SetAccessPoint(int sim, const std::string& apn, const std::string& login,
                        const std::string& password);
    void ResetMemoryCounters();
    void StartSettingsUpdate();
    void StartFirmwareUpdate();

    // Events since the last call, so the live stream can report changes at once.
    bool TakeStageChange();
    bool TakeUpdateChange();
    bool TakePacketSent();
    bool TakeNewBill();

    int Stage() const { return stage_; }
    double RunningSeconds() const { return uptime_; }

  private:
    void AdvanceVehicle(double dt);
    void AdvanceModem(double dt);
    void AdvanceSensors(double dt);

    mutable Random rng_;
    // identity
    std::string unitId_;
    std::string imei_;
    // clock
    std::uint32_t bootUnix_ = 0;
    double uptime_ = 0;
    // navigation
    double lat_ = 55.751200, lon_ = 37.618400;
    double heading_ = 45, speed_ = 0, targetSpeed_ = 40, targetTimer_ = 0;
    double altitude_ = 156;
    int satellites_ = 0, satTarget_ = 10, hdop_ = 12;
    double satTimer_ = 0;
    double nmeaTimer_ = 0;
    std::uint32_t rmc_ = 0, gga_ = 0;
    // power
    int externalMv_ = 13800, batteryMv_ = 4150;
    // memory
    double written_ = 0, read_ = 0;
    double recordTimer_ = 0;
    // updates
    int settingsState_ = 0, firmwareState_ = 0;
    double settingsTimer_ = 0, firmwareTimer_ = 0;
    bool updateChanged_ = false;
    // modem
    int stage_ = 0;
    double stageTimer_ = 0;
    bool stageChanged_ = false;
    int signal_ = 18;
    int sessions_ = 0;
    std::uint32_t sentBytes_ = 0, receivedBytes_ = 0;
    int waitMs_ = 0;
    int queuePackets_ = 0;
    double sinceSend_ = 0;
    double sendTimer_ = 0;
    int lastPacketBytes_ = 0;
    bool packetSent_ = false;
    int smsIn_ = 2, smsValid_ = 1, smsOut_ = 1;
    double smsTimer_ = 0;
    // inputs and outputs
    bool ignition_ = true;
    double ignitionTimer_ = 30;
    double analog1_ = 2400, analog6_ = 1200;
    double frequency2_ = 900, frequency7_ = 700;
    double pulses3_ = 0;
    bool output4_ = false, output5_ = true;
    double outputTimer_ = 20;
    // fuel and sensors
    double fuel_ = 0.72;  // tank fill 0..1
    double tankTemp_[kFuelSensors] = {14, 13, -6};
    double oneWire_[kOneWireSensors] = {-18.5, 4.0};
    float gas_[kGasCodes] = {};
    float reefer_[3] = {-17.8f, -19.2f, -18.0f};
    std::string containerSerial_;
    std::string reeferSerial_;
    int lastBill_ = 0, billSum_ = 0, billCount_ = 0;
    double billTimer_ = 20;
    bool newBill_ = false;
    // CAN
    double engineHours_ = 0, odometer_ = 0, fuelUsed_ = 0;
    double coolant_ = 24;
    double canValid_ = 0, canInvalid_ = 0;
    int axle_[5] = {5600, 7200, 7150, 6900, 6850};
    int adblue_ = 64;
    // stored settings
    std::string pin_[2] = {"0000", "0000"};
    std::string apn_[2][3] = {{"internet", "gdata", "gdata"},
                              {"internet.beeline.ru", "beeline", "beeline"}};
};

}  // namespace sim
