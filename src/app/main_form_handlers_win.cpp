// The main window's handlers: settings, wallpaper changes and the notification-area icon.
#include <exception>
#include <utility>

#include "app/main_form_win.h"
#include "base/exceptions.h"
#include "base/system_win.h"
#include "settings/file_io_win.h"
#include "settings/options_file.h"
#include "settings/run_command.h"
#include "settings/run_registration_win.h"
#include "ui/application_win.h"
#include "wallpaper/change_wall_win.h"
#include "wallpaper/weekday_win.h"

namespace {
// Unchecking the start box could not remove the machine-wide value.
const char kRunStaysText[] =
    "Лумо запускается при старте системы для всех пользователей компьютера, и отменить этот запуск "
    "могут только права администратора. Запустите Лумо от имени администратора и снимите флажок "
    "«Запуск при старте системы» ещё раз.";
// At logon the shell may take the icon only some time after the program asks, and then it
// sends no "TaskbarCreated": while it refuses, the icon is asked for every two seconds, for
// two minutes.
constexpr UINT kTrayIconRetryMilliseconds = 2000;
constexpr int kTrayIconRetries = 60;

// Writes a settings file unless `saved`, the bytes it was last read or written with, are
// `bytes` and it exists: what another instance wrote meanwhile stays unless this one changed
// the file too.
void SaveIfChanged(const std::string& path, std::string bytes, std::optional<std::string>& saved) {
    if (saved == bytes && FileExists(path)) return;
    ReplaceFileContent(path, bytes);
    saved = std::move(bytes);
}
}  // namespace

void TMainForm::ChangeWall(const std::string& path) { ApplyWallpaper(path); }

void TMainForm::SaveOptions() {
    if (!Alive()) return;
    // The icon stays: removing it here would leave a minimised program out of reach.
    SaveIfChanged(OptionsFilePath(), FormatOptionsFile(cbTray.Checked(), DefaultWallpaper, edWait.Text()),
                  savedOptions_);
    SaveIfChanged(WallpaperListFilePath(), FormatWallpaperList(tvFiles.Items()), savedList_);
}

void TMainForm::SettingsRead() {
    savedOptions_ = FormatOptionsFile(cbTray.Checked(), DefaultWallpaper, edWait.Text());
    savedList_ = FormatWallpaperList(tvFiles.Items());
}

void TMainForm::SetTrayMode(int32_t mode) {
    if (mode == 1 && TrayIconShown == 0) {
        TrayIconData.cbSize = NOTIFYICONDATAA_V1_SIZE;
        TrayIconData.hWnd = Handle();
        TrayIconData.uID = 0;
        TrayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        TrayIconData.uCallbackMessage = WM_MYNOTIFY;
        TrayIconData.hIcon = icon_;
        // The first notification-icon layout has a 64-byte tip: 63 characters and the NUL.
        const std::string tip = Caption().substr(0, 63);
        memcpy(TrayIconData.szTip, tip.c_str(), tip.size() + 1);
        TrayIconShown = 1;
        AddTrayIcon();
    } else if (mode == 0 && TrayIconShown == 1) {
        KillTimer(Handle(), kTrayIconTimer);
        if (trayIconAdded_) Shell_NotifyIconA(NIM_DELETE, &TrayIconData);
        trayIconAdded_ = false;
        TrayIconShown = 0;
    }
}

void TMainForm::AddTrayIcon() {
    trayIconTriesLeft_ = kTrayIconRetries;
    TryAddTrayIcon();
}

void TMainForm::TryAddTrayIcon() {
    // An icon the shell still holds (a "TaskbarCreated" sent by someone else) refuses the add
    // but takes a change.
    if (Shell_NotifyIconA(NIM_ADD, &TrayIconData) || Shell_NotifyIconA(NIM_MODIFY, &TrayIconData)) {
        trayIconAdded_ = true;
        KillTimer(Handle(), kTrayIconTimer);
        // Minimised while the icon was missing, the program kept its taskbar button; now it
        // goes where a minimise takes it.
        if (IsIconic(Application.Handle()) && !IsWindowVisible(Handle())) ShowWindow(Application.Handle(), SW_HIDE);
        return;
    }
    trayIconAdded_ = false;
    if (trayIconTriesLeft_ > 0) {
        --trayIconTriesLeft_;
        SetTimer(Handle(), kTrayIconTimer, kTrayIconRetryMilliseconds, nullptr);
        return;
    }
    KillTimer(Handle(), kTrayIconTimer);
    // No shell took the icon: a program hidden in the notification area would be out of
    // reach, so its taskbar button shows, minimised ("TaskbarCreated" still adds the icon).
    if (!IsWindowVisible(Handle()) && !IsWindowVisible(Application.Handle()))
        ShowWindow(Application.Handle(), SW_SHOWMINNOACTIVE);
}

void TMainForm::LoadWallpaperList(const std::string& path) {
    const std::string bytes = ReadWholeFile(path, 0);
    // A list that stops at a bad line keeps the nodes read before it.
    TWallpaperList list;
    std::exception_ptr failure;
    try {
        ParseWallpaperList(bytes, list);
    } catch (...) {
        failure = std::current_exception();
    }
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
    // The menu command looks at the first node count modulo 65536 nodes only.
    if (auto path = ChooseTodaysWallpaper(tvFiles.Items(), tvFiles.Count() % 65536)) ChangeWall(*path);
}

void TMainForm::nRestoreClick() { ApplicationEventsRestore(); }

void TMainForm::nExitClick() { Close(); }

void TMainForm::ApplicationEventsMinimize() {
    // The taskbar button goes only when the icon is there to bring the window back.
    if (trayIconAdded_) ShowWindow(Application.Handle(), SW_HIDE);
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
    try {
        SaveOptions();
    } catch (...) {
    }
    if (Application.HoldEnd(TPendingEnd::SessionEnd)) return;
    SetTrayMode(0);
    DestroyWindow(Handle());
}
