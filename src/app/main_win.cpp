// The program's entry point: runs the start-up routine and reports a failure that escapes it
// in the start-up failure box, ending with exit code 1.
#include <windows.h>

#include <new>

#include "app/main_form_win.h"
#include "app/startup_win.h"
#include "ui/application_win.h"

namespace {

int ReportStartupFailure(const char* className, const std::string& message, const void* address) {
    if (MainForm) MainForm->SetTrayMode(0);
    MessageBoxA(nullptr, StartupFailureText(className, message, address).c_str(), "Application Error",
                MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    return 1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int exitCode;
    try {
        exitCode = RunLumo(GetCommandLineA());
    } catch (const Exception& failure) {
        exitCode = ReportStartupFailure(failure.ClassName(), failure.Message(), failure.Address());
    } catch (const std::bad_alloc&) {
        exitCode = ReportStartupFailure("EOutOfMemory", "Out of memory", nullptr);
    } catch (const std::exception& failure) {
        exitCode = ReportStartupFailure("Exception", failure.what(), nullptr);
    }
    Application.Finalize();
    return exitCode;
}
