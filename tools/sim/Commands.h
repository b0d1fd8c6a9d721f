#pragma once
// The console's command lines as the unit reads them: CR, ">", a command letter, a space and the
// arguments, LF. The unit collects bytes up to LF, drops the CRs and parses what is left.

#include <optional>
#include <string>
#include <string_view>

namespace sim {

struct Command {
    enum class Kind {
        Do,         // ">D a;b"
        Inquire,    // ">I n"
        SetPin,     // ">S 6;pin" (SIM 1) and ">S 14;pin" (SIM 2)
        SetAccess,  // ">S ISS1 apn;login;password" and ">S ISS2 ..."
    };
    Kind kind = Kind::Do;
    int a = 0;  // Do: the function; Inquire: the group; SetPin/SetAccess: the SIM (1 or 2)
    int b = 0;  // Do: the argument
    std::string text[3];  // SetPin: text[0] the PIN; SetAccess: APN, login, password
};

// Parses one line (without its LF; CRs anywhere are ignored). Anything malformed gives nothing.
std::optional<Command> ParseCommand(std::string_view line);

// Splits a byte stream into lines at LF. Feed bytes as they come; Next() returns the complete lines
// one at a time. A line longer than the limit is dropped whole (the unit's buffer is small).
class LineSplitter {
  public:
    void Feed(std::string_view bytes);
    std::optional<std::string> Next();

  private:
    static constexpr std::size_t kLongestLine = 512;
    std::string partial_;
    bool overlong_ = false;
    std::string ready_;  // complete lines, each ended by LF
};

}  // namespace sim
