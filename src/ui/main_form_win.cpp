#include "ui/main_form_win.h"

#include "app/weekday_win.h"
#include "base/exceptions.h"
#include "base/system_win.h"
#include "settings/file_io_win.h"
#include "settings/options_file.h"
#include "settings/registry_win.h"
#include "settings/run_command.h"
#include "ui/application_win.h"
#include "wallpaper/change_wall_win.h"

std::string DefaultWallpaper;
int32_t TrayIconShown = 0;
NOTIFYICONDATAA TrayIconData{};
TMainForm* MainForm = nullptr;

namespace {

const char kRunKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunValue[] = "Лумо";

HFONT CreateWindowFont(int weight) {
    return CreateFontA(-11, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
}

}  // namespace

std::string OptionsFilePath() { return ExecutableDirectory() + "WallOpt.ini"; }
std::string WallpaperListFilePath() { return ExecutableDirectory() + "Murovelo.ini"; }

TMainForm::TMainForm() : TForm("MainForm") {
    font_ = CreateWindowFont(FW_NORMAL);
    boldFont_ = CreateWindowFont(FW_BOLD);
    icon_ = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    RECT frame{0, 0, 418, 339};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_CONTROLPARENT);
    CreateForm("TMainForm", "Лумо. версия 1.2", frame.right - frame.left, frame.bottom - frame.top);
    OnClose = [this] { FormClose(); };

    pcMain.Create(Handle(), RECT{0, 0, 418, 339});
    pcMain.SetFont(font_);
    TTabSheet& files = pcMain.AddPage("tshFiles", "Файлы");
    TTabSheet& options = pcMain.AddPage("tshOptions", "Опции");
    pcMain.AddPage("tshAbout", "О программе...");
    pcMain.SetActivePageIndex(0);
    CreateFilesPage(files.Handle());
    CreateOptionsPage(options.Handle());
    ApplyFont(Handle());
    bNowDefault.SetFont(boldFont_);
}

TMainForm::~TMainForm() {
    if (Handle()) DestroyWindow(Handle());
    DeleteObject(font_);
    DeleteObject(boldFont_);
}

void TMainForm::CreateFilesPage(HWND page) {
    tvFiles.Create(page, RECT{0, 0, 156, 280});
    tvFiles.Assign(BuiltInWallpaperList());
    gPreview.Create(page, RECT{161, 0, 410, 266}, " Предпросмотр ");
    bChange.Create(page, RECT{164, 275, 292, 300}, "Поклеить сейчас!");
}

void TMainForm::CreateOptionsPage(HWND page) {
    cbRun.Create(page, RECT{8, 8, 401, 25}, "Запуск при старте системы");
    cbRun.OnClick = [this] { cbRunClick(); };
    Label2.Create(page, RECT{24, 32, 253, 45}, "Пауза между запуском и сменой обоев, сек.");
    cbTray.Create(page, RECT{24, 56, 401, 73}, "Оставаться в трее после запуска");
    edWait.Create(page, RECT{264, 29, 313, 50}, "10");
    edWait.OnChange = [this] { edWaitChange(); };
    gbOld.Create(page, RECT{0, 82, 410, 311}, " Лумо по умолчанию ");
    gbOldPreview.Create(gbOld.Handle(), RECT{8, 94, 400, 221}, " Предпросмотр ");
    edOld.Create(gbOld.Handle(), RECT{8, 24, 311, 45}, "");
    edOld.OnChange = [this] { edOldChange(); };
    bObzor.Create(gbOld.Handle(), RECT{321, 24, 396, 49}, "Обзор...");
    bNowDefault.Create(gbOld.Handle(), RECT{8, 56, 155, 81}, "Поклеить сейчас!");
}

void TMainForm::ApplyFont(HWND parent) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        ApplyFont(child);
    }
}

void TMainForm::ChangeWall(const std::string& path) { ApplyWallpaper(path); }

void TMainForm::SaveOptions() {
    // The icon stays: removing it here would leave a minimised program out of reach.
    ReplaceFileContent(OptionsFilePath(), FormatOptionsFile(cbTray.Checked(), DefaultWallpaper, edWait.Text()));
    ReplaceFileContent(WallpaperListFilePath(), FormatWallpaperList(tvFiles.Items()));
}

void TMainForm::SetTrayMode(int32_t mode) {
    if (mode == 1 && TrayIconShown == 0) {
        TrayIconData.cbSize = NOTIFYICONDATAA_V1_SIZE;
        TrayIconData.hWnd = Handle();
        TrayIconData.uID = 0;
        TrayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        TrayIconData.uCallbackMessage = WM_MYNOTIFY;
        TrayIconData.hIcon = icon_;
        const std::string tip = Caption().substr(0, sizeof TrayIconData.szTip - 1);
        memcpy(TrayIconData.szTip, tip.c_str(), tip.size() + 1);
        Shell_NotifyIconA(NIM_ADD, &TrayIconData);
        TrayIconShown = 1;
    } else if (mode == 0 && TrayIconShown == 1) {
        Shell_NotifyIconA(NIM_DELETE, &TrayIconData);
        TrayIconShown = 0;
    }
}

void TMainForm::LoadWallpaperList(const std::string& path) {
    const std::string bytes = ReadWholeFile(path, 0);
    TWallpaperList list;
    tvFiles.BeginUpdate();
    try {
        ParseWallpaperList(bytes, list);
    } catch (...) {
        tvFiles.Assign(list);
        tvFiles.EndUpdate();
        throw;
    }
    tvFiles.Assign(list);
    tvFiles.EndUpdate();
}

void TMainForm::ProbeRunRegistration() {
    TRegistry registry(KEY_ALL_ACCESS);
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    registry.OpenKey(kRunKey, true);
    cbRun.SetChecked(registry.ValueExists(kRunValue));
}

void TMainForm::cbRunClick() {
    TRegistry registry(KEY_ALL_ACCESS);
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    registry.OpenKey(kRunKey, true);
    if (cbRun.Checked())
        registry.WriteString(kRunValue, RunCommandFor(ExecutablePath()));
    else if (registry.ValueExists(kRunValue))
        registry.DeleteValue(kRunValue);
    registry.CloseKey();
    cbTray.SetEnabled(cbRun.Checked());
}

void TMainForm::edWaitChange() { edWait.SetText(NormalizeWaitText(edWait.Text())); }

void TMainForm::edOldChange() { DefaultWallpaper = edOld.Text(); }

void TMainForm::nWallClick() {
    // The menu command looks at the first node count modulo 65536 nodes only.
    if (auto path = ChooseTodaysWallpaper(tvFiles.Items(), tvFiles.Count() % 65536)) ChangeWall(*path);
}

void TMainForm::FormClose() {
    SaveOptions();
    SetTrayMode(0);
}
