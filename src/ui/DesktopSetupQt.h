#pragma once
// What the console brings to a desktop that lacks it, once at start: the design's fonts and Qt's
// own texts (file dialogs, message-box buttons) in Russian.

#include <QString>

namespace rv {

// Where Debian's fonts-wine keeps its Tahoma and Tahoma Bold (metric-compatible with the design's
// font, Cyrillic included).
inline constexpr const char* kWineFontsFolder = "/usr/share/wine/fonts";

// When the system has no "Tahoma", registers tahoma.ttf and tahomabd.ttf from `folder` with the
// application. "MS Sans Serif", the window's font, is drawn in Tahoma where the system has no face
// of that name. True when Tahoma is available afterwards.
bool RegisterDesignFonts(const QString& folder = QString::fromLatin1(kWineFontsFolder));

// Loads Qt's Russian texts (qtbase_ru.qm from Qt's translations folder) into the application,
// whatever the desktop's language: the console speaks Russian throughout. True when loaded.
bool InstallRussianQtTexts();

}  // namespace rv
