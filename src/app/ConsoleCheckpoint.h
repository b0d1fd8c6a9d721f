#pragma once
// The console's whole received state after some line, as a value: what the lines that arrived had
// made of it. A played log keeps one every so many lines, so that seeking in it replays only the
// lines after the nearest one.
//
// The reply decoders keep nothing between lines but scratch text: what they decode lives in the
// display model and the calibration recorder. A store that received lines change keeps its mark
// here; Console::Checkpoint takes it and Console::Restore puts it back.

#include <cstddef>
#include <cstdint>

#include "calibration/Recorder.h"
#include "protocol/DisplayModel.h"
#include "trends/FieldHistory.h"

namespace rv {

struct ConsoleCheckpoint {
    DisplaySnapshot display;
    RecorderSnapshot calibration;
    std::int64_t receivedBytes = 0;
    // The traffic log: its line count, and which run of it (a run begins at every clear), so
    // that the log is known to hold the same lines up to there.
    std::size_t logLines = 0;
    std::uint64_t logRun = 0;
    // The fields' histories: their samples then. A clear since (the unit's clear request in a
    // played file) takes the earlier samples away for good, and the checkpoint cannot be gone
    // back to until its mark is taken again (see Console::Restore).
    FieldHistory::Mark history;

    // Bytes of memory the checkpoint holds.
    std::size_t Bytes() const {
        return sizeof(*this) - sizeof(display) - sizeof(calibration) + display.Bytes() +
               calibration.Bytes() + history.counts.capacity() * sizeof(std::size_t) +
               history.last.capacity() * sizeof(TimedValue);
    }
};

}  // namespace rv
