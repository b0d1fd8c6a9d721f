// Program entry: the application object, its title, the main window, the message loop.
#include <QApplication>

#include "ui/MainWindow.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Rarevi Revodive 0.91"));
    QApplication::setApplicationDisplayName(QStringLiteral("Rarevi Revodive 0.91"));
    rv::MainWindow window;
    window.show();
    return QApplication::exec();
}
