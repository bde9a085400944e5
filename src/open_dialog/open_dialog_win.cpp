#include "open_dialog/open_dialog_win.h"

#include <algorithm>

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include "base/exceptions.h"
#include "base/system_win.h"
#include "open_dialog/ansi_path_win.h"
#include "open_dialog/open_dialog.h"
#include "ui/application_win.h"
#include "ui/form_win.h"
#include "ui/messages_win.h"

namespace {
const wchar_t kTemplateName[] = L"DLGTEMPLATE";
// The pane's place: the template's client area right of the standard controls, 4 pixels down.
RECT PaneBounds(HWND hook) {
    RECT pane;
    GetClientRect(hook, &pane);
    if (HWND standard = GetDlgItem(hook, stc32)) {
        RECT r;
        GetWindowRect(standard, &r);
        MapWindowPoints(HWND_DESKTOP, hook, reinterpret_cast<POINT*>(&r), 2);
        pane.left = r.right;
    }
    pane.top += 4;
    return pane;
}

// A message that would end the dialog or start its OK anew: its buttons, Esc, Enter, the close
// box, Alt+F4.
bool EndsTheDialog(UINT message, WPARAM wParam) {
    return (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) || message == WM_CLOSE ||
           (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE);
}

// The edit of the file-name field: a combo box's (an extended one's inner box's), or the
// field itself.
HWND FileNameEdit(HWND dialog) {
    HWND combo = GetDlgItem(dialog, cmb13);
    if (!combo) return GetDlgItem(dialog, edt1);
    wchar_t name[32] = {};
    GetClassNameW(combo, name, 32);
    if (lstrcmpiW(name, WC_COMBOBOXEXW) == 0)
        return reinterpret_cast<HWND>(SendMessageW(combo, CBEM_GETEDITCONTROL, 0, 0));
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    return GetComboBoxInfo(combo, &info) ? info.hwndItem : nullptr;
}
}  // namespace

TOpenPictureDialog::TOpenPictureDialog() : filter_(kPictureDialogFilter) {}

DWORD TOpenPictureDialog::Options() {
    return OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING |
           OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE;
}

bool TOpenPictureDialog::Execute(HWND owner) {
    files_.clear();
    leftOut_.clear();
    firstLeftOut_ = false;
    // The dialog goes to the monitor of the active form; without one, of the main window.
    placementWindow_ = GetActiveWindow();
    if (placementWindow_ == Application.Handle()) placementWindow_ = nullptr;
    if (!placementWindow_ && Application.MainForm()) placementWindow_ = Application.MainForm()->Handle();

    const std::wstring filter = WideText(DialogFilterList(filter_));
    std::wstring buffer = WideText(DialogInitialFileName(fileName_));
    buffer.resize(kMaxDialogFileName + 1, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner ? owner : Application.Handle();
    dialog.hInstance = GetModuleHandleW(nullptr);
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = static_cast<DWORD>(filterIndex_);
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.Flags = Options();
    dialog.lCustData = reinterpret_cast<LPARAM>(this);
    dialog.lpfnHook = HookProc;
    dialog.lpTemplateName = kTemplateName;

    BOOL confirmed = FALSE;
    {
        const TModalState modal;
        confirmed = GetOpenFileNameW(&dialog);
    }
    dialog_ = nullptr;
    // A dialog that could not be shown, or whose result did not fit, counts as cancelled.
    if (!confirmed) return false;
    for (const std::wstring& path : SplitDialogResult(buffer)) {
        if (std::optional<std::string> ansi = AnsiPathOf(path)) {
            files_.push_back(std::move(*ansi));
        } else {
            if (files_.empty() && leftOut_.empty()) firstLeftOut_ = true;
            leftOut_.push_back(ShownAnsiText(path));
        }
    }
    if (!files_.empty()) fileName_ = files_.front();
    filterIndex_ = static_cast<int>(dialog.nFilterIndex);
    return true;
}

UINT_PTR CALLBACK TOpenPictureDialog::HookProc(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    // No exception may unwind through the system dialog: everything is caught here.
    try {
        if (message == WM_INITDIALOG) {
            const auto* data = reinterpret_cast<const OPENFILENAMEW*>(lParam);
            SetWindowLongPtrA(hook, GWLP_USERDATA, data->lCustData);
            // FALSE leaves the focus where the system's dialog puts it, in the file-name field;
            // TRUE would give it to the template's first control, a placeholder.
            return FALSE;
        }
        auto* self = reinterpret_cast<TOpenPictureDialog*>(GetWindowLongPtrA(hook, GWLP_USERDATA));
        if (!self) return 0;
        if (message == WM_NOTIFY) {
            switch (reinterpret_cast<const NMHDR*>(lParam)->code) {
                case CDN_INITDONE:
                    self->Ready(hook);
                    break;
                case CDN_FOLDERCHANGE:
                    self->LimitFileName();
                    break;
                case CDN_SELCHANGE:
                    self->SelectionChanged();
                    break;
                case CDN_FILEOK:
                    // The platform has tested the names by the options; the choice is accepted.
                    SetWindowLongPtrA(hook, DWLP_MSGRESULT, 0);
                    break;
                default:
                    break;
            }
        } else if (message == WM_SIZE) {
            PostMessageA(hook, WM_PLACEPANE, 0, 0);
        } else if (message == WM_PLACEPANE) {
            self->pane_.Place(PaneBounds(hook));
        } else if (message == WM_DESTROY) {
            self->pane_.Detach();
        }
    } catch (...) {
        Application.HandleException();
    }
    return 0;
}

// While the dialog shows a box of its own (a path that does not exist, a name not found) or
// the Preview window is up, it is disabled and takes no input. A command that reaches it all
// the same (posted by another program, or a key already on its way) would end it under the
// box, and the system's dialog then goes on from the box into what it has already released
// (Wine's ends the process). A disabled dialog takes no command to end or to confirm.
LRESULT CALLBACK TOpenPictureDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                DWORD_PTR) {
    if (EndsTheDialog(message, wParam) && !IsWindowEnabled(dialog)) return 0;
    if (message == WM_NCDESTROY) RemoveWindowSubclass(dialog, DialogProc, 1);
    return DefSubclassProc(dialog, message, wParam, lParam);
}

void TOpenPictureDialog::Ready(HWND hook) {
    dialog_ = GetParent(hook);
    SetWindowSubclass(dialog_, DialogProc, 1, 0);
    LimitFileName();
    pane_.Attach(hook, PaneBounds(hook));
    PlaceOnMonitor();
}

void TOpenPictureDialog::SelectionChanged() {
    if (!dialog_) return;
    // The dialog is the wide one: it answers with a wide path.
    wchar_t path[MAX_PATH + 1] = {};
    SendMessageW(dialog_, CDM_GETFILEPATH, MAX_PATH, reinterpret_cast<LPARAM>(path));
    pane_.SelectionChanged(std::wstring(path));
}

void TOpenPictureDialog::LimitFileName() {
    if (!dialog_) return;
    // A name typed in the field is taken in the folder shown. One that makes a longer path than
    // a path can be names no file that Lumo could keep, and Wine's dialog overruns a buffer of
    // its own on it. The names the dialog writes there itself (a selection) are not cut.
    wchar_t folder[MAX_PATH + 1] = {};
    const LRESULT size = SendMessageW(dialog_, CDM_GETFOLDERPATH, MAX_PATH + 1, reinterpret_cast<LPARAM>(folder));
    const LRESULT room = MAX_PATH - 1 - std::max<LRESULT>(size, 0);  // the size counts the end, the room a backslash
    SendMessageW(FileNameEdit(dialog_), EM_LIMITTEXT, static_cast<WPARAM>(std::max<LRESULT>(room, 1)), 0);
}

void TOpenPictureDialog::PlaceOnMonitor() {
    HMONITOR monitor = placementWindow_ && IsWindow(placementWindow_)
                           ? MonitorFromWindow(placementWindow_, MONITOR_DEFAULTTONEAREST)
                           : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) return;
    RECT window;
    GetWindowRect(dialog_, &window);
    const RECT& m = info.rcMonitor;
    const TDialogPosition at = PlaceDialogOnMonitor(m.left, m.top, m.right - m.left, m.bottom - m.top,
                                                    window.right - window.left, window.bottom - window.top);
    SetWindowPos(dialog_, nullptr, at.Left, at.Top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
