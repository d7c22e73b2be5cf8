#!/usr/bin/env bash
# Runs a Windows program under Wine: wine-run.sh PREFIX PROGRAM [ARGUMENTS...]
# CTest's emulator for both Windows builds. VELDRASK_WINE_ARCH chooses the architecture:
# win64 (the default; the 64-bit loader, a WoW64 prefix in which 32-bit programs run too) or
# win32 (the 32-bit loader, a prefix of 32-bit Windows). The prefix is private to the build
# folder and made once (wineboot under a lock, so parallel tests wait for the first); it keeps
# the architecture it was made with, and a run that asks for the other one is refused. Wine
# fetches nothing (no Mono, no Gecko), stays quiet on stderr, and runs under the Korean locale
# so that the ANSI code page is 949. No Wine is a failure, never a skip.
set -euo pipefail

prefix=$1
shift
arch=${VELDRASK_WINE_ARCH:-win64}
case $arch in
  win64) wine=${VELDRASK_WINE:-/usr/lib/wine/wine64} ;;
  win32) wine=${VELDRASK_WINE:-/usr/lib/wine/wine} ;;
  *)
    echo "wine-run: VELDRASK_WINE_ARCH must be win32 or win64, not '$arch'" >&2
    exit 1
    ;;
esac
if [[ ! -x $wine ]]; then
  echo "wine-run: no $arch Wine at $wine (scripts/setup.sh installs wine64 and wine32:i386)" >&2
  exit 1
fi
wineserver=$(dirname "$wine")/wineserver
[[ -x $wineserver ]] || wineserver=wineserver

export WINEPREFIX=$prefix WINEARCH=$arch WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ko_KR.UTF-8 LC_ALL=ko_KR.UTF-8
# The same behaviour with or without a desktop session: no X server, no Wayland; except for
# programs that show windows, which their caller runs on an X server of its own (Xvfb) and
# marks with VELDRASK_WINE_X=1.
[[ -n ${VELDRASK_WINE_X:-} ]] || unset DISPLAY
unset WAYLAND_DISPLAY

mkdir -p "$(dirname "$prefix")"
(
  flock 9
  ready=$prefix/.veldrask-ready
  if [[ ! -f $ready ]]; then
    rm -rf "$prefix"
    "$wine" wineboot --init >/dev/null 2>&1
    "$wineserver" -w
    echo "$arch" >"$ready"
  fi
  made=$(cat "$ready")
  if [[ ${made:-win64} != "$arch" ]]; then
    echo "wine-run: $prefix is a ${made:-win64} prefix; this run asks for $arch" >&2
    exit 1
  fi
) 9>"$prefix.lock"

exec "$wine" "$@"
