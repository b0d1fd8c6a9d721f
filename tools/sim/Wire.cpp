#include "Wire.h"

#include <cstdio>
#include <cstring>

namespace sim {
namespace {

std::string Num(long long v) {
    return std::to_string(v);
}

std::string Fixed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

std::string Join(std::initializer_list<std::string_view> parts) {
    std::string out;
    bool first = true;
    for (std::string_view p : parts) {
        if (!first) out.push_back(';');
        out.append(p);
        first = false;
    }
    return out;
}

}  // namespace

std::string ToCp1251(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto b0 = static_cast<unsigned char>(utf8[i]);
        if (b0 < 0x80) {
            out.push_back(static_cast<char>(b0));
            ++i;
            continue;
        }
        unsigned cp = 0;
        std::size_t len = 0;
        if ((b0 & 0xE0) == 0xC0) {
            cp = b0 & 0x1F;
            len = 2;
        } else if ((b0 & 0xF0) == 0xE0) {
            cp = b0 & 0x0F;
            len = 3;
        } else if ((b0 & 0xF8) == 0xF0) {
            cp = b0 & 0x07;
            len = 4;
        }
        bool ok = len > 0 && i + len <= utf8.size();
        for (std::size_t k = 1; ok && k < len; ++k) {
            const auto b = static_cast<unsigned char>(utf8[i + k]);
            if ((b & 0xC0) != 0x80) ok = false;
            cp = (cp << 6) | (b & 0x3F);
        }
        if (!ok) {
            out.push_back('?');
            ++i;
            continue;
        }
        i += len;
        if (cp >= 0x0410 && cp <= 0x044F)
            out.push_back(static_cast<char>(0xC0 + (cp - 0x0410)));
        else if (cp == 0x0401)
            out.push_back(static_cast<char>(0xA8));  // Ё
        else if (cp == 0x0451)
            out.push_back(static_cast<char>(0xB8));  // ё
        else if (cp == 0x2116)
            out.push_back(static_cast<char>(0xB9));  // №
        else if (cp == 0x00B0)
            out.push_back(static_cast<char>(0xB0));  // °
        else
            out.push_back('?');
    }
    return out;
}

std::string Reply(std::string_view key, std::string_view fields) {
    std::string line;
    line.reserve(key.size() + fields.size() + 4);
    line.push_back('>');
    line.append(key);
    line.push_back('=');
    line.append(fields);
    line.append("\r\n");
    return line;
}

std::string FloatBits(float value) {
    static_assert(sizeof(float) == sizeof(std::uint32_t));
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return std::to_string(bits);
}

std::uint32_t PackChars(std::string_view four) {
    std::uint32_t n = 0;
    for (std::size_t i = 0; i < four.size() && i < 4; ++i)
        n = (n << 8) | static_cast<unsigned char>(four[i]);
    return n;
}

unsigned TemperatureByte(int celsius) {
    return static_cast<unsigned>(celsius) & 0xFFu;
}

std::string DeviceInfo(int model, int major, int minor) {
    return Reply("DI", Join({Num(model), Num(major), Num(minor)}));
}
std::string UnitId(std::string_view id) {
    return Reply("DN", id);
}
std::string ModemImei(std::string_view imei) {
    return Reply("MN", imei);
}
std::string UpdateStates(int settings, int firmware) {
    return Reply("DF", Join({Num(settings), Num(firmware)}));
}
std::string UnitTime(std::uint32_t unixSeconds, std::uint32_t runningSeconds) {
    return Reply("TW", Join({Num(unixSeconds), Num(runningSeconds)}));
}
std::string Position(double latitude, double longitude) {
    return Reply("GK", Join({Fixed(latitude, 6), Fixed(longitude, 6)}));
}
std::string FixQuality(int satellites, double speedKmh, int altitude, int hdopTenths, int course) {
    return Reply("GS", Join({Num(satellites), Fixed(speedKmh, 1), Num(altitude), Num(hdopTenths),
                             Num(course)}));
}
std::string SentenceCounters(std::uint32_t rmc, std::uint32_t gga) {
    return Reply("GP", Join({Num(rmc), Num(gga)}));
}
std::string Voltages(int externalMv, int batteryMv) {
    return Reply("PB", Join({Num(externalMv), Num(batteryMv)}));
}
std::string MemoryCounters(std::uint32_t read, std::uint32_t written) {
    return Reply("RW", Join({Num(read), Num(written)}));
}
std::string SelfTest(std::uint32_t bits) {
    return Reply("DS", Num(bits));
}

std::string ConnectionStage(int stage) {
    return Reply("MS", Num(stage));
}
std::string OperatorName(std::string_view utf8Name, std::string_view code) {
    return Reply("MO", Join({ToCp1251(utf8Name), code}));
}
std::string SignalLevel(int level) {
    return Reply("ML", Num(level));
}
std::string ServerLink(std::string_view address, int port, int sessions) {
    return Reply("MD", Join({address, Num(port), Num(sessions)}));
}
std::string Traffic(std::uint32_t sent, std::uint32_t received, int waitMs) {
    return Reply("MT", Join({Num(sent), Num(received), Num(waitMs)}));
}
std::string SendQueue(int packets, std::uint32_t bytes) {
    return Reply("MB", Join({Num(packets), Num(bytes)}));
}
// The unit ends this value with ";" (the console reads it up to ";").
std::string SinceSending(int seconds) {
    return Reply("MW", Num(seconds) + ";");
}
std::string ServerAnswer(std::string_view utf8Text) {
    return Reply("SA", ToCp1251(utf8Text));
}
std::string LastPacket(std::string_view utf8Kind, int bytes) {
    return Reply("SS", Join({ToCp1251(utf8Kind), Num(bytes)}));
}
std::string SmsCounters(int incoming, int valid, int outgoing) {
    return Reply("SMS", Join({Num(incoming), Num(valid), Num(outgoing)}));
}
std::string SimPin(int sim, std::string_view pin) {
    return Reply(sim == 2 ? "PIN2" : "PIN1", pin);
}
std::string AccessPoint(int sim, std::string_view apn, std::string_view login,
                        std::string_view password) {
    return Reply(sim == 2 ? "ISS2" : "ISS1", Join({apn, login, password}));
}

std::string Input(char type, int line, std::string_view value) {
    const char key[] = {'I', type, static_cast<char>('0' + line), '\0'};
    return Reply(key, value);
}
std::string Output(char type, int line, std::string_view value) {
    const char key[] = {'O', type, static_cast<char>('0' + line), '\0'};
    return Reply(key, value);
}

std::string FuelLevel(int kind, int address, int level, int frequency, int celsius) {
    return Reply("LLS", Join({Num(kind), Num(address), Num(level), Num(frequency),
                              Num(TemperatureByte(celsius))}));
}
std::string OneWireTemperature(std::string_view address, double celsius) {
    return Reply("OWT", Join({address, Fixed(celsius, 1)}));
}
std::string Gas(int code, float value) {
    return Reply("GAS", Join({Num(code), FloatBits(value)}));
}
std::string ReeferTemperature(int index, float celsius) {
    return Reply("ML3", Join({Num(index), FloatBits(celsius)}));
}
std::string ReeferContainer(std::string_view owner, std::string_view serial) {
    return Reply("ML3", Join({"3", Num(PackChars(owner)), serial}));
}
std::string ReeferSerial(std::string_view serial) {
    return Reply("ML3", Join({"5", serial}));
}
std::string Bills(int last, int sum, int count) {
    return Reply("ICT", Join({Num(last), Num(sum), Num(count)}));
}

std::string CanProgram(int program, int valid, int invalid) {
    return Reply("CV", Join({Num(program), Num(valid), Num(invalid)}));
}
std::string Can(char letter, std::string_view value) {
    const char key[] = {'C', letter, '\0'};
    return Reply(key, value);
}

std::string Restarted() {
    return Reply("SERV", "0");
}

}  // namespace sim
