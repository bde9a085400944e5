#!/usr/bin/env bash
# Builds Lumo.exe (win64 preset) and runs it under Wine with the given arguments:
#   scripts/run.sh            the settings window
#   scripts/run.sh /autorun   the automatic run
# With a reachable X display ($DISPLAY) the program shows there and runs until it is closed.
# Without one it runs in a fresh Xvfb: after $LUMO_SCREENSHOT_DELAY seconds (default 10) the
# screen is saved to build/screenshot.png and the program is ended.
#
# The program runs in its own Wine prefix, build/wineprefix-run (a copy of the prepared
# template, kept between runs like a user's Windows), not in the tests' prefix.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
# shellcheck source=tools/wine-env.sh
source "$ROOT/tools/wine-env.sh"

"$ROOT/scripts/setup.sh"
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Lumo

EXE=$ROOT/build/win64/Lumo.exe
RUN_PREFIX=$LUMO_BUILD/wineprefix-run
SCREENSHOT=$LUMO_BUILD/screenshot.png
DELAY=${LUMO_SCREENSHOT_DELAY:-10}

if [[ ! -f $RUN_PREFIX/.lumo-prefix-ready ]]; then
  lumo_copy_template "$RUN_PREFIX"
fi
export LUMO_WINEPREFIX=$RUN_PREFIX

if lumo_display_reachable "${DISPLAY:-}"; then
  echo "run: starting Lumo.exe $* on display $DISPLAY"
  # An interactive session: the time limit only guards against a forgotten hang.
  export LUMO_WINE_TIMEOUT=${LUMO_WINE_TIMEOUT:-86400}
  exec "$ROOT/tools/wine-run" "$EXE" "$@"
fi

read -r XVFB_DISPLAY XVFB_PID < <("$ROOT/tools/wine-bed" xvfb)
[[ -n ${XVFB_PID:-} ]] || { echo "run: Xvfb did not start" >&2; exit 1; }
export DISPLAY=$XVFB_DISPLAY
PROGRAM_PID=

# shellcheck disable=SC2317 # called by the trap
end_all() {
  (
    lumo_wine_environment
    timeout 60 wineserver -k </dev/null >/dev/null 2>&1 || true
    timeout 30 wineserver -w </dev/null >/dev/null 2>&1 || true
  )
  if [[ -n $PROGRAM_PID ]]; then
    wait "$PROGRAM_PID" 2>/dev/null || true
  fi
  lumo_process_alive "$XVFB_PID" Xvfb && kill "$XVFB_PID" 2>/dev/null
  return 0
}
trap end_all EXIT

echo "run: no X display; starting Lumo.exe $* in Xvfb $DISPLAY"
export LUMO_WINE_TIMEOUT=${LUMO_WINE_TIMEOUT:-$((DELAY + 120))}
"$ROOT/tools/wine-run" "$EXE" "$@" &
PROGRAM_PID=$!

exited=0
for ((i = 0; i < DELAY * 10; i++)); do
  if ! kill -0 "$PROGRAM_PID" 2>/dev/null; then
    exited=1
    break
  fi
  sleep 0.1
done

rc=0
if ((exited)); then
  wait "$PROGRAM_PID" || rc=$?
  PROGRAM_PID=
  echo "run: Lumo.exe ended by itself with exit code $rc"
fi
rm -f "$SCREENSHOT"
if timeout 30 import -window root "$SCREENSHOT" && [[ -s $SCREENSHOT ]]; then
  echo "run: screenshot of the screen saved to $SCREENSHOT"
else
  echo "run: the screenshot could not be taken" >&2
  rc=1
fi
if ((!exited)); then
  echo "run: ending Lumo.exe after $DELAY s"
fi
exit "$rc"
