// The picture open dialog's rules that need no window: its filter, the splitting of the
// system dialog's result into full paths, and where the dialog goes on its monitor.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The filter: description and pattern pairs separated by "|". One "All" choice, then one
// choice per registered extension from the last registered to the first, PNG last.
inline constexpr std::string_view kPictureDialogFilter =
    "All (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf;*.png)|*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf;*.png|"
    "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|"
    "Icons (*.ico)|*.ico|Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf|"
    "Portable Network Graphics (*.png)|*.png";

// The longest file name that pre-fills the dialog's file-name field with multiple selection;
// the dialog's buffer holds it and its closing zero.
inline constexpr std::size_t kMaxDialogFileName = 65519;

// The filter as the system dialog takes it: every "|" becomes a zero character, and the list
// ends with two zero characters.
std::string DialogFilterList(std::string_view filter);

// The text that pre-fills the file-name field: the file name cut to kMaxDialogFileName.
std::string DialogInitialFileName(std::string_view fileName);

// The chosen files in the system dialog's result: parts ended by zero characters, either one
// full path or a folder followed by names. Each name that begins with "\", or is at least 4
// characters long with ":" second and "\" third, is taken as it stands; any other gets the
// folder (with a closing "\") in front. The list of names ends at the first empty part or at
// the end of the text.
std::vector<std::wstring> SplitDialogResult(std::wstring_view result);

// The failure text for chosen files whose names the program cannot keep (each shown with "?"
// for the letters the code page lacks); empty when there are none.
std::string LeftOutFilesMessage(const std::vector<std::string>& shownNames);
// The failure text for a file chosen as the default picture whose name the program cannot keep.
std::string DefaultPictureLeftOutMessage(const std::string& shownName);

struct TDialogPosition {
    int Left = 0, Top = 0;
    friend bool operator==(const TDialogPosition&, const TDialogPosition&) = default;
};

// A window of the given size on a monitor: centred horizontally, a third of the free height
// down; both quotients truncated toward zero (a window larger than the monitor moves left or
// up by the part of the excess).
TDialogPosition PlaceDialogOnMonitor(int monitorLeft, int monitorTop, int monitorWidth, int monitorHeight, int width,
                                     int height);
