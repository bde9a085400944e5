#!/usr/bin/env bash
# What Lumo's automatic run costs, as a logon sees it: the wall-clock time from starting
# `Lumo.exe /autorun` under Wine until it has ended, against a program that makes only the
# system calls of the same wallpaper change (bench/wallpaper_calls_win.cpp), all built by the
# win64 preset. For reference, also: the same calls after the common controls of the visual
# styles and one hidden top-level window (what any program pays that must keep a window, as
# Lumo keeps its main window), and an empty Windows program (bench/empty_program_win.cpp).
#
#   bench/autorun.sh                 the medians and Lumo's ratio to the calls alone
#   bench/autorun.sh OTHER.exe...    the same, with other builds of Lumo.exe timed in the
#                                    same rounds (an earlier build, to compare)
#
# Setting: a fresh folder for each Lumo.exe, holding an options file with a pause of 0, the
# stay-in-tray box off and a small bitmap as the default wallpaper, and no wallpaper-list
# file, so nothing is listed for today and the default wallpaper is applied; the calls
# program applies the same path. Everything runs in an X display and a Wine prefix of the
# script's own, with a persistent wineserver and Wine's helpers (the virtual desktop
# included) started beforehand. One warm-up run of each program, then rounds in which each
# program runs once, $LUMO_BENCH_RUNS rounds (default 15, at least 7).
set -euo pipefail

RUNS=${LUMO_BENCH_RUNS:-15}
((RUNS >= 7)) || { echo "autorun: LUMO_BENCH_RUNS must be at least 7" >&2; exit 2; }
OTHERS=()
for exe in "$@"; do
  [[ -f $exe ]] || { echo "autorun: no such program: $exe" >&2; exit 2; }
  OTHERS+=("$(realpath "$exe")")
done

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
# shellcheck source=tools/wine-env.sh
source "$ROOT/tools/wine-env.sh"

"$ROOT/scripts/setup.sh" >/dev/null
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Lumo wallpaper_calls wallpaper_calls_window empty_program >/dev/null

WORK=$(mktemp -d /tmp/lumo-autorun.XXXXXX)
finish() {
  lumo_private_bed_stop "$WORK"
  rm -rf "$WORK"
}
trap finish EXIT
lumo_private_bed_start "$WORK"

convert -size 64x48 xc:'#336699' -type TrueColor BMP3:"$WORK/wall.bmp"
WALLPAPER="Z:${WORK//\//\\}\\wall.bmp"
cp build/win64/wallpaper_calls.exe build/win64/wallpaper_calls_window.exe build/win64/empty_program.exe "$WORK/"

# A folder of its own for each Lumo.exe: the options file says stay-in-tray off, the default
# wallpaper, no pause.
LUMOS=()
LABELS=()
add_lumo() {
  local folder=$WORK/lumo${#LUMOS[@]}
  mkdir "$folder"
  cp "$1" "$folder/Lumo.exe"
  printf '0\r\n%s\r\n0\r\n' "$WALLPAPER" >"$folder/WallOpt.ini"
  LUMOS+=("$folder")
  LABELS+=("$2")
}
add_lumo build/win64/Lumo.exe Lumo.exe
for n in "${!OTHERS[@]}"; do add_lumo "${OTHERS[$n]}" "${@:n+1:1}"; done

(
  timeout 60 wineserver -p </dev/null >/dev/null 2>&1
  setsid timeout 3600 wine explorer /desktop=Default,1024x768 </dev/null >/dev/null 2>&1 &
  timeout 300 wine cmd /c exit </dev/null >/dev/null 2>&1
) || { echo "autorun: Wine did not start" >&2; exit 1; }

# Runs one program in a folder and prints its wall-clock time in microseconds; a failure ends
# the script.
time_run() {
  local folder=$1 start end rc=0
  shift
  start=$(date +%s%N)
  (cd "$folder" && timeout 120 wine "$@" </dev/null >/dev/null 2>&1) || rc=$?
  end=$(date +%s%N)
  if ((rc != 0)); then
    echo "autorun: '$*' ended with exit code $rc" >&2
    exit 1
  fi
  echo $(((end - start) / 1000))
}

median() { LC_ALL=C sort -n | LC_ALL=C awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

time_run "$WORK" wallpaper_calls.exe "$WALLPAPER" >/dev/null
time_run "$WORK" wallpaper_calls_window.exe "$WALLPAPER" >/dev/null
time_run "$WORK" empty_program.exe >/dev/null
for folder in "${LUMOS[@]}"; do
  time_run "$folder" Lumo.exe /autorun >/dev/null
  [[ ! -e $folder/Murovelo.ini ]] || { echo "autorun: the automatic run wrote Murovelo.ini" >&2; exit 1; }
done

declare -a calls=() window=() empty=()
declare -A lumo=()
for ((i = 0; i < RUNS; i++)); do
  calls+=("$(time_run "$WORK" wallpaper_calls.exe "$WALLPAPER")")
  for n in "${!LUMOS[@]}"; do lumo[$n]+="$(time_run "${LUMOS[$n]}" Lumo.exe /autorun) "; done
  window+=("$(time_run "$WORK" wallpaper_calls_window.exe "$WALLPAPER")")
  empty+=("$(time_run "$WORK" empty_program.exe)")
done

calls_us=$(printf '%s\n' "${calls[@]}" | median)
window_us=$(printf '%s\n' "${window[@]}" | median)
empty_us=$(printf '%s\n' "${empty[@]}" | median)
echo "median of $RUNS runs each, under Wine:"
for n in "${!LUMOS[@]}"; do
  # shellcheck disable=SC2086 # the times are separated by blanks
  LC_ALL=C awk -v l="$(printf '%s\n' ${lumo[$n]} | median)" -v label="${LABELS[$n]}" \
    'BEGIN { printf "  %-28s %7.1f ms\n", label " /autorun", l / 1000 }'
done
LC_ALL=C awk -v c="$calls_us" -v w="$window_us" -v e="$empty_us" 'BEGIN {
  printf "  %-28s %7.1f ms\n", "wallpaper calls alone", c / 1000
  printf "  %-28s %7.1f ms\n", "calls + one hidden window", w / 1000
  printf "  %-28s %7.1f ms\n", "empty program", e / 1000
  printf "calls + one hidden window / wallpaper calls: %.2f\n", w / c
}'
for n in "${!LUMOS[@]}"; do
  # shellcheck disable=SC2086
  LC_ALL=C awk -v l="$(printf '%s\n' ${lumo[$n]} | median)" -v c="$calls_us" -v label="${LABELS[$n]}" \
    'BEGIN { printf "%s / wallpaper calls: %.2f\n", label, l / c }'
done
