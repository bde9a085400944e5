#include "app/change_planner_win.h"

#include <objbase.h>

#include <atomic>
#include <string>
#include <utility>

#include "base/exceptions.h"
#include "base/handles_win.h"
#include "base/system_win.h"
#include "settings/desktop_options.h"
#include "settings/file_io_win.h"
#include "settings/options_file.h"
#include "ui/messages_win.h"
#include "wallpaper/change_wall_win.h"
#include "wallpaper/weekday.h"
#include "wallpaper/weekday_win.h"

struct TChangePlanner::TJob {
    TChangeRequest Request;
    HWND Window = nullptr;
    TKernelHandle Cancelled;  // manual-reset events
    TKernelHandle Finished;
    std::atomic<bool> Ready{false};
    TPlannedChange Plan;  // written by the thread before Ready, read by the window after it
};

namespace {

// A picture of the day that is not ready yet is tried again every two seconds, for twenty.
constexpr DWORD kNotReadyRetryMilliseconds = 2000;
constexpr ULONGLONG kNotReadyMilliseconds = 20000;
// A settings file held by another program (another instance reading it at its start) is read
// again every second, five times in all, before the failure is reported.
constexpr int kReadTries = 5;
constexpr DWORD kReadRetryMilliseconds = 1000;

// Waits, unless the plan is given up meanwhile: false then.
bool Wait(HANDLE cancelled, DWORD milliseconds) { return WaitForSingleObject(cancelled, milliseconds) == WAIT_TIMEOUT; }

bool Cancelled(HANDLE cancelled) { return !Wait(cancelled, 0); }

// A settings file as saved, read again while another program holds it; nothing when there is
// none.
std::optional<std::string> ReadSaved(const std::string& path, HANDLE cancelled) {
    for (int tries = 1;; ++tries) {
        if (!FileExists(path)) return std::nullopt;
        try {
            return ReadWholeFile(path, FILE_SHARE_READ);
        } catch (const EFOpenError&) {
            if (tries == kReadTries || !Wait(cancelled, kReadRetryMilliseconds)) throw;
        }
    }
}

// A picture in a synchronised folder or on a network path may be there before it can be read
// (at logon, at a resume): each picture is given a while, twenty seconds for all of them.
bool ReadyInAWhile(const std::vector<std::string>& pictures, HANDLE cancelled) {
    const ULONGLONG end = GetTickCount64() + kNotReadyMilliseconds;
    for (const std::string& picture : pictures)
        for (;;) {
            const TReadiness readiness = FileReadiness(picture);
            if (readiness == TReadiness::Readable) break;
            if (readiness == TReadiness::Missing || GetTickCount64() >= end ||
                !Wait(cancelled, kNotReadyRetryMilliseconds))
                return false;
        }
    return true;
}

TPlannedChange MakePlan(const TChangeRequest& request, uint32_t& seed, HANDLE cancelled) {
    TPlannedChange plan;
    plan.Date = TodaysDate();
    TChangeRule rule = request.Rule;
    rule.Day = DayNumberOfDate(static_cast<int>(plan.Date / 10000), static_cast<int>(plan.Date / 100 % 100),
                               static_cast<int>(plan.Date % 100));
    bool eachMonitor = request.EachMonitor;
    TWallpaperList list;
    try {
        if (request.Saved) {
            if (const auto bytes = ReadSaved(OptionsFilePath(), cancelled))
                rule.Default = ParseOptionsFile(*bytes, LocaleDecimalSeparator()).DefaultWallpaper;
            if (const auto bytes = ReadSaved(DesktopOptionsFilePath(), cancelled)) {
                const TDesktopOptions desktop = ParseDesktopOptions(*bytes);
                rule.Placement = desktop.Placement;
                eachMonitor = desktop.EachMonitor;
            }
        }
        if (request.List) {
            list = *request.List;
        } else if (const auto bytes = ReadSaved(WallpaperListFilePath(), cancelled)) {
            try {
                ParseWallpaperList(*bytes, list);
            } catch (const ETreeViewError&) {
                // The lines before the bad one are planned from, as at start-up.
                plan.Failure = std::current_exception();
            }
        } else {
            list = BuiltInWallpaperList();
        }
    } catch (const Exception&) {
        plan.Failure = std::current_exception();
        plan.Ready = false;
        return plan;
    }
    rule.Monitors = eachMonitor ? WallpaperMonitorCount() : 1;
    plan.Change = PlanChange(
        list, rule, [&seed](uint32_t count) { return RandomDraw(seed, count); }, FilePresence);
    plan.StandIn.Placement = rule.Placement;
    if (plan.Change.OfToday && !rule.Default.empty() && FilePresence(rule.Default) != TReadiness::Missing)
        plan.StandIn.Pictures = {rule.Default};
    if (plan.Change.OfToday) plan.Ready = ReadyInAWhile(plan.Change.Pictures, cancelled);
    return plan;
}

DWORD WINAPI RunJob(void* parameter) {
    const std::unique_ptr<std::shared_ptr<TChangePlanner::TJob>> owner(
        static_cast<std::shared_ptr<TChangePlanner::TJob>*>(parameter));
    TChangePlanner::TJob& job = **owner;
    const HANDLE cancelled = job.Cancelled.Get();
    // The desktop-wallpaper object that counts the monitors lives in this thread's own
    // apartment.
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    uint32_t seed = job.Request.Seed;
    TPlannedChange plan;
    try {
        // A wait that ended on another day plans the new day's change instead.
        do plan = MakePlan(job.Request, seed, cancelled);
        while (plan.Date != TodaysDate() && !Cancelled(cancelled));
    } catch (...) {
        plan = TPlannedChange();
        plan.Date = TodaysDate();
        plan.Ready = false;
        plan.Failure = std::current_exception();
    }
    if (com) CoUninitialize();
    if (Cancelled(cancelled)) return 0;
    job.Plan = std::move(plan);
    job.Ready.store(true, std::memory_order_release);
    SetEvent(job.Finished.Get());
    PostMessageA(job.Window, WM_CHANGEPLANNED, 0, 0);
    return 0;
}

}  // namespace

void TChangePlanner::Start(HWND window, const TChangeRequest& request) {
    Cancel();
    auto job = std::make_shared<TJob>();
    job->Request = request;
    job->Window = window;
    job->Cancelled.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    job->Finished.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!job->Cancelled || !job->Finished) RaiseLastOSError();
    auto* parameter = new std::shared_ptr<TJob>(job);
    const HANDLE thread = CreateThread(nullptr, 0, RunJob, parameter, 0, nullptr);
    if (!thread) {
        const DWORD error = GetLastError();
        delete parameter;
        RaiseOSError(error);
    }
    CloseHandle(thread);
    job_ = std::move(job);
}

HANDLE TChangePlanner::Finished() const { return job_ ? job_->Finished.Get() : nullptr; }

std::optional<TPlannedChange> TChangePlanner::Take() {
    if (!job_ || !job_->Ready.load(std::memory_order_acquire)) return std::nullopt;
    std::optional<TPlannedChange> plan(std::move(job_->Plan));
    job_.reset();
    return plan;
}

void TChangePlanner::Cancel() {
    if (!job_) return;
    SetEvent(job_->Cancelled.Get());
    job_.reset();
}
