// The wallpaper list of 21,000 entries through the main window's tree: loading the list file,
// one choice of the automatic run and saving both settings files, each timed several times.
// A Windows program, run under Wine (see bench/README.md); it prints its figures and writes
// its settings files beside itself, removing them at the end.
//
//   list_bench.exe [entries per day] [repetitions]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/weekday_win.h"
#include "settings/wallpaper_list.h"
#include "ui/main_form_win.h"

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

void WriteFile(const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    std::fclose(file);
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / frequency;
}

// Runs the step `repetitions` times; prints the median and the fastest run.
void Measure(const char* name, int repetitions, const std::function<void()>& step) {
    std::vector<double> times;
    for (int i = 0; i < repetitions; ++i) {
        LARGE_INTEGER from, to;
        QueryPerformanceCounter(&from);
        step();
        QueryPerformanceCounter(&to);
        times.push_back(Milliseconds(from, to));
    }
    std::sort(times.begin(), times.end());
    std::printf("%-22s median %9.2f ms   fastest %9.2f ms\n", name, times[times.size() / 2], times.front());
}

}  // namespace

int main(int argc, char** argv) {
    const int perDay = argc > 1 ? std::atoi(argv[1]) : 3000;
    const int repetitions = argc > 2 ? std::atoi(argv[2]) : 7;
    const std::string bytes = MakeListFile(perDay);
    const std::string listPath = WallpaperListFilePath();
    WriteFile(listPath, bytes);

    TMainForm form;
    form.LoadWallpaperList(listPath);
    std::printf("entries: %zu (7 days, %d pictures each), list file: %zu bytes\n", form.tvFiles.Count(), perDay,
                bytes.size());

    Measure("load the list file", repetitions, [&] { form.LoadWallpaperList(listPath); });
    SeedRandom();
    Measure("automatic-run choice", repetitions, [&] {
        const TWallpaperList list = form.tvFiles.Items();
        ChooseTodaysWallpaper(list, list.size());
    });
    Measure("save both files", repetitions, [&] { form.SaveOptions(); });

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
