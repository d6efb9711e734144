// The widget tests that need a real X server and window manager: Xvfb with
// openbox and a tray (trayer) for the whole run, started before the
// application.
#include "desktop_ui.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>

namespace kelbo::testing {
Desktop* desktopOfTheRun = nullptr;
}

int main(int argc, char** argv) {
    // Listing the tests needs no desktop.
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]).starts_with("--gtest_list_tests")) {
            testing::InitGoogleTest(&argc, argv);
            return RUN_ALL_TESTS();
        }
    // A smaller screen where a test run asks for one.
    const char* screen = std::getenv("KELBO_TEST_SCREEN");
    kelbo::testing::Desktop desktop(screen ? screen : "1280x800x24");
    if (desktop.display().empty() || !desktop.managed()) {
        std::cerr << "Xvfb with openbox did not start\n";
        return 1;
    }
    kelbo::testing::desktopOfTheRun = &desktop;
    // A tray in the bottom right corner, as a desktop panel has one.
    kelbo::testing::BackgroundProgram tray(
        "/usr/bin/trayer",
        {"--edge", "bottom", "--align", "right", "--widthtype", "pixel", "--width", "120", "--heighttype",
         "pixel", "--height", "28"},
        {{"DISPLAY", desktop.display()}});
    for (int i = 0; i < 50 && desktop.xdotool("search --class trayer").empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    setenv("DISPLAY", desktop.display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    setenv("TZ", "UTC", 1);
    setenv("XDG_STATE_HOME", (std::filesystem::temp_directory_path() / "kelbo-test-state").c_str(), 1);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    tray.stop(SIGTERM, std::chrono::seconds(5));
    return result;
}
