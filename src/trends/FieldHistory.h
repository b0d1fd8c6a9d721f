#pragma once
// The history of every display field that has a trend (TrendFields), since the port started or a
// log file began to play: time and value of what the decoders wrote, so a field can be plotted
// against time afterwards.
//
// It is fed from the receive path. The display model tells its observers of changes only, but a
// value the unit repeats is news here (the value was still held then), so the history is the
// model's write tap and sees every SetV. The console places each line on the session's time axis
// before the decoders run (BeginLine); the axis is read lazily, on the first value of a line.
//
// Storage per field: samples of 8 bytes (a 32-bit millisecond offset from the chunk's base time
// and a float), in chunks that grow from 16 to 4096 samples and are never moved. A run of equal
// values keeps its first and its latest sample only (the latest is moved forward as the run goes
// on), so a steady field costs two samples however long it stays. A text without a number is a
// gap sample (NaN), and repeated gaps collapse the same way.
//
// Bound: the whole store, chunk headers included, stays under `memoryBound` (96 MiB by default, so
// a working day of every field fits under 100 MiB). When an append passes it, the oldest half of
// the longest series is thinned: every four neighbouring samples between gaps become their minimum
// and maximum, in time order, so a dip or a jump stays on the plot while the resolution of old data
// halves; gaps are kept. This repeats until the store is under three quarters of the bound. The
// oldest data thus grow coarser the longer a busy session runs, but nothing of the day is dropped.
// (A day at a saturated link with every field changing all the time is about 13 million samples.)

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "protocol/DisplayModel.h"
#include "text/RegionalFormats.h"
#include "trends/SessionAxis.h"
#include "trends/TimedValue.h"
#include "trends/TrendFields.h"

namespace rv {

class FieldHistory : public DisplayWriteTap {
  public:
    static constexpr std::size_t kDefaultMemoryBound = std::size_t{96} << 20;

    // Keeps the trend fields of `display`; numbers are read with the decimal separator of
    // `formats` (or a full stop). Both must outlive the history.
    FieldHistory(const DisplayModel& display, const RegionalFormats& formats,
                 std::size_t memoryBound = kDefaultMemoryBound);
    ~FieldHistory() override;
    FieldHistory(const FieldHistory&) = delete;
    FieldHistory& operator=(const FieldHistory&) = delete;

    // The clock reading of the line whose values follow.
    void BeginLine(const LocalDateTime& now) {
        lineTime_ = now;
        linePlaced_ = false;
    }
    void ValueWritten(int field, std::string_view text, bool changed) override;

    // Every series empty, the axis restarted (the console's clear action).
    void Clear();
    // While a log file plays, the samples a clear takes are kept aside (up to the memory bound),
    // so that a seek back across the unit's clear request in the file has them again: TruncateTo
    // a mark taken before the clear brings them back. Off (live work): a clear frees them.
    void KeepClearedSamples(bool keep);
    bool KeepsClearedSamples() const { return keepCleared_; }

    bool Keeps(int field) const {
        return field >= 0 && static_cast<std::size_t>(field) < slotOf_.size() &&
               slotOf_[field] >= 0;
    }
    // The fields kept, in the order of TrendFields.
    const std::vector<int>& KeptFields() const { return keptFields_; }
    std::size_t Count(int field) const;
    // Samples of `field` from `from` to `to` (ms on the axis), with the sample just before `from`
    // and the one just after `to` when there are such, so a plot reaches both edges. Appended to
    // `out` in time order.
    void Read(int field, std::int64_t from, std::int64_t to, std::vector<TimedValue>& out) const;
    // All samples of `field`.
    std::vector<TimedValue> All(int field) const;
    // The field's latest sample at or before `ms`.
    std::optional<TimedValue> At(int field, std::int64_t ms) const;

    // The axis points of the first and latest line that gave a value; 0 before any.
    std::int64_t FirstMs() const { return firstMs_; }
    std::int64_t LastMs() const { return lastMs_; }
    bool Empty() const { return !anySample_; }
    const SessionAxis& Axis() const { return axis_; }
    // Grows with every change of the store; a view redraws when it has moved.
    std::uint64_t Revision() const { return revision_; }

    // Bytes held: samples (by chunk capacity), chunk headers, per-field records.
    std::size_t MemoryBytes() const;
    std::size_t MemoryBound() const { return bound_; }

    // A point to come back to: going back in a played log restores the console as it was at a
    // checkpoint, and the history is cut back to the same point with it. Taking a mark copies a
    // few bytes per kept field (its count and last sample).
    struct Mark {
        std::uint64_t generation = 0;
        SessionAxis::State axis;
        std::int64_t firstMs = 0, lastMs = 0;
        bool anySample = false;
        std::vector<std::size_t> counts;  // by slot
        std::vector<TimedValue> last;     // by slot: the last sample then (a run's end moves on)
    };
    Mark TakeMark() const;
    // Drops what was appended after `mark` and gives the run ends back their time then. False,
    // changing nothing, when the store was cleared or thinned since the mark: the caller must
    // rebuild the history (clear and play again from the start).
    // A mark taken while the store was empty can always be gone back to (the store is emptied).
    // A mark further on than the store (a series has fewer samples than the mark) cannot.
    bool TruncateTo(const Mark& mark);
    // Whether TruncateTo(mark) can go back to it.
    bool CanTruncateTo(const Mark& mark) const;

    // What the store gained from one mark to the next: going forward in a played log, the store
    // is cut back to the earlier mark and the stretches up to the later one are laid on again, so
    // no line has to be decoded twice. Per series: the samples from the earlier mark's last one
    // (a run's end moves on) to the later mark's count.
    struct Stretch {
        std::uint64_t generation = 0;
        std::vector<std::size_t> from;  // by slot: the earlier mark's counts
        std::vector<std::size_t> ends;  // by slot: where its samples end in `samples`
        // The samples as the store keeps them: ms after `base` (the earliest) and the value.
        struct Point {
            std::uint32_t dt;
            float value;
        };
        std::int64_t base = 0;
        std::vector<Point> samples;
        Mark to;
        std::size_t Bytes() const {
            return sizeof(*this) + (from.capacity() + ends.capacity()) * sizeof(std::size_t) +
                   samples.capacity() * sizeof(Point) + to.counts.capacity() * sizeof(std::size_t) +
                   to.last.capacity() * sizeof(TimedValue);
        }
    };
    // The stretch from `from` to now; nothing (an empty optional) when `from` cannot be gone back
    // to.
    std::optional<Stretch> StretchSince(const Mark& from) const;
    // Lays `stretch` on a store that stands at its earlier mark (TruncateTo it first); false,
    // changing nothing, when it does not.
    bool Apply(const Stretch& stretch);

  private:
    struct Sample {
        std::uint32_t dt;  // ms after the chunk's base
        float value;
    };
    using SampleArray = std::unique_ptr<Sample[]>;
    struct Chunk {
        std::int64_t base = 0;
        std::uint32_t size = 0, capacity = 0;
        SampleArray samples;
    };
    struct Series {
        NumberReading reading = NumberReading::Leading;
        std::vector<Chunk> chunks;
        std::size_t count = 0;
        // The newest samples as seen from the receive path, kept here beside the chunks (and set
        // again by RefreshTail after any other change): a repeated value and a run that goes on
        // need not reach into the chunks, which on a busy link are long out of the cache.
        Sample* tail = nullptr;          // the last sample, when count > 0
        std::int64_t tailBase = 0;       // the base of its chunk
        float last = 0, beforeLast = 0;  // the values of the last two samples (count > 0, > 1)
    };

    static TimedValue At(const Chunk& c, std::uint32_t i) {
        const Sample& s = c.samples[i];
        return {c.base + s.dt, static_cast<double>(s.value)};
    }
    void Append(Series& s, std::int64_t ms, float value);
    // Sets the series' kept newest samples from its chunks.
    static void RefreshTail(Series& s);
    // A new chunk, a run that crosses chunks, the bound: the rarer half of Append.
    void AppendSlowly(Series& s, std::int64_t ms, float value);
    // Adds a sample at the end of `chunks` (a new chunk when the last is full or too far back).
    void Push(std::vector<Chunk>& chunks, std::int64_t ms, float value, std::uint32_t maxCapacity);
    void ReleaseChunk(Chunk& c);
    void Thin();
    // Empties every series; with `keepAside`, the samples go to cleared_ instead of being freed.
    void Empty(bool keepAside);
    // Brings back the samples of `generation` kept aside by a clear (and drops what was shown
    // since). False when they are not kept.
    bool BringBack(std::uint64_t generation);
    // The series of `generation`: the ones shown, or ones kept aside; nullptr when gone.
    const std::vector<Series>* SeriesOf(std::uint64_t generation) const;
    std::size_t ChunkBytes(const std::vector<Series>& series) const;
    void ThinOldestHalf(Series& s);
    std::size_t ChunkOf(const Series& s, std::int64_t ms) const;

    const RegionalFormats& formats_;
    std::size_t bound_;
    std::vector<int> slotOf_;  // by field: index into series_, -1 when not kept
    std::vector<int> keptFields_;
    std::vector<Series> series_;
    SessionAxis axis_;
    LocalDateTime lineTime_;
    bool linePlaced_ = false;
    std::int64_t lineMs_ = 0;
    bool anySample_ = false;
    std::int64_t firstMs_ = 0, lastMs_ = 0;
    std::size_t bytes_ = 0;  // samples and chunk headers, kept as the store changes
    // The history itself, its per-field records and the room for spare first chunks.
    std::size_t fixedBytes_ = 0;
    // First chunks released (by a clear, mostly), handed to the next series that starts: a clear
    // and the values after it take no allocation. At most one per field.
    std::vector<SampleArray> spareFirstChunks_;
    std::uint64_t revision_ = 0;
    std::uint64_t generation_ = 0;      // moves on when earlier samples change (clear, thinning)
    std::uint64_t lastGeneration_ = 0;  // each generation's number is used once
    // Samples taken by a clear while a log file plays, oldest first.
    struct KeptAside {
        std::uint64_t generation;
        std::vector<Series> series;
        SessionAxis::State axis;
        std::int64_t firstMs, lastMs;
        bool anySample;
        std::size_t bytes;
    };
    std::vector<KeptAside> keptAside_;
    std::size_t keptAsideBytes_ = 0;
    bool keepCleared_ = false;
};

}  // namespace rv
