#!/usr/bin/env bash
# Runs the container test program under Wine with an X server and the PHP test server:
# run_container_test.sh [--registered] WINE_PREFIX TEST_PROGRAM CONTROL_DLL [TEST ARGUMENTS...]
# With --registered the control is registered (regsvr32) for the run and unregistered after.
# The control's windows are real windows, so they get a display of their own (Xvfb); the
# server's store is where the test finds uploads and puts the files it downloads.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
registered=0
if [[ ${1:-} == --registered ]]; then
  registered=1
  shift
fi
prefix=$1 program=$2 dll=$3
shift 3
wine_run=$root/scripts/wine-run.sh

work=$(mktemp -d)
pids=()
cleanup() {
  if ((registered)); then "$wine_run" "$prefix" regsvr32 /s /u "$VELDRASK_CONTROL_DLL" || true; fi
  # The prefix's Wine processes end before their X server does, so the next run's desktop
  # starts on its own display.
  WINEPREFIX=$prefix /usr/lib/wine/wineserver -w || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display number nobody holds (Xvfb refuses a taken one and we try the next).
display=""
for number in $(seq 90 130); do
  [[ -e /tmp/.X11-unix/X$number || -e /tmp/.X$number-lock ]] && continue
  Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do
    [[ -e /tmp/.X11-unix/X$number ]] && break
    sleep 0.05
  done
  if [[ -e /tmp/.X11-unix/X$number ]] && kill -0 "${pids[-1]}" 2>/dev/null; then
    display=":$number"
    break
  fi
done
[[ -n $display ]] || { echo "run_container_test: no Xvfb display" >&2; exit 1; }

mkdir "$work/store"
coproc server { VELDRASK_EXIT_ON_STDIN_EOF=1 bash "$root/tests/servers/php/serve.sh" "$work/store"; }
pids+=("$server_PID")
read -r word port <&"${server[0]}" || true
[[ $word == PORT ]] || { echo "run_container_test: the PHP server did not start" >&2; exit 1; }

windows_path() { echo "Z:${1//\//\\}"; }
export VELDRASK_PHP_PORT=$port
export VELDRASK_PHP_STORE=$(windows_path "$work/store")
export VELDRASK_CONTROL_DLL=$(windows_path "$(realpath "$dll")")
export VELDRASK_CONTROL_REGISTERED=$registered
export DISPLAY=$display VELDRASK_WINE_X=1
if ((registered)); then "$wine_run" "$prefix" regsvr32 /s "$VELDRASK_CONTROL_DLL"; fi
"$wine_run" "$prefix" "$program" --gtest_brief=1 "$@"
