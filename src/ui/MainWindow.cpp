#include "ui/MainWindow.h"

namespace rv {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Rarevi Revodive"));
}

}  // namespace rv
