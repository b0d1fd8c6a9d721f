#pragma once
// Plays a saved traffic log through a console's receive frame, line by line, exactly as the lines
// once arrived from the port: the counter, the traffic log, the display and the calibration
// capture all follow. The console's clock must be `clock`, so each line is logged with its recorded
// time. Seeking to a line shows the console as it was once the lines before it had arrived.
//
// Seeking anywhere in a file of a million lines takes a fraction of a second: while the file plays
// forward, the player keeps a checkpoint of the console (ConsoleCheckpoint) every so many lines,
// and a seek puts back the nearest one at or before the moment and replays only the lines after
// it. What the technician did meanwhile (a calibration source chosen, rows saved) stays; after the
// technician clears the console, no checkpoint is taken until a seek shows the file's state again.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "app/Console.h"
#include "app/LogFile.h"
#include "app/PlaybackClock.h"
#include "base/ObserverList.h"

namespace rv {

class LogPlayer : private LogObserver {
  public:
    // Lines between two checkpoints. Replaying this many lines of a working unit through the
    // window takes some 20 ms on a two-core machine, a tenth of what a seek may take; the
    // checkpoints hold some 3 KB each of console state plus the fields' samples gained since the
    // one before, about 10 MB for a file of a million lines (revodive-bench, "playback seek").
    static constexpr std::size_t kCheckpointEvery = 4096;

    // Starts at the beginning: the console is cleared (as its clear action does) and its counter
    // set to zero. `console`, `clock` and `file` must outlive the player. While a file plays, the
    // console's histories keep the samples a clear takes, for seeks back across the unit's clear
    // request (FieldHistory::KeepClearedSamples); whoever ends the playback turns that off.
    LogPlayer(Console& console, PlaybackClock& clock, const LogFile& file,
              std::size_t checkpointEvery = kCheckpointEvery);
    LogPlayer(const LogPlayer&) = delete;
    LogPlayer& operator=(const LogPlayer&) = delete;

    const LogFile& File() const { return file_; }
    // Lines played so far: the next line to play.
    std::size_t Position() const { return position_; }
    bool AtEnd() const { return position_ >= file_.Count(); }

    // Plays the next `count` lines (fewer at the end of the file).
    void Play(std::size_t count);
    // Shows the console as it was after the first `position` lines (clamped to the file).
    void SeekTo(std::size_t position);

    // The checkpoints taken so far and the bytes of memory they hold.
    std::size_t CheckpointCount() const { return checkpoints_.size(); }
    std::size_t CheckpointBytes() const;

  private:
    struct Checkpoint {
        ConsoleCheckpoint console;
        std::size_t logStart;  // the file line the console's log began with
        // What the fields' histories gained since the checkpoint before (none for the first, or
        // when that one's mark could not be gone back to then).
        std::optional<FieldHistory::Stretch> historyStretch;
    };

    void LogCleared() override;
    void TakeCheckpoint();
    void RestoreCheckpoint(std::size_t index);
    // The furthest checkpoint up to `index` that the console can be put back to now; may bring the
    // fields' histories forward along the stretches to it (and then it must be put back).
    std::size_t Reachable(std::size_t index, bool& historyMoved);

    Console& console_;
    PlaybackClock& clock_;
    const LogFile& file_;
    const std::size_t every_;
    std::size_t position_ = 0;
    std::string block_;                    // the line as it arrived: its text and the unit's CR LF
    std::vector<Checkpoint> checkpoints_;  // after lines 0, every_, 2 * every_, ...
    std::size_t logStart_ = 0;
    bool inLine_ = false;     // a line of the file is going through the receive frame
    bool restoring_ = false;  // a checkpoint is being put back
    bool offFile_ = false;    // the technician cleared the console: not the file's state alone
    Subscription logSubscription_;
};

}  // namespace rv
