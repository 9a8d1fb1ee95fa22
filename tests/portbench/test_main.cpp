// Test entry for the window tests: the real application object, with the
// program's look, on Qt's offscreen platform, so the tests run without a display.
#include "application.h"
#include "skin.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    PortBenchApplication app(argc, argv);
    ApplySkin(app);
    return RUN_ALL_TESTS();
}
