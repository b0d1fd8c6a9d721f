#include "trends/Decimation.h"

#include <algorithm>
#include <utility>

namespace rv {
namespace {

// The points of one pixel column as they are found.
struct Column {
    int index = -1;
    bool any = false;  // a value seen
    bool endsInGap = false;
    std::int64_t gapMs = 0;  // where the gap that ends the column began
    // The kept samples with their place in the input: equal times keep the input's order.
    struct Kept {
        TimedValue v;
        std::size_t at = 0;
    };
    Kept low, high;

    void Add(const TimedValue& v, std::size_t at) {
        if (v.IsGap()) {
            if (!endsInGap) gapMs = v.ms;
            endsInGap = true;
            return;
        }
        endsInGap = false;
        const Kept k{v, at};
        if (!any) {
            low = high = k;
            any = true;
            return;
        }
        if (v.value < low.v.value) low = k;
        if (v.value > high.v.value) high = k;
    }

    void EmitTo(std::vector<TimedValue>& out) const {
        if (any) {
            Kept points[2] = {low, high};
            if (high.at < low.at) std::swap(points[0], points[1]);
            for (int i = 0; i < 2; ++i) {
                if (i > 0 && points[i].at == points[i - 1].at) continue;
                out.push_back(points[i].v);
            }
        }
        if (endsInGap) Gap(out, gapMs);
    }

    static void Gap(std::vector<TimedValue>& out, std::int64_t ms) {
        if (!out.empty() && out.back().IsGap()) return;
        out.push_back({ms, kGap});
    }
};

}  // namespace

std::vector<TimedValue> DecimateToColumns(const std::vector<TimedValue>& samples, std::int64_t from,
                                          std::int64_t to, int columns) {
    std::vector<TimedValue> out;
    columns = std::max(columns, 1);
    const std::int64_t span = std::max<std::int64_t>(to - from, 1);
    Column column;
    for (std::size_t at = 0; at < samples.size(); ++at) {
        const TimedValue& v = samples[at];
        if (v.ms < from || v.ms > to) {
            column.EmitTo(out);
            column = Column();
            if (v.IsGap())
                Column::Gap(out, v.ms);
            else
                out.push_back(v);
            continue;
        }
        const int index =
            static_cast<int>(std::min<std::int64_t>(columns - 1, (v.ms - from) * columns / span));
        if (index != column.index) {
            column.EmitTo(out);
            column = Column();
            column.index = index;
        }
        column.Add(v, at);
    }
    column.EmitTo(out);
    return out;
}

}  // namespace rv
