// The main window's handlers: settings, wallpaper changes and the notification-area icon.
#include <exception>
#include <utility>

#include "app/main_form_win.h"
#include "base/exceptions.h"
#include "base/format.h"
#include "base/system_win.h"
#include "base/text.h"
#include "settings/file_io_win.h"
#include "settings/options_file.h"
#include "settings/run_command.h"
#include "settings/run_registration_win.h"
#include "settings/wallpaper_list.h"
#include "ui/application_win.h"
#include "wallpaper/change_wall_win.h"
#include "wallpaper/weekday.h"
#include "wallpaper/weekday_win.h"

namespace {
// A plan that found another instance applying its own is applied again after this while.
constexpr UINT kTurnRetryMilliseconds = 250;
// Unchecking the start box could not remove the machine-wide value.
const char kRunStaysText[] =
    "Лумо запускается при старте системы для всех пользователей компьютера, и отменить этот запуск "
    "могут только права администратора. Запустите Лумо от имени администратора и снимите флажок "
    "«Запуск при старте системы» ещё раз.";
// Checking the start box met a machine-wide value of another copy that this account may not change.
const char kRunOtherCopyText[] =
    "При старте системы для всех пользователей компьютера запускается другая копия Лумо:\n%s\n\n"
    "Изменить этот запуск могут только права администратора. Второй запуск, только для вас, Лумо не "
    "добавляет: при входе в систему запускались бы обе копии, каждая со своими списками картинок. "
    "Чтобы запускалась эта копия, запустите её один раз от имени администратора. Чтобы она "
    "запускалась только для вас, запустите ту копию от имени администратора, снимите в ней флажок "
    "«Запуск при старте системы» и установите его здесь";
// Checking the start box met a machine-wide value switched off that this account may not switch on.
const char kRunSwitchedOffText[] =
    "Запуск Лумо при старте системы для всех пользователей компьютера отключён в диспетчере задач "
    "(вкладка «Автозагрузка») или в параметрах Windows, и включить его снова могут только права "
    "администратора. Запустите Лумо от имени администратора и установите флажок «Запуск при старте "
    "системы» ещё раз.";
// The system's background replaces the picture just applied at its next turn: what it is, and
// what to switch.
const char kSlideshowReplaces[] =
    "Фон рабочего стола Windows сейчас — слайд-шоу: при следующей смене слайда Windows заменит "
    "картинку Лумо своей.";
const char kSpotlightReplaces[] =
    "Фон рабочего стола Windows сейчас — «Windows: интересное»: Windows заменит "
    "картинку Лумо своей.";
const char kPictureStays[] =
    " Чтобы картинки Лумо оставались на рабочем столе, откройте «Параметры» Windows, затем «Персонализация» "
    "и «Фон», и выберите фоном «Изображение» (в Windows 10 — «Фото»).";

// Whether a file is there for the change rule.
TReadiness PresentTest(const std::string& path) {
    return FileExists(path) ? TReadiness::Readable : TReadiness::Missing;
}
}  // namespace

void TMainForm::ChangeWall(const std::string& path) { ApplyAskedChange({{path}, DesktopOptions.Placement}); }

void TMainForm::ApplyAskedChange(const TWallpaperChange& change) {
    if (!change.Pictures.empty()) ChangedByHand();
    ApplyChange(change);
    if (change.Pictures.empty() || backgroundTold_) return;
    const TBackgroundKind background = SystemBackground();
    if (background == TBackgroundKind::Picture) return;
    backgroundTold_ = true;
    const TModalState box;
    const std::string text = (background == TBackgroundKind::Spotlight ? kSpotlightReplaces : kSlideshowReplaces) +
                             std::string(kPictureStays);
    MessageBoxA(Application.Handle(), text.c_str(), Application.Title().c_str(), MB_OK | MB_ICONINFORMATION);
}

void TMainForm::ApplyChange(const TWallpaperChange& change) {
    ApplyWallpaperChange(change);
    if (!change.Pictures.empty()) shown_ = change.Pictures;
}

TChangeRule TMainForm::TodaysRule() const {
    TChangeRule rule;
    rule.Day = TodayDayNumber();
    rule.Default = DefaultWallpaper;
    rule.Placement = DesktopOptions.Placement;
    rule.Monitors = DesktopOptions.EachMonitor ? WallpaperMonitorCount() : 1;
    return rule;
}

void TMainForm::BeginAutomaticChange(const std::optional<TWallpaperList>& list) {
    TChangeRequest request;
    request.List = list;
    request.Saved = !list;
    request.Rule.Default = DefaultWallpaper;
    // The day's change applies what was saved: the window's default follows every key.
    if (request.Saved && saved_[kOptionsFile]) {
        try {
            request.Rule.Default = ParseOptionsFile(*saved_[kOptionsFile], LocaleDecimalSeparator()).DefaultWallpaper;
        } catch (const Exception&) {
        }
    }
    request.Rule.Placement = DesktopOptions.Placement;
    request.EachMonitor = DesktopOptions.EachMonitor;
    // The planner draws from a generator of its own, seeded from the program's.
    request.Seed = RandomSeed;
    RandomDraw(RandomSeed, 1);
    dayChange_.Asked(TodaysDate());
    planner_.Start(Handle(), request);
}

void TMainForm::AutomaticRun() {
    const uint32_t today = TodaysDate();
    if (dayChange_.MadeInSession(today)) {
        // Another automatic run of this logon has made today's change.
        dayChange_.Asked(today);
        dayChange_.Done(today);
        return;
    }
    BeginAutomaticChange(tvFiles.Items());
    // Other programs are answered meanwhile; what is posted to the program (a close request, a
    // session end held) waits until the change is made, as in the pause before it.
    Application.Pause(INFINITE, planner_.Finished());
    planned_ = planner_.Take();
    while (planned_ && !ApplyPlanned()) Application.Pause(kTurnRetryMilliseconds);
}

void TMainForm::ChangePlanned() {
    if (!planned_) planned_ = planner_.Take();
    if (!planned_ || Application.InModalState()) return;
    if (!cbRun.Checked() || !cbTray.Checked()) {
        // Unchecked while it was planned: the day change stops at once.
        planned_.reset();
        return;
    }
    if (planned_->Date != TodaysDate()) {
        // Held past midnight under a dialog: the new day is planned instead.
        planned_.reset();
        PostMessageA(Handle(), WM_CHECKDAY, 0, 0);
        return;
    }
    if (!ApplyPlanned()) SetTimer(Handle(), kTurnTimer, kTurnRetryMilliseconds, nullptr);
}

bool TMainForm::ApplyPlanned() {
    TDayChange::TTurn turn(dayChange_);
    if (!turn.Taken()) return false;
    const TPlannedChange plan = std::move(*planned_);
    planned_.reset();
    if (dayChange_.MadeInSession(plan.Date)) {
        dayChange_.Done(plan.Date);
        return true;
    }
    std::exception_ptr failure;
    if (plan.Ready) {
        try {
            ApplyChange(plan.Change);
        } catch (const Exception&) {
            // What the user is told of is the picture the system refused, when the default
            // cannot stand in for it either.
            failure = std::current_exception();
            if (!plan.StandIn.Pictures.empty()) {
                try {
                    ApplyChange(plan.StandIn);
                    failure = nullptr;
                } catch (const Exception&) {
                }
            }
        }
        turn.Made(plan.Date);
    } else {
        // Not the day's change: the default stands in (once), and the day is tried again.
        if (plan.StandIn.Pictures != shown_) {
            try {
                ApplyChange(plan.StandIn);
            } catch (const Exception&) {
                failure = std::current_exception();
            }
        }
        dayChange_.TryLater();
    }
    if (!failure) failure = plan.Failure;
    if (failure) std::rethrow_exception(failure);
    return true;
}

void TMainForm::ChangedByHand() {
    planner_.Cancel();
    planned_.reset();
    dayChange_.Done(TodaysDate());
}

void TMainForm::CheckDay() {
    if (!cbRun.Checked() || !cbTray.Checked() || !TrayIcon.Shown() || !dayChange_.NewDay()) return;
    // A change under way is judged when it comes.
    if (planner_.Busy() || planned_) return;
    if (const uint32_t today = TodaysDate(); dayChange_.MadeInSession(today)) return dayChange_.Done(today);
    // Another instance may have changed the settings since this one read them: the change
    // follows what is saved.
    BeginAutomaticChange(std::nullopt);
}

void TMainForm::SetTrayMode(int32_t mode) {
    TrayIcon.SetTrayMode(mode, icon_, Caption());
    // The day is watched from the moment the icon is there (an automatic run that ends at
    // once loads nothing for it).
    if (mode == 1) dayChange_.Attach(Handle());
}

void TMainForm::ProbeRunRegistration(bool tell) {
    try {
        cbRun.SetChecked(RunRegistered());
    } catch (const Exception& failure) {
        // Told once the window is up (WM_LOADABOUTPICTURE); the start goes on either way.
        if (tell) runProbeFailure_ = failure.Message();
    }
}

void TMainForm::cbRunClick() {
    std::string failure, found;
    if (!cbRun.Checked()) {
        if (!UnregisterRun()) failure = kRunStaysText;
    } else if (const TRunRegistration result = RegisterRun(RunCommandFor(ExecutablePath()), found);
               result == TRunRegistration::OtherCopyForAll) {
        failure = Format(kRunOtherCopyText, found.c_str());
    } else if (result == TRunRegistration::SwitchedOffForAll) {
        failure = kRunSwitchedOffText;
    }
    // The mark shows whether the program starts with the system: it comes back where the
    // machine-wide value stays and goes where it stays switched off; nothing more is written.
    if (const bool starts = RunRegistered(); !failure.empty() && starts != cbRun.Checked()) {
        TNotifyEvent click = std::exchange(cbRun.OnClick, nullptr);
        cbRun.SetChecked(starts);
        cbRun.OnClick = std::move(click);
    }
    cbTray.SetEnabled(cbRun.Checked());
    if (!failure.empty()) throw ERegistryException(failure);
}

void TMainForm::nWallClick() {
    // Another picture of today, not the one shown where another is there; nothing without one.
    const TWallpaperList list = tvFiles.Items();
    TChangeRule rule = TodaysRule();
    rule.Positions = list.size() % 65536;
    rule.Default.clear();
    rule.Shown = shown_;
    rule.Shown.push_back(CurrentDesktopWallpaper());
    ApplyAskedChange(PlanChange(list, rule, ProcessRandom(), PresentTest));
}

void TMainForm::nRestoreClick() { ApplicationEventsRestore(); }

void TMainForm::nExitClick() { Close(); }

void TMainForm::ApplicationEventsMinimize() {
    // The taskbar button goes only when the icon is there to bring the window back.
    if (TrayIcon.Added()) ShowWindow(Application.Handle(), SW_HIDE);
    Application.ShowMainWindow = false;
    Hide();
}

void TMainForm::ApplicationEventsRestore() {
    ShowWindow(Application.Handle(), SW_SHOWNORMAL);
    Show();
    Application.ShowMainWindow = true;
    SetForegroundWindow(Handle());
}

void TMainForm::WMMyNotify(WPARAM, LPARAM lParam) {
    // Under a dialog or a box the icon is no way around it.
    if (IsWindowVisible(Handle()) || Application.InModalState()) return;
    if (lParam == WM_RBUTTONDOWN) {
        SetForegroundWindow(Handle());
        POINT at;
        GetCursorPos(&at);
        {
            const TModalState menu(TModalState::KeepInput);
            pmTray.Popup(Handle(), at);
        }
        PostMessageA(Handle(), WM_NULL, 0, 0);
    } else if (lParam == WM_LBUTTONDBLCLK) {
        ApplicationEventsRestore();
    }
}

void TMainForm::FormClose() {
    // The program ends whatever the save did: a failure is shown once, and the files keep
    // their previous bytes.
    try {
        SaveOptions();
    } catch (...) {
        Application.HandleException();
    }
    SetTrayMode(0);
}

void TMainForm::EndSession() {
    // Nobody is there to answer a box: a save that fails is given up and the session ends.
    // Where nothing was changed nothing is written, a missing file included (an automatic run
    // ended by the session in its pause writes nothing).
    try {
        if (Alive() && Changed()) SaveOptions();
    } catch (...) {
    }
    if (Application.HoldEnd(TPendingEnd::SessionEnd)) return;
    SetTrayMode(0);
    DestroyWindow(Handle());
}
