# shellcheck shell=bash disable=SC2034
# Shared settings of the Wine test bed, sourced by tools/wine-run, tools/wine-bed and the
# scripts. Not meant to be run on its own.
#
# Layout in the build tree (all under build/, which is not versioned):
#   build/wineprefix-template  the prepared prefix (tools/wine-bed prefix); never run directly
#   build/wineprefix           the working prefix of the tests: a copy of the template
#   build/xvfb-display         the shared Xvfb's display (":N"), while the test bed is up
#   build/xvfb.pid             that Xvfb's process id
#
# Environment knobs:
#   LUMO_WINEPREFIX     run in another prefix instead of build/wineprefix
#   LUMO_WINE_TIMEOUT   seconds a Wine program may run before it is killed (default 600)
#   LUMO_WINEDEBUG      WINEDEBUG channels for debugging (default -all)

LUMO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
LUMO_BUILD=$LUMO_ROOT/build
LUMO_TEMPLATE_PREFIX=$LUMO_BUILD/wineprefix-template
LUMO_TEST_PREFIX=$LUMO_BUILD/wineprefix
LUMO_DISPLAY_FILE=$LUMO_BUILD/xvfb-display
LUMO_XVFB_PID_FILE=$LUMO_BUILD/xvfb.pid
LUMO_BED_LOCK=$LUMO_BUILD/wine-bed.lock

# The Wine settings every run gets. A Russian locale makes Wine's ANSI code page 1251.
lumo_wine_environment() {
  export WINEPREFIX=${LUMO_WINEPREFIX:-$LUMO_TEST_PREFIX}
  export WINEARCH=win64
  export WINEDEBUG=${LUMO_WINEDEBUG:--all}
  # No Mono or Gecko installer prompts, no menu entries written to the home folder.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
  unset LANGUAGE
}

# True when an X server answers on the given display.
lumo_display_reachable() {
  [[ -n ${1:-} ]] || return 1
  DISPLAY=$1 timeout 5 xdotool getdisplaygeometry >/dev/null 2>&1
}

# True when process $1 runs (and is not a zombie) under the name $2.
lumo_process_alive() {
  local stat
  [[ $1 =~ ^[0-9]+$ ]] || return 1
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  [[ $stat == "$1 ($2) "[RSDT]* ]]
}

# Prints the shared Xvfb's display when that Xvfb is running.
lumo_bed_display() {
  local display pid
  [[ -r $LUMO_DISPLAY_FILE && -r $LUMO_XVFB_PID_FILE ]] || return 1
  display=$(<"$LUMO_DISPLAY_FILE")
  pid=$(<"$LUMO_XVFB_PID_FILE")
  [[ -n $display ]] && lumo_process_alive "$pid" Xvfb || return 1
  printf '%s\n' "$display"
}

# True when a wineserver serves the prefix $WINEPREFIX. The server works in a folder named
# server-DEV-INODE after the prefix folder (in hex); Wine keeps that folder under /tmp.
lumo_wineserver_running() {
  local dev ino name pid
  [[ -d $WINEPREFIX ]] || return 1
  read -r dev ino < <(stat -L -c '%d %i' "$WINEPREFIX")
  name=$(printf 'server-%x-%x' "$dev" "$ino")
  for pid in $(pgrep -x 'wineserver(64)?' 2>/dev/null); do
    [[ $(readlink "/proc/$pid/cwd" 2>/dev/null) == */"$name" ]] && return 0
  done
  return 1
}

# Copies the prepared template to a new prefix folder (fails when there is no template).
lumo_copy_template() {
  local target=$1
  if [[ ! -f $LUMO_TEMPLATE_PREFIX/.lumo-prefix-ready ]]; then
    echo "wine: no prepared Wine prefix in $LUMO_TEMPLATE_PREFIX: run scripts/setup.sh" >&2
    return 1
  fi
  rm -rf "$target.tmp"
  cp -a "$LUMO_TEMPLATE_PREFIX" "$target.tmp"
  rm -f "$target.tmp/wineserver" # names the server folder of the template; the copy gets its own
  rm -rf "$target"
  mv "$target.tmp" "$target"
}

# A display and a Wine prefix of the caller's own, under a work folder: for runs that click
# or take screenshots, where no other window or icon may stand. Sets DISPLAY, LUMO_WINEPREFIX
# and LUMO_PRIVATE_XVFB_PID; lumo_private_bed_stop ends both.
lumo_private_bed_start() {
  read -r DISPLAY LUMO_PRIVATE_XVFB_PID < <("$LUMO_ROOT/tools/wine-bed" xvfb)
  export DISPLAY
  cp -a "$LUMO_BUILD/wineprefix-template" "$1/prefix"
  export LUMO_WINEPREFIX=$1/prefix
  lumo_wine_environment
}

# Starts a persistent wineserver for $WINEPREFIX, the explorer that draws the virtual desktop
# (it lives until the wineserver ends) and Wine's other helpers, all with their standard streams
# on /dev/null, so that they never hold a caller's pipe. Needs DISPLAY and the Wine environment.
lumo_start_wine_helpers() {
  local i
  timeout 60 wineserver -p </dev/null >/dev/null 2>&1 || return 1
  setsid timeout "${LUMO_BED_LIFETIME:-28800}" wine explorer "/desktop=Default,1024x768" \
    </dev/null >/dev/null 2>&1 9>&- &
  for ((i = 0; i < 600; i++)); do
    timeout 5 xdotool search --name ' - Wine desktop$' >/dev/null 2>&1 && break
    sleep 0.1
  done
  ((i < 600)) || return 1
  timeout "${LUMO_WINE_BOOT_TIMEOUT:-300}" wine cmd /c exit </dev/null >/dev/null 2>&1 9>&-
}

lumo_private_bed_stop() {
  WINEPREFIX=$1/prefix timeout 30 wineserver -k >/dev/null 2>&1
  [[ -n ${LUMO_PRIVATE_XVFB_PID:-} ]] && kill "$LUMO_PRIVATE_XVFB_PID" 2>/dev/null
  return 0
}
