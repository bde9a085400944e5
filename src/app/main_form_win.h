// The main window: the wallpaper list, the options and the About page, and the handlers that
// hold the program's behaviour.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "app/day_change_win.h"
#include "app/tray_icon_win.h"
#include "base/gdi_win.h"
#include "open_dialog/open_dialog_win.h"
#include "settings/options_file.h"
#include "ui/check_box_win.h"
#include "ui/edit_win.h"
#include "ui/form_win.h"
#include "ui/image_win.h"
#include "ui/messages_win.h"
#include "ui/page_control_win.h"
#include "ui/popup_menu_win.h"
#include "ui/speed_button_win.h"
#include "ui/static_controls_win.h"
#include "ui/tree_view_win.h"

// The tray menu's items, as they reach the main window in WM_COMMAND.
enum TTrayMenuId : UINT { idWall = 101, idRestore = 102, idSeparator1 = 103, idExit = 104 };

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
    // The icon in the notification area.
    TTrayIcon TrayIcon;

    // The default wallpaper, shown and edited in edOld.
    std::string DefaultWallpaper;
    // The automatic run's pause in seconds, as the options file gave it at start-up.
    int32_t WaitSeconds = 0;

    TTabSheet& tshFiles() { return pcMain.Page(0); }
    TTabSheet& tshOptions() { return pcMain.Page(1); }
    TTabSheet& tshAbout() { return pcMain.Page(2); }

    // The screen's text height against which the design sizes were scaled (13 at 96 DPI).
    int TextHeight() const { return textHeight_; }

    // Applies a picture file as the desktop wallpaper.
    void ChangeWall(const std::string& path);
    // The automatic change, at logon and at a new day: applies the picture the automatic rule
    // picks from `list` (AutomaticWallpaper), after waiting a while for a picked file that is
    // not available yet. With no picture and no default the wallpaper stays as it is.
    void AutomaticChange(const TWallpaperList& list);
    // While the icon stays in the notification area, makes the automatic change of a new day
    // from the lists as saved on disk, when the local date differs from that of the last
    // automatic change; under a dialog or a box it waits until that closes.
    void CheckDay();
    // Writes the options file, then the wallpaper-list file, each only when what the window
    // holds differs from what that file was last read or written with, or when it is missing.
    // Once the window is gone there is nothing to save from, and nothing is written.
    void SaveOptions();
    // Takes what the window holds now as what the settings files hold: called once they were
    // read at start-up.
    void SettingsRead();
    // The options as the window holds them: what SaveOptions writes.
    TOptionsFileData CurrentOptions() const;
    // Shows options read from the options file; WaitSeconds follows the pause they give.
    void LoadOptions(const TOptionsFileData& options);
    // Registers (1) or removes (0) the notification-area icon (TTrayIcon::SetTrayMode).
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
    // The user's session ends: the settings are saved at once if they changed, without any
    // box, and the program ends (once a modal state that is up has ended). Where nothing
    // changed nothing is written, not even a missing file.
    void EndSession();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateFilesPage();
    void CreateOptionsPage();
    void CreateAboutPage();
    void CreateTrayMenu();
    // What the window holds differs from what the settings files were last read or written
    // with.
    bool Changed();
    void ApplyFont(const TControl& parent);

    TFontHandle font_;
    TFontHandle boldFont_;
    HICON icon_ = nullptr;
    int textHeight_ = 13;
    TDayChange dayChange_;
    bool dayChangeHeld_ = false;  // a new day met a modal state
    // The bytes of each settings file as last read or written, in the form SaveOptions writes.
    std::optional<std::string> savedOptions_;
    std::optional<std::string> savedList_;
};

extern TMainForm* MainForm;
