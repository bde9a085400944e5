// The wallpaper list of 21,000 entries through the main window's tree: loading the list file,
// one choice of the automatic run and saving both settings files, each timed several times.
// A Windows program, run under Wine (see bench/README.md); it prints its figures and writes
// its settings files beside itself, removing them at the end. The last figure is the floor
// under every scan of the tree: the walk over its nodes alone, without reading their texts.
//
//   list_bench.exe [entries per day] [repetitions]
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/main_form_win.h"
#include "base/system_win.h"
#include "settings/file_io_win.h"
#include "settings/wallpaper_list.h"
#include "support/test_support.h"
#include "wallpaper/weekday_win.h"

namespace {

const char* const kDays[] = {"Понедельник", "Вторник", "Среда", "Четверг", "Пятница", "Суббота", "Воскресенье"};

// Seven day nodes with `perDay` picture paths each, as the program writes them.
std::string MakeListFile(int perDay) {
    TWallpaperList list;
    for (const char* day : kDays) {
        const int parent = static_cast<int>(list.size());
        list.push_back({-1, day});
        for (int i = 0; i < perDay; ++i) {
            char path[160];
            std::snprintf(path, sizeof path, "C:\\Users\\Пользователь\\Pictures\\Обои\\%s\\photo_%05d.jpg", day, i);
            list.push_back({parent, path});
        }
    }
    return FormatWallpaperList(list);
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / frequency;
}

// The CPU time this thread has used, user and kernel, in milliseconds.
double ThreadCpuMilliseconds() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    const auto ticks = [](FILETIME t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

// Runs the step `repetitions` times; prints the median and the fastest run in wall time, and
// the CPU time of this thread per run (without the Wine server's time, which the messages to
// the tree cost under Wine).
void Measure(const char* name, int repetitions, const std::function<void()>& step) {
    std::vector<double> times;
    const double cpuBefore = ThreadCpuMilliseconds();
    for (int i = 0; i < repetitions; ++i) {
        LARGE_INTEGER from, to;
        QueryPerformanceCounter(&from);
        step();
        QueryPerformanceCounter(&to);
        times.push_back(Milliseconds(from, to));
    }
    const double cpu = (ThreadCpuMilliseconds() - cpuBefore) / repetitions;
    std::sort(times.begin(), times.end());
    std::printf("%-22s median %8.1f ms   fastest %8.1f ms   thread CPU %8.1f ms\n", name, times[times.size() / 2],
                times.front(), cpu);
}

}  // namespace

int main(int argc, char** argv) {
    const int perDay = argc > 1 ? std::atoi(argv[1]) : 3000;
    const int repetitions = argc > 2 ? std::atoi(argv[2]) : 7;
    const std::string bytes = MakeListFile(perDay);
    const std::string listPath = WallpaperListFilePath();
    if (!WriteFileBytes(listPath, bytes)) {
        std::fprintf(stderr, "cannot write %s\n", listPath.c_str());
        return 1;
    }

    TMainForm form;
    form.LoadWallpaperList(listPath);
    std::printf("entries: %zu (7 days, %d pictures each), list file: %zu bytes\n", form.tvFiles.Count(), perDay,
                bytes.size());

    Measure("load the list file", repetitions, [&] { form.LoadWallpaperList(listPath); });
    SeedRandom();
    Measure("automatic-run choice", repetitions, [&] {
        const TWallpaperList list = form.tvFiles.Items();
        TChangeRule rule;
        rule.Day = TodayDayNumber();
        PlanChange(list, rule, ProcessRandom(), [](const std::string& path) {
            return FileExists(path) ? TReadiness::Readable : TReadiness::Missing;
        });
    });
    Measure("save both files", repetitions, [&] { form.SaveOptions(); });
    // The floor under every scan: the same walk over the nodes without reading their texts.
    Measure("walk without texts", repetitions, [&] {
        const auto next = [&](HTREEITEM item, WPARAM relation) {
            return reinterpret_cast<HTREEITEM>(
                SendMessageA(form.tvFiles.Handle(), TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
        };
        for (HTREEITEM day = next(nullptr, TVGN_ROOT); day; day = next(day, TVGN_NEXT))
            for (HTREEITEM file = next(day, TVGN_CHILD); file; file = next(file, TVGN_NEXT)) next(file, TVGN_CHILD);
    });

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory))
        std::printf("peak working set: %.1f MB\n", static_cast<double>(memory.PeakWorkingSetSize) / (1024 * 1024));
    const bool same = [&] {
        FILE* file = std::fopen(listPath.c_str(), "rb");
        std::string saved;
        char chunk[65536];
        for (size_t n; file && (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) saved.append(chunk, n);
        if (file) std::fclose(file);
        return saved == bytes;
    }();
    std::printf("saved list equals the loaded one: %s\n", same ? "yes" : "NO");
    DeleteFileA(listPath.c_str());
    DeleteFileA(OptionsFilePath().c_str());
    return same ? 0 : 1;
}
