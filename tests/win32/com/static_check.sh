#!/usr/bin/env bash
# The DLL as the 32-bit browser loads it: a PE32 image that exports exactly the four entry
# points of a self-registering server, undecorated. (scripts/check-pe-imports.sh checks that
# it imports only system DLLs.)
# Usage: static_check.sh OBJDUMP DLL
set -euo pipefail
objdump=$1
dll=$2
headers=$("$objdump" -p "$dll") || { echo "FAIL $dll is no image $objdump reads"; exit 1; }
failures=0
fail() {
  echo "FAIL $*"
  failures=$((failures + 1))
}

grep -q '^Magic[[:space:]]*010b[[:space:]]*(PE32)' <<<"$headers" || fail "not a PE32 image"
grep -q 'file format pei-i386' <(LC_ALL=C "$objdump" -f "$dll") || fail "not an i386 image"

exports=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$headers" |
  sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort | tr '\n' ' ')
expected='DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer '
[ "$exports" = "$expected" ] || fail "exports '$exports', expected '$expected'"

[ "$failures" -eq 0 ] && echo "PASSED $(basename "$dll"): PE32 with the four undecorated exports"
exit "$failures"
