#include "app/startup_win.h"

#include <windows.h>

#include "app/main_form_win.h"
#include "base/command_line.h"
#include "base/format.h"
#include "base/system_win.h"
#include "base/text.h"
#include "pictures/picture_win.h"
#include "settings/file_io_win.h"
#include "settings/options_file.h"
#include "settings/registry_win.h"
#include "ui/application_win.h"
#include "wallpaper/change_wall_win.h"
#include "wallpaper/weekday_win.h"

int32_t WaitSeconds = 0;

namespace {

void ReadOptions(TMainForm& form) {
    const std::string path = OptionsFilePath();
    if (!FileExists(path)) {
        // Without an options file the default wallpaper is the desktop's current one.
        TRegistry registry(KEY_ALL_ACCESS);
        registry.OpenKey(kDesktopKey, false);
        DefaultWallpaper = registry.ReadString("ConvertedWallpaper");
        return;
    }
    const TOptionsFileData options = ParseOptionsFile(ReadWholeFile(path, FILE_SHARE_READ), LocaleDecimalSeparator());
    form.cbTray.SetChecked(options.StayInTray);
    DefaultWallpaper = options.DefaultWallpaper;
    if (options.WaitText) form.edWait.SetText(*options.WaitText);
    WaitSeconds = ParseInteger(form.edWait.Text()).value_or(0);
    // The default wallpaper's preview is only a preview: a picture that cannot be shown leaves
    // it empty instead of stopping the start (and with it the automatic change at logon).
    try {
        form.edOld.SetText(DefaultWallpaper);
    } catch (const Exception&) {
    }
}

}  // namespace

int RunLumo(const std::string& commandLine) {
    Application.ShowMainWindow = false;
    Application.Initialize();
    RegisterPictureFormats();
    TMainForm form;
    MainForm = &form;
    Application.SetMainForm(&form);
    struct Cleanup {
        ~Cleanup() {
            Application.SetMainForm(nullptr);
            MainForm = nullptr;
        }
    } cleanup;

    SeedRandom();
    if (const std::string listPath = WallpaperListFilePath(); FileExists(listPath)) form.LoadWallpaperList(listPath);
    TrayIconShown = 0;
    ReadOptions(form);
    form.ProbeRunRegistration();
    form.SettingsRead();

    if (CommandLineArgument(commandLine, 1, AnsiLeadBytes()) == "/autorun") {
        // Other programs' messages to our windows are answered meanwhile; a close request or a
        // session end waits until the change is made.
        Application.Pause(static_cast<DWORD>(WaitSeconds) * 1000);
        const TWallpaperList list = form.tvFiles.Items();
        form.ChangeWall(ChooseTodaysWallpaper(list, list.size()).value_or(DefaultWallpaper));
        // The early end leaves the hidden windows to the system, which takes them down with
        // the process at a fraction of the cost of destroying them one by one.
        if (!form.cbTray.Checked()) ExitProcess(0);
    } else {
        Application.ShowMainWindow = true;
    }
    form.SetTrayMode(1);
    Application.Run();
    return 0;
}

std::string StartupFailureText(const char* className, const std::string& message, const void* address) {
    const bool period = !message.empty() && message.back() != '.';
    return Format(
        "Exception %s in module %s at %016llX.\r\n%s%s\r\n", className, ExtractFileName(ExecutablePath()).c_str(),
        static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(address)), message.c_str(), period ? "." : "");
}
