#pragma once
// The real export target of the calibration tables: the save dialog SD (filter "TXT" for *.txt,
// the default, and "CSV" for *.csv when the caller offers the CSV too; asks before overwriting, no
// default extension, opens in the program's folder with the proposed name) and the file write. A
// file that cannot be written is reported to the technician in a message box with the error text;
// the export was their own action, so a modal box is right.

#include <QPointer>
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "calibration/TableExport.h"

namespace rv {

class TarExportDialogQt : public TarExportTarget {
  public:
    explicit TarExportDialogQt(QWidget* dialogParent) : parent_(dialogParent) {}

    std::optional<std::string> AskSavePath(const std::string& proposedName,
                                           const std::string& initialFolder) override;
    // The warnings stand in the dialog's title and, in the dialog Qt draws itself, at its foot.
    std::optional<std::string> AskSavePathWarning(
        const std::string& proposedName, const std::string& initialFolder,
        const std::vector<std::string>& warnings) override;
    std::optional<TarSaveChoice> AskSavePathType(const std::string& proposedName,
                                                 const std::string& initialFolder,
                                                 const std::vector<std::string>& warnings) override;
    std::optional<std::string> WriteFile(const std::string& path,
                                         const std::string& bytes) override;

  private:
    std::optional<TarSaveChoice> Ask(const std::string& proposedName,
                                     const std::string& initialFolder,
                                     const std::vector<std::string>& warnings, bool offerCsv);
    QPointer<QWidget> parent_;
};

// ExePath: the folder of the program file, ending with the path separator (UTF-8).
std::string ApplicationExePathQt();

}  // namespace rv
