// Program entry: the application object with its title, the design's fonts and Qt's Russian texts,
// the main window, the message loop. No argument is read and every start begins from the same
// state; what the console records on its own (the session journal, the kept calibration tables)
// waits in the state folder until asked for.
#include <QApplication>

#include "app/ProcessSignals.h"
#include "ui/DesktopSetupQt.h"
#include "ui/MainWindow.h"
#include "ui/PicturesQt.h"

int main(int argc, char** argv) {
    rv::IgnoreBrokenPipeSignal();  // a write error is reported; the console and its log live on
    QApplication app(argc, argv);
    // The application's title, the name of the program on the desktop. (The display name would be
    // appended to every window title on Linux, and the window's own title is "Rarevi Revodive".)
    QApplication::setApplicationName(QStringLiteral("Rarevi Revodive 0.91"));
    QApplication::setWindowIcon(rv::pictures::AppIcon());
    // Without them the window still works: in the platform's sans font, captions drawn narrower,
    // and Qt's dialogs in English.
    rv::RegisterDesignFonts();
    rv::InstallRussianQtTexts();
    rv::MainWindow window;
    window.show();
    return QApplication::exec();
}
