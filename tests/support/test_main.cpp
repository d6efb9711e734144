#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

// Local time is UTC unless a test says otherwise, so that day numbers and
// instants convert the same way on every machine.
int main(int argc, char** argv) {
    setenv("TZ", "UTC", 1);
    tzset();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
