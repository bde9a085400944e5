// Test program run under Wine: the application object is initialised once, as at start-up.
// Started as `--save PATH LETTER EVENT`, it is instead the other program of a test of saves
// made at the same time: once the event is set, it saves PATH 100 times as 20000 LETTERs and
// exits with the number of saves that reported success.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "base/exceptions.h"
#include "pictures/picture_win.h"
#include "settings/file_io_win.h"
#include "ui/application_win.h"

int main(int argc, char** argv) {
    if (argc == 5 && std::string_view(argv[1]) == "--save") {
        WaitForSingleObject(OpenEventA(SYNCHRONIZE, FALSE, argv[4]), 10000);
        int saved = 0;
        for (int i = 0; i < 100; ++i) try {
                ReplaceFileContent(argv[2], std::string(20000, argv[3][0]));
                ++saved;
            } catch (const Exception&) {
            }
        return saved;
    }
    ::testing::InitGoogleTest(&argc, argv);
    Application.Initialize();
    RegisterPictureFormats();
    const int result = RUN_ALL_TESTS();
    Application.Finalize();
    return result;
}
