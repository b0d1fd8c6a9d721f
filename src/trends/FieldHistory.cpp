#include "trends/FieldHistory.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace rv {
namespace {

constexpr std::uint32_t kFirstChunk = 16;
constexpr std::uint32_t kMaxChunk = 4096;
constexpr std::int64_t kMaxOffset = std::numeric_limits<std::uint32_t>::max();
// A chunk's header, counted twice: the vector that holds the headers may have room for as many
// again.
constexpr std::size_t kChunkHeaderCost = 2 * 32;
// Chunk headers whose room a series keeps through a clear.
constexpr std::size_t kHeadersKept = 2;

bool Same(float a, float b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

}  // namespace

FieldHistory::FieldHistory(const DisplayModel& display, const RegionalFormats& formats,
                           std::size_t memoryBound)
    : formats_(formats), bound_(memoryBound), slotOf_(display.FieldCount(), -1) {
    for (const TrendField& f : TrendFields()) {
        const int field = display.Find(f.name);
        if (field < 0 || slotOf_[field] >= 0) continue;
        slotOf_[field] = static_cast<int>(series_.size());
        keptFields_.push_back(field);
        Series s;
        s.reading = f.reading;
        series_.push_back(std::move(s));
    }
    spareFirstChunks_.reserve(series_.size());
    fixedBytes_ =
        sizeof(*this) + slotOf_.capacity() * sizeof(int) + keptFields_.capacity() * sizeof(int) +
        series_.capacity() * sizeof(Series) +
        spareFirstChunks_.capacity() * (sizeof(SampleArray) + kFirstChunk * sizeof(Sample));
}

FieldHistory::~FieldHistory() = default;

void FieldHistory::ValueWritten(int field, std::string_view text, bool changed) {
    const int slot = slotOf_[field];
    if (slot < 0) return;
    Series& s = series_[slot];
    if (!linePlaced_) {
        lineMs_ = axis_.Place(lineTime_);
        linePlaced_ = true;
    }
    float value;
    if (!changed && s.count > 0) {
        value = s.last;  // the text shown already: the value of the series' last sample
    } else {
        std::size_t at = 0;
        const auto n = s.reading == NumberReading::Leading
                           ? ReadLeadingNumber(text, at, formats_.decimalSeparator)
                           : ReadFieldNumber(text, s.reading, formats_.decimalSeparator);
        value = n ? static_cast<float>(*n) : std::numeric_limits<float>::quiet_NaN();
    }
    if (!anySample_) {
        anySample_ = true;
        firstMs_ = lineMs_;
    }
    lastMs_ = lineMs_;
    Append(s, lineMs_, value);
}

void FieldHistory::Append(Series& s, std::int64_t ms, float value) {
    ++revision_;
    // The common cases, on the receive path: a run goes on, or a sample fits its chunk.
    if (s.count >= 2 && Same(s.last, value) && Same(s.beforeLast, value) &&
        ms - s.tailBase <= kMaxOffset) {
        s.tail->dt = static_cast<std::uint32_t>(ms - s.tailBase);  // the run goes on
        return;
    }
    if (s.count > 0) {
        Chunk& c = s.chunks.back();
        const std::int64_t offset = ms - c.base;
        if (c.size < c.capacity && offset <= kMaxOffset) {
            s.tail = &c.samples[c.size++];
            *s.tail = Sample{static_cast<std::uint32_t>(offset), value};
            s.beforeLast = s.last;
            s.last = value;
            ++s.count;
            return;
        }
    }
    AppendSlowly(s, ms, value);
}

void FieldHistory::AppendSlowly(Series& s, std::int64_t ms, float value) {
    Push(s.chunks, ms, value, kMaxChunk);
    ++s.count;
    RefreshTail(s);
    if (bytes_ + fixedBytes_ > bound_) Thin();
}

void FieldHistory::RefreshTail(Series& s) {
    if (s.count == 0) {
        s.tail = nullptr;
        s.tailBase = 0;
        s.last = s.beforeLast = 0;
        return;
    }
    Chunk& c = s.chunks.back();
    s.tail = &c.samples[c.size - 1];
    s.tailBase = c.base;
    s.last = s.tail->value;
    if (s.count < 2) {
        s.beforeLast = 0;
    } else if (c.size >= 2) {
        s.beforeLast = s.tail[-1].value;
    } else {
        const Chunk& previous = s.chunks[s.chunks.size() - 2];
        s.beforeLast = previous.samples[previous.size - 1].value;
    }
}

void FieldHistory::Push(std::vector<Chunk>& chunks, std::int64_t ms, float value,
                        std::uint32_t maxCapacity) {
    if (chunks.empty() || chunks.back().size == chunks.back().capacity ||
        ms - chunks.back().base > kMaxOffset) {
        const std::uint32_t capacity =
            chunks.empty() ? kFirstChunk : std::min(maxCapacity, 2 * chunks.back().capacity);
        Chunk c;
        c.base = ms;
        c.capacity = capacity;
        if (capacity == kFirstChunk && !spareFirstChunks_.empty()) {
            c.samples = std::move(spareFirstChunks_.back());
            spareFirstChunks_.pop_back();
        } else {
            c.samples = std::make_unique_for_overwrite<Sample[]>(capacity);
        }
        bytes_ += capacity * sizeof(Sample) + kChunkHeaderCost;
        chunks.push_back(std::move(c));
    }
    Chunk& c = chunks.back();
    c.samples[c.size++] = Sample{static_cast<std::uint32_t>(ms - c.base), value};
}

void FieldHistory::ReleaseChunk(Chunk& c) {
    bytes_ -= c.capacity * sizeof(Sample) + kChunkHeaderCost;
    if (c.capacity == kFirstChunk && spareFirstChunks_.size() < spareFirstChunks_.capacity())
        spareFirstChunks_.push_back(std::move(c.samples));
    c.samples.reset();
    c.size = c.capacity = 0;
}

void FieldHistory::Thin() {
    generation_ = ++lastGeneration_;
    const std::size_t target = bound_ / 4 * 3;
    while (bytes_ + fixedBytes_ > target) {
        Series* longest = nullptr;
        for (Series& s : series_) {
            if (s.chunks.size() >= 2 && (longest == nullptr || s.count > longest->count))
                longest = &s;
        }
        if (longest == nullptr) return;
        const std::size_t before = longest->count;
        ThinOldestHalf(*longest);
        if (longest->count >= before) return;
    }
}

void FieldHistory::ThinOldestHalf(Series& s) {
    // Whole chunks from the oldest, up to half of the series; the newest chunk is left alone.
    std::size_t take = 0, taken = 0;
    while (take + 1 < s.chunks.size() && taken < s.count / 2) taken += s.chunks[take++].size;
    if (take == 0) return;

    std::vector<Chunk> thinned;
    TimedValue group[4];
    int inGroup = 0;
    const auto put = [&](const TimedValue& v) {
        Push(thinned, v.ms, static_cast<float>(v.value), kMaxChunk);
    };
    const auto flush = [&] {
        if (inGroup <= 2) {
            for (int i = 0; i < inGroup; ++i) put(group[i]);
        } else {
            int lo = 0, hi = 0;
            for (int i = 1; i < inGroup; ++i) {
                if (group[i].value < group[lo].value) lo = i;
                if (group[i].value > group[hi].value) hi = i;
            }
            if (lo == hi) lo = 0, hi = inGroup - 1;  // all equal: the run's first and last
            put(group[std::min(lo, hi)]);
            put(group[std::max(lo, hi)]);
        }
        inGroup = 0;
    };
    for (std::size_t i = 0; i < take; ++i) {
        Chunk& c = s.chunks[i];
        for (std::uint32_t j = 0; j < c.size; ++j) {
            const TimedValue v = At(c, j);
            if (v.IsGap()) {
                flush();
                put(v);
                continue;
            }
            group[inGroup++] = v;
            if (inGroup == 4) flush();
        }
        ReleaseChunk(c);  // freed as soon as it is read: the thinning needs one chunk extra at most
    }
    flush();
    std::size_t count = 0;
    for (const Chunk& c : thinned) count += c.size;
    s.chunks.erase(s.chunks.begin(), s.chunks.begin() + static_cast<std::ptrdiff_t>(take));
    s.chunks.insert(s.chunks.begin(), std::make_move_iterator(thinned.begin()),
                    std::make_move_iterator(thinned.end()));
    s.chunks.shrink_to_fit();
    s.count = s.count - taken + count;
    RefreshTail(s);  // the sample before the newest may have been in a thinned chunk
}

void FieldHistory::Clear() {
    Empty(keepCleared_);
}

void FieldHistory::KeepClearedSamples(bool keep) {
    keepCleared_ = keep;
    if (!keep) {
        std::vector<KeptAside>().swap(keptAside_);
        keptAsideBytes_ = 0;
    }
}

std::size_t FieldHistory::ChunkBytes(const std::vector<Series>& series) const {
    std::size_t bytes = 0;
    for (const Series& s : series) {
        for (const Chunk& c : s.chunks) bytes += c.capacity * sizeof(Sample) + kChunkHeaderCost;
    }
    return bytes;
}

void FieldHistory::Empty(bool keepAside) {
    if (keepAside && anySample_) {
        KeptAside kept{generation_, {}, axis_.Save(), firstMs_, lastMs_, anySample_, 0};
        kept.bytes = ChunkBytes(series_);
        for (Series& s : series_) {
            Series empty;
            empty.reading = s.reading;
            kept.series.push_back(std::move(s));
            s = std::move(empty);
        }
        bytes_ -= kept.bytes;
        keptAsideBytes_ += kept.bytes;
        keptAside_.push_back(std::move(kept));
        // Kept aside beyond the bound, the oldest go: a seek back across them plays the file
        // from its start instead.
        while (keptAsideBytes_ > bound_ && !keptAside_.empty()) {
            keptAsideBytes_ -= keptAside_.front().bytes;
            keptAside_.erase(keptAside_.begin());
        }
    } else if (bytes_ > 0) {  // a history with no chunk (cleared already) has nothing to free
        for (Series& s : series_) {
            if (s.chunks.empty()) continue;  // most fields of a short session gave none
            for (Chunk& c : s.chunks) ReleaseChunk(c);
            s.chunks.clear();
            // The room for a chunk or two stays for the values after the clear; a long series's
            // list of chunks goes.
            if (s.chunks.capacity() > kHeadersKept) std::vector<Chunk>().swap(s.chunks);
            s.count = 0;
            RefreshTail(s);
        }
    }
    axis_.Reset();
    linePlaced_ = false;
    anySample_ = false;
    firstMs_ = lastMs_ = 0;
    generation_ = ++lastGeneration_;
    ++revision_;
}

const std::vector<FieldHistory::Series>* FieldHistory::SeriesOf(std::uint64_t generation) const {
    if (generation == generation_) return &series_;
    for (const KeptAside& kept : keptAside_) {
        if (kept.generation == generation) return &kept.series;
    }
    return nullptr;
}

bool FieldHistory::BringBack(std::uint64_t generation) {
    auto it = std::find_if(keptAside_.begin(), keptAside_.end(),
                           [&](const KeptAside& k) { return k.generation == generation; });
    if (it == keptAside_.end()) return false;
    for (Series& s : series_) {
        for (Chunk& c : s.chunks) ReleaseChunk(c);
    }
    series_ = std::move(it->series);
    bytes_ += it->bytes;
    axis_.Restore(it->axis);
    firstMs_ = it->firstMs;
    lastMs_ = it->lastMs;
    anySample_ = it->anySample;
    generation_ = it->generation;
    // What was kept aside after it belongs to a later stretch of the file: it is played again.
    for (auto later = it; later != keptAside_.end(); ++later) keptAsideBytes_ -= later->bytes;
    keptAside_.erase(it, keptAside_.end());
    ++revision_;
    return true;
}

std::size_t FieldHistory::Count(int field) const {
    return Keeps(field) ? series_[slotOf_[field]].count : 0;
}

std::size_t FieldHistory::ChunkOf(const Series& s, std::int64_t ms) const {
    // The last chunk whose base lies before `ms`: every later sample of an earlier chunk does too.
    auto it = std::lower_bound(s.chunks.begin(), s.chunks.end(), ms,
                               [](const Chunk& c, std::int64_t t) { return c.base < t; });
    return it == s.chunks.begin() ? 0 : static_cast<std::size_t>(it - s.chunks.begin()) - 1;
}

void FieldHistory::Read(int field, std::int64_t from, std::int64_t to,
                        std::vector<TimedValue>& out) const {
    if (!Keeps(field)) return;
    const Series& s = series_[slotOf_[field]];
    std::optional<TimedValue> before;
    for (std::size_t i = ChunkOf(s, from); i < s.chunks.size(); ++i) {
        const Chunk& c = s.chunks[i];
        for (std::uint32_t j = 0; j < c.size; ++j) {
            const TimedValue v = At(c, j);
            if (v.ms < from) {
                before = v;
                continue;
            }
            if (before) {
                out.push_back(*before);
                before.reset();
            }
            out.push_back(v);
            if (v.ms > to) return;
        }
    }
    if (before) out.push_back(*before);
}

std::vector<TimedValue> FieldHistory::All(int field) const {
    std::vector<TimedValue> out;
    if (!Keeps(field)) return out;
    const Series& s = series_[slotOf_[field]];
    out.reserve(s.count);
    for (const Chunk& c : s.chunks) {
        for (std::uint32_t j = 0; j < c.size; ++j) out.push_back(At(c, j));
    }
    return out;
}

std::optional<TimedValue> FieldHistory::At(int field, std::int64_t ms) const {
    if (!Keeps(field)) return std::nullopt;
    const Series& s = series_[slotOf_[field]];
    auto it = std::upper_bound(s.chunks.begin(), s.chunks.end(), ms,
                               [](std::int64_t t, const Chunk& c) { return t < c.base; });
    if (it == s.chunks.begin()) return std::nullopt;
    const Chunk& c = *(it - 1);
    const std::int64_t offset = ms - c.base;
    const Sample* begin = c.samples.get();
    const Sample* after = std::upper_bound(
        begin, begin + c.size, offset,
        [](std::int64_t t, const Sample& x) { return t < static_cast<std::int64_t>(x.dt); });
    return At(c, static_cast<std::uint32_t>(after - begin - 1));
}

std::size_t FieldHistory::MemoryBytes() const {
    std::size_t bytes = fixedBytes_;
    for (const Series& s : series_) {
        bytes += s.chunks.capacity() * sizeof(Chunk);
        for (const Chunk& c : s.chunks) bytes += c.capacity * sizeof(Sample);
    }
    return bytes;
}

bool FieldHistory::CanTruncateTo(const Mark& mark) const {
    if (!mark.anySample) return true;
    const std::vector<Series>* series = SeriesOf(mark.generation);
    if (series == nullptr || mark.counts.size() != series->size()) return false;
    for (std::size_t slot = 0; slot < series->size(); ++slot) {
        if ((*series)[slot].count < mark.counts[slot]) return false;
    }
    return true;
}

std::optional<FieldHistory::Stretch> FieldHistory::StretchSince(const Mark& from) const {
    if (!CanTruncateTo(from)) return std::nullopt;
    Stretch stretch;
    stretch.generation = generation_;
    stretch.from.resize(series_.size(), 0);
    stretch.ends.reserve(series_.size());
    std::vector<TimedValue> samples;
    for (std::size_t slot = 0; slot < series_.size(); ++slot) {
        const Series& s = series_[slot];
        const std::size_t count = from.counts.empty() ? 0 : from.counts[slot];
        stretch.from[slot] = count;
        std::size_t index = 0;
        const std::size_t first = count > 0 ? count - 1 : 0;
        for (const Chunk& c : s.chunks) {
            if (index + c.size > first) {
                for (std::uint32_t i =
                         static_cast<std::uint32_t>(first > index ? first - index : 0);
                     i < c.size; ++i) {
                    samples.push_back(At(c, i));
                }
            }
            index += c.size;
        }
        stretch.ends.push_back(samples.size());
    }
    // A stretch spans minutes of one session: 32 bits of milliseconds hold it.
    if (!samples.empty()) {
        stretch.base = samples.front().ms;
        for (const TimedValue& v : samples) stretch.base = std::min(stretch.base, v.ms);
    }
    for (const TimedValue& v : samples) {
        if (v.ms - stretch.base > kMaxOffset) return std::nullopt;  // a seek plays the lines again
    }
    stretch.samples.reserve(samples.size());
    for (const TimedValue& v : samples) {
        stretch.samples.push_back(
            {static_cast<std::uint32_t>(v.ms - stretch.base), static_cast<float>(v.value)});
    }
    stretch.to = TakeMark();
    return stretch;
}

bool FieldHistory::Apply(const Stretch& stretch) {
    if (stretch.generation != generation_ || stretch.from.size() != series_.size()) return false;
    for (std::size_t slot = 0; slot < series_.size(); ++slot) {
        if (series_[slot].count != stretch.from[slot]) return false;
    }
    std::size_t at = 0;
    for (std::size_t slot = 0; slot < series_.size(); ++slot) {
        Series& s = series_[slot];
        const std::size_t end = stretch.ends[slot];
        if (s.count > 0 && at < end) {
            // The earlier mark's last sample as the run it began ended up.
            Chunk& c = s.chunks.back();
            const Stretch::Point& p = stretch.samples[at++];
            c.samples[c.size - 1] =
                Sample{static_cast<std::uint32_t>(stretch.base + p.dt - c.base), p.value};
        }
        for (; at < end; ++at) {
            const Stretch::Point& p = stretch.samples[at];
            Push(s.chunks, stretch.base + p.dt, p.value, kMaxChunk);
            ++s.count;
        }
        RefreshTail(s);
    }
    axis_.Restore(stretch.to.axis);
    firstMs_ = stretch.to.firstMs;
    lastMs_ = stretch.to.lastMs;
    anySample_ = stretch.to.anySample;
    linePlaced_ = false;
    ++revision_;
    return true;
}

FieldHistory::Mark FieldHistory::TakeMark() const {
    Mark m;
    m.generation = generation_;
    m.axis = axis_.Save();
    m.firstMs = firstMs_;
    m.lastMs = lastMs_;
    m.anySample = anySample_;
    m.counts.reserve(series_.size());
    m.last.reserve(series_.size());
    for (const Series& s : series_) {
        m.counts.push_back(s.count);
        m.last.push_back(s.count > 0 ? At(s.chunks.back(), s.chunks.back().size - 1)
                                     : TimedValue{});
    }
    return m;
}

bool FieldHistory::TruncateTo(const Mark& mark) {
    if (!CanTruncateTo(mark)) return false;
    if (mark.anySample && mark.generation != generation_) BringBack(mark.generation);
    if (mark.generation != generation_ || mark.counts.size() != series_.size()) {
        Clear();  // an empty mark of an earlier store: empty this one
        axis_.Restore(mark.axis);
        return true;
    }
    for (std::size_t slot = 0; slot < series_.size(); ++slot) {
        Series& s = series_[slot];
        const std::size_t keep = mark.counts[slot];
        while (s.count > keep) {
            Chunk& c = s.chunks.back();
            const std::size_t drop = std::min<std::size_t>(c.size, s.count - keep);
            c.size -= static_cast<std::uint32_t>(drop);
            s.count -= drop;
            if (c.size == 0) {
                ReleaseChunk(c);
                s.chunks.pop_back();
            }
        }
        if (s.chunks.capacity() > 2 * s.chunks.size()) s.chunks.shrink_to_fit();
        if (keep > 0) {
            Chunk& c = s.chunks.back();
            const TimedValue& last = mark.last[slot];
            // Laid on again from a stretch, a run that had gone on began a chunk at its later
            // end; going back to its earlier end moves the chunk's start with it (it is the
            // chunk's only sample then).
            if (last.ms < c.base) c.base = last.ms;
            c.samples[c.size - 1] = Sample{static_cast<std::uint32_t>(last.ms - c.base),
                                           static_cast<float>(last.value)};
        }
        RefreshTail(s);
    }
    axis_.Restore(mark.axis);
    firstMs_ = mark.firstMs;
    lastMs_ = mark.lastMs;
    anySample_ = mark.anySample;
    linePlaced_ = false;
    ++revision_;
    return true;
}

}  // namespace rv
