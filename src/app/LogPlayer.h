#pragma once
// Plays a saved traffic log through a console's receive frame, line by line, exactly as the lines
// once arrived from the port: the counter, the traffic log, the display and the calibration
// capture all follow. The console's clock must be `clock`, so each line is logged with its recorded
// time. Seeking to a line shows the console as it was once the lines before it had arrived.

#include <cstddef>
#include <string>

#include "app/Console.h"
#include "app/LogFile.h"
#include "app/PlaybackClock.h"

namespace rv {

class LogPlayer {
  public:
    // Starts at the beginning: the console is cleared (as its clear action does) and its counter
    // set to zero. `console`, `clock` and `file` must outlive the player.
    LogPlayer(Console& console, PlaybackClock& clock, const LogFile& file);

    const LogFile& File() const { return file_; }
    // Lines played so far: the next line to play.
    std::size_t Position() const { return position_; }
    bool AtEnd() const { return position_ >= file_.Count(); }

    // Plays the next `count` lines (fewer at the end of the file).
    void Play(std::size_t count);
    // Shows the console as it was after the first `position` lines (clamped to the file).
    void SeekTo(std::size_t position);

  private:
    void Restart();

    Console& console_;
    PlaybackClock& clock_;
    const LogFile& file_;
    std::size_t position_ = 0;
    std::string block_;  // the line as it arrived: its text and the unit's CR LF
};

}  // namespace rv
