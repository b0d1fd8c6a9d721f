#include "calibration/TarChecks.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "calibration/SettleWatch.h"

namespace rv {
namespace {

struct Point {
    std::size_t row;
    double level;
    double reading;
};

int Sign(double v) {
    return (v > 0) - (v < 0);
}

}  // namespace

std::vector<std::uint8_t> CheckTarRows(const std::vector<TarRow>& rows) {
    std::vector<std::uint8_t> flags(rows.size(), 0);
    std::vector<Point> points;
    std::map<std::string, std::vector<std::size_t>> byLevel;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!rows[i].visible) continue;
        byLevel[rows[i].level].push_back(i);
        const auto level = ReadingNumber(rows[i].level);
        const auto reading = ReadingNumber(rows[i].value);
        if (level && reading) points.push_back({i, *level, *reading});
    }
    for (const auto& [level, at] : byLevel) {
        if (at.size() < 2) continue;
        for (std::size_t i : at) flags[i] |= kSameLevel;
    }
    if (points.size() < 2) return flags;

    // The direction of the whole table: does the reading rise or fall with the level?
    int direction = 0;
    for (std::size_t k = 1; k < points.size(); ++k) {
        direction += Sign(points[k].level - points[k - 1].level) *
                     Sign(points[k].reading - points[k - 1].reading);
    }
    direction = Sign(direction);
    std::vector<double> steps;
    for (std::size_t k = 1; k < points.size(); ++k) {
        const Point& a = points[k - 1];
        const Point& b = points[k];
        const int pair = Sign(b.level - a.level) * Sign(b.reading - a.reading);
        if (direction != 0 && pair == -direction) {
            flags[a.row] |= kAgainstTrend;
            flags[b.row] |= kAgainstTrend;
        }
        const double step = std::fabs(b.level - a.level);
        if (step > 0) steps.push_back(step);
    }
    if (steps.size() < 3) return flags;
    std::vector<double> sorted = steps;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<long>((sorted.size() - 1) / 2),
                     sorted.end());
    const double usual = sorted[(sorted.size() - 1) / 2];
    for (std::size_t k = 1; k < points.size(); ++k) {
        const double step = std::fabs(points[k].level - points[k - 1].level);
        if (step <= 0) continue;  // judged as the same level
        if (step > 2 * usual) flags[points[k].row] |= kStepTooLarge;
        if (step < usual / 2) flags[points[k].row] |= kStepTooSmall;
    }
    return flags;
}

std::string TarCheckText(std::uint8_t flags) {
    std::string out;
    auto add = [&out](const char* line) {
        if (!out.empty()) out += '\n';
        out += line;
    };
    if (flags & kAgainstTrend) add("Показание идёт против хода соседних строк");
    if (flags & kSameLevel) add("Такой же уровень есть в другой строке");
    if (flags & kStepTooLarge) add("Шаг уровня намного больше остальных");
    if (flags & kStepTooSmall) add("Шаг уровня намного меньше остальных");
    return out;
}

std::vector<std::string> TarExportWarnings(const std::vector<TarRow>& rows) {
    std::vector<std::string> out;
    const std::vector<std::uint8_t> flags = CheckTarRows(rows);
    std::size_t visible = 0;
    for (const TarRow& row : rows) visible += row.visible ? 1 : 0;
    if (visible < kTarEnoughRows) {
        out.push_back("В таблице " + std::to_string(visible) + " строк, обычно их не меньше " +
                      std::to_string(kTarEnoughRows));
    }
    const auto flagged = std::count_if(flags.begin(), flags.end(), [](auto f) { return f != 0; });
    if (flagged > 0) {
        out.push_back("Строк с замечаниями: " + std::to_string(flagged));
    }
    return out;
}

}  // namespace rv
