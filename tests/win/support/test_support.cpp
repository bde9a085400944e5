#include "test_support.h"

#include <sddl.h>
#include <shellapi.h>

#include <stdexcept>
#include <vector>

#include "base/exceptions.h"

namespace {

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring full = folder + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full + L"\\");
            else {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

HKEY CreateTestKey(const char* name) {
    HKEY key = nullptr;
    const std::string path = std::string("Software\\LumoTests\\") + name + std::to_string(GetCurrentProcessId());
    RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        throw std::runtime_error("cannot create test key");
    return key;
}

}  // namespace

TTempFolder::TTempFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static int counter = 0;
    for (;;) {
        path_ = std::string(base) + "lumo-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter) + "\\";
        if (CreateDirectoryA(path_.c_str(), nullptr)) break;
    }
}

TTempFolder::~TTempFolder() { RemoveTree(WidePath(path_)); }

TRegistryOverride::TRegistryOverride() {
    user_ = CreateTestKey("User");
    machine_ = CreateTestKey("Machine");
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine_);
    RegOverridePredefKey(HKEY_CURRENT_USER, user_);
}

TRegistryOverride::~TRegistryOverride() {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegCloseKey(user_);
    RegCloseKey(machine_);
    const std::string pid = std::to_string(GetCurrentProcessId());
    RegDeleteTreeA(HKEY_CURRENT_USER, ("Software\\LumoTests\\User" + pid).c_str());
    RegDeleteTreeA(HKEY_CURRENT_USER, ("Software\\LumoTests\\Machine" + pid).c_str());
}

std::optional<std::string> ReadShared(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

std::wstring WidePath(std::string_view path) {
    std::wstring wide(path.size(), L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()),
                                                        wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

std::string ReadFileBytes(const std::string& path) { return ReadShared(path).value_or("<missing>"); }

bool WriteFileBytes(const std::string& path, std::string_view bytes) { return WriteFileBytes(WidePath(path), bytes); }

bool WriteFileBytes(const std::wstring& path, std::string_view bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool ReadRegistryValue(HKEY root, const char* key, const char* name, std::string& data, DWORD& type) {
    HKEY opened;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    LONG result = RegQueryValueExA(opened, name, nullptr, &type, nullptr, &size);
    if (result == ERROR_SUCCESS) {
        data.assign(size, '\0');
        result = RegQueryValueExA(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        data.resize(size);
    }
    RegCloseKey(opened);
    return result == ERROR_SUCCESS;
}

std::string ReadRegistryString(HKEY root, const char* key, const char* name) {
    std::string data;
    DWORD type = 0;
    if (!ReadRegistryValue(root, key, name, data, type)) return "<absent>";
    return data.substr(0, data.find('\0'));
}

void SetRegistryString(HKEY root, const char* key, const char* name, const std::string& value) {
    HKEY opened;
    RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr);
    RegSetValueExA(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(opened);
}

void DeleteRegistryValue(HKEY root, const char* key, const char* name) {
    HKEY opened;
    if (RegOpenKeyExA(root, key, 0, KEY_ALL_ACCESS, &opened) != ERROR_SUCCESS) return;
    RegDeleteValueA(opened, name);
    RegCloseKey(opened);
}

void DeleteRegistryKey(HKEY root, const char* key) { RegDeleteKeyA(root, key); }

std::string MakeKeyReadOnly(HKEY root, const char* key) {
    HKEY opened;
    RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr);
    DWORD size = 0;
    RegGetKeySecurity(opened, DACL_SECURITY_INFORMATION, nullptr, &size);
    std::string old(size, '\0');
    RegGetKeySecurity(opened, DACL_SECURITY_INFORMATION, old.data(), &size);
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr);
    RegSetKeySecurity(opened, DACL_SECURITY_INFORMATION, readOnly);
    LocalFree(readOnly);
    RegCloseKey(opened);
    return old;
}

void RestoreKeySecurity(HKEY root, const char* key, const std::string& descriptor) {
    HKEY opened;
    if (RegOpenKeyExA(root, key, 0, READ_CONTROL | WRITE_DAC, &opened) != ERROR_SUCCESS) return;
    RegSetKeySecurity(opened, DACL_SECURITY_INFORMATION, const_cast<char*>(descriptor.data()));
    RegCloseKey(opened);
}

std::string TestProgramFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string UnixPath(const std::string& path) {
    using TConvert = char*(CDECL*)(const wchar_t*);
    const auto convert = reinterpret_cast<TConvert>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    wchar_t wide[MAX_PATH * 2];
    if (!convert || !MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH * 2)) return {};
    char* unix = convert(wide);
    if (!unix) return {};
    std::string result(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

int RunUnixCommand(const std::string& command) {
    // Wine starts a Unix program without a handle to wait on: it leaves its status in a file.
    TTempFolder folder;
    const std::string status = UnixPath(folder.File("status"));
    if (status.empty()) return -1;
    std::string line = "Z:\\bin\\sh -c \"" + command + "; echo $? >'" + status + "'\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return -1;
    for (int i = 0; i < 200; ++i, Sleep(50))
        if (const std::string code = ReadFileBytes(folder.File("status")); code.find('\n') != std::string::npos)
            return atoi(code.c_str());
    return -1;
}

HWND Descendant(HWND root, const char* className, int index) {
    struct TSearch {
        const char* ClassName;
        int Left;
        HWND Found;
    } search{className, index, nullptr};
    EnumChildWindows(
        root,
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<TSearch*>(data);
            if (ClassOf(window) != s->ClassName || s->Left-- > 0) return TRUE;
            s->Found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

std::string FailureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& e) {
        return std::string(e.ClassName()) + ": " + e.Message();
    }
    return "no error";
}

std::string AnswerMessageBox(const std::string& caption) {
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = FindWindowA("#32770", caption.c_str())) != nullptr; }, 5000)) return "<no box>";
    const std::string text = MessageBoxText(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return text;
}

std::string MessageBoxText(HWND box) {
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

void PumpMessages() {
    for (MSG m; PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);) TranslateMessage(&m), DispatchMessageA(&m);
}

POINT NodeOnScreen(HWND tree, HTREEITEM item) {
    RECT r{};
    TreeView_GetItemRect(tree, item, &r, TRUE);
    POINT at{r.left + 4, (r.top + r.bottom) / 2};
    ClientToScreen(tree, &at);
    return at;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds) {
    for (const ULONGLONG end = GetTickCount64() + milliseconds; !condition(); Sleep(20))
        if (GetTickCount64() >= end) return false;
    return true;
}

bool PostedMessagesHandled(HWND edit) {
    const auto start = [edit] { return LOWORD(SendMessageA(edit, EM_GETSEL, 0, 0)); };
    const int length = static_cast<int>(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0));
    const int wanted = start() == 0 ? length : 0;  // each call moves the selection
    PostMessageA(edit, EM_SETSEL, static_cast<WPARAM>(wanted), length);
    return WaitUntil([&] { return IsWindow(edit) && start() == wanted; }, 5000);
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string CaptionOf(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

HWND FindTopWindow(const TWindowQuery& query) {
    struct TSearch {
        const TWindowQuery& Query;
        HWND Found;
    } search{query, nullptr};
    const WNDENUMPROC visit = [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<TSearch*>(data);
        const TWindowQuery& q = s->Query;
        if ((q.Process && ProcessOf(window) != q.Process) || (q.ClassName && ClassOf(window) != q.ClassName) ||
            (q.Caption && CaptionOf(window) != q.Caption) || (q.Accept && !q.Accept(window)))
            return TRUE;
        s->Found = window;
        return FALSE;
    };
    if (query.Thread)
        EnumThreadWindows(query.Thread, visit, reinterpret_cast<LPARAM>(&search));
    else
        EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

bool NotifyIconRegistered(HWND window) {
    NOTIFYICONDATAA probe{};
    probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
    probe.hWnd = window;
    probe.uID = 0;
    return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

TBoxAnswerer::TBoxAnswerer(std::string caption) : caption_(std::move(caption)), thread_([this] { Run(); }) {}

TBoxAnswerer::~TBoxAnswerer() { Stop(); }

std::vector<std::string> TBoxAnswerer::Texts() {
    Stop();
    return texts_;
}

void TBoxAnswerer::Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

void TBoxAnswerer::Run() {
    while (!stop_) {
        if (HWND box = FindWindowA("#32770", caption_.c_str())) {
            if (ProcessOf(box) == GetCurrentProcessId() && IsWindowVisible(box)) {
                texts_.push_back(MessageBoxText(box));
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                WaitUntil([&] { return stop_ || !IsWindow(box); }, INFINITE);
            }
        }
        Sleep(20);
    }
}
