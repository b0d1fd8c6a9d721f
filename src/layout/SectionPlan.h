#pragma once
// The declarative description of the monitor view: its ten sections, their rows and display
// fields, and the sensor area's groups. The widgets are built from it and the core display model
// takes its fields from it, so a field exists in one place only. Texts are UTF-8 here; the display
// model keeps field texts in Windows-1251.

#include <cstdint>
#include <string_view>
#include <vector>

namespace rv {

enum class FieldKind { Label, Edit, MaskedEdit };

enum class RowKind {
    Value,      // grey caption, 8-pixel gap, display field
    Separator,  // 6 pixels with a thin sunken line under the field column
    Gap,        // empty row of the given height
    Input,      // input/output row: colour marker, caption label (rewritten), value field
    Signal,     // "Уровень сигнала:" with the bar SB_ML and the label LL_ML
    Battery,    // "Аккумулятор:" with the label LL_PB1 and the bar SB_PB
};

struct RowPlan {
    RowKind kind;
    const char* caption;  // UTF-8 caption text (design text of the caption label)
    const char* field;    // display field name, or nullptr
    FieldKind fieldKind = FieldKind::Label;
    int height = 20;
    const char* captionName = nullptr;  // object name of a caption label that replies rewrite
    std::uint32_t marker = 0;           // colour square of an input row (0x00BBGGRR)
    int captionWidth = 0;               // caption width of this row; 0: the section's
};

enum class SectionBody {
    Rows,        // built from `rows`
    Settings,    // the SIM PIN / access-point editor
    Data,        // received-bytes counter, traffic log, free command line
    SensorArea,  // LabelNo and the sensor groups
};

// A command button in a section header: a 24x24 light-green cell with a flat picture button.
enum class HeaderPicture { On /* check mark */, Off /* cross */, Refresh /* circular arrows */ };

struct HeaderCommandPlan {
    const char* button;  // SpeedButton1 ...; the action it runs: HeaderCommandButtons()
    HeaderPicture picture;
    const char* hint;  // UTF-8, nullptr for none
};

struct SectionPlan {
    const char* name;        // PanelA1 ...
    const char* title;       // UTF-8 title
    const char* foldButton;  // cmdSCom ...
    int captionWidth;
    SectionBody body;
    std::vector<RowPlan> rows;
    std::vector<HeaderCommandPlan> commands = {};  // header command cells, left to right
};

// Height of every section header line, and of a folded section (header plus its borders).
constexpr int kSectionHeaderHeight = 28;
constexpr int kSectionBorder = 4;
constexpr int kFoldedSectionHeight = 34;

// Height of a section's rows (the sum of the row heights); 0 for the bodies built elsewhere.
int RowsHeight(const SectionPlan& section);
// Full height of a section of rows: its borders, its header and its rows.
int UnfoldedHeight(const SectionPlan& section);

// The ten sections in the order of the window's component tree: PanelA1, PanelA2, PanelA3,
// PanelA4, PanelB1, PanelB2, PanelB3, PanelC1, PanelC2, PanelC3.
const std::vector<SectionPlan>& MonitorSections();
// The section of that name; throws logic_error when there is none.
const SectionPlan& MonitorSection(std::string_view name);

// Sensor area rows: group headers, the fuel-level column-title row and value rows, in the order
// they stand in the area (top to bottom).
enum class SensorRowKind { GroupHeader, ColumnTitles, Value, FuelLevel };

struct SensorRowPlan {
    SensorRowKind kind;
    int number;           // row panel is "Panel" + number
    const char* caption;  // UTF-8 caption, group title; nullptr for captions set at run time
    const char* field;    // value field (Value); level field (FuelLevel)
    const char* captionName = nullptr;  // LLOWT0.., LLS0.. (run-time captions)
    const char* field2 = nullptr;       // FuelLevel: frequency field
    const char* field3 = nullptr;       // FuelLevel: temperature field
};

const std::vector<SensorRowPlan>& SensorRows();

// Group of the sensor area: header row number, the value rows that open it.
struct SensorGroupPlan {
    int header;
    std::vector<int> valueRows;
    bool fuelLevel;  // the fuel-level group also opens the column-title row 42
};

const std::vector<SensorGroupPlan>& SensorGroups();

constexpr int kSensorColumnTitleRow = 42;

}  // namespace rv
