// The main window's settings: the table of settings files, reading them at start-up, the value
// the window holds and the save.
#include <exception>
#include <utility>

#include "app/main_form_win.h"
#include "base/exceptions.h"
#include "base/system_win.h"
#include "base/text.h"
#include "pictures/file_formats.h"
#include "settings/file_io_win.h"
#include "settings/registry_win.h"
#include "wallpaper/change_wall_win.h"

namespace {

// Without an options file the default wallpaper is the desktop's current picture: the Active
// Desktop's copy where the system keeps one, else (Windows 7 to 11) the wallpaper value itself,
// else what the system reports; the first of them that names a picture file of a kind the
// program knows that is there. Windows' own copies in its theme caches are none (rewritten at
// every change, Lumo's own included), nor is anything while the background is a slideshow or
// Windows Spotlight: no default then, which leaves the desktop as it is.
std::string FirstRunDefault() {
    if (SystemBackground() != TBackgroundKind::Picture) return {};
    TRegistry registry(KEY_ALL_ACCESS);
    registry.OpenKey(kDesktopKey, false);
    const TFileFormatTable formats = DefaultFileFormatTable();
    for (const std::string& path :
         {registry.ReadString("ConvertedWallpaper"), registry.ReadString("Wallpaper"), CurrentDesktopWallpaper()})
        if (!path.empty() && formats.FindByExtension(ExtractExtension(path)) && !InThemeCache(path) && FileExists(path))
            return path;
    return {};
}

}  // namespace

// A new setting gets a file of its own here (the options file's compatibility rule, see the
// design note), or a line of the desktop options file.
const TMainForm::TSettingsFile TMainForm::SettingsFiles[3] = {
    {OptionsFilePath, FILE_SHARE_READ, [](TMainForm& form) { return FormatOptionsFile(form.CurrentOptions().Options); },
     [](TMainForm& form, const std::optional<std::string>& bytes) {
         if (bytes) return form.LoadOptions(ParseOptionsFile(*bytes, LocaleDecimalSeparator()));
         // Shown at once; the pause keeps WaitSeconds' 0 until a file gives one.
         form.DefaultWallpaper = FirstRunDefault();
         form.ShowDefaultWallpaper();
     }},
    {WallpaperListFilePath, 0, [](TMainForm& form) { return FormatWallpaperList(form.tvFiles.Items()); },
     [](TMainForm& form, const std::optional<std::string>& bytes) {
         if (bytes) form.ShowWallpaperList(*bytes);
     }},
    {DesktopOptionsFilePath, FILE_SHARE_READ,
     [](TMainForm& form) { return FormatDesktopOptions(form.CurrentOptions().Desktop); },
     [](TMainForm& form, const std::optional<std::string>& bytes) {
         form.LoadDesktopOptions(bytes ? ParseDesktopOptions(*bytes) : TDesktopOptions());
     }},
};

void TMainForm::ReadSettings() {
    // The list is read before the options, as the program always did: with both files damaged,
    // the start reports the list's error. The saves keep the table's order.
    for (const size_t i : {kListFile, kOptionsFile, kDesktopFile}) {
        const TSettingsFile& file = SettingsFiles[i];
        const std::string path = file.Path();
        file.Read(*this, FileExists(path) ? std::optional(ReadWholeFile(path, file.ShareMode)) : std::nullopt);
    }
}

TSettings TMainForm::CurrentOptions() const {
    return {{cbTray.Checked(), DefaultWallpaper, edWait.Text()}, DesktopOptions};
}

void TMainForm::LoadOptions(const TOptionsFileData& options) {
    cbTray.SetChecked(options.StayInTray);
    DefaultWallpaper = options.DefaultWallpaper;
    if (options.WaitText) edWait.SetText(*options.WaitText);
    WaitSeconds = ParseInteger(edWait.Text()).value_or(0);
    ShowDefaultWallpaper();
}

void TMainForm::ShowDefaultWallpaper() {
    // The default wallpaper's preview is only a preview: a picture that cannot be shown leaves
    // it empty instead of stopping the start (and with it the automatic change at logon).
    try {
        edOld.SetText(DefaultWallpaper);
    } catch (const Exception&) {
    }
}

void TMainForm::LoadDesktopOptions(const TDesktopOptions& options) {
    DesktopOptions = options;
    cmbPlacement.SetItemIndex(static_cast<int>(options.Placement));
    cbEachMonitor.SetChecked(options.EachMonitor);
}

void TMainForm::SaveOptions() {
    if (!Alive()) return;
    // The icon stays: removing it here would leave a minimised program out of reach. A file
    // is written unless the bytes it was last read or written with are these and it exists:
    // what another instance wrote meanwhile stays unless this one changed the file too.
    for (size_t i = 0; i < std::size(SettingsFiles); ++i) {
        const std::string path = SettingsFiles[i].Path();
        std::string bytes = SettingsFiles[i].Format(*this);
        if (saved_[i] == bytes && FileExists(path)) continue;
        ReplaceFileContent(path, bytes);
        saved_[i] = std::move(bytes);
    }
}

bool TMainForm::Changed() {
    for (size_t i = 0; i < std::size(SettingsFiles); ++i)
        if (saved_[i] != SettingsFiles[i].Format(*this)) return true;
    return false;
}

void TMainForm::SettingsRead() {
    for (size_t i = 0; i < std::size(SettingsFiles); ++i) saved_[i] = SettingsFiles[i].Format(*this);
}

void TMainForm::LoadWallpaperList(const std::string& path) { ShowWallpaperList(ReadWholeFile(path, 0)); }

void TMainForm::ShowWallpaperList(const std::string& bytes) {
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
