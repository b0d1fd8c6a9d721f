#include "calibration/TarExportDialogQt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>

#include "files/FileWriter.h"
#include "text/Cp1251.h"
#include "text/FileNames.h"
#include "ui/Cp1251Qt.h"

namespace rv {

std::optional<std::string> TarExportDialogQt::AskSavePath(const std::string& proposedName,
                                                          const std::string& initialFolder) {
    QFileDialog sd(parent_);
    sd.setObjectName(QStringLiteral("SD"));
    sd.setAcceptMode(QFileDialog::AcceptSave);
    sd.setFileMode(QFileDialog::AnyFile);
    sd.setNameFilter(QStringLiteral("TXT (*.txt)"));
    sd.setDefaultSuffix(QString());  // a name typed without ".txt" is used as typed
    sd.setOption(QFileDialog::DontConfirmOverwrite, false);
    sd.setDirectory(QString::fromUtf8(initialFolder));
    sd.selectFile(FromCp1251(FitFileNameLength(proposedName)));
    sd.setSizeGripEnabled(true);
    if (sd.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = sd.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return files.first().toUtf8().toStdString();
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
