// The test main: a TApplication on the offscreen platform, then every test.
#include "app/Application.h"
#include "util/Scramble.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    TApplication app(argc, argv);
    // No test draws chance: scrambled texts repeat from run to run.
    SeedScrambleRandom(1);
    return RUN_ALL_TESTS();
}
