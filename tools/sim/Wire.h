#pragma once
// The unit's reply lines, written out byte for byte: ">" key "=" fields joined by ";" and CR LF,
// text in Windows-1251. One function per reply family; each takes the values in their natural
// units and returns one complete line.

#include <cstdint>
#include <string>
#include <string_view>

namespace sim {

// UTF-8 -> Windows-1251 for the letters the unit uses: ASCII, the Cyrillic alphabet with Ё and ё,
// "№" and "°". Anything else becomes "?".
std::string ToCp1251(std::string_view utf8);

// ">" + key + "=" + fields + CR LF; the fields are given already joined by ";".
std::string Reply(std::string_view key, std::string_view fields);

// Field helpers.
std::string FloatBits(float value);              // decimal of the IEEE-754 single bit pattern
std::uint32_t PackChars(std::string_view four);  // up to 4 chars, first one most significant
unsigned TemperatureByte(int celsius);           // a signed degree value as an unsigned byte

// Identity, navigation, power and self-test.
std::string DeviceInfo(int model, int major, int minor);                        // >DI=
std::string UnitId(std::string_view id);                                        // >DN=
std::string ModemImei(std::string_view imei);                                   // >MN=
std::string UpdateStates(int settings, int firmware);                           // >DF=
std::string UnitTime(std::uint32_t unixSeconds, std::uint32_t runningSeconds);  // >TW=
std::string Position(double latitude, double longitude);                        // >GK=
std::string FixQuality(int satellites, double speedKmh, int altitude, int hdopTenths,
                       int course);                                     // >GS=
std::string SentenceCounters(std::uint32_t rmc, std::uint32_t gga);     // >GP=
std::string Voltages(int externalMv, int batteryMv);                    // >PB=
std::string MemoryCounters(std::uint32_t read, std::uint32_t written);  // >RW=
std::string SelfTest(std::uint32_t bits);                               // >DS=

// Modem and server link.
std::string ConnectionStage(int stage);                                       // >MS=
std::string OperatorName(std::string_view utf8Name, std::string_view code);   // >MO=
std::string SignalLevel(int level);                                           // >ML=
std::string ServerLink(std::string_view address, int port, int sessions);     // >MD=
std::string Traffic(std::uint32_t sent, std::uint32_t received, int waitMs);  // >MT=
std::string SendQueue(int packets, std::uint32_t bytes);                      // >MB=
std::string SinceSending(int seconds);                                        // >MW=
std::string ServerAnswer(std::string_view utf8Text);                          // >SA=
std::string LastPacket(std::string_view utf8Kind, int bytes);                 // >SS=
std::string SmsCounters(int incoming, int valid, int outgoing);               // >SMS=
std::string SimPin(int sim, std::string_view pin);                            // >PIN1= / >PIN2=
std::string AccessPoint(int sim, std::string_view apn, std::string_view login,
                        std::string_view password);  // >ISS1= / >ISS2=

// Inputs and outputs: ">I" type digit "=" value, ">O" type digit "=" value.
std::string Input(char type, int line, std::string_view value);
std::string Output(char type, int line, std::string_view value);

// External sensors.
std::string FuelLevel(int kind, int address, int level, int frequency, int celsius);  // >LLS=
std::string OneWireTemperature(std::string_view address, double celsius);             // >OWT=
std::string Gas(int code, float value);                                               // >GAS=
std::string ReeferTemperature(int index, float celsius);                              // >ML3=0..2
std::string ReeferContainer(std::string_view owner, std::string_view serial);         // >ML3=3
std::string ReeferSerial(std::string_view serial);                                    // >ML3=5
std::string Bills(int last, int sum, int count);                                      // >ICT=

// CAN bus: >CV= and the one-field keys >CA= .. >CU=.
std::string CanProgram(int program, int valid, int invalid);
std::string Can(char letter, std::string_view value);

// The unit has restarted.
std::string Restarted();  // >SERV=0

}  // namespace sim
