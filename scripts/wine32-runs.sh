#!/usr/bin/env bash
# Exits 0 when this machine runs 32-bit Windows programs under Wine; otherwise says why on
# stderr and exits 1 when the 32-bit loader is missing (scripts/setup.sh installs
# wine32:i386), 2 when the kernel runs no IA-32 programs. A kernel may have that turned off:
# booted without ia32_emulation, it refuses every 32-bit program with "Exec format error" (and
# dmesg says "32-bit emulation disabled"); no package can change that.
set -uo pipefail
loader=${VELDRASK_WINE32:-/usr/lib/wine/wine}
if [[ ! -e $loader ]]; then
  echo "no 32-bit Wine at $loader (scripts/setup.sh installs wine32:i386)" >&2
  exit 1
fi
"$loader" --version >/dev/null 2>&1
status=$?
if ((status == 126)); then
  echo "this kernel runs no 32-bit programs (IA-32 emulation is off: $loader gives" \
    "'Exec format error')" >&2
  exit 2
fi
exit 0
