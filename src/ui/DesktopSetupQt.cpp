#include "ui/DesktopSetupQt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

namespace rv {

bool RegisterDesignFonts(const QString& folder) {
    const QString tahoma = QStringLiteral("Tahoma");
    if (!QFontDatabase::hasFamily(tahoma)) {
        const QDir dir(folder);
        for (const char* file : {"tahoma.ttf", "tahomabd.ttf"}) {
            QFontDatabase::addApplicationFont(dir.filePath(QString::fromLatin1(file)));
        }
    }
    if (!QFontDatabase::hasFamily(tahoma)) return false;
    const QString msSansSerif = QStringLiteral("MS Sans Serif");
    if (!QFontDatabase::hasFamily(msSansSerif)) QFont::insertSubstitution(msSansSerif, tahoma);
    return true;
}

bool InstallRussianQtTexts() {
    // Owned by the application: it stays installed for the program's whole run.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_ru"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}  // namespace rv
