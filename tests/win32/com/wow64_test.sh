#!/usr/bin/env bash
# Both DLLs side by side in one 64-bit Windows (a WoW64 prefix), as a machine with 32- and
# 64-bit browsers has them: each regsvr32 writes its own registry view, each cscript creates
# its own bitness of the control, and unregistering one leaves the other registered and
# working, ProgIDs and type library included.
# Usage: wow64_test.sh DLL64 DLL32 SUITE.js WINE_RUNNER... (a runner for a win64 prefix)
set -euo pipefail
dll64=$1
dll32=$2
suite=$3
shift 3
wine=("$@")
here=$(dirname "$0")
wine_run() { "${wine[@]}" "$@"; }
source "$here/../wine_test_helpers.sh"
[ -f "$dll32" ] || { echo "FAIL no 32-bit DLL at $dll32 (build the windows-x86 preset)"; exit 1; }
path64=$(windows_path "$dll64")
path32=$(windows_path "$dll32")
regsvr64='C:\windows\system32\regsvr32.exe'
regsvr32='C:\windows\syswow64\regsvr32.exe'

work=$(mktemp -d)
trap '"${wine[@]}" "$regsvr64" /s /u "$path64" || true
      "${wine[@]}" "$regsvr32" /s /u "$path32" || true; rm -rf "$work"' EXIT
cat "$here/jscript/harness.js" "$suite" | iconv -f UTF-8 -t CP949 >"$work/suite.js"

failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
# A key's default value, as the 64-bit reg sees it, against the one expected.
expect() {
  local actual
  actual=$(value_of "$1")
  [ "$actual" = "$2" ] || fail "$3: $1 is '$actual', expected '$2'"
}
# Whether the suite passes under the cscript of one bitness (system32 or syswow64).
suite_passes() {
  "${wine[@]}" "C:\\windows\\$1\\cscript.exe" //nologo "$(windows_path "$work/suite.js")" \
    >"$work/output" 2>&1 || true
  iconv -f CP949 -t UTF-8 "$work/output" | tr -d '\r' >"$work/output.txt"
  grep -q '^PASSED ' "$work/output.txt"
}
expect_suite() {
  if suite_passes "$1"; then
    [ "$2" = passes ] || fail "$3: the $1 cscript still creates the control"
  else
    [ "$2" = fails ] || { fail "$3: the $1 cscript"; cat "$work/output.txt"; }
  fi
}

clsid='{D05A67AE-F78D-4C94-85DD-E93A46C2066C}'
libid='{3F3C90E0-1C0F-4627-A475-4A419EC8D873}'
server64="HKLM\\Software\\Classes\\CLSID\\$clsid\\InprocServer32"
server32="HKLM\\Software\\Classes\\Wow6432Node\\CLSID\\$clsid\\InprocServer32"
progid='HKCR\VeldraskUploader.UploaderControl\CLSID'
typelib="HKCR\\TypeLib\\$libid\\1.0\\0"

# What the registry and each bitness's cscript show with the 64-bit and the 32-bit DLL
# registered or not (yes or no each): a DLL's own keys name it, the shared ProgID stays while
# either is registered.
expect_state() {
  local when=$1 want64='<absent>' want32='<absent>' progid_wanted='<absent>'
  local host64=fails host32=fails
  [ "$2" = yes ] && want64=$path64 host64=passes progid_wanted=$clsid
  [ "$3" = yes ] && want32=$path32 host32=passes progid_wanted=$clsid
  expect "$server64" "$want64" "$when"
  expect "$typelib\\win64" "$want64" "$when"
  expect "$server32" "$want32" "$when"
  expect "$typelib\\win32" "$want32" "$when"
  expect "$progid" "$progid_wanted" "$when"
  expect_suite system32 "$host64" "$when"
  expect_suite syswow64 "$host32" "$when"
}

"${wine[@]}" "$regsvr64" /s "$path64" || fail "regsvr32 of the 64-bit DLL returned $?"
"${wine[@]}" "$regsvr32" /s "$path32" || fail "syswow64 regsvr32 of the 32-bit DLL returned $?"
expect_state "both registered" yes yes
# One unregistered at a time, the other then alone.
"${wine[@]}" "$regsvr32" /s /u "$path32" || fail "syswow64 regsvr32 /u returned $?"
expect_state "32-bit unregistered" yes no
"${wine[@]}" "$regsvr32" /s "$path32" || fail "syswow64 regsvr32 again returned $?"
"${wine[@]}" "$regsvr64" /s /u "$path64" || fail "regsvr32 /u returned $?"
expect_state "64-bit unregistered" no yes

# The last one out takes the shared keys with it.
"${wine[@]}" "$regsvr32" /s /u "$path32" || fail "syswow64 regsvr32 /u returned $?"
for key in 'HKCR\VeldraskUploader.UploaderControl' 'HKCR\VeldraskUploader.UploaderControl.1' \
  "HKCR\\TypeLib\\$libid" "HKLM\\Software\\Classes\\Wow6432Node\\CLSID\\$clsid"; do
  if "${wine[@]}" reg query "$key" >/dev/null 2>&1; then fail "$key is left after both /u"; fi
done

[ "$failures" -eq 0 ] && echo "PASSED both DLLs side by side"
exit "$failures"
