// The main window's handlers: settings, wallpaper changes and the notification-area icon.
#include <exception>
#include <utility>

#include "app/main_form_win.h"
#include "base/exceptions.h"
#include "base/system_win.h"
#include "base/text.h"
#include "settings/file_io_win.h"
#include "settings/options_file.h"
#include "settings/run_command.h"
#include "settings/run_registration_win.h"
#include "settings/wallpaper_list.h"
#include "ui/application_win.h"
#include "wallpaper/change_wall_win.h"
#include "wallpaper/weekday_win.h"

namespace {
// A picked picture that is not available yet is tried again every two seconds, for twenty.
constexpr DWORD kNotReadyRetryMilliseconds = 2000;
constexpr ULONGLONG kNotReadyMilliseconds = 20000;
// Unchecking the start box could not remove the machine-wide value.
const char kRunStaysText[] =
    "Лумо запускается при старте системы для всех пользователей компьютера, и отменить этот запуск "
    "могут только права администратора. Запустите Лумо от имени администратора и снимите флажок "
    "«Запуск при старте системы» ещё раз.";

// Writes a settings file unless `saved`, the bytes it was last read or written with, are
// `bytes` and it exists: what another instance wrote meanwhile stays unless this one changed
// the file too.
void SaveIfChanged(const std::string& path, std::string bytes, std::optional<std::string>& saved) {
    if (saved == bytes && FileExists(path)) return;
    ReplaceFileContent(path, bytes);
    saved = std::move(bytes);
}

// The nodes of a wallpaper-list file. A list that stops at a bad line keeps the nodes read
// before it, and `failure` holds that line's error.
TWallpaperList ReadWallpaperListFile(const std::string& path, DWORD shareMode, std::exception_ptr& failure) {
    const std::string bytes = ReadWholeFile(path, shareMode);
    TWallpaperList list;
    try {
        ParseWallpaperList(bytes, list);
    } catch (...) {
        failure = std::current_exception();
    }
    return list;
}
}  // namespace

void TMainForm::ChangeWall(const std::string& path) { ApplyWallpaper(path); }

void TMainForm::AutomaticChange(const TWallpaperList& list) {
    dayChange_.Made();
    // A picture in a synchronised folder or on a network drive may be there before it can be
    // read (at logon, at a resume): it is given a while, as the pause waits, before the default
    // takes its place.
    const auto readable = [](const std::string& path) {
        const ULONGLONG end = GetTickCount64() + kNotReadyMilliseconds;
        for (;;) {
            const TReadiness readiness = FileReadiness(path);
            if (readiness != TReadiness::NotYet) return readiness == TReadiness::Readable;
            if (GetTickCount64() >= end) return false;
            Application.Pause(kNotReadyRetryMilliseconds);
        }
    };
    const std::string path = AutomaticWallpaper(list, DefaultWallpaper, readable);
    // No picture and no default: the user's wallpaper stays rather than a plain desktop.
    if (!path.empty()) ChangeWall(path);
}

void TMainForm::CheckDay() {
    if (!cbTray.Checked() || !TrayIcon.Shown() || !dayChange_.NewDay()) return;
    if (Application.InModalState()) {
        dayChangeHeld_ = true;
        return;
    }
    const TDayChange::TTurn turn(dayChange_);
    if (!turn.Taken()) return;
    // Another instance may have changed the lists since this one read them: the change
    // follows what is saved.
    std::exception_ptr failure;
    const std::string path = WallpaperListFilePath();
    AutomaticChange(FileExists(path) ? ReadWallpaperListFile(path, FILE_SHARE_READ, failure) : BuiltInWallpaperList());
    if (failure) std::rethrow_exception(failure);
}

TOptionsFileData TMainForm::CurrentOptions() const { return {cbTray.Checked(), DefaultWallpaper, edWait.Text()}; }

void TMainForm::LoadOptions(const TOptionsFileData& options) {
    cbTray.SetChecked(options.StayInTray);
    DefaultWallpaper = options.DefaultWallpaper;
    if (options.WaitText) edWait.SetText(*options.WaitText);
    WaitSeconds = ParseInteger(edWait.Text()).value_or(0);
    // The default wallpaper's preview is only a preview: a picture that cannot be shown leaves
    // it empty instead of stopping the start (and with it the automatic change at logon).
    try {
        edOld.SetText(DefaultWallpaper);
    } catch (const Exception&) {
    }
}

void TMainForm::SaveOptions() {
    if (!Alive()) return;
    // The icon stays: removing it here would leave a minimised program out of reach.
    SaveIfChanged(OptionsFilePath(), FormatOptionsFile(CurrentOptions()), savedOptions_);
    SaveIfChanged(WallpaperListFilePath(), FormatWallpaperList(tvFiles.Items()), savedList_);
}

bool TMainForm::Changed() {
    return savedOptions_ != FormatOptionsFile(CurrentOptions()) || savedList_ != FormatWallpaperList(tvFiles.Items());
}

void TMainForm::SettingsRead() {
    savedOptions_ = FormatOptionsFile(CurrentOptions());
    savedList_ = FormatWallpaperList(tvFiles.Items());
}

void TMainForm::SetTrayMode(int32_t mode) {
    TrayIcon.SetTrayMode(mode, icon_, Caption());
    // The day is watched from the moment the icon is there (an automatic run that ends at
    // once loads nothing for it).
    if (mode == 1) dayChange_.Attach(Handle());
}

void TMainForm::LoadWallpaperList(const std::string& path) {
    std::exception_ptr failure;
    const TWallpaperList list = ReadWallpaperListFile(path, 0, failure);
    tvFiles.BeginUpdate();
    tvFiles.Assign(list);
    tvFiles.EndUpdate();
    if (failure) std::rethrow_exception(failure);
}

void TMainForm::ProbeRunRegistration() { cbRun.SetChecked(RunRegistered()); }

void TMainForm::cbRunClick() {
    bool machineValueStays = false;
    if (cbRun.Checked())
        RegisterRun(RunCommandFor(ExecutablePath()));
    else
        machineValueStays = !UnregisterRun();
    if (machineValueStays) {
        // The program still starts with the system, so the mark comes back; nothing more is
        // written for that.
        TNotifyEvent click = std::exchange(cbRun.OnClick, nullptr);
        cbRun.SetChecked(true);
        cbRun.OnClick = std::move(click);
    }
    cbTray.SetEnabled(cbRun.Checked());
    if (machineValueStays) throw ERegistryException(kRunStaysText);
}

void TMainForm::nWallClick() {
    if (auto path = AnotherWallpaperOfToday(tvFiles.Items())) ChangeWall(*path);
}

void TMainForm::nRestoreClick() { ApplicationEventsRestore(); }

void TMainForm::nExitClick() { Close(); }

void TMainForm::ApplicationEventsMinimize() {
    // The taskbar button goes only when the icon is there to bring the window back.
    if (TrayIcon.Added()) ShowWindow(Application.Handle(), SW_HIDE);
    Application.ShowMainWindow = false;
    Hide();
}

void TMainForm::ApplicationEventsRestore() {
    ShowWindow(Application.Handle(), SW_SHOWNORMAL);
    Show();
    Application.ShowMainWindow = true;
    SetForegroundWindow(Handle());
}

void TMainForm::WMMyNotify(WPARAM, LPARAM lParam) {
    // Under a dialog or a box the icon is no way around it.
    if (IsWindowVisible(Handle()) || Application.InModalState()) return;
    if (lParam == WM_RBUTTONDOWN) {
        SetForegroundWindow(Handle());
        POINT at;
        GetCursorPos(&at);
        {
            const TModalState menu(TModalState::KeepInput);
            pmTray.Popup(Handle(), at);
        }
        PostMessageA(Handle(), WM_NULL, 0, 0);
    } else if (lParam == WM_LBUTTONDBLCLK) {
        ApplicationEventsRestore();
    }
}

void TMainForm::FormClose() {
    // The program ends whatever the save did: a failure is shown once, and the files keep
    // their previous bytes.
    try {
        SaveOptions();
    } catch (...) {
        Application.HandleException();
    }
    SetTrayMode(0);
}

void TMainForm::EndSession() {
    // Nobody is there to answer a box: a save that fails is given up and the session ends.
    // Where nothing was changed nothing is written, a missing file included (an automatic run
    // ended by the session in its pause writes nothing).
    try {
        if (Alive() && Changed()) SaveOptions();
    } catch (...) {
    }
    if (Application.HoldEnd(TPendingEnd::SessionEnd)) return;
    SetTrayMode(0);
    DestroyWindow(Handle());
}
