// The main window: the wallpaper list, the options and the About page, and the handlers that
// hold the program's behaviour.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <cstdint>
#include <optional>
#include <string>

#include "open_dialog/open_dialog_win.h"
#include "ui/check_box_win.h"
#include "ui/edit_win.h"
#include "ui/form_win.h"
#include "ui/image_win.h"
#include "ui/page_control_win.h"
#include "ui/popup_menu_win.h"
#include "ui/speed_button_win.h"
#include "ui/static_controls_win.h"
#include "ui/tree_view_win.h"

// The message the notification-area icon sends to the main window.
constexpr UINT WM_MYNOTIFY = 2048;

// The tray menu's items, as they reach the main window in WM_COMMAND.
enum TTrayMenuId : UINT { idWall = 101, idRestore = 102, idSeparator1 = 103, idExit = 104 };

// Module state of the main window.
extern std::string DefaultWallpaper;
extern int32_t TrayIconShown;
extern NOTIFYICONDATAA TrayIconData;

class TMainForm : public TForm {
public:
    TMainForm();
    ~TMainForm() override;

    TPageControl pcMain{"pcMain"};
    // Files page.
    TTreeView tvFiles{"tvFiles"};
    TSpeedButton sbAdd{"sbAdd"};
    TSpeedButton sbDel{"sbDel"};
    TGroupBox gPreview{"gPreview"};
    TImage iPreview{"iPreview"};
    TButton bChange{"bChange"};
    // Options page.
    TCheckBox cbRun{"cbRun"};
    TLabel Label2{"Label2"};
    TEdit edWait{"edWait"};
    TCheckBox cbTray{"cbTray"};
    TGroupBox gbOld{"gbOld"};
    TEdit edOld{"edOld"};
    TButton bObzor{"bObzor"};
    TButton bNowDefault{"bNowDefault"};
    TGroupBox gbOldPreview{"gbOldPreview"};
    TImage oldPreview{"oldPreview"};
    // About page.
    TImage iAbout{"iAbout"};
    TLinkLabel stWWW{"stWWW"};
    // The tray menu.
    TPopupMenu pmTray;
    // The picture open dialog, shared by the add and browse buttons.
    TOpenPictureDialog OpenDialog;

    TTabSheet& tshFiles() { return pcMain.Page(0); }
    TTabSheet& tshOptions() { return pcMain.Page(1); }
    TTabSheet& tshAbout() { return pcMain.Page(2); }

    // The screen's text height against which the design sizes were scaled (13 at 96 DPI).
    int TextHeight() const { return textHeight_; }

    // Applies a picture file as the desktop wallpaper.
    void ChangeWall(const std::string& path);
    // Writes the options file, then the wallpaper-list file. Once the window is gone there is
    // nothing to save from, and nothing is written.
    void SaveOptions();
    // Takes what the window holds now as what the settings files hold: called once they were
    // read at start-up.
    void SettingsRead();
    // Saves only when what the window holds differs from what the files were last read or
    // written with.
    void SaveOptionsIfChanged();
    // Registers (1) or removes (0) the notification-area icon.
    void SetTrayMode(int32_t mode);
    // Replaces the wallpaper list by the content of a wallpaper-list file.
    void LoadWallpaperList(const std::string& path);
    // Checks cbRun when the start-with-system value exists (which writes it anew).
    void ProbeRunRegistration();

    void tvFilesChange();
    void tvFilesClick();
    // Insert and Delete in the tree do what sbAdd and sbDel do, while they are enabled.
    bool tvFilesKeyDown(WORD key);
    void sbAddClick();
    void sbDelClick();
    void bChangeClick();
    void bObzorClick();
    void bNowDefaultClick();
    void cbRunClick();
    void edWaitChange();
    void edOldChange();
    void stWWWClick();
    void nWallClick();
    void nRestoreClick();
    void nExitClick();
    void ApplicationEventsMinimize();
    void ApplicationEventsRestore();
    void WMMyNotify(WPARAM wParam, LPARAM lParam);
    void FormClose();
    // The user's session ends: the settings are saved if they changed, without any box, and
    // the program ends (once a modal state that is up has ended).
    void EndSession();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateFilesPage(HWND page);
    void CreateOptionsPage(HWND page);
    void CreateAboutPage(HWND page);
    void CreateTrayMenu();
    void ApplyFont(const TControl& parent);
    // A design rectangle (left, top, width, height) scaled to the screen's text height.
    RECT Scaled(int left, int top, int width, int height) const;
    SIZE DesignSize(int width, int height) const;

    HFONT font_ = nullptr;
    HFONT boldFont_ = nullptr;
    HICON icon_ = nullptr;
    int textHeight_ = 13;
    UINT taskbarCreated_ = 0;
    // The bytes of each settings file as last read or written, in the form SaveOptions writes.
    std::optional<std::string> savedOptions_;
    std::optional<std::string> savedList_;
};

extern TMainForm* MainForm;
