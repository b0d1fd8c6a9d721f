// Entry of the widget test programs: one QApplication for the whole run, with the design's fonts
// registered as the program registers them, then every GoogleTest case. Qt's offscreen platform
// gets a desktop-sized screen (1920x1080, offscreen-desktop.json) instead of its own 800x800, on
// which the window would open maximised.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "ui/DesktopSetupQt.h"

int main(int argc, char** argv) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform == nullptr || std::strcmp(platform, "offscreen") == 0) {
        const std::string desktop = std::string("offscreen:configfile=") + REVODIVE_TEST_SCREENS;
        setenv("QT_QPA_PLATFORM", desktop.c_str(), 1);
    }
    // Every window keeps a session journal and calibration tables in the user's state folder: a
    // test program keeps them in a folder of its own, never in the real home.
    std::string state = (std::filesystem::temp_directory_path() / "revodive-state-XXXXXX").string();
    if (::mkdtemp(state.data()) == nullptr) return 1;
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    QApplication app(argc, argv);
    rv::RegisterDesignFonts();
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::error_code ec;
    std::filesystem::remove_all(state, ec);
    return result;
}
