#include "layout/ColumnRule.h"

#include <algorithm>
#include <stdexcept>

namespace rv {

int CalibrationColumnWidth(int calibrationPageWidth) {
    return calibrationPageWidth > kMaxColumns * kCalibrationColumnMin
               ? calibrationPageWidth / kMaxColumns
               : kCalibrationColumnMin;
}

int ColumnCountFor(int viewWidth) {
    return std::clamp(viewWidth / kColumnStep, kMinColumns, kMaxColumns);
}

const ColumnPlacement& PlacementFor(int columns) {
    // With fewer than four columns "Навигация" heads the second column and the discrete inputs
    // stay in view too (in the third column, or in the first above the sensor area), so the
    // technician never loses a section by narrowing the window.
    static const ColumnPlacement four{{
        {"PanelA1", "PanelA2", "PanelA3"},
        {"PanelB2"},
        {"PanelC1", "PanelC2", "PanelA4"},
        {"PanelB1", "PanelB3", "PanelC3"},
    }};
    static const ColumnPlacement three{{
        {"PanelA1", "PanelA2", "PanelA3", "PanelA4"},
        {"PanelB1", "PanelB2", "PanelB3"},
        {"PanelC1", "PanelC2", "PanelC3"},
        {},
    }};
    static const ColumnPlacement two{{
        {"PanelA1", "PanelA2", "PanelA3", "PanelC1", "PanelA4"},
        {"PanelB1", "PanelC2", "PanelB2", "PanelB3", "PanelC3"},
        {},
        {},
    }};
    switch (columns) {
        case 4:
            return four;
        case 3:
            return three;
        case 2:
            return two;
        default:
            throw std::logic_error("the monitor view has 2 to 4 columns");
    }
}

const std::vector<std::string_view>& MovableSections() {
    static const std::vector<std::string_view> movable{"PanelA3", "PanelA4", "PanelB1", "PanelB2",
                                                       "PanelB3", "PanelC1", "PanelC2", "PanelC3"};
    return movable;
}

bool SectionFillsColumn(std::string_view section) {
    return section == "PanelA4" || section == "PanelC3";
}

ColumnRule::Result ColumnRule::Apply(int viewWidth) {
    Result r;
    r.columns = ColumnCountFor(viewWidth);
    r.columnWidth = viewWidth / r.columns;
    r.widths = {r.columnWidth, r.columnWidth, r.columns >= 3 ? r.columnWidth : 0,
                r.columns == 4 ? r.columnWidth : 0};
    r.placeSections = r.columns != remembered_;
    remembered_ = r.columns;
    return r;
}

std::string_view ComTitle(int titleCellWidth) {
    return titleCellWidth >= kComTitleMinWidth ? kComTitleLong : kComTitleShort;
}

}  // namespace rv
