// The main window: the wallpaper list, the options and the About page, and the handlers that
// hold the program's behaviour.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <cstdint>
#include <string>

#include "ui/check_box_win.h"
#include "ui/edit_win.h"
#include "ui/form_win.h"
#include "ui/page_control_win.h"
#include "ui/static_controls_win.h"
#include "ui/tree_view_win.h"

// The message the notification-area icon sends to the main window.
constexpr UINT WM_MYNOTIFY = 2048;

// Module state of the main window.
extern std::string DefaultWallpaper;
extern int32_t TrayIconShown;
extern NOTIFYICONDATAA TrayIconData;

// The settings files beside the executable.
std::string OptionsFilePath();
std::string WallpaperListFilePath();

class TMainForm : public TForm {
public:
    TMainForm();
    ~TMainForm() override;

    TPageControl pcMain{"pcMain"};
    TTreeView tvFiles{"tvFiles"};
    TGroupBox gPreview{"gPreview"};
    TButton bChange{"bChange"};
    TCheckBox cbRun{"cbRun"};
    TLabel Label2{"Label2"};
    TEdit edWait{"edWait"};
    TCheckBox cbTray{"cbTray"};
    TGroupBox gbOld{"gbOld"};
    TEdit edOld{"edOld"};
    TButton bObzor{"bObzor"};
    TButton bNowDefault{"bNowDefault"};
    TGroupBox gbOldPreview{"gbOldPreview"};

    // Applies a picture file as the desktop wallpaper.
    void ChangeWall(const std::string& path);
    // Writes the options file, then the wallpaper-list file.
    void SaveOptions();
    // Registers (1) or removes (0) the notification-area icon.
    void SetTrayMode(int32_t mode);
    // Replaces the wallpaper list by the content of a wallpaper-list file.
    void LoadWallpaperList(const std::string& path);
    // Checks cbRun when the start-with-system value exists (which writes it anew).
    void ProbeRunRegistration();

    void cbRunClick();
    void edWaitChange();
    void edOldChange();
    void nWallClick();
    void FormClose();

private:
    void CreateFilesPage(HWND page);
    void CreateOptionsPage(HWND page);
    void ApplyFont(HWND parent);

    HFONT font_ = nullptr;
    HFONT boldFont_ = nullptr;
    HICON icon_ = nullptr;
};

extern TMainForm* MainForm;
