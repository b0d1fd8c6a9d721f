// Entry of the widget test programs: one QApplication on the offscreen platform for the whole run,
// with the design's fonts registered as the program registers them, then every GoogleTest case.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "ui/DesktopSetupQt.h"

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    rv::RegisterDesignFonts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
