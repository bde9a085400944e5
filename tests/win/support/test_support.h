// Helpers shared by the tests that run under Wine and by the monkey: files, the registry,
// finding windows, waiting for a condition, message boxes. No test framework here: the
// monkey links this library too.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
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

// A file's bytes, read while others may read, write or delete it; nothing when it is absent.
std::optional<std::string> ReadShared(const std::string& path);
// The same, "<missing>" when absent.
std::string ReadFileBytes(const std::string& path);
// Writes the whole file; false when it cannot be created or written.
bool WriteFileBytes(const std::string& path, std::string_view bytes);
inline bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    return WriteFileBytes(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}
// Text of the ANSI code page as wide text, and a file written by a wide path (names of any
// alphabet).
std::wstring WidePath(std::string_view path);
bool WriteFileBytes(const std::wstring& path, std::string_view bytes);
inline bool WriteFileBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    return WriteFileBytes(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}
bool PathExists(const std::string& path);

// Reads a registry value as raw bytes and its type; false when absent.
bool ReadRegistryValue(HKEY root, const char* key, const char* name, std::string& data, DWORD& type);
// A string value without its terminating zero, "<absent>" when there is none.
std::string ReadRegistryString(HKEY root, const char* key, const char* name);
void SetRegistryString(HKEY root, const char* key, const char* name, const std::string& value);
void DeleteRegistryValue(HKEY root, const char* key, const char* name);
void DeleteRegistryKey(HKEY root, const char* key);
// The volatile key where the instances of one logon note the day of its last automatic change:
// deleted, the next run is as at a new logon.
inline const char kSessionRecordKey[] = "Software\\Lumo.Session";
inline const char kDesktop[] = "Control Panel\\Desktop";
inline const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Task Manager's start-up switches of the Run values, under the same roots.
inline const char kRunSwitchKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

// Makes a key readable only: opening it with full access then fails. Returns the old
// security descriptor for RestoreKeySecurity.
std::string MakeKeyReadOnly(HKEY root, const char* key);
void RestoreKeySecurity(HKEY root, const char* key, const std::string& descriptor);

// Handles every message waiting in this thread's queue.
void PumpMessages();
// A point on the screen just inside the start of a tree node's text (the tree in this process).
POINT NodeOnScreen(HWND tree, HTREEITEM item);
// Asks the condition every 20 ms until it holds or the time is over; whether it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds);
// Waits until the thread of `edit`, an edit control holding text in any process, has handled
// every message posted to its windows before the call: a selection posted after them shows
// then. False when it does not within 5 s.
bool PostedMessagesHandled(HWND edit);

std::string ClassOf(HWND window);
// A window's text (sent WM_GETTEXT within this process; the caption of another's window).
std::string CaptionOf(HWND window);
DWORD ProcessOf(HWND window);

// The first top-level window that matches every part given: of a process or of a thread, of a
// class, with a caption, accepted by a test.
struct TWindowQuery {
    DWORD Process = 0;
    DWORD Thread = 0;
    const char* ClassName = nullptr;
    const char* Caption = nullptr;
    std::function<bool(HWND)> Accept;
};
HWND FindTopWindow(const TWindowQuery& query);
// A window of the class anywhere below `root`, the index-th in window order.
HWND Descendant(HWND root, const char* className, int index = 0);

// "ClassName: message" of the failure an action raises, or "no error".
std::string FailureOf(const std::function<void()>& action);

// Waits for a message box of this process with the caption, presses OK and returns its text
// ("<no box>" after 5 s). Call it from a second thread while the first shows the box.
std::string AnswerMessageBox(const std::string& caption);
// The text of a message box.
std::string MessageBoxText(HWND box);

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
