// Entry of the widget test programs: one QApplication on the offscreen platform for the whole run,
// then every GoogleTest case of the program.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Every window keeps a session journal and calibration tables in the user's state folder: a
    // test program keeps them in a folder of its own, never in the real home.
    std::string state = (std::filesystem::temp_directory_path() / "revodive-state-XXXXXX").string();
    if (::mkdtemp(state.data()) == nullptr) return 1;
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::error_code ec;
    std::filesystem::remove_all(state, ec);
    return result;
}
