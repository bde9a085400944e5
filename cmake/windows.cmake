# Lumo.exe, the Win32 shell library and the test programs run under Wine.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0800 STRICT)
add_link_options(-static -static-libgcc -static-libstdc++)

# The common dialogs library is imported at the first call, not at start: loading it brings
# the print spooler library along, whose start-up is a good share of an automatic run's cost.
set(LUMO_COMDLG32_DELAY ${PROJECT_BINARY_DIR}/libcomdlg32_delay.a)
add_custom_command(OUTPUT ${LUMO_COMDLG32_DELAY}
  COMMAND ${CMAKE_DLLTOOL} --input-def ${PROJECT_SOURCE_DIR}/cmake/comdlg32-delay.def
          --output-delaylib ${LUMO_COMDLG32_DELAY}
  DEPENDS ${PROJECT_SOURCE_DIR}/cmake/comdlg32-delay.def VERBATIM)
add_custom_target(comdlg32_delay DEPENDS ${LUMO_COMDLG32_DELAY})

# Lumo.exe is kept small (scripts/check-package.sh holds it under 1 MiB) without slowing its
# pixel work. Every function and datum of the program's code has a section of its own, and the
# link drops what nothing uses. The program is optimised across its files at its link: its
# objects carry the link-time form beside ordinary code, so the test programs link the ordinary
# code as quickly as before (win_test_support hands them -fno-lto). The cold code (windows,
# dialogs, settings, the start-up, the change) is built for size; the PNG codec and the bitmap
# and JPEG readers stay at -O3. The size set is -O2 without what grows code, not -Os: GCC 12 for
# MinGW fails at the link-time optimisation of -Os code (an internal error in
# binds_to_current_def_p, or references to clones it never made).
set(LUMO_COLD_SOURCES ${LUMO_ALL_SOURCES})
list(FILTER LUMO_COLD_SOURCES EXCLUDE REGEX "/src/(png/|pictures/(bitmap|jpeg)_reader)")
set_source_files_properties(${LUMO_COLD_SOURCES} PROPERTIES COMPILE_OPTIONS
  "-O2;-fno-inline-small-functions;-fno-tree-vectorize;-fno-reorder-blocks-and-partition;-falign-functions=1;-falign-jumps=1;-falign-loops=1;-falign-labels=1")
set(LUMO_SMALL_CODE -ffunction-sections -fdata-sections -flto=auto -ffat-lto-objects)
target_compile_options(lumo_core PRIVATE ${LUMO_SMALL_CODE})

set(LUMO_WIN_SOURCES ${LUMO_ALL_SOURCES})
list(FILTER LUMO_WIN_SOURCES INCLUDE REGEX "_win\\.cpp$")
list(FILTER LUMO_WIN_SOURCES EXCLUDE REGEX "/main_win\\.cpp$")
# Only DLLs that Windows loads from its own folder whatever lies beside Lumo.exe: the known DLLs
# and comctl32 (through the manifest). The Run value starts Lumo.exe at every user's logon, so a
# DLL of another name found in its folder would run there too; transparent copies use GDI32's
# GdiTransparentBlt instead of MSIMG32's TransparentBlt. scripts/check-package.sh checks it.
add_library(lumo_win STATIC ${LUMO_WIN_SOURCES})
add_dependencies(lumo_win comdlg32_delay)
target_compile_options(lumo_win PRIVATE ${LUMO_CONVERSION_WARNINGS} ${LUMO_SMALL_CODE})
target_link_libraries(lumo_win PUBLIC lumo_core comctl32 ${LUMO_COMDLG32_DELAY} delayimp ole32 oleaut32 uuid shell32 shlwapi gdi32 user32 advapi32)

enable_language(RC)
file(GLOB LUMO_RESOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/app/resources/*.rc ${PROJECT_SOURCE_DIR}/src/open_dialog/resources/*.rc)
add_executable(Lumo WIN32 ${PROJECT_SOURCE_DIR}/src/app/main_win.cpp ${LUMO_RESOURCES})
target_compile_options(Lumo PRIVATE ${LUMO_CONVERSION_WARNINGS} ${LUMO_SMALL_CODE})
# One link-time partition: the whole program optimised as one unit, 6 KB smaller, a second slower.
target_link_options(Lumo PRIVATE -flto=auto -flto-partition=one -Wl,--gc-sections)
target_link_libraries(Lumo PRIVATE lumo_win)

# The programs bench/autorun.sh times Lumo.exe against, built only when asked for.
foreach(name wallpaper_calls empty_program)
  add_executable(${name} WIN32 EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/bench/${name}_win.cpp)
  target_link_libraries(${name} PRIVATE ole32)
endforeach()
add_executable(wallpaper_calls_window WIN32 EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/bench/wallpaper_calls_win.cpp
                                      ${PROJECT_SOURCE_DIR}/bench/manifest.rc)
target_compile_definitions(wallpaper_calls_window PRIVATE LUMO_BENCH_HIDDEN_WINDOW)
target_include_directories(wallpaper_calls_window PRIVATE ${PROJECT_SOURCE_DIR}/src/app/resources)
target_link_libraries(wallpaper_calls_window PRIVATE ole32 comctl32)

# GoogleTest from the Debian sources, compiled with the cross compiler.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

enable_testing()
include(GoogleTest)
# What the Windows tests and the monkey share (files, the registry, windows, waiting, the open
# dialog): no GoogleTest in it, since the monkey is a program of its own.
file(GLOB LUMO_WIN_TEST_SUPPORT CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/win/support/*.cpp)
list(FILTER LUMO_WIN_TEST_SUPPORT EXCLUDE REGEX "/main\\.cpp$")
add_library(win_test_support STATIC ${LUMO_WIN_TEST_SUPPORT})
target_include_directories(win_test_support PUBLIC ${PROJECT_SOURCE_DIR}/tests/win)
target_link_options(win_test_support INTERFACE -fno-lto)
target_link_libraries(win_test_support PUBLIC lumo_core comctl32 ole32 shell32 advapi32 gdi32 user32)
# The test programs' main: GoogleTest with the application object set up as at start-up.
add_library(win_test_main STATIC ${PROJECT_SOURCE_DIR}/tests/win/support/main.cpp)
target_link_libraries(win_test_main PUBLIC win_test_support lumo_win gtest)

file(GLOB LUMO_WIN_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/win/*.cpp)
add_executable(win_tests ${LUMO_WIN_TESTS} ${LUMO_RESOURCES})
target_link_libraries(win_tests PRIVATE win_test_main psapi uxtheme)
add_dependencies(win_tests Lumo)
gtest_discover_tests(win_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT 180)

# End-to-end tests on a chosen date: the whole test program, and so every Lumo.exe it starts,
# runs under libfaketime. Monotonic clocks stay real, so pauses are still measured.
find_file(LUMO_FAKETIME_LIB libfaketime.so.1 PATHS /usr/lib/x86_64-linux-gnu/faketime /usr/lib/faketime
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(GLOB LUMO_WIN_DATED_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/win/dated/*.cpp)
add_executable(win_dated_tests ${LUMO_WIN_DATED_TESTS} ${LUMO_RESOURCES})
target_link_libraries(win_dated_tests PRIVATE win_test_main)
add_dependencies(win_dated_tests Lumo)
# One ctest test for the whole program: the environment list reaches it intact this way.
add_test(NAME WednesdayAutorun COMMAND win_dated_tests --gtest_filter=-DayChange.*)
set_tests_properties(WednesdayAutorun PROPERTIES TIMEOUT 300 ENVIRONMENT
  "LD_PRELOAD=${LUMO_FAKETIME_LIB};FAKETIME=@2026-12-09 10:00:00;FAKETIME_DONT_FAKE_MONOTONIC=1")
# The day changing while Lumo.exe runs: the clock is read anew from a file the test rewrites.
add_test(NAME DayChange COMMAND win_dated_tests --gtest_filter=DayChange.*)
set_tests_properties(DayChange PROPERTIES TIMEOUT 300 ENVIRONMENT
  "LD_PRELOAD=${LUMO_FAKETIME_LIB};FAKETIME_TIMESTAMP_FILE=${PROJECT_BINARY_DIR}/day-change.faketime;FAKETIME_NO_CACHE=1;FAKETIME_DONT_FAKE_MONOTONIC=1")

# Real clicks on the notification icon, in an X display and a Wine prefix of the test's own.
add_test(NAME TrayIconClicks COMMAND bash ${PROJECT_SOURCE_DIR}/tests/win/tray_click_smoke.sh $<TARGET_FILE:Lumo>)
set_tests_properties(TrayIconClicks PROPERTIES TIMEOUT 180)

# Benchmarks that need Windows (bench/*_bench_win.cpp), run under Wine by hand; they live in
# bench/ of the build folder, so the settings files they write stay apart from Lumo.exe's.
file(GLOB LUMO_WIN_BENCHMARKS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bench/*_bench_win.cpp)
foreach(source ${LUMO_WIN_BENCHMARKS})
  get_filename_component(name ${source} NAME_WE)
  string(REGEX REPLACE "_win$" "" name ${name})
  add_executable(${name} ${source} ${LUMO_RESOURCES})
  target_link_libraries(${name} PRIVATE lumo_win win_test_support psapi)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endforeach()

# The monkey: drives Lumo.exe with random user and system actions and checks invariants after
# each step (tools/monkey runs it; scripts/test.sh runs a few fixed seeds through ctest).
file(GLOB LUMO_MONKEY_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/monkey/*.cpp)
add_executable(monkey ${LUMO_MONKEY_SOURCES})
target_link_libraries(monkey PRIVATE win_test_support ntdll psapi)
add_dependencies(monkey Lumo)
# A few fixed seeds, each one test, so that a regression shows in every test run.
foreach(seed 101 102 103)
  add_test(NAME Monkey.seed${seed}
           COMMAND bash ${PROJECT_SOURCE_DIR}/tools/monkey --seed ${seed} --steps 100 --exe-dir $<TARGET_FILE_DIR:monkey>
                   --keep ${PROJECT_BINARY_DIR}/monkey/seed-${seed})
  set_tests_properties(Monkey.seed${seed} PROPERTIES TIMEOUT 240)
endforeach()
