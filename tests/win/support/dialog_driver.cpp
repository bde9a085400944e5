#include "dialog_driver.h"

#include <memory>

#include <commctrl.h>

#include "test_support.h"

HWND FileNameBox(HWND dialog) {
    if (HWND combo = GetDlgItem(dialog, 1148)) return combo;
    return GetDlgItem(dialog, 1152);
}

bool IsOpenDialog(HWND window) { return ClassOf(window) == "#32770" && IsWindowVisible(window) && FileNameBox(window); }

void TypeFileName(HWND dialog, const std::wstring& text) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(FileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL, 2000,
                        &result);
}

void TypeAndConfirm(HWND dialog, const std::wstring& text) {
    TypeFileName(dialog, text);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(dialog, WM_COMMAND, IDOK, 0, SMTO_NORMAL, 2000, &result);
    Sleep(300);
}

void TypeAndConfirm(HWND dialog, const std::string& text) { TypeAndConfirm(dialog, WidePath(text)); }

HWND FileList(HWND dialog) { return Descendant(dialog, WC_LISTVIEWA); }

int FindEntry(HWND list, const std::wstring& name) {
    const std::wstring stem = name.substr(0, name.rfind(L'.'));
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[MAX_PATH] = {};
        LVITEMW item{};
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        if (name == text || stem == text) return i;
    }
    return -1;
}

bool SelectListEntry(HWND list, int index) {
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, ProcessOf(list));
    if (!process) return false;
    void* remote = VirtualAllocEx(process, nullptr, sizeof(LVITEMA), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    const auto set = [&](int item, UINT state) {
        LVITEMA change{};
        change.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        change.state = state;
        DWORD_PTR result = 0;
        return WriteProcessMemory(process, remote, &change, sizeof change, nullptr) &&
               SendMessageTimeoutA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(remote),
                                   SMTO_NORMAL, 2000, &result);
    };
    const bool done = remote && set(-1, 0) && set(index, LVIS_SELECTED | LVIS_FOCUSED);
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return done;
}

bool SelectEntry(HWND dialog, const std::wstring& name) {
    HWND list = FileList(dialog);
    const int index = list ? FindEntry(list, name) : -1;
    return index >= 0 && SelectListEntry(list, index);
}

TDialogDriver TDialogDriver::Run(DWORD process, std::function<void(HWND dialog)> script) {
    auto answered = std::make_shared<bool>(false);
    std::thread worker([answered, process, script = std::move(script)] {
        HWND dialog = nullptr;
        if (WaitUntil(
                [&] {
                    return (dialog = FindTopWindow({process, 0, nullptr, nullptr, IsOpenDialog})) != nullptr;
                },
                20000)) {
            script(dialog);
            *answered = true;
        }
    });
    return TDialogDriver(std::move(worker), answered);
}

void TDialogDriver::ChooseIn(HWND dialog, const std::string& folder, const std::vector<std::wstring>& names) {
    TypeAndConfirm(dialog, WidePath(folder));
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
