#include "lumo_process.h"

#include <stdexcept>

#include "test_support.h"

TLumoProcess::TLumoProcess(const std::string& folder) : exe_(folder + "Lumo.exe") {
    if (!CopyFileA((TestProgramFolder() + "Lumo.exe").c_str(), exe_.c_str(), FALSE))
        throw std::runtime_error("cannot copy Lumo.exe");
}

TLumoProcess::~TLumoProcess() { Release(); }

void TLumoProcess::Release() {
    if (info_.hProcess) {
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
    info_ = PROCESS_INFORMATION{};
}

void TLumoProcess::Start(const std::string& arguments, const std::vector<std::string>& environment, int showCommand) {
    Release();
    std::string block;
    char* current = GetEnvironmentStringsA();
    for (const char* entry = current; *entry; entry += strlen(entry) + 1) block += std::string(entry) + '\0';
    FreeEnvironmentStringsA(current);
    for (const std::string& entry : environment) block += entry + '\0';
    block += '\0';
    std::string commandLine = "\"" + exe_ + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (showCommand >= 0) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(showCommand);
    }
    const std::string folder = exe_.substr(0, exe_.find_last_of('\\') + 1);
    // Wine may still hold the image of a run that has just ended: a few more tries.
    for (int attempt = 0;; ++attempt) {
        if (CreateProcessA(exe_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, block.data(), folder.c_str(),
                           &startup, &info_))
            return;
        if (attempt == 10)
            throw std::runtime_error("cannot start Lumo.exe (error " + std::to_string(GetLastError()) + ")");
        Sleep(200);
    }
}

int TLumoProcess::Wait(DWORD milliseconds) {
    if (WaitForSingleObject(info_.hProcess, milliseconds) != WAIT_OBJECT_0) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<int>(code);
}

namespace {
struct TWindowSearch {
    DWORD process;
    const char* className;
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<TWindowSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process) return TRUE;
    char text[256] = {}, cls[256] = {};
    GetWindowTextA(window, text, sizeof text);
    GetClassNameA(window, cls, sizeof cls);
    if ((!*search->className || strcmp(cls, search->className) == 0) && strcmp(text, search->caption) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND TLumoProcess::FindWindowOf(const char* className, const char* caption, DWORD milliseconds) const {
    const DWORD start = GetTickCount();
    do {
        TWindowSearch search{info_.dwProcessId, className, caption, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        if (WaitForSingleObject(info_.hProcess, 100) == WAIT_OBJECT_0) return nullptr;
    } while (GetTickCount() - start < milliseconds);
    return nullptr;
}

bool WaitVisible(HWND window, bool visible) {
    for (int i = 0; i < 100; ++i) {
        if ((IsWindowVisible(window) != FALSE) == visible) return true;
        Sleep(50);
    }
    return false;
}

std::string MessageBoxText(HWND box) {
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}
