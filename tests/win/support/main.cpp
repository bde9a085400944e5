// Test program run under Wine: the application object is initialised once, as at start-up.
#include <gtest/gtest.h>

#include "pictures/picture_win.h"
#include "ui/application_win.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    Application.Initialize();
    RegisterPictureFormats();
    const int result = RUN_ALL_TESTS();
    Application.Finalize();
    return result;
}
