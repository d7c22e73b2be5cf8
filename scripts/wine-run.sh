#!/usr/bin/env bash
# Runs a Windows program under Wine: wine-run.sh PREFIX PROGRAM [ARGUMENTS...]
# CTest's emulator for the x86_64 Windows build. The prefix is private to the build folder and
# made once (wineboot under a lock, so parallel tests wait for the first). Wine fetches nothing
# (no Mono, no Gecko), stays quiet on stderr, and runs under the Korean locale so that the ANSI
# code page is 949. No Wine is a failure, never a skip.
set -euo pipefail

prefix=$1
shift
wine=${VELDRASK_WINE:-/usr/lib/wine/wine64}
if [[ ! -x $wine ]]; then
  echo "wine-run: no Wine at $wine (scripts/setup.sh installs wine64)" >&2
  exit 1
fi
wineserver=$(dirname "$wine")/wineserver
[[ -x $wineserver ]] || wineserver=wineserver

export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ko_KR.UTF-8 LC_ALL=ko_KR.UTF-8
# The same behaviour with or without a desktop session: no X server, no Wayland; except for
# programs that show windows, which their caller runs on an X server of its own (Xvfb) and
# marks with VELDRASK_WINE_X=1.
[[ -n ${VELDRASK_WINE_X:-} ]] || unset DISPLAY
unset WAYLAND_DISPLAY

mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [[ ! -f $prefix/.veldrask-ready ]]; then
    rm -rf "$prefix"
    "$wine" wineboot --init >/dev/null 2>&1
    "$wineserver" -w
    touch "$prefix/.veldrask-ready"
  fi
) 9>"$prefix.lock"

exec "$wine" "$@"
