#include "calibration/TarExportDialogQt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>

#include "calibration/TableImport.h"
#include "files/FileWriter.h"
#include "text/Cp1251.h"
#include "text/FileNames.h"
#include "ui/Cp1251Qt.h"

namespace rv {

std::optional<std::string> TarExportDialogQt::AskSavePath(const std::string& proposedName,
                                                          const std::string& initialFolder) {
    return AskSavePathWarning(proposedName, initialFolder, {});
}

std::optional<std::string> TarExportDialogQt::AskSavePathWarning(
    const std::string& proposedName, const std::string& initialFolder,
    const std::vector<std::string>& warnings) {
    std::optional<TarSaveChoice> choice = Ask(proposedName, initialFolder, warnings, false);
    if (!choice) return std::nullopt;
    return std::move(choice->path);
}

std::optional<TarSaveChoice> TarExportDialogQt::AskSavePathType(
    const std::string& proposedName, const std::string& initialFolder,
    const std::vector<std::string>& warnings) {
    return Ask(proposedName, initialFolder, warnings, true);
}

std::optional<TarSaveChoice> TarExportDialogQt::Ask(const std::string& proposedName,
                                                    const std::string& initialFolder,
                                                    const std::vector<std::string>& warnings,
                                                    bool offerCsv) {
    const QString txtFilter = QStringLiteral("TXT (*.txt)");
    const QString csvFilter = QStringLiteral("CSV (*.csv)");
    QFileDialog sd(parent_);
    sd.setObjectName(QStringLiteral("SD"));
    sd.setAcceptMode(QFileDialog::AcceptSave);
    sd.setFileMode(QFileDialog::AnyFile);
    sd.setNameFilters(offerCsv ? QStringList{txtFilter, csvFilter} : QStringList{txtFilter});
    sd.selectNameFilter(txtFilter);
    sd.setDefaultSuffix(QString());  // a name typed without ".txt" is used as typed
    sd.setOption(QFileDialog::DontConfirmOverwrite, false);
    sd.setDirectory(QString::fromUtf8(initialFolder));
    sd.selectFile(FromCp1251(FitFileNameLength(proposedName)));
    sd.setSizeGripEnabled(true);
    if (!warnings.empty()) {
        QStringList lines;
        for (const std::string& w : warnings) lines << QString::fromUtf8(w);
        sd.setWindowTitle(lines.join(QStringLiteral("; ")));
        // The dialog drawn by Qt itself also takes them at its foot.
        if (auto* grid = qobject_cast<QGridLayout*>(sd.layout())) {
            auto* note = new QLabel(lines.join(QLatin1Char('\n')), &sd);
            note->setObjectName(QStringLiteral("ExportWarnings"));
            note->setStyleSheet(QStringLiteral("color: rgb(170, 80, 0);"));
            grid->addWidget(note, grid->rowCount(), 0, 1, grid->columnCount());
        }
    }
    if (sd.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = sd.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    TarSaveChoice choice;
    choice.path = files.first().toUtf8().toStdString();
    if (offerCsv && sd.selectedNameFilter() == csvFilter) {
        choice.type = TarFileType::Csv;
        choice.path = CsvPathOf(choice.path);
    }
    return choice;
}

std::optional<std::string> TarExportDialogQt::WriteFile(const std::string& path,
                                                        const std::string& bytes) {
    const std::optional<FileFailure> failure = WriteWholeFile(path, bytes);
    if (!failure) return std::nullopt;
    QMessageBox box(QMessageBox::Critical, QGuiApplication::applicationDisplayName(),
                    QString::fromStdString(FileNotWrittenText(path, failure->kind)),
                    QMessageBox::Ok, parent_);
    box.setObjectName(QStringLiteral("ExportError"));
    box.setDetailedText(QString::fromStdString(failure->systemText));
    box.exec();
    return CannotCreateFileText(path, *failure);
}

std::string ApplicationExePathQt() {
    QString folder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    if (!folder.endsWith(QDir::separator())) folder += QDir::separator();
    return folder.toUtf8().toStdString();
}

}  // namespace rv
