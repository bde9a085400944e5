// Helpers shared by the tests that run under Wine.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// A fresh folder under the system's temporary folder, removed with everything in it.
class TTempFolder {
public:
    TTempFolder();
    ~TTempFolder();
    const std::string& Path() const { return path_; }  // with a trailing backslash
    std::string File(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

// Sends HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE of this process to keys of their own, which
// are deleted at the end.
class TRegistryOverride {
public:
    TRegistryOverride();
    ~TRegistryOverride();
    HKEY CurrentUser() const { return user_; }
    HKEY LocalMachine() const { return machine_; }

private:
    HKEY user_ = nullptr;
    HKEY machine_ = nullptr;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool PathExists(const std::string& path);

// Reads a registry value as raw bytes and its type; false when absent.
bool ReadRegistryValue(HKEY root, const char* key, const char* name, std::string& data, DWORD& type);
void SetRegistryString(HKEY root, const char* key, const char* name, const std::string& value);
void DeleteRegistryValue(HKEY root, const char* key, const char* name);

// Makes a key readable only: opening it with full access then fails. Returns the old
// security descriptor for RestoreKeySecurity.
std::string MakeKeyReadOnly(HKEY root, const char* key);
void RestoreKeySecurity(HKEY root, const char* key, const std::string& descriptor);

// "ClassName: message" of the failure an action raises, or "no error".
std::string FailureOf(const std::function<void()>& action);

// Waits for a message box of this process with the caption, presses OK and returns its text
// ("<no box>" after 5 s). Call it from a second thread while the first shows the box.
std::string AnswerMessageBox(const std::string& caption);

// Whether the notification area holds an icon of this window (identifier 0): the shell modifies
// only an icon that exists.
bool NotifyIconRegistered(HWND window);

// Answers, from a thread of its own, every message box of this process with the caption
// (presses OK), recording their texts, until Texts() is asked for or it goes.
class TBoxAnswerer {
public:
    explicit TBoxAnswerer(std::string caption);
    ~TBoxAnswerer();
    TBoxAnswerer(const TBoxAnswerer&) = delete;
    TBoxAnswerer& operator=(const TBoxAnswerer&) = delete;
    // Stops answering and gives the texts of the boxes answered, in order.
    std::vector<std::string> Texts();

private:
    void Stop();
    void Run();
    std::string caption_;
    std::atomic<bool> stop_{false};
    std::vector<std::string> texts_;
    std::thread thread_;
};

// The folder of the running test program, with a trailing backslash.
std::string TestProgramFolder();

// The Unix path of a Windows path under Wine; empty where there is no Wine.
std::string UnixPath(const std::string& path);
// Runs a command line of /bin/sh on the system Wine runs on and waits up to 10 s for it: its
// exit status, or -1 where there is no such system.
int RunUnixCommand(const std::string& command);
