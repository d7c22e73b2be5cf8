#!/bin/bash
# Photographs the control's screens under Xvfb in a private Wine prefix whose Tahoma links to
# a Hangul font (as Windows links fonts for missing glyphs) and whose dialog font is that font:
# docs/screen-upload.png (queued files with their shell icons), docs/screen-download.png
# (ticked rows), and the transfer windows held in the middle of a large file by a server that
# stalls them, which the program draws itself: docs/screen-upload-progress.png and
# docs/screen-download-progress.png. Needs the windows-x64 build of control_screens.
set -euo pipefail

# Its own X server, with room for the 800 x 600 desktop.
if [ -z "${VELDRASK_SHOT_X:-}" ]; then
  VELDRASK_SHOT_X=1 exec xvfb-run -a -s "-screen 0 800x600x24 -nolisten tcp" "$0" "$@"
fi

root=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-$root/build/windows-x64/tests/screenshots/control_screens.exe}
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ko_KR.UTF-8
wine=/usr/lib/wine/wine64
cleanup() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  [ -n "${VELDRASK_SHOT_KEEP:-}" ] && cat "$work"/*.log
  rm -rf "$work"
}
trap cleanup EXIT
# A path as Wine's Z: drive shows it.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

"$wine" wineboot --init >/dev/null 2>&1
nanum=NanumGothic.ttf,NanumGothic
cat >"$work/fonts.reg" <<REG
REGEDIT4

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]
"Tahoma"=hex(7):$(printf '%s\0\0' "$nanum" | od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//;s/,$//')

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]
"MS Shell Dlg"="NanumGothic"
"MS Shell Dlg 2"="NanumGothic"
REG
"$wine" regedit /s "$(windows_path "$work/fonts.reg")" >/dev/null 2>&1
wineserver -w

# Files of kinds the shell knows, named in Korean, in C:\자료.
files=$WINEPREFIX/drive_c/자료
mkdir -p "$files"
head -c 48213 /dev/zero | tr '\0' 'a' >"$files/회의록.txt"
head -c 1536 /dev/zero | tr '\0' 'b' >"$files/안내문.html"
head -c 311 /dev/zero | tr '\0' 'c' >"$files/설정.ini"
head -c 95 /dev/zero | tr '\0' 'd' >"$files/백업.bat"
cp "$WINEPREFIX/drive_c/windows/notepad.exe" "$files/메모장.exe"

shoot() {
  local screen=$1
  "$wine" explorer /desktop=veldrask,800x600 "$(windows_path "$program")" "$screen" \
    "C:\\자료" >"$work/$screen.log" 2>&1 &
  local shown=$!
  # The first start builds Wine's font cache: wait until the screen shows something and has
  # stopped changing.
  local previous= current= waited=0
  while [ "$waited" -lt 120 ]; do
    sleep 2
    waited=$((waited + 2))
    xwd -root -silent | convert xwd:- "$work/shot.png"
    current=$(md5sum <"$work/shot.png")
    if [ "$(stat -c %s "$work/shot.png")" -gt 4000 ] && [ "$current" = "$previous" ]; then break; fi
    previous=$current
  done
  cp "$work/shot.png" "$root/docs/screen-$screen.png"
  kill "$shown" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  wineserver -w
}

# The transfer windows, from the program's own drawing of them.
draw() {
  local screen=$1
  timeout 120 "$wine" explorer /desktop=veldrask,800x600 "$(windows_path "$program")" "$screen" \
    "C:\\자료" "$(windows_path "$work/$screen.bmp")" >"$work/$screen.log" 2>&1 || true
  convert "$work/$screen.bmp" "$root/docs/screen-$screen.png"
  wineserver -k 2>/dev/null || true
  wineserver -w
}

shoot upload
shoot download
# A large file for the transfers to be caught in the middle of.
head -c $((48 << 20)) /dev/zero | tr '\0' 'e' >"$files/현장 영상.avi"
draw upload-progress
draw download-progress
echo "docs/screen-upload.png docs/screen-download.png docs/screen-upload-progress.png" \
  "docs/screen-download-progress.png"
