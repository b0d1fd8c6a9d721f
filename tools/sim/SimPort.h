#pragma once
// The simulated unit's end of the serial line: a pseudo-terminal whose device is published in the
// per-user ports folder as COM<n>, so the console (and anything else that reads that folder) opens
// it like a serial port. The link is removed again when the port object goes away.

#include <string>

namespace sim {

// The ports folder of the current user: $XDG_RUNTIME_DIR/revodive/ports, or
// /tmp/revodive-<uid>/ports when XDG_RUNTIME_DIR is not set or empty.
std::string PortsFolder();

class SimPort {
  public:
    enum class OpenResult { Ok, NumberTaken, Failed };

    SimPort() = default;
    ~SimPort();
    SimPort(const SimPort&) = delete;
    SimPort& operator=(const SimPort&) = delete;

    // Opens a pseudo-terminal (raw, non-blocking master) and links COM<number> to its device.
    // A COM<number> entry that points at a live device refuses the number; a dangling one (left by
    // a simulator that was killed) is replaced. `error` receives the reason on failure.
    OpenResult Open(int number, std::string& error);
    // Removes the link (only if it still points at this pseudo-terminal) and closes the terminal.
    void Close();

    int Master() const { return master_; }
    const std::string& DevicePath() const { return device_; }
    const std::string& LinkPath() const { return link_; }
    // True while the console (or anything) holds the device open.
    bool PeerConnected() const;

  private:
    int master_ = -1;
    std::string device_;
    std::string link_;
};

}  // namespace sim
