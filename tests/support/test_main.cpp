#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <ctime>

// Local time is UTC unless a test says otherwise, so that day numbers and
// instants convert the same way on every machine.
int main(int argc, char** argv) {
    setenv("TZ", "UTC", 1);
    tzset();
    // The recorder's log goes to a folder of the tests, not the user's.
    setenv("XDG_STATE_HOME", (std::filesystem::temp_directory_path() / "kelbo-test-state").c_str(), 1);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
