#include "app/day_change_win.h"

#include <string>

#include "ui/messages_win.h"

namespace {

// Named objects of the user's session (the "Local" namespace), shared by every instance.
const char kTurnMutex[] = "Local\\Lumo.DayChange";
const char kRecordMapping[] = "Local\\Lumo.DayOfLastAutomaticChange";

// The session change notifications come from wtsapi32, which is not one of the system's known
// DLLs: it is loaded from the system folder by its full path, never from beside the program.
using TRegisterSession = BOOL(WINAPI*)(HWND, DWORD);
using TUnregisterSession = BOOL(WINAPI*)(HWND);
constexpr DWORD kNotifyForThisSession = 0;
constexpr UINT kSessionChange = 0x02B1;  // WM_WTSSESSION_CHANGE
constexpr WPARAM kSessionUnlock = 0x8;   // WTS_SESSION_UNLOCK

uint32_t Today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return static_cast<uint32_t>(now.wYear * 10000 + now.wMonth * 100 + now.wDay);
}

// Milliseconds from now to a second after the next local midnight.
UINT UntilNextMidnight() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    const UINT elapsed = ((now.wHour * 60u + now.wMinute) * 60u + now.wSecond) * 1000u + now.wMilliseconds;
    return 24u * 60 * 60 * 1000 - elapsed + 1000;
}

}  // namespace

TDayChange::TDayChange() {
    lock_.Reset(CreateMutexA(nullptr, FALSE, kTurnMutex));
    mapping_.Reset(
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(uint32_t), kRecordMapping));
    if (mapping_) record_.Reset(MapViewOfFile(mapping_.Get(), FILE_MAP_WRITE, 0, 0, sizeof(uint32_t)));
}

TDayChange::~TDayChange() { Detach(); }

void TDayChange::Attach(HWND window) {
    if (window_) return;
    window_ = window;
    if (day_ == 0) day_ = Today();
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH - 16)
        wtsapi_.Reset(LoadLibraryW((std::wstring(folder, length) + L"\\wtsapi32.dll").c_str()));
    if (wtsapi_) {
        const auto subscribe = reinterpret_cast<TRegisterSession>(
            reinterpret_cast<void*>(GetProcAddress(wtsapi_.Get(), "WTSRegisterSessionNotification")));
        sessionNotifications_ = subscribe && subscribe(window_, kNotifyForThisSession);
    }
    Arm();
}

void TDayChange::Detach() {
    if (!window_) return;
    KillTimer(window_, kDayChangeTimer);
    if (sessionNotifications_) {
        const auto unsubscribe = reinterpret_cast<TUnregisterSession>(
            reinterpret_cast<void*>(GetProcAddress(wtsapi_.Get(), "WTSUnRegisterSessionNotification")));
        if (unsubscribe) unsubscribe(window_);
        sessionNotifications_ = false;
    }
    window_ = nullptr;
}

void TDayChange::Arm() {
    if (window_) SetTimer(window_, kDayChangeTimer, UntilNextMidnight(), nullptr);
}

bool TDayChange::IsDayEvent(UINT message, WPARAM wParam) {
    const bool event =
        (message == WM_TIMER && wParam == kDayChangeTimer) || message == WM_TIMECHANGE ||
        (message == WM_POWERBROADCAST && (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)) ||
        (message == kSessionChange && wParam == kSessionUnlock);
    if (event) Arm();
    return event;
}

bool TDayChange::NewDay() const { return Today() != day_; }

void TDayChange::Made() {
    day_ = Today();
    if (record_) *static_cast<volatile uint32_t*>(record_.Get()) = day_;
}

TDayChange::TTurn::TTurn(TDayChange& owner) : owner_(owner) {
    // Without the session's objects this instance acts alone.
    if (owner_.lock_) {
        const DWORD wait = WaitForSingleObject(owner_.lock_.Get(), 0);
        owned_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
        if (!owned_) {
            owner_.day_ = Today();  // another instance is making today's change now
            return;
        }
    }
    taken_ = !owner_.record_ || *static_cast<volatile uint32_t*>(owner_.record_.Get()) != Today();
    if (!taken_) owner_.day_ = Today();  // another instance has made it
}

TDayChange::TTurn::~TTurn() {
    if (owned_) ReleaseMutex(owner_.lock_.Get());
}
