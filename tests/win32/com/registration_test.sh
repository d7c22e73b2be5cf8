#!/usr/bin/env bash
# regsvr32 registers the control (every key and value it needs) and regsvr32 /u removes all
# of it, type library included.
# Usage: registration_test.sh DLL win32|win64 WINE_RUNNER...
# (the type library's platform key: win32 for the i686 DLL, win64 for the x86_64 one)
set -euo pipefail
dll=$1
platform=$2
shift 2
wine=("$@")
wine_run() { "${wine[@]}" "$@"; }
source "$(dirname "$0")/../wine_test_helpers.sh"
dll_path=$(windows_path "$dll")

clsid='{D05A67AE-F78D-4C94-85DD-E93A46C2066C}'
libid='{3F3C90E0-1C0F-4627-A475-4A419EC8D873}'
dispatch_iid='{2F53DC41-9316-44B5-944F-A117ECA1CA47}'
class_key="HKCR\\CLSID\\$clsid"

failures=0
expect() {
  local actual
  actual=$(value_of "$1" "$2")
  if [ "$actual" != "$3" ]; then
    echo "FAIL $1 [$2]: '$actual', expected '$3'"
    failures=$((failures + 1))
  fi
}

"${wine[@]}" regsvr32 /s "$dll_path" || { echo "FAIL regsvr32 returned $?"; exit 1; }
# Key, value name, data.
while IFS='|' read -r key name data; do
  expect "$key" "$name" "$data"
done <<EOF_TABLE
$class_key||UploaderControl
$class_key\\ProgID||VeldraskUploader.UploaderControl.1
$class_key\\VersionIndependentProgID||VeldraskUploader.UploaderControl
$class_key\\InprocServer32||$dll_path
$class_key\\InprocServer32|ThreadingModel|Apartment
$class_key\\Control||
$class_key\\MiscStatus||0
$class_key\\MiscStatus\\1||131473
$class_key\\TypeLib||$libid
HKCR\\VeldraskUploader.UploaderControl\\CLSID||$clsid
HKCR\\VeldraskUploader.UploaderControl\\CurVer||VeldraskUploader.UploaderControl.1
HKCR\\VeldraskUploader.UploaderControl.1\\CLSID||$clsid
HKCR\\TypeLib\\$libid\\1.0||VeldraskUploader
HKCR\\TypeLib\\$libid\\1.0\\0\\$platform||$dll_path
HKCR\\Interface\\$dispatch_iid||_UploaderControl
EOF_TABLE
# Not declared safe for scripting or initialisation.
expect "$class_key\\Implemented Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}" "" '<absent>'
expect "$class_key\\Implemented Categories\\{7DD95802-9882-11CF-9FA9-00AA006C42C4}" "" '<absent>'

"${wine[@]}" regsvr32 /s /u "$dll_path" || { echo "FAIL regsvr32 /u returned $?"; exit 1; }
for key in "$class_key" 'HKCR\VeldraskUploader.UploaderControl' \
  'HKCR\VeldraskUploader.UploaderControl.1' "HKCR\\TypeLib\\$libid" \
  "HKCR\\Interface\\$dispatch_iid"; do
  if "${wine[@]}" reg query "$key" >/dev/null 2>&1; then
    echo "FAIL $key is left after regsvr32 /u"
    failures=$((failures + 1))
  fi
done

[ "$failures" -eq 0 ] && echo "PASSED registration and unregistration"
exit "$failures"
