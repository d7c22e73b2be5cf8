#!/usr/bin/env bash
# The portable layers include only the C++ standard library and each other: an angle-bracket
# include with a "/" or a "." in it (sys/socket.h, windows.h, gio/gio.h, ...) is refused.
set -euo pipefail
root=${1:-$(dirname "$0")/..}
status=0
for dir in base platform common control transfer queue upload download http; do
  [ -d "$root/src/$dir" ] || continue
  if hits=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<[^>]*[./][^>]*>' \
      "$root/src/$dir" --include='*.h' --include='*.cpp'); then
    echo "operating-system or third-party header in a portable layer:"
    echo "$hits"
    status=1
  fi
done
[ $status -eq 0 ] && echo "portable layers: standard headers only"
exit $status
