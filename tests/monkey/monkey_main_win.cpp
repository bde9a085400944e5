// The monkey: drives Lumo.exe with a long random, reproducible sequence of user and system
// actions and checks after every step what must always hold.
//   monkey.exe --seed N [--steps N] [--minutes M] FOLDER
// FOLDER holds Lumo.exe; the monkey keeps the settings files there and its pictures in
// FOLDER\pictures\. Exit code 0: no violation; 1: a violation (the program is left running
// as it was, for a screenshot); 2: the monkey itself could not go on.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/format.h"
#include "support/input.h"
#include "../support/picture_files.h"
#include "monkey_world_win.h"
#include "settings/options_file.h"

namespace {

constexpr size_t kLogLength = 50;

// A bitmap whose colour runs from left to right.
picture_test::Bytes Bitmap(int width, int height, unsigned colour) {
    return picture_test::MakeBitmap24(width, height,
                                      [colour](int x, int) { return colour + 3u * static_cast<unsigned>(x); });
}

void MakePictures(TWorld& w) {
    CreateDirectoryA(w.Pictures.c_str(), nullptr);
    const std::string originals = w.Pictures + "originals\\";
    CreateDirectoryA(originals.c_str(), nullptr);
    WriteFileBytes(originals + "good1.bmp", Bitmap(40, 30, 0x3366CC));
    WriteFileBytes(originals + "good2.bmp", Bitmap(64, 48, 0x10A040));
    WriteFileBytes(originals + "good3.bmp", Bitmap(16, 16, 0xC02020));
    const RECT frame{0, 0, 2000, 1000};  // 0.01 mm
    if (HDC dc = CreateEnhMetaFileA(nullptr, (originals + "pic.emf").c_str(), &frame, nullptr)) {
        Rectangle(dc, 5, 5, 60, 30);
        DeleteEnhMetaFile(CloseEnhMetaFile(dc));
    }
    for (const char* name : {"good1.bmp", "good2.bmp", "good3.bmp", "pic.emf"})
        CopyFileA((originals + name).c_str(), (w.Pictures + name).c_str(), FALSE);
    WriteFileBytes(w.Pictures + "bad.bmp", std::string("BM\x20\x00\x00\x00 damaged", 16));
    WriteFileBytes(w.Pictures + "bad.jpg", "\xFF\xD8\xFF\xE0 not really a JPEG");
    WriteFileBytes(w.Pictures + "bad.png", "\x89PNG\r\n\x1A\n broken");
    WriteFileBytes(w.Pictures + "note.gif", "GIF89a");
    // A header that asks for 30000 x 30000 pixels at 32 bits (3.6 GB) with no pixels after it:
    // only ever selected in the open dialog, whose pane must refuse it quietly.
    picture_test::TBitmapLayout huge;
    huge.width = huge.height = 30000;
    huge.bitCount = 32;
    WriteFileBytes(w.Pictures + "huge.bmp", picture_test::MakeBitmap(huge));
}

// The pause and the stay-in-tray mark the program will take from the options file.
void ReadOptions(const std::optional<std::string>& bytes, int& pause, bool& stay) {
    pause = 0;
    stay = false;
    if (!bytes) return;
    const TOptionsFileData data = ParseOptionsFile(*bytes);
    stay = data.StayInTray;
    pause = std::atoi(NormalizeWaitText(data.WaitText.value_or("10")).c_str());
}

std::string Describe(const std::optional<std::string>& bytes) {
    return bytes ? std::to_string(bytes->size()) + " bytes" : "none";
}

void StartSession(TWorld& w) {
    // Input still queued for the windows of the last run goes to what lies under the pointer
    // or has the focus once they are gone: a click on the bare desktop makes the desktop take
    // it, not the next run's window.
    input::Click(POINT{4, 4});
    Sleep(700);
    Release(w);
    if (w.S.Process.hProcess) {
        CloseHandle(w.S.Process.hProcess);
        CloseHandle(w.S.Process.hThread);
    }
    w.S = TSession{};
    w.Confirmed.clear();
    TSession& s = w.S;
    ++w.Sessions;
    s.Autorun = !w.OneRun && w.Random.Chance(30);
    const int files = w.Random.Below(100);
    if (files < 12) DeleteFileA(w.ListPath().c_str());
    if (files < 20) DeleteFileA(w.OptionsPath().c_str());
    if (files >= 20 && files < 28) WriteFileBytes(w.OptionsPath(), RandomOptionsFile(w, s.Autorun));
    if (files >= 28 && files < 36) WriteFileBytes(w.ListPath(), RandomListFile(w));
    int pause = 0;
    ReadOptions(ReadShared(w.OptionsPath()), pause, s.StayInTray);
    if (s.Autorun && pause > 4) {
        WriteFileBytes(w.OptionsPath(), RandomOptionsFile(w, true));
        ReadOptions(ReadShared(w.OptionsPath()), pause, s.StayInTray);
    }
    s.StartOptions = w.Options = ReadShared(w.OptionsPath());
    s.StartList = w.List = ReadShared(w.ListPath());
    DeleteRegistryValue(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ConvertedWallpaper");
    // The desktop's picture, which a first run takes as its default and shows.
    SetRegistryString(HKEY_CURRENT_USER, "Control Panel\\Desktop", "Wallpaper", w.Pictures + "originals\\good1.bmp");
    SetRegistryString(HKEY_CURRENT_USER, "Control Panel\\Desktop", "WallpaperStyle", "monkey");

    std::string command = "\"" + w.Folder + "Lumo.exe\"" + (s.Autorun ? " /autorun" : "");
    // The program's standard streams go nowhere, and it inherits no handle of the monkey's: it
    // must not keep the monkey's output open.
    for (DWORD stream : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE})
        SetHandleInformation(GetStdHandle(stream), HANDLE_FLAG_INHERIT, 0);
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nowhere = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                 OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nowhere;
    // Wine may still hold the image of a run that has just ended: a few more tries.
    BOOL started = FALSE;
    for (int attempt = 0; attempt < 10 && !started; ++attempt)
        if (!(started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, w.Folder.c_str(),
                                       &startup, &s.Process)))
            Sleep(200);
    CloseHandle(nowhere);
    if (!started) throw std::runtime_error("cannot start Lumo.exe");
    s.View = std::make_unique<TLumoView>(s.Process.hProcess, s.Process.dwProcessId);
    w.Running = true;
    w.Note("run " + std::to_string(w.Sessions) + ": " +
           (s.Autorun ? "/autorun, pause " + std::to_string(pause) : "interactive") + ", stay in tray " +
           (s.StayInTray ? "yes" : "no") + ", WallOpt.ini " + Describe(w.Options) + ", Murovelo.ini " +
           Describe(w.List));
    for (int i = 0; i < 300 && !s.View->FindControls(); ++i) {
        if (WaitForSingleObject(s.Process.hProcess, 100) == WAIT_OBJECT_0) return;  // checked as a step
        if (s.View->TopWindows().FailureBox) w.Fail("the start-up failure box showed");
    }
    if (!s.View->Main) w.Fail("no main window after 30 s");
    // The first answer comes once the settings are read: in the pause, or in the message loop.
    // (An automatic run without a pause may end meanwhile: its window goes before the process.)
    if (!s.View->Answers(s.View->Main, 30000) && WaitForSingleObject(s.Process.hProcess, 5000) != WAIT_OBJECT_0)
        w.Fail("the program did not answer within 30 s of its start");
    if (s.Autorun) {
        s.Phase = TPhase::Pausing;
        s.PauseEnds = GetTickCount64() + static_cast<ULONGLONG>(pause) * 1000;
    } else {
        for (int i = 0; i < 100 && !IsWindowVisible(s.View->Main); ++i) Sleep(50);
    }
    if (s.View->Read(s.State)) {
        s.StateKnown = true;
        s.SavedOptions = s.Options();
        s.SavedList = s.State.List();
    }
}

void Finish(TWorld& w) {
    // The last run of the program is closed as a user would, and checked to the end.
    if (!w.Running) return;
    ++w.Step;
    w.Note("close at the end of the run");
    PostMessageA(w.S.View->Main, WM_CLOSE, 0, 0);
    RequestEnd(w, TEnd::Close);
    for (int i = 0; i < 30 && w.Running; ++i) {
        Sleep(300);
        CheckStep(w);
        if (w.Running) {
            ++w.Step;
            Drain(w);
        }
    }
    if (w.Running) w.Fail("the program did not end after the run's close request");
}

void PrintLog(const TWorld& w) {
    Say("last " + std::to_string(w.Log.size()) + " steps:");
    for (const std::string& line : w.Log) Say("  " + line);
}

}  // namespace

std::string Utf8(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                                        wide.data(), static_cast<int>(wide.size()))));
    std::string utf8(wide.size() * 3, '\0');
    utf8.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                                        utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr)));
    return utf8;
}

void Say(const std::string& line) {
    const std::string text = Utf8(line) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

void TWorld::Note(const std::string& text) {
    std::string line = std::string("#").append(std::to_string(Step)).append(" ").append(text);
    Log.push_back(line);
    if (Log.size() > kLogLength) Log.pop_front();
    if (FILE* file = std::fopen((Folder + "monkey.log").c_str(), "ab")) {
        std::fprintf(file, "%s\n", Utf8(line).c_str());
        std::fclose(file);
    }
}

void Release(TWorld& w) {
    if (w.Held == INVALID_HANDLE_VALUE) return;
    CloseHandle(w.Held);
    w.Held = INVALID_HANDLE_VALUE;
    if (w.HeldPath.back() == '~') DeleteFileA(w.HeldPath.c_str());
    w.Note("release " + w.HeldPath.substr(w.Folder.size()));
    w.HeldPath.clear();
}

int main(int argc, char** argv) {
    uint64_t seed = 1;
    long steps = 300;
    double minutes = 0;
    bool oneRun = false;
    std::string folder;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--seed" && i + 1 < argc)
            seed = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--steps" && i + 1 < argc)
            steps = std::atol(argv[++i]);
        else if (arg == "--one-run")
            oneRun = true;
        else if (arg == "--minutes" && i + 1 < argc)
            minutes = std::atof(argv[++i]);
        else
            folder = arg;
    }
    if (folder.empty()) {
        std::fprintf(stderr, "usage: monkey.exe --seed N [--steps N] [--minutes M] [--one-run] FOLDER\\\n");
        return 2;
    }
    if (folder.back() != '\\') folder += '\\';
    TWorld w(seed);
    w.OneRun = oneRun;
    w.Folder = folder;
    w.Pictures = folder + "pictures\\";
    Say(Format("monkey: seed %llu, %ld steps%s, in %s", static_cast<unsigned long long>(seed), steps,
               minutes > 0 ? Format(", at most %g minutes", minutes).c_str() : "", folder.c_str()));
    const ULONGLONG start = GetTickCount64();
    try {
        MakePictures(w);
        while (w.Step < steps && (minutes <= 0 || GetTickCount64() - start < minutes * 60000)) {
            if (!w.Running) {
                StartSession(w);
                if (!w.Running) continue;
                CheckStep(w);
                if (!w.Running) continue;
            }
            ++w.Step;
            ++w.S.Steps;
            if (w.Held != INVALID_HANDLE_VALUE && w.Step >= w.HeldUntil && w.S.End == TEnd::None) Release(w);
            // The open dialog deletes files and folders too (Del, then yes in its box).
            if (GetFileAttributesA((w.Pictures + "originals\\good1.bmp").c_str()) == INVALID_FILE_ATTRIBUTES) {
                MakePictures(w);
                w.Note("pictures made again: they were deleted in the open dialog");
            }
            if (w.S.Phase == TPhase::Pausing)
                RandomPauseStep(w);
            else if (w.S.End != TEnd::None && w.Step - w.S.EndStep >= 3)
                Drain(w);
            else
                RandomStep(w);
            Sleep(120);
            CheckStep(w);
            if (w.Step % 100 == 0) {
                const TCounts& c = w.S.Last;
                Say(Format("  step %ld, run %ld", w.Step, w.Sessions) +
                    (w.S.HaveFirstCounts ? Format(": GDI objects %ld, handles %ld, windows %ld, private memory %ld KB "
                                                  "at the last quiet look",
                                                  c.Gdi, c.Handles, c.Windows, c.PrivateKb)
                                         : std::string()));
            }
        }
        Finish(w);
    } catch (const TViolation& violation) {
        Say(Format("VIOLATION (seed %llu, step %ld, run %ld): %s", static_cast<unsigned long long>(seed), w.Step,
                   w.Sessions, violation.What.c_str()));
        PrintLog(w);
        return 1;
    } catch (const std::exception& failure) {
        Say(Format("monkey: %s (seed %llu, step %ld)", failure.what(), static_cast<unsigned long long>(seed), w.Step));
        PrintLog(w);
        return 2;
    }
    Release(w);
    Say(
        Format("monkey: seed %llu: %ld steps, %ld runs of the program, %ld saves seen, %ld steps with an error box, "
               "%ld with the open dialog, %.0f s; no violation",
               static_cast<unsigned long long>(seed), w.Step, w.Sessions, w.Saves, w.Boxes, w.Dialogs,
               (GetTickCount64() - start) / 1000.0));
    Say(
        Format("monkey: largest growth within a run over its first quiet measurement: GDI objects +%ld, handles +%ld, "
               "windows +%ld, private memory +%ld KB",
               w.PeakGrowth.Gdi, w.PeakGrowth.Handles, w.PeakGrowth.Windows, w.PeakGrowth.PrivateKb));
    return 0;
}
