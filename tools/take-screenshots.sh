#!/usr/bin/env bash
# Takes the README's screenshots of the main window's pages: starts Lumo.exe with sample
# pictures in an X display and a Wine prefix of its own, clicks as a user would and saves
# the window to docs/screenshots/.
#   tools/take-screenshots.sh [path/to/Lumo.exe]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
exe=${1:-$root/build/win64/Lumo.exe}
out=$root/docs/screenshots
mkdir -p "$out"

work=$(mktemp -d)
cleanup() {
  lumo_private_bed_stop "$work"
  rm -rf "$work"
}
trap cleanup EXIT
lumo_private_bed_start "$work"

cp "$exe" "$work/Lumo.exe"
# The pictures lie in a folder of their own, whose name their rows show; a third one of Monday's
# is gone, and its row says so.
mkdir -p "$work/Обои"
convert -size 800x600 gradient:'#3a7bd5'-'#a8d8f0' -fill '#ffd23c' -draw "circle 620,140 620,200" \
  -fill '#2f8f3a' -draw "ellipse 400,640 520,220 180,360" "$work/Обои/sunny.jpg"
convert -size 640x480 gradient:'#ff9a3c'-'#5a2a6a' -fill '#1a1a2a' \
  -draw "polygon 0,480 160,300 300,420 460,260 640,400 640,480" -type TrueColor "BMP3:$work/Обои/sunset.bmp"
folder=$(WINEPREFIX=$work/prefix timeout 60 winepath -w "$work/Обои" 2>/dev/null)
printf 'Понедельник\r\n\t%s\\sunny.jpg\r\n\t%s\\sunset.bmp\r\n\t%s\\autumn.jpg\r\nВторник\r\nСреда\r\nЧетверг\r\nПятница\r\nСуббота\r\nВоскресенье\r\n' \
  "$folder" "$folder" "$folder" | iconv -f utf-8 -t cp1251 >"$work/Murovelo.ini"
printf -- '-1\r\n%s\\sunset.bmp\r\n10\r\n' "$folder" | iconv -f utf-8 -t cp1251 >"$work/WallOpt.ini"

"$root/tools/wine-run" "$work/Lumo.exe" </dev/null >/dev/null 2>&1 &
sleep 8

# The window (426 x 366 with Wine's frame) is centred on the 1024 x 768 desktop.
left=299 top=201
shoot() { import -window root -crop "426x366+$left+$top" "$out/$1"; }
click() { xdotool mousemove $((left + $1)) $((top + $2)) click 1; sleep 1.5; }

# Files page: Monday opened and its first picture selected, with its preview.
click 65 55
xdotool key Right Down
sleep 2
shoot files-page.png
click 88 33    # "Опции"
shoot options-page.png
click 158 33   # "О программе..."
shoot about-page.png

# The Files and About pages at 150 % (144 pixels per inch, which Wine reads as a program
# starts): the window is found on the screen by trimming the desktop's colour around it.
WINEPREFIX=$work/prefix timeout 60 wineserver -k >/dev/null 2>&1 || true
WINEPREFIX=$work/prefix timeout 60 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f \
  >/dev/null 2>&1
"$root/tools/wine-run" "$work/Lumo.exe" </dev/null >/dev/null 2>&1 &
sleep 10
read -r width height left top < <(import -window root -crop 1024x700+0+0 +repage png:- |
  convert png:- -trim -format '%w %h %X %Y\n' info:)
left=${left#+} top=${top#+}
shoot150() { import -window root -crop "${width}x${height}+$left+$top" +repage "$out/$1"; }
# The tree's first node, at (61, 28) of the client area at 100 %; at 150 % the window font's
# text height is 20 pixels, and the client area of 418 x 339 scales by 20/13 to 643 x 522.
border=$(((width - 643) / 2))
xdotool mousemove $((left + border + 94)) $((top + height - border - 522 + 43)) click 1
sleep 1.5
xdotool key Right Down
sleep 2
shoot150 files-page-150.png
xdotool key ctrl+shift+Tab # the last page, "О программе..."
sleep 1.5
shoot150 about-page-150.png
echo "screenshots in $out"
