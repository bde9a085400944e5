#include "app/startup_win.h"

#include <windows.h>

#include <cwchar>

#include "app/main_form_win.h"
#include "base/command_line.h"
#include "base/format.h"
#include "base/system_win.h"
#include "base/text.h"
#include "pictures/picture_win.h"
#include "ui/application_win.h"
#include "wallpaper/weekday_win.h"

namespace {

// The box of a start on a system whose code page would damage the settings, in both
// languages and through the wide interface, so that it reads right whatever that code page.
const wchar_t kCodePageText[] =
    L"Лумо не может работать с кодовой страницей этой системы (%u): русские буквы названий дней "
    L"и путей к картинкам изменились бы, и программа испортила бы свои файлы настроек. Выберите "
    L"русский язык для программ, не поддерживающих Юникод, и отключите использование UTF-8 для "
    L"них (Панель управления, Региональные стандарты, Дополнительно).\n\n"
    L"Lumo cannot run with this system's code page (%u): the Russian letters of its day names and "
    L"picture paths would change, and it would damage its settings files. Set the language for "
    L"non-Unicode programs to Russian and turn off UTF-8 for them (Control Panel, Region, "
    L"Administrative).";

}  // namespace

// The start-up sequence, in order: the application object (common controls, COM on this
// thread, the application window) with ShowMainWindow off; the picture formats; the main window,
// made hidden, with the built-in day list; the random seed; the settings files that exist (the
// options, or without them the desktop's wallpaper as the default; the wallpaper list; the
// desktop options); the Run values looked at (a start with the system found registers this
// program's command as far as the rights allow; what that cannot do a start with the window tells
// once the loop runs); what the window now holds taken as what the files hold, so that a later
// save writes only changes. Then either the
// automatic run (pause, change, and an end unless the icon stays) or ShowMainWindow on; the icon;
// the message loop. A failure anywhere before the loop ends the program with the start-up box
// and exit code 1 (main_win.cpp). The logon change is planned on a thread of its own while this
// one answers other programs (TMainForm::AutomaticRun); the watch of the day, which starts with
// the icon, looks at once whether that change ended on a day that is over.
int RunLumo(const std::string& commandLine) {
    const bool autorun = CommandLineArgument(commandLine, 1, AnsiLeadBytes()) == "/autorun";
    // Nothing is read, written or changed on a system whose code page cannot hold the texts.
    // The automatic run says so too, as it shows any other failure of the start: ended without
    // a word, it would leave the user with a wallpaper that no longer changes and no reason.
    if (const UINT codePage = GetACP(); !CodePageKeepsCyrillicTexts(codePage, SystemCodePageConversion())) {
        wchar_t text[sizeof kCodePageText / sizeof(wchar_t) + 32];
        swprintf(text, sizeof text / sizeof(wchar_t), kCodePageText, codePage, codePage);
        MessageBoxW(nullptr, text, L"Lumo", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
        return 1;
    }
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
    form.ReadSettings();
    form.ProbeRunRegistration(!autorun);
    form.SettingsRead();

    if (autorun) {
        // Other programs' messages to our windows are answered meanwhile; a close request or a
        // session end waits until the change is made.
        Application.Pause(static_cast<DWORD>(form.WaitSeconds) * 1000);
        form.AutomaticRun();
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
