#include "test_support.h"

#include <sddl.h>
#include <shellapi.h>

#include <stdexcept>

#include "base/exceptions.h"
#include "open_dialog/ansi_path_win.h"
#include <vector>

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

TTempFolder::~TTempFolder() { RemoveTree(WideText(path_)); }

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

std::string ReadFileBytes(const std::string& path) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) { WriteFileBytes(WideText(path), bytes); }

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write a file");
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
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

std::string FailureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& e) {
        return std::string(e.ClassName()) + ": " + e.Message();
    }
    return "no error";
}

std::string AnswerMessageBox(const std::string& caption) {
    for (int i = 0; i < 100; ++i) {
        if (HWND box = FindWindowA("#32770", caption.c_str())) {
            char text[512] = {};
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return text;
        }
        Sleep(50);
    }
    return "<no box>";
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
            DWORD process = 0;
            GetWindowThreadProcessId(box, &process);
            if (process == GetCurrentProcessId() && IsWindowVisible(box)) {
                char text[512] = {};
                GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                texts_.push_back(text);
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                while (!stop_ && IsWindow(box)) Sleep(10);
            }
        }
        Sleep(20);
    }
}
