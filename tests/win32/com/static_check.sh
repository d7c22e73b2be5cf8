#!/usr/bin/env bash
# The DLL as the 32-bit browser loads it: a PE32 image that exports exactly the four entry
# points of a self-registering server, undecorated, and imports only system DLLs (the C++
# runtime is linked in).
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

system_dlls=' advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll
  oleaut32.dll shell32.dll user32.dll ws2_32.dll '
while read -r name; do
  lower=$(tr '[:upper:]' '[:lower:]' <<<"$name")
  [[ "$system_dlls" == *" $lower "* || "$system_dlls" == *" $lower"$'\n'* ]] ||
    fail "imports $name, not a system DLL"
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")

[ "$failures" -eq 0 ] && echo "PASSED $(basename "$dll"): PE32, four exports, system imports"
exit "$failures"
