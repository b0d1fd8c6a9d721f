#pragma once
// Export of a calibration table as a fixed-width text file: a header (unit ID, date and time,
// sensor), the table between dashed rules, 39 characters wide, and the technician's comment.
// Every line ends with CR LF, the last one too; Windows-1251, no byte-order mark.
//
// The save dialog and the file write are injected (TarExportTarget), so the whole export runs
// without a window in the tests. Paths are UTF-8 texts of the platform's file system and are
// never re-encoded by the core; the table text and the proposed name are Windows-1251.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/FileWriter.h"
#include "text/RegionalFormats.h"

namespace rv {

// One calibration row as the table shows it: the captions of its cells.
struct TarRow {
    std::string number;  // NoCell
    std::string time;    // TimeCell
    std::string value;   // ValueCell
    std::string level;   // LevelCell
    bool visible = true;
};

// The cell of width w of a text: the text centred in the first w - 1 characters (an odd blank
// goes to the left) or cut to them, then "|".
std::string DatToStr(std::string_view s, int w);

// Everything that goes into one export file.
struct TarTableData {
    std::string unitId;        // text of LL_DN
    std::string dateTimeText;  // short date, blank, long time of the user's formats
    std::string sourceName;    // text of cmbDatN
    const std::vector<TarRow>* rows = nullptr;
    std::string comment;  // text of txtComN
};

// The bytes of the file.
std::string TarTableText(const TarTableData& data);

// Proposed file name: unit ID + "_" + source + "_" + dd-mm-yy + ".txt", every blank removed and
// every character that cannot stand in a file name (/ \ : * ? " < > | and control characters)
// replaced by "-".
std::string DefaultTarFileName(std::string_view unitId, std::string_view sourceName,
                               const LocalDateTime& now);

// The file types the save dialog offers: the text table (the default) and the CSV.
enum class TarFileType { Text, Csv };

struct TarSaveChoice {
    std::string path;  // UTF-8
    TarFileType type = TarFileType::Text;
};

// The save dialog and the file system, as the export uses them.
class TarExportTarget {
  public:
    virtual ~TarExportTarget() = default;
    // Runs the save dialog with the proposed name (Windows-1251) in the initial folder (UTF-8,
    // ends with the path separator). The chosen path (UTF-8), or nothing when cancelled.
    virtual std::optional<std::string> AskSavePath(const std::string& proposedName,
                                                   const std::string& initialFolder) = 0;
    // The save dialog with what the technician should know before saving (UTF-8 lines, empty
    // for none): they may save all the same. A target that offers only the text table shows
    // no warnings and asks through AskSavePath.
    virtual std::optional<std::string> AskSavePathWarning(
        const std::string& proposedName, const std::string& initialFolder,
        const std::vector<std::string>& /*warnings*/) {
        return AskSavePath(proposedName, initialFolder);
    }
    // The save dialog that also lets the technician choose the file type. A target that offers
    // only the text table asks through AskSavePathWarning.
    virtual std::optional<TarSaveChoice> AskSavePathType(const std::string& proposedName,
                                                         const std::string& initialFolder,
                                                         const std::vector<std::string>& warnings) {
        std::optional<std::string> path = AskSavePathWarning(proposedName, initialFolder, warnings);
        if (!path) return std::nullopt;
        return TarSaveChoice{std::move(*path), TarFileType::Text};
    }
    // Creates or replaces the file with exactly these bytes. Nothing on success, else the error
    // text to show to the user (UTF-8).
    virtual std::optional<std::string> WriteFile(const std::string& path,
                                                 const std::string& bytes) = 0;
};

enum class TarExportStatus { Written, Cancelled, Failed };

struct SaveTxtResult {
    TarExportStatus status = TarExportStatus::Cancelled;
    std::string errorText;  // when Failed
};

// SaveTXT: runs the dialog with the default name and writes the chosen file, as the text table or,
// when the technician chose that type, as CSV (readings shown with `decimalSeparator` get ".").
// Written only when the file was written completely. `warnings` go to the save dialog.
SaveTxtResult SaveTXT(const TarTableData& data, const LocalDateTime& now,
                      const std::string& exePath, TarExportTarget& target,
                      const std::vector<std::string>& warnings = {}, char decimalSeparator = '.');

}  // namespace rv
