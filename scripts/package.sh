#!/usr/bin/env bash
# Builds the release package build/Lumo-1.2-win64.zip:
#   Lumo.exe     the win64 preset's program, stripped of its symbols
#   ReadMe.txt   the user guide in Russian (docs/guide-ru.txt), as UTF-8 with a byte-order
#                mark and CR LF line ends: Notepad reads it so on every Windows from 7 on,
#                whatever the system's code page
# It installs what is missing (scripts/setup.sh) and builds Lumo.exe first.
#
# The same sources give the same zip, byte for byte: the executable's link time stamp and
# both entries' times are the last commit's time (SOURCE_DATE_EPOCH overrides it), in UTC;
# the entries' order, permissions and compression are fixed, and no extra fields are stored.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
VERSION=1.2
PACKAGE=$ROOT/build/Lumo-$VERSION-win64.zip
STAGE=$ROOT/build/package

"$ROOT/scripts/setup.sh"
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Lumo

if [[ -z ${SOURCE_DATE_EPOCH:-} ]]; then
  SOURCE_DATE_EPOCH=$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null) || SOURCE_DATE_EPOCH=
  # Outside a git checkout: the release's own date.
  [[ -n $SOURCE_DATE_EPOCH ]] || SOURCE_DATE_EPOCH=$(TZ=UTC date -d '2026-12-07 00:00:00' +%s)
fi
export SOURCE_DATE_EPOCH TZ=UTC

rm -rf "$STAGE"
mkdir -p "$STAGE"
# strip writes SOURCE_DATE_EPOCH as the executable's time stamp.
x86_64-w64-mingw32-strip --strip-all -o "$STAGE/Lumo.exe" build/win64/Lumo.exe
{
  printf '\357\273\277'
  sed 's/\r$//; s/$/\r/' docs/guide-ru.txt
} >"$STAGE/ReadMe.txt"
chmod 0755 "$STAGE/Lumo.exe"
chmod 0644 "$STAGE/ReadMe.txt"
touch -d "@$SOURCE_DATE_EPOCH" "$STAGE/Lumo.exe" "$STAGE/ReadMe.txt"

rm -f "$PACKAGE"
(cd "$STAGE" && zip -q -X -9 "$PACKAGE.tmp" Lumo.exe ReadMe.txt)
mv "$PACKAGE.tmp" "$PACKAGE"
echo "package: $PACKAGE ($(stat -c %s "$PACKAGE") bytes; Lumo.exe $(stat -c %s "$STAGE/Lumo.exe") bytes)"
