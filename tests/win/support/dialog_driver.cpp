#include "dialog_driver.h"

#include <memory>

#include "open_dialog/ansi_path_win.h"

namespace {

// The file-name box of an Explorer-style open dialog: a combo box (1148) or an edit (1152).
HWND FileNameBox(HWND dialog) {
    if (HWND combo = GetDlgItem(dialog, 1148)) return combo;
    return GetDlgItem(dialog, 1152);
}

HWND FindDialog(DWORD process) {
    struct TSearch {
        DWORD Process;
        HWND Found;
    } search{process, nullptr};
    for (int i = 0; i < 200 && !search.Found; ++i) {
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto* s = reinterpret_cast<TSearch*>(data);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                char cls[32] = {};
                GetClassNameA(window, cls, sizeof cls);
                if (owner == s->Process && strcmp(cls, "#32770") == 0 && IsWindowVisible(window) &&
                    FileNameBox(window)) {
                    s->Found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (!search.Found) Sleep(50);
    }
    return search.Found;
}

void TypeAndConfirm(HWND dialog, const std::wstring& text) {
    SendMessageW(FileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    Sleep(300);
}

}  // namespace

TDialogDriver TDialogDriver::Run(DWORD process, std::function<void(HWND dialog)> script) {
    auto answered = std::make_shared<bool>(false);
    std::thread worker([answered, process, script = std::move(script)] {
        if (HWND dialog = FindDialog(process)) {
            script(dialog);
            *answered = true;
        }
    });
    return TDialogDriver(std::move(worker), answered);
}

void TDialogDriver::OpenFolderIn(HWND dialog, const std::string& folder) { TypeAndConfirm(dialog, WideText(folder)); }

void TDialogDriver::ChooseIn(HWND dialog, const std::string& folder, const std::vector<std::wstring>& names) {
    OpenFolderIn(dialog, folder);
    std::wstring list;
    for (const std::wstring& name : names) list += (names.size() > 1 ? L"\"" + name + L"\" " : name);
    TypeAndConfirm(dialog, list);
}

void TDialogDriver::CancelIn(HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }

TDialogDriver TDialogDriver::Cancel() { return Run(GetCurrentProcessId(), CancelIn); }

TDialogDriver TDialogDriver::Choose(const std::string& folder, const std::vector<std::wstring>& names, DWORD process) {
    return Run(process, [folder, names](HWND dialog) { ChooseIn(dialog, folder, names); });
}

TDialogDriver::~TDialogDriver() {
    if (worker_.joinable()) worker_.join();
}

bool TDialogDriver::Answered() {
    if (worker_.joinable()) worker_.join();
    return *answered_;
}
