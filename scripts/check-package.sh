#!/usr/bin/env bash
# Builds the release package with scripts/package.sh and checks what it holds. Prints one line
# per check, "ok: ..." or "FAILED: ...", and exits with the number of failed checks.
# scripts/test.sh runs it after the Windows tests, with the Wine test bed still up, and counts
# each line as a test.
set -uo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT" || exit 1
PACKAGE=build/Lumo-1.2-win64.zip
# The program with its art for every screen scaling: the icon at eight sizes (the 256-pixel one
# PNG-compressed) and the About artwork at twice the design size take about 50 KB of it. 1 MiB:
# cmake/windows.cmake says how the program's code is kept small.
MAX_EXE_BYTES=1048576
# The DLLs Lumo.exe may import: Windows' known DLLs (from 7 on), which the loader takes from the
# system folder whatever lies beside the program, and comctl32, which the manifest takes from
# the side-by-side store. Any other DLL would be looked for in Lumo.exe's folder first.
KNOWN_DLLS=(advapi32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll shell32.dll
  shlwapi.dll user32.dll)
MANIFEST_DLLS=(comctl32.dll)
# DLLs the program loads itself by their full path in the system folder (LoadSystemLibrary), never
# through the import table: never looked for beside the program.
SYSTEM_FOLDER_DLLS=(uxtheme.dll wtsapi32.dll)
LOG=build/test-logs/package.log

FAILED=0
check() {
  local name=$1
  shift
  if "$@" >>"$LOG" 2>&1; then
    echo "ok: package: $name"
  else
    echo "FAILED: package: $name (see $LOG)"
    FAILED=$((FAILED + 1))
  fi
}

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$(dirname "$LOG")"
: >"$LOG"

entries_are_exactly() {
  [[ $(unzip -Z1 "$PACKAGE" | tr '\n' ' ') == "$* " ]]
}

exe_is_small() {
  local size
  size=$(stat -c %s "$WORK/Lumo.exe")
  echo "Lumo.exe: $size bytes"
  ((size <= MAX_EXE_BYTES))
}

exe_has_no_symbols() {
  x86_64-w64-mingw32-objdump -t "$WORK/Lumo.exe" | grep -qx 'no symbols' &&
    ! x86_64-w64-mingw32-objdump -h "$WORK/Lumo.exe" | grep -q ' \.debug'
}

exe_is_a_static_gui_program() {
  local exe=$WORK/Lumo.exe header dll
  header=$(x86_64-w64-mingw32-objdump -f -p "$exe") || return 1
  grep -q 'file format pei-x86-64' <<<"$header" || return 1
  grep -qE '^Subsystem[[:space:]]+00000002' <<<"$header" || return 1
  # The import table: known DLLs, and comctl32 through the manifest.
  while read -r dll; do
    echo "imports $dll"
    [[ " ${KNOWN_DLLS[*]} ${MANIFEST_DLLS[*]} " == *" ${dll,,} "* ]] || { echo "not a known DLL: $dll"; return 1; }
  done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$header" | sort -fu)
  grep -qF 'Microsoft.Windows.Common-Controls' <(x86_64-w64-mingw32-strings -a "$exe") ||
    { echo "no manifest dependency on the common controls"; return 1; }
  # A library imported at its first call (comdlg32) has no entry in the import table, and the
  # linker leaves the delay-import directory empty: it, and any library loaded by name, shows
  # only as a DLL name the program holds.
  while read -r dll; do
    echo "names $dll"
    [[ " ${KNOWN_DLLS[*]} ${MANIFEST_DLLS[*]} ${SYSTEM_FOLDER_DLLS[*]} " == *" ${dll,,} "* ]] ||
      { echo "names another DLL: $dll"; return 1; }
  done < <({
    x86_64-w64-mingw32-strings -a "$exe"
    x86_64-w64-mingw32-strings -a -el "$exe"
  } | grep -iE '^[a-z0-9_.-]+\.(dll|drv)$' | sort -fu)
}

guide_is_for_notepad() {
  local guide=$WORK/ReadMe.txt
  [[ $(head -c 3 "$guide" | od -An -tx1 | tr -d ' ') == efbbbf ]] || { echo "no UTF-8 byte-order mark"; return 1; }
  iconv -f UTF-8 -t UTF-8 "$guide" >/dev/null || { echo "not UTF-8"; return 1; }
  # Every line ends in CR LF: no LF without its CR, no CR without its LF, none left open.
  [[ $(tail -c 2 "$guide" | od -An -tx1 | tr -d ' ') == 0d0a ]] || { echo "last line without CR LF"; return 1; }
  if LC_ALL=C grep -qv $'\r$' "$guide" || (($(tr -cd '\r' <"$guide" | wc -c) != $(tr -cd '\n' <"$guide" | wc -c))); then
    echo "a line end other than CR LF"
    return 1
  fi
  local topic
  for topic in 'Lumo.exe /autorun' 'Program Files' 'администратора' 'HKEY_LOCAL_MACHINE' 'WallOpt.ini' \
    'Murovelo.ini' 'Что изменено'; do
    grep -qF "$topic" "$guide" || { echo "the guide does not speak of: $topic"; return 1; }
  done
}

# The packed program runs: an automatic run in a fresh folder, ended without a window, a
# settings file or a failure box.
packed_exe_runs() {
  local folder=$WORK/run
  mkdir "$folder" && cp "$WORK/Lumo.exe" "$folder/" || return 1
  printf '0\r\n\r\n0\r\n' >"$folder/WallOpt.ini"
  LUMO_WINE_TIMEOUT=60 "$ROOT/tools/wine-run" "$folder/Lumo.exe" /autorun </dev/null || return 1
  [[ ! -e $folder/Murovelo.ini ]]
}

# Rebuilt from the same sources (the executable linked anew), the zip is the same.
package_is_reproducible() {
  cp "$PACKAGE" "$WORK/first.zip" || return 1
  rm -f build/win64/Lumo.exe
  scripts/package.sh || return 1
  cmp "$WORK/first.zip" "$PACKAGE"
}

check "scripts/package.sh makes $PACKAGE" scripts/package.sh
if [[ -f $PACKAGE ]] && unzip -q "$PACKAGE" -d "$WORK" >>"$LOG" 2>&1; then
  check "the zip holds Lumo.exe and ReadMe.txt, nothing else" entries_are_exactly Lumo.exe ReadMe.txt
  check "Lumo.exe is at most $MAX_EXE_BYTES bytes" exe_is_small
  check "Lumo.exe carries no symbols" exe_has_no_symbols
  check "Lumo.exe is a 64-bit GUI program importing only known DLLs and comctl32" exe_is_a_static_gui_program
  check "ReadMe.txt is the guide, UTF-8 with BOM and CR LF" guide_is_for_notepad
  check "the packed Lumo.exe ends its automatic run with exit code 0" packed_exe_runs
  check "the same sources give the same zip" package_is_reproducible
else
  echo "FAILED: package: $PACKAGE cannot be unpacked (see $LOG)"
  FAILED=$((FAILED + 1))
fi
exit "$FAILED"
