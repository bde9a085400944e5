// The main window: the wallpaper list, the options and the About page, and the handlers that
// hold the program's behaviour.
#pragma once

#include <windows.h>

#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "app/change_planner_win.h"
#include "app/day_change_win.h"
#include "app/tray_icon_win.h"
#include "base/gdi_win.h"
#include "open_dialog/open_dialog_win.h"
#include "settings/desktop_options.h"
#include "settings/options_file.h"
#include "ui/check_box_win.h"
#include "ui/combo_box_win.h"
#include "ui/drop_target_win.h"
#include "ui/edit_win.h"
#include "ui/form_win.h"
#include "ui/image_win.h"
#include "ui/messages_win.h"
#include "ui/page_control_win.h"
#include "ui/popup_menu_win.h"
#include "ui/speed_button_win.h"
#include "ui/static_controls_win.h"
#include "ui/tree_view_win.h"
#include "wallpaper/wallpaper_change.h"

// The settings as the window holds them: what a save writes, one member per settings file
// beside the wallpaper list.
struct TSettings {
    TOptionsFileData Options;
    TDesktopOptions Desktop;
};

// The tray menu's items, as they reach the main window in WM_COMMAND.
enum TTrayMenuId : UINT { idWall = 101, idRestore = 102, idSeparator1 = 103, idExit = 104 };
// The wallpaper list's context menu's items.
enum TFilesMenuId : UINT { idAddPictures = 201, idDeletePicture = 202, idSeparator2 = 203, idRemoveMissing = 204 };

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
    TLabel lbPlacement{"lbPlacement"};
    TComboBox cmbPlacement{"cmbPlacement"};
    TCheckBox cbEachMonitor{"cbEachMonitor"};
    TGroupBox gbOld{"gbOld"};
    TEdit edOld{"edOld"};
    TButton bObzor{"bObzor"};
    TButton bNowDefault{"bNowDefault"};
    TGroupBox gbOldPreview{"gbOldPreview"};
    TImage oldPreview{"oldPreview"};
    // About page.
    TImage iAbout{"iAbout"};
    TLinkLabel stWWW{"stWWW"};
    // The tray menu, and the wallpaper list's context menu.
    TPopupMenu pmTray;
    TPopupMenu pmFiles;
    // The picture open dialog, shared by the add and browse buttons.
    TOpenPictureDialog OpenDialog;
    // The icon in the notification area.
    TTrayIcon TrayIcon;

    // The default wallpaper, shown and edited in edOld.
    std::string DefaultWallpaper;
    // The automatic run's pause in seconds, as the options file gave it at start-up.
    int32_t WaitSeconds = 0;
    // How pictures are placed, and whether each monitor gets its own: shown and chosen in
    // cmbPlacement and cbEachMonitor.
    TDesktopOptions DesktopOptions;

    TTabSheet& tshFiles() { return pcMain.Page(0); }
    TTabSheet& tshOptions() { return pcMain.Page(1); }
    TTabSheet& tshAbout() { return pcMain.Page(2); }

    // The screen's text height against which the design sizes were scaled (13 at 96 DPI).
    int TextHeight() const { return textHeight_; }

    // Applies a picture file as the desktop wallpaper, placed as the options say; a change the
    // user asked for (ApplyAskedChange).
    void ChangeWall(const std::string& path);
    // Makes a change the desktop wallpaper: every change of the window goes through here.
    void ApplyChange(const TWallpaperChange& change);
    // The rule of today's change as the options give it: today's day, the default, the
    // monitors that get pictures of their own and the placement.
    TChangeRule TodaysRule() const;
    // The automatic change at logon: today's change planned from the list the window holds,
    // away from the window (TChangePlanner: the file tests and the wait for a picture not
    // available yet), applied when ready, while the program answers what other programs send
    // it; a close request or a session end meanwhile is handled after it, as in the pause.
    // Nothing when another instance of the session has made today's change. A change the
    // system refuses is followed by the default, tried once; only when that fails too does the
    // failure leave. With no picture and no default there, the wallpaper stays as it is.
    void AutomaticRun();
    // While the program starts with the system and stays in the notification area, and the icon
    // is there, plans the automatic change of a new day from the settings as saved on disk when
    // the local date differs from that of the last automatic change made (ChangePlanned applies
    // it). Run from the window's own queue (WM_CHECKDAY), never inside a message another
    // program sent.
    void CheckDay();
    // The settings files, in the order a start-up reads them and a save writes them.
    struct TSettingsFile {
        std::string (*Path)();
        DWORD ShareMode;  // how the start-up read shares the file
        // What the window holds, in the file's form.
        std::string (*Format)(TMainForm& form);
        // Shows what the file holds; `bytes` is nothing when there is no file.
        void (*Read)(TMainForm& form, const std::optional<std::string>& bytes);
    };
    static const TSettingsFile SettingsFiles[3];
    // The table's rows, in the order of the saves.
    enum : size_t { kOptionsFile, kListFile, kDesktopFile };

    // Reads every settings file into the window (start-up), then takes what the window holds
    // as what the files hold.
    void ReadSettings();
    // Writes the settings files in order, each only when what the window holds differs from
    // what that file was last read or written with, or when it is missing. Once the window is
    // gone there is nothing to save from, and nothing is written.
    void SaveOptions();
    // Takes what the window holds now as what the settings files hold.
    void SettingsRead();
    // The settings as the window holds them: what SaveOptions writes.
    TSettings CurrentOptions() const;
    // Shows options read from the options file; WaitSeconds follows the pause they give.
    void LoadOptions(const TOptionsFileData& options);
    // Shows the desktop options read from their file in their controls.
    void LoadDesktopOptions(const TDesktopOptions& options);
    // Registers (1) or removes (0) the notification-area icon (TTrayIcon::SetTrayMode).
    void SetTrayMode(int32_t mode);
    // Replaces the wallpaper list by the content of a wallpaper-list file.
    void LoadWallpaperList(const std::string& path);
    // Replaces the wallpaper list by a list file's bytes; a list that stops at a bad line keeps
    // the nodes read before it, and that line's error leaves after.
    void ShowWallpaperList(const std::string& bytes);
    // Checks cbRun when the program starts with the system, which registers this program's own
    // command (cbRunClick). What that cannot do is told (`tell`, a start with the window) once
    // the message loop runs, never in the way of the start.
    void ProbeRunRegistration(bool tell = false);

    // Looks at every entry of the wallpaper list again and marks those that cannot be used:
    // pictures whose file is missing, day nodes named after no weekday. The missing pictures, in
    // the list's order.
    std::vector<HTREEITEM> LookAtList();

    void tvFilesChange();
    void tvFilesClick();
    // A node renamed in place is marked anew (a day named after no weekday, a missing file).
    void tvFilesEdited(HTREEITEM item);
    // Insert and Delete in the tree do what sbAdd and sbDel do, while they are enabled;
    // Ctrl+Delete what nRemoveMissing does.
    bool tvFilesKeyDown(WORD key);
    // The list's context menu, at a screen point.
    void tvFilesContextPopup(POINT at);
    // Files and folders dropped on the list at a point of the tree, or a picture dropped on the
    // default wallpaper's group.
    void tvFilesDragDrop(const std::vector<std::wstring>& files, POINT at);
    void gbOldDragDrop(const std::wstring& file);
    void sbAddClick();
    void sbDelClick();
    // Removes every picture whose file is missing from the list, once the user agrees.
    void nRemoveMissingClick();
    void bChangeClick();
    void bObzorClick();
    void bNowDefaultClick();
    void cbRunClick();
    void edWaitChange();
    void edOldChange();
    void cmbPlacementChange();
    void cbEachMonitorClick();
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
    // Plans today's automatic change from `list`, or from the settings as saved when none.
    void BeginAutomaticChange(const std::optional<TWallpaperList>& list);
    // The plan has come (WM_CHANGEPLANNED): applied now, or held while a dialog, a box or the
    // tray menu is up (until it closes) or another instance applies; a plan held past midnight
    // is given up for the new day's.
    void ChangePlanned();
    // Applies the plan taken; false, the plan kept, while another instance of the session holds
    // the turn. A plan whose pictures were not ready applies the default in their place and
    // leaves the day to be tried again; any other plan makes the day's change, unless another
    // instance has made it meanwhile.
    bool ApplyPlanned();
    // A change by hand (a button, the tray command) is the day's: a plan under way is given up.
    void ChangedByHand();
    // What the window holds differs from what the settings files were last read or written
    // with.
    bool Changed();
    void ApplyFont(const TControl& parent);
    // A change the user asked for (a button, the tray menu's command): the day's picture (a plan
    // under way is given up, ChangedByHand), applied, and then, once a run, where the system's
    // background is a slideshow or Windows Spotlight, which would soon replace the picture, a
    // box says what to switch in Windows' settings.
    void ApplyAskedChange(const TWallpaperChange& change);
    // Shows the default wallpaper in edOld and its preview; a picture that cannot be shown
    // leaves the preview empty without a word.
    void ShowDefaultWallpaper();
    // Saves after pictures were added; the pictures left out are named after the save.
    void SaveAdded(const std::vector<std::string>& leftOut);
    // Deletes nodes and saves; the selection rule runs once, for the node selected then.
    void DeleteNodes(const std::vector<HTREEITEM>& nodes);
    // The day that files dropped at a point of the tree go under: the day of the node there, else
    // of the selected node; null for none.
    HTREEITEM DropDay(POINT at) const;
    // What the list and the default wallpaper's group take of files dragged onto them.
    void WireDrops();
    // The list is looked at again once the window comes into sight or shows another page.
    void PostLookAtList();
    void ListInSight();
    // Adds the files dropped, now that the program that dragged them has been answered.
    void PicturesDropped();
    // Writes why the selected node cannot be used in the middle of the empty preview.
    void DrawPreviewNote(HDC dc, const RECT& client);

    TFontHandle font_;
    TFontHandle boldFont_;
    HICON icon_ = nullptr;
    int textHeight_ = 13;
    TDayChange dayChange_;
    TChangePlanner planner_;
    std::optional<TPlannedChange> planned_;  // taken from the planner, not applied yet
    // The bytes of each settings file as last read or written, in the form SaveOptions writes.
    std::optional<std::string> saved_[std::size(SettingsFiles)];
    // The pictures this window last made the wallpaper.
    std::vector<std::string> shown_;
    // What the start-up's look at the Run values could not do, told when the message loop runs.
    std::string runProbeFailure_;
    bool backgroundTold_ = false;  // the box about a slideshow or Spotlight was shown
    bool lookPosted_ = false;
    // Why the selected node cannot be used, written in the preview; null for nothing.
    const char* previewNote_ = nullptr;
    TFileDropTarget listDrop_;
    TFileDropTarget defaultDrop_;
    // Files dropped and not handled yet, and where.
    struct TDrop {
        std::vector<std::wstring> Files;
        POINT At{};
        bool OnDefault = false;
    } dropped_;
};

extern TMainForm* MainForm;
