#!/usr/bin/env bash
# Installs everything that Lumo's build and tests need on Debian 12, as root, and only what is
# missing; when all is there it takes a couple of seconds.
#   1. Debian packages (compilers, libraries, Wine, Xvfb and the test tools), checked with
#      dpkg-query; `apt-get update` runs only when something is missing.
#   2. The ru_RU.UTF-8 locale: Wine takes its ANSI code page (1251) from it.
#   3. libjpeg-turbo for MinGW: Debian has no Windows build of it, so its Debian source
#      package is fetched and cross-built as a static library into
#      build/deps/libjpeg-turbo-mingw, which the win64 preset uses.
#   4. The Wine prefix template build/wineprefix-template (tools/wine-bed prefix).
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
DEPS=$ROOT/build/deps
JPEG_PREFIX=$DEPS/libjpeg-turbo-mingw
JPEG_SOURCES=$DEPS/src
JPEG_BUILD=$DEPS/build-libjpeg-turbo-mingw
JPEG_LOG=$DEPS/libjpeg-turbo-mingw.log

PACKAGES=(
  # build
  cmake ninja-build g++ g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  libz-mingw-w64-dev nasm dpkg-dev binutils-mingw-w64-x86-64
  # the release package
  zip unzip
  # native libraries, unit tests and benchmarks (libpng is a test oracle only)
  zlib1g-dev libjpeg62-turbo-dev libgtest-dev libbenchmark-dev libpng-dev
  # fuzzing
  clang libclang-rt-14-dev
  # the format check of scripts/test.sh
  clang-format
  # running the Windows build and its tests
  wine wine64 xvfb xauth imagemagick xdotool fonts-wine faketime locales
)

log() { echo "setup: $*"; }
die() {
  echo "setup: error: $*" >&2
  exit 1
}

# Runs a command as root (through sudo when the script is not run as root).
as_root() {
  if ((EUID == 0)); then
    "$@"
  elif command -v sudo >/dev/null; then
    sudo "$@"
  else
    die "'$*' needs root: run scripts/setup.sh as root"
  fi
}

APT_UPDATED=0
apt_update() {
  if ((APT_UPDATED == 0)); then
    log "apt-get update"
    as_root apt-get update -q
    APT_UPDATED=1
  fi
}

install_packages() {
  local missing=() pkg status
  declare -A installed=()
  while read -r pkg status; do
    [[ $status == ii ]] && installed[${pkg%%:*}]=1
  done < <(dpkg-query -W -f='${Package} ${db:Status-Abbrev}\n' "${PACKAGES[@]}" 2>/dev/null || true)
  for pkg in "${PACKAGES[@]}"; do
    [[ -n ${installed[$pkg]:-} ]] || missing+=("$pkg")
  done
  if ((${#missing[@]} == 0)); then
    return 0
  fi
  log "installing ${missing[*]}"
  apt_update
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
}

generate_locale() {
  if locale -a 2>/dev/null | grep -qix 'ru_RU\.utf-\?8'; then
    return 0
  fi
  log "generating the ru_RU.UTF-8 locale"
  as_root localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
}

# --- libjpeg-turbo for MinGW -------------------------------------------------------------

codename() {
  local VERSION_CODENAME=
  # shellcheck disable=SC1091
  source /etc/os-release
  [[ -n $VERSION_CODENAME ]] || die "no VERSION_CODENAME in /etc/os-release"
  echo "$VERSION_CODENAME"
}

# deb822 sources (*.sources): every enabled "deb" stanza for this Debian release becomes a
# "deb-src" stanza with the same URIs, suites, components and key.
deb_src_stanzas() {
  local suite_re=$1
  shift
  awk -v suite_re="$suite_re" '
    function flush(   i, n, suites, kept, out) {
      if (types ~ /(^|[ \t])deb([ \t]|$)/ && enabled !~ /^[ \t]*no/ && uris != "") {
        n = split(suites_raw, suites, /[ \t]+/)
        kept = ""
        for (i = 1; i <= n; i++)
          if (suites[i] ~ suite_re) kept = kept " " suites[i]
        if (kept != "" && components != "") {
          out = "Types: deb-src\nURIs: " uris "\nSuites:" kept "\nComponents: " components "\n"
          if (signed != "") out = out "Signed-By: " signed "\n"
          if (trusted != "") out = out "Trusted: " trusted "\n"
          printf "%s\n", out
        }
      }
      types = enabled = uris = suites_raw = components = signed = trusted = ""; field = ""
    }
    /^[ \t]*#/ { next }
    /^[ \t]*$/ { flush(); next }
    /^[ \t]/ {   # continuation line (for instance an inline key)
      if (field == "signed-by") signed = signed "\n" $0
      next
    }
    {
      split($0, kv, ":")
      field = tolower(kv[1])
      value = substr($0, length(kv[1]) + 2)
      sub(/^[ \t]+/, "", value); sub(/[ \t]+$/, "", value)
      if (field == "types") types = value
      else if (field == "enabled") enabled = tolower(value)
      else if (field == "uris") uris = value
      else if (field == "suites") suites_raw = value
      else if (field == "components") components = value
      else if (field == "signed-by") signed = value
      else if (field == "trusted") trusted = value
    }
    END { flush() }
  ' "$@"
}

# One-line sources (sources.list, *.list): every "deb" line for this release, as "deb-src".
deb_src_lines() {
  local suite_re=$1
  shift
  awk -v suite_re="$suite_re" '
    /^[ \t]*deb[ \t]/ {
      line = $0
      sub(/^[ \t]*deb[ \t]+/, "", line)
      options = ""
      if (line ~ /^\[/) {
        options = substr(line, 1, index(line, "]"))
        line = substr(line, index(line, "]") + 1)
        sub(/^[ \t]+/, "", line)
      }
      n = split(line, f, /[ \t]+/)
      if (n >= 3 && f[2] ~ suite_re) print "deb-src " (options != "" ? options " " : "") line
    }
  ' "$@"
}

add_deb_src() {
  local code suite_re list822=() listline=() f content
  code=$(codename)
  suite_re="^${code}(-updates|-security)?$"
  for f in /etc/apt/sources.list.d/*.sources; do
    [[ -f $f && $(basename "$f") != lumo-deb-src.sources ]] && list822+=("$f")
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [[ -f $f && $(basename "$f") != lumo-deb-src.list ]] && listline+=("$f")
  done
  if ((${#list822[@]})); then
    content=$(deb_src_stanzas "$suite_re" "${list822[@]}")
    write_source_file /etc/apt/sources.list.d/lumo-deb-src.sources "$content"
  fi
  if ((${#listline[@]})); then
    content=$(deb_src_lines "$suite_re" "${listline[@]}")
    write_source_file /etc/apt/sources.list.d/lumo-deb-src.list "$content"
  fi
}

write_source_file() {
  local file=$1 content=$2
  [[ -n $content ]] || return 0
  content="# Debian source packages (libjpeg-turbo is cross-built from its source for Lumo).
$content"
  if [[ -f $file && $(<"$file") == "$content" ]]; then
    return 0
  fi
  log "adding source package entries in $file"
  printf '%s\n' "$content" | as_root tee "$file" >/dev/null
}

# Sets JPEG_SRC to the unpacked libjpeg-turbo source tree, fetching it when needed.
JPEG_SRC=
find_libjpeg_source() {
  local dir
  for dir in "$JPEG_SOURCES"/libjpeg-turbo-*/; do
    if [[ -f $dir/CMakeLists.txt ]]; then
      JPEG_SRC=${dir%/}
      return 0
    fi
  done
  return 1
}

fetch_libjpeg_source() {
  find_libjpeg_source && return 0
  if ! apt-cache showsrc libjpeg-turbo 2>/dev/null | grep -q '^Package: libjpeg-turbo'; then
    add_deb_src
    APT_UPDATED=0
    apt_update
    apt-cache showsrc libjpeg-turbo 2>/dev/null | grep -q '^Package: libjpeg-turbo' ||
      die "apt knows no source package libjpeg-turbo (check the deb-src entries)"
  fi
  log "fetching the libjpeg-turbo source package"
  rm -rf "$JPEG_SOURCES"
  mkdir -p "$JPEG_SOURCES"
  (cd "$JPEG_SOURCES" && logged apt-get source -o APT::Sandbox::User=root libjpeg-turbo)
  find_libjpeg_source || die "no libjpeg-turbo source tree in $JPEG_SOURCES"
}

# Runs a build step with its output in the log, which is shown when the step fails.
logged() {
  "$@" >>"$JPEG_LOG" 2>&1 || {
    tail -n 40 "$JPEG_LOG" >&2
    die "'$*' failed (full output in $JPEG_LOG)"
  }
}

build_libjpeg_mingw() {
  local header
  if [[ -f $JPEG_PREFIX/lib/libjpeg.a ]]; then
    return 0
  fi
  mkdir -p "$DEPS"
  : >"$JPEG_LOG"
  fetch_libjpeg_source
  log "building $(basename "$JPEG_SRC") for MinGW-w64 (static, API 62) into $JPEG_PREFIX"
  rm -rf "$JPEG_BUILD" "$JPEG_PREFIX"
  logged cmake -S "$JPEG_SRC" -B "$JPEG_BUILD" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$JPEG_PREFIX" \
    -DCMAKE_ASM_NASM_COMPILER=nasm \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
    -DWITH_JPEG7=OFF -DWITH_JPEG8=OFF -DWITH_SIMD=ON -DREQUIRE_SIMD=ON
  logged cmake --build "$JPEG_BUILD" --target jpeg-static
  # Only the library and the API 62 headers are installed: the program needs nothing else.
  mkdir -p "$JPEG_PREFIX/lib" "$JPEG_PREFIX/include"
  for header in jpeglib.h jmorecfg.h jerror.h; do
    cp "$JPEG_SRC/$header" "$JPEG_PREFIX/include/"
  done
  cp "$JPEG_BUILD/jconfig.h" "$JPEG_PREFIX/include/"
  grep -q '^#define JPEG_LIB_VERSION  *62' "$JPEG_PREFIX/include/jconfig.h" ||
    die "the MinGW libjpeg is not of API 62"
  # The library goes in last: its presence marks a complete installation.
  cp "$JPEG_BUILD/libjpeg.a" "$JPEG_PREFIX/lib/libjpeg.a.tmp"
  mv "$JPEG_PREFIX/lib/libjpeg.a.tmp" "$JPEG_PREFIX/lib/libjpeg.a"
}

install_packages
generate_locale
build_libjpeg_mingw
"$ROOT/tools/wine-bed" prefix
log "all build and test dependencies are in place"
