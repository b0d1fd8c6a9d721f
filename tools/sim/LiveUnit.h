#pragma once
// The live unit: the unit model driven by the clock, the periodic reply stream with each family at
// its own cadence, and the answers to the console's commands. Replies are appended to an outbox
// that the main loop writes to the serial line.

#include <string>
#include <vector>

#include "Commands.h"
#include "UnitModel.h"

namespace sim {

class LiveUnit {
  public:
    explicit LiveUnit(std::uint64_t seed);

    // A reader has just opened the line: the unit's identity, status, position and (with the GSM
    // log on) the modem state at once, so the console does not wait for their next turn.
    void Greet();
    // Advances the model to `seconds` (a monotonic clock) and queues the replies that are due.
    void Tick(double seconds);
    // Acts on one command line; malformed lines are ignored.
    void HandleLine(const std::string& line);
    // Every reply family once (the --once mode).
    void FullRound();

    // Lines queued since the last call, and how many lines were queued in total.
    std::string TakeOutbox();
    std::uint64_t LinesQueued() const { return lines_; }

    bool StreamOn() const { return streamOn_; }
    bool GsmLogOn() const { return gsmLogOn_; }

  private:
    struct Periodic {
        Item item;
        double period;
        double next;
        bool gsm;  // belongs to the GSM log rather than the diagnostic stream
    };

    void Send(const Item& item);
    void SendGroup(const std::vector<Item>& items);
    // ">SERV=0" now; the start-up burst follows once the unit has booted.
    void Restart();
    // What a unit reports as it comes up: identity, status, modem stage and stored SIM settings.
    void StartupBurst();
    void Handle(const Command& cmd);

    UnitModel model_;
    std::vector<Periodic> schedule_;
    std::string outbox_;
    std::uint64_t lines_ = 0;
    double now_ = -1;
    double restartAt_ = -1;  // a pending start-up burst after ">D 1;0"
    bool streamOn_ = true;
    bool gsmLogOn_ = true;
};

}  // namespace sim
