#!/usr/bin/env bash
# The test command: installs what is missing, builds the POSIX preset and both Windows presets,
# and runs every test: the POSIX ones natively, the Windows ones under Wine, the x86_64 build in
# a win64 prefix and the i686 build (the control that 32-bit browsers load) in a win32 prefix.
# The 32-bit runs need a kernel that runs 32-bit programs; where it does not, they are reported
# as not run, with the reason, and everything else still runs. Each step's time is printed at
# the end.
set -euo pipefail
cd "$(dirname "$0")/.."

times=()
step_started=$SECONDS
step_done() {
  times+=("$(printf '%5d s  %s' $((SECONDS - step_started)) "$1")")
  step_started=$SECONDS
}

bash scripts/setup.sh
step_done "setup"
preset=${VELDRASK_PRESET:-debug}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j"$(nproc)"
step_done "build, $preset"
bash scripts/build-windows.sh
step_done "build, windows-x86 and windows-x64"
bash scripts/package.sh --no-build
step_done "packages"

wine32_status=0
wine32_reason=$(bash scripts/wine32-runs.sh 2>&1) || wine32_status=$?
# Tests that run 32-bit programs (label wine32), in the POSIX build and the 64-bit one (WoW64).
wine32_filter=()
if ((wine32_status == 2)); then wine32_filter=(-LE wine32); fi

status=0
ctest --preset "$preset" -j"$(nproc)" --output-on-failure "${wine32_filter[@]}" || status=1
step_done "tests, $preset (the exe_* suites under Wine among them)"
echo "== Windows tests under Wine, 64-bit"
ctest --preset windows-x64 -j"$(nproc)" --output-on-failure "${wine32_filter[@]}" || status=1
step_done "tests, windows-x64"
echo "== Windows tests under Wine, 32-bit"
case $wine32_status in
  0)
    ctest --preset windows-x86 -j"$(nproc)" --output-on-failure || status=1
    step_done "tests, windows-x86"
    ;;
  2)
    # Not a failure of the project, and not a pass either: say so where it cannot be missed.
    echo "NOT RUN: the windows-x86 tests and the exe32_* suites: $wine32_reason"
    ctest --preset windows-x86 -N | tail -n1
    # What needs no Wine still runs: the shipped DLL's exports and their calling convention.
    ctest --preset windows-x86 -L static || status=1
    step_done "tests, windows-x86, static checks only"
    ;;
  *)
    echo "$wine32_reason"
    status=1
    ;;
esac

echo "== Time"
printf '%s\n' "${times[@]}"
exit $status
