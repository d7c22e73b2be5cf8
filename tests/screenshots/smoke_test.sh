#!/usr/bin/env bash
# The screenshots program's transfer windows as a smoke test of the build: each window held in
# the middle of a large file by the stalling server must be drawn into its bitmap, at a
# window's size and with something on it.
# Usage: smoke_test.sh PROGRAM WINE_RUNNER...
set -euo pipefail
program=$1
shift
wine=("$@")
source "$(dirname "$0")/../win32/wine_test_helpers.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/files"
head -c 300 /dev/zero | tr '\0' 'a' >"$work/files/회의록.txt"
head -c $((8 << 20)) /dev/zero >"$work/files/영상.avi"

failures=0
for screen in upload-progress download-progress; do
  bitmap=$work/$screen.bmp
  if ! timeout 120 "${wine[@]}" "$(windows_path "$program")" "$screen" \
    "$(windows_path "$work/files")" "$(windows_path "$work")\\$screen.bmp"; then
    echo "FAIL $screen: the program failed or drew nothing"
    failures=$((failures + 1))
    continue
  fi
  read -r width height deviation < <(convert "$bitmap" -format '%w %h %[fx:standard_deviation]\n' info:)
  if ((width < 300 || height < 200)) ||
    ! awk -v d="$deviation" 'BEGIN { exit !(d > 0.05) }'; then
    echo "FAIL $screen: a ${width}x$height bitmap of deviation $deviation"
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] && echo "PASSED both transfer windows drawn"
exit "$failures"
