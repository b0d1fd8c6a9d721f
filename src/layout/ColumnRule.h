#pragma once
// The column rule of the monitor view: how many section columns fit the view's width, how wide
// they are, which section stands in which column, and the title of the connection section.
// Pure arithmetic; the view applies the result to its widgets.

#include <array>
#include <string_view>
#include <vector>

namespace rv {

constexpr int kMaxColumns = 4;
constexpr int kMinColumns = 2;
constexpr int kColumnStep = 250;            // a column needs at least this many pixels
constexpr int kCalibrationColumnMin = 336;  // width of a calibration channel column

// Width of each of the four channel columns of the calibration view: 336, or a quarter of the
// calibration page when that page is wider than four such columns.
int CalibrationColumnWidth(int calibrationPageWidth);

// Number of section columns for a view of this client width: one per 250 pixels, 2 to 4.
int ColumnCountFor(int viewWidth);

// Section names of each column, top to bottom, for 2, 3 or 4 columns. Every one of the ten
// sections has a place whatever the count; "PanelA1" and "PanelA2" always head column 1.
using ColumnPlacement = std::array<std::vector<std::string_view>, kMaxColumns>;
const ColumnPlacement& PlacementFor(int columns);

// The sections that move between columns, in the order they are gathered before a placement.
const std::vector<std::string_view>& MovableSections();

// "Цифровые входы / выходы" and "Данные" take the height left in their column while unfolded.
bool SectionFillsColumn(std::string_view section);

// One run of the rule. The count is remembered between runs (-1 before the first), and the
// sections are placed anew only when it changes; otherwise only widths change.
class ColumnRule {
  public:
    struct Result {
        int columns = 0;
        int columnWidth = 0;
        std::array<int, kMaxColumns> widths{};  // 0 for a column that is not used
        bool placeSections = false;
    };

    Result Apply(int viewWidth);
    int ColumnCount() const { return remembered_; }

  private:
    int remembered_ = -1;
};

// Title of the "Подключение COM" title cell (UTF-8): the full title while the cell is at least
// 126 pixels wide, "COM" once the port buttons leave it less.
constexpr int kComTitleMinWidth = 126;
std::string_view ComTitle(int titleCellWidth);
constexpr std::string_view kComTitleLong = "Подключение COM";
constexpr std::string_view kComTitleShort = "COM";

}  // namespace rv
