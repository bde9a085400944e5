#!/usr/bin/env bash
# Real mouse clicks: Lumo.exe started with /autorun
# stays hidden in the notification area; a double click on its icon shows the main window,
# the minimise box hides it again, and "Выход" from the icon's menu ends the program, which
# saves its settings. It runs in an X display and a Wine prefix of its own, so that no other
# window or icon stands where it clicks.
#   tests/win/tray_click_smoke.sh path/to/Lumo.exe
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"

work=$(mktemp -d)
pid=
cleanup() {
  [[ -n $pid ]] && kill "$pid" 2>/dev/null
  lumo_private_bed_stop "$work"
  rm -rf "$work"
}
trap cleanup EXIT
lumo_private_bed_start "$work"
cp "$1" "$work/Lumo.exe"
printf -- '-1\r\n\r\n0\r\n' >"$work/WallOpt.ini"

# Places on the virtual desktop (1024 x 768): its centre, where the centred window shows; the
# notification icon at the right end of the taskbar; the window's minimise box.
centre=(512 384)
icon=(1013 757)
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- | tail -n 1 | grep -o '#[0-9A-F]\{6\}'; }
wait_for() {  # wait_for CONDITION...: up to 10 s
  for _ in $(seq 50); do "$@" && return 0; sleep 0.2; done
  return 1
}
centre_is() { [[ $(pixel "${centre[@]}") == "$1" ]]; }
centre_is_not() { [[ $(pixel "${centre[@]}") != "$1" ]]; }

"$root/tools/wine-run" "$work/Lumo.exe" /autorun </dev/null >/dev/null 2>&1 &
pid=$!
# The virtual desktop comes up with the program; the icon after it.
sleep 6
desktop=$(pixel 20 20)
centre_is "$desktop" || { echo "FAIL: the automatic run showed a window"; exit 1; }

xdotool mousemove "${icon[@]}" click --repeat 2 --delay 100 1
wait_for centre_is_not "$desktop" || { echo "FAIL: a double click on the icon did not show the window"; exit 1; }
echo "ok: the double click showed the window"

# The minimise box is the first of the three caption buttons, at the window's top right.
xdotool mousemove $((512 + 213 - 50)) $((384 - 183 + 12)) click 1
wait_for centre_is "$desktop" || { echo "FAIL: minimising did not hide the window"; exit 1; }
echo "ok: minimising hid the window"

xdotool mousemove "${icon[@]}" click 3
sleep 1
# The menu opens against the desktop's bottom right corner; "Выход" is its last row.
xdotool mousemove 960 757 click 1
rc=0
wait "$pid" || rc=$?
pid=
[[ $rc == 0 ]] || { echo "FAIL: exit code $rc after Выход"; exit 1; }
[[ -f $work/Murovelo.ini && -f $work/WallOpt.ini ]] || { echo "FAIL: the settings were not saved"; exit 1; }
echo "ok: Выход from the icon's menu ended the program and saved the settings"

# On Wine's code page 1252 the automatic run shows its refusal box too, and ends with 1.
LC_ALL=C.UTF-8 LANG=C.UTF-8 timeout 60 wine "$work/Lumo.exe" /autorun </dev/null >/dev/null 2>&1 &
pid=$!
box_shown() { [[ $(pixel 20 20) == "$desktop" ]] && centre_is_not "$desktop"; }  # the desktop is up again
wait_for box_shown || { echo "FAIL: the automatic run on code page 1252 showed no box"; exit 1; }
xdotool key Return
rc=0 && wait "$pid" || rc=$?
pid=
[[ $rc == 1 ]] || { echo "FAIL: exit code $rc after the code page box"; exit 1; }
echo "ok: the automatic run on code page 1252 showed its box and ended with 1"
echo "1 passed, 0 failed"
