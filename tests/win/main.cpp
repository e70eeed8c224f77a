// The Win32 integration tests run with the program's application object in place, as the
// program's own code expects.

#include <gtest/gtest.h>

#include "framework/Application.win.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    Application.Initialize(GetModuleHandleA(nullptr));
    const int result = RUN_ALL_TESTS();
    Application.Destroy();
    return result;
}
