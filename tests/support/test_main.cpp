// Test entry: every test executable runs headless with one application object.
#include <cstdlib>

#include <gtest/gtest.h>

#include "runtime/window_system.h"

int main(int argc, char** argv) {
    // Before the application exists: without a display the toolkit would abort.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    // Listing runs no test, so it needs no toolkit (and prints nothing but the list).
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    pvz::Application application(argc, argv);
    return RUN_ALL_TESTS();
}
