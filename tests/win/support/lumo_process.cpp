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

HWND TLumoProcess::FindWindowOf(const char* className, const char* caption, DWORD milliseconds) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            found = FindTopWindow({info_.dwProcessId, 0, *className ? className : nullptr, caption, nullptr});
            return found || WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0;
        },
        milliseconds);
    return found;
}

bool WaitVisible(HWND window, bool visible) {
    return WaitUntil([&] { return (IsWindowVisible(window) != FALSE) == visible; }, 5000);
}
