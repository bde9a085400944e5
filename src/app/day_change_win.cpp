#include "app/day_change_win.h"

#include <algorithm>

#include "base/system_win.h"
#include "ui/messages_win.h"
#include "wallpaper/weekday_win.h"

namespace {

// The instances of one user session take turns through this mutex (the "Local" namespace is
// the session's).
const char kTurnMutex[] = "Local\\Lumo.DayChange";
// The session's record: a value named by the logon session's identifier, holding the date of
// its last automatic change, under a volatile key of the current user's registry. A kernel
// object would vanish with the last instance that holds it, and two Run values start one
// instance after the other; a volatile key is kept in memory only and is gone when the user's
// registry is unloaded at logoff (at the latest at the next start of Windows), and the logon
// session's identifier, new at every logon, keeps a record that outlived its logon from
// counting for the next.
const char kRecordKey[] = "Software\\Lumo.Session";

// The session change notifications come from wtsapi32, which is not one of the system's known
// DLLs: it is loaded from the system folder by its full path, never from beside the program.
using TRegisterSession = BOOL(WINAPI*)(HWND, DWORD);
using TUnregisterSession = BOOL(WINAPI*)(HWND);
constexpr DWORD kNotifyForThisSession = 0;
constexpr UINT kSessionChange = 0x02B1;  // WM_WTSSESSION_CHANGE
constexpr WPARAM kConsoleConnect = 0x1;  // WTS_CONSOLE_CONNECT
constexpr WPARAM kRemoteConnect = 0x3;   // WTS_REMOTE_CONNECT
constexpr WPARAM kSessionUnlock = 0x8;   // WTS_SESSION_UNLOCK

// The display's state (on, off, dimmed), Windows 8 and later; the monitor's power before.
const GUID kConsoleDisplayState = {0x6FE69556, 0x704A, 0x47A0, {0x8F, 0x24, 0xC2, 0x8D, 0x93, 0x6F, 0xDA, 0x47}};
const GUID kMonitorPowerOn = {0x02731015, 0x4510, 0x4526, {0x99, 0xE6, 0xE5, 0xA1, 0x7E, 0xBD, 0x1A, 0xEA}};

constexpr UINT kFirstLaterTry = 60 * 1000;
constexpr UINT kLastLaterTry = 32 * 60 * 1000;

constexpr ULONGLONG kTicksPerMillisecond = 10000;  // FILETIME counts 100 ns
constexpr ULONGLONG kDay = 24ull * 60 * 60 * 1000 * kTicksPerMillisecond;

ULONGLONG Ticks(const FILETIME& time) { return (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime; }

// Milliseconds from now to a second after the next local midnight. The local date's next day is
// worked out on the calendar, and its 00:00 turned into universal time by the time zone's rules,
// so a day of 23 or 25 hours (a switch of daylight saving time) ends at its own midnight.
UINT UntilNextMidnight() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    SYSTEMTIME midnight{};
    midnight.wYear = now.wYear;
    midnight.wMonth = now.wMonth;
    midnight.wDay = now.wDay;
    FILETIME today, tomorrow, universal, current;
    SYSTEMTIME universalMidnight;
    if (!SystemTimeToFileTime(&midnight, &today)) return kLastLaterTry;
    const ULONGLONG next = Ticks(today) + kDay;
    tomorrow.dwLowDateTime = static_cast<DWORD>(next);
    tomorrow.dwHighDateTime = static_cast<DWORD>(next >> 32);
    if (!FileTimeToSystemTime(&tomorrow, &midnight) ||
        !TzSpecificLocalTimeToSystemTime(nullptr, &midnight, &universalMidnight) ||
        !SystemTimeToFileTime(&universalMidnight, &universal))
        return kLastLaterTry;
    GetSystemTimeAsFileTime(&current);
    const ULONGLONG left = Ticks(universal) > Ticks(current) ? Ticks(universal) - Ticks(current) : 0;
    return static_cast<UINT>(std::min<ULONGLONG>(left / kTicksPerMillisecond, kDay / kTicksPerMillisecond + 3600000)) +
           1000;
}

}  // namespace

TDayChange::TDayChange() {
    TUserObjectSecurity security;
    lock_.Reset(CreateMutexA(security.Get(), FALSE, kTurnMutex));
    sessionValue_ = LogonSessionSid();
    if (sessionValue_.empty()) sessionValue_ = "session";
}

TDayChange::~TDayChange() { Detach(); }

void TDayChange::Attach(HWND window) {
    if (window_) return;
    window_ = window;
    if (asked_ == 0) day_ = TodaysDate();
    wtsapi_.Reset(LoadSystemLibrary(L"wtsapi32.dll"));
    if (wtsapi_) {
        const auto subscribe = reinterpret_cast<TRegisterSession>(
            reinterpret_cast<void*>(GetProcAddress(wtsapi_.Get(), "WTSRegisterSessionNotification")));
        sessionNotifications_ = subscribe && subscribe(window_, kNotifyForThisSession);
    }
    displayNotifications_ =
        RegisterPowerSettingNotification(window_, &kConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (!displayNotifications_)
        displayNotifications_ =
            RegisterPowerSettingNotification(window_, &kMonitorPowerOn, DEVICE_NOTIFY_WINDOW_HANDLE);
    Arm();
    if (!NewDay()) return;
    // Today's picture was not ready at logon: it is tried later; a change made for a day that
    // has ended meanwhile is followed by the new day's at once.
    if (asked_ == TodaysDate())
        TryLater();
    else
        PostMessageA(window_, WM_CHECKDAY, 0, 0);
}

void TDayChange::Detach() {
    if (!window_) return;
    KillTimer(window_, kDayChangeTimer);
    KillTimer(window_, kDayRetryTimer);
    if (sessionNotifications_) {
        const auto unsubscribe = reinterpret_cast<TUnregisterSession>(
            reinterpret_cast<void*>(GetProcAddress(wtsapi_.Get(), "WTSUnRegisterSessionNotification")));
        if (unsubscribe) unsubscribe(window_);
        sessionNotifications_ = false;
    }
    if (displayNotifications_) UnregisterPowerSettingNotification(displayNotifications_);
    displayNotifications_ = nullptr;
    window_ = nullptr;
}

void TDayChange::Arm() {
    if (window_) SetTimer(window_, kDayChangeTimer, UntilNextMidnight(), nullptr);
}

bool TDayChange::IsDayEvent(UINT message, WPARAM wParam) {
    if (!window_) return false;
    // Any setting change is looked at: a new time zone is announced with one, and a look that
    // finds the same day does nothing. The display's notification is not read: the display
    // turning on, off or dimmed are all moments to look, and the pointer it carries is not
    // trusted from a message that any program may send.
    const bool event =
        (message == WM_TIMER && (wParam == kDayChangeTimer || wParam == kDayRetryTimer)) || message == WM_TIMECHANGE ||
        message == WM_SETTINGCHANGE ||
        (message == WM_POWERBROADCAST &&
         (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND || wParam == PBT_POWERSETTINGCHANGE)) ||
        (message == kSessionChange &&
         (wParam == kSessionUnlock || wParam == kConsoleConnect || wParam == kRemoteConnect));
    if (!event) return false;
    if (message == WM_TIMER && wParam == kDayRetryTimer) KillTimer(window_, kDayRetryTimer);
    Arm();
    return true;
}

bool TDayChange::NewDay() const { return TodaysDate() != day_; }

void TDayChange::Asked(uint32_t date) { asked_ = date; }

bool TDayChange::MadeInSession(uint32_t date) const {
    HKEY raw = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRecordKey, 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return false;
    const TKeyHandle key(raw);
    DWORD value = 0, size = sizeof value, type = 0;
    return RegQueryValueExA(key.Get(), sessionValue_.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
               ERROR_SUCCESS &&
           type == REG_DWORD && value == date;
}

void TDayChange::Done(uint32_t date) {
    day_ = date;
    laterTries_ = 0;
    if (window_) KillTimer(window_, kDayRetryTimer);
}

void TDayChange::TryLater() {
    if (!window_) return;
    const UINT delay = std::min(kFirstLaterTry << std::min(laterTries_, 5u), kLastLaterTry);
    ++laterTries_;
    SetTimer(window_, kDayRetryTimer, delay, nullptr);
}

TDayChange::TTurn::TTurn(TDayChange& owner) : owner_(owner) {
    if (!owner_.lock_) {
        taken_ = true;
        return;
    }
    const DWORD wait = WaitForSingleObject(owner_.lock_.Get(), 0);
    owned_ = taken_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

TDayChange::TTurn::~TTurn() {
    if (owned_) ReleaseMutex(owner_.lock_.Get());
}

void TDayChange::TTurn::Made(uint32_t date) {
    owner_.Done(date);
    TUserObjectSecurity security;
    HKEY raw = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRecordKey, 0, nullptr, REG_OPTION_VOLATILE, KEY_SET_VALUE, security.Get(),
                        &raw, nullptr) != ERROR_SUCCESS &&
        RegCreateKeyExA(HKEY_CURRENT_USER, kRecordKey, 0, nullptr, REG_OPTION_VOLATILE, KEY_SET_VALUE, nullptr, &raw,
                        nullptr) != ERROR_SUCCESS)
        return;
    const TKeyHandle key(raw);
    const DWORD value = date;
    RegSetValueExA(key.Get(), owner_.sessionValue_.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof value);
}
