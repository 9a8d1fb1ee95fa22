// Test entry for the window tests: the real application object on Qt's
// offscreen platform, so the tests run without a display.
#include "application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    PortBenchApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
