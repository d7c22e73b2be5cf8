#!/usr/bin/env bash
# The DLL as the 32-bit browser loads it: a PE32 image that exports exactly the four entry
# points of a self-registering server, undecorated. (scripts/check-pe-imports.sh checks that
# it imports only system DLLs.) Given the DLL's objects, also that each entry point is
# stdcall with the argument bytes of its declaration: the .def file's undecorated names would
# bind a cdecl function just as well, and a 32-bit caller's stack would then be off by the
# arguments after every call.
# Usage: static_check.sh OBJDUMP DLL [OBJECT...]
set -euo pipefail
objdump=$1
dll=$2
shift 2
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

# CTest hands the objects over as one ;-separated list; a caller may also name them one by one.
objects=()
for argument in "$@"; do
  IFS=';' read -r -a listed <<<"$argument"
  objects+=("${listed[@]}")
done
if ((${#objects[@]})); then
  # The symbols the objects define, as the i686 compiler decorates a stdcall function:
  # _Name@bytes.
  # (nm reads no resource object: only what it can read counts.)
  defined=$({ "${objdump%objdump}nm" --defined-only "${objects[@]}" 2>/dev/null || true; } | awk '{print $3}')
  for entry in DllCanUnloadNow@0 DllGetClassObject@12 DllRegisterServer@0 DllUnregisterServer@0; do
    grep -qx "_$entry" <<<"$defined" || fail "no stdcall _$entry among the DLL's objects"
  done
fi

[ "$failures" -eq 0 ] && echo "PASSED $(basename "$dll"): PE32 with the four undecorated exports"
exit "$failures"
