#!/usr/bin/env bash
# A platform's packages installed under Wine the ways they are meant to be, in a fresh win64
# prefix (x86: through the 32-bit programs of its WoW64 side, so only where 32-bit Wine runs):
# - the CAB's INF through setupapi: the DLL in the system folder, registered; a script
#   then gets the same answers as after regsvr32; an INF install through advpack replaces an
#   older DLL and leaves a newer one;
# - the MSI over an older version of itself: one version is left, the newer;
#   its registry entries are exactly what regsvr32 writes for the DLL at that place (in the
#   platform's registry view); a script
#   creates the control (for x64, a 32-bit script host too, where 32-bit programs run: the
#   package carries both DLLs); msiexec /x restores the registry and the folders as they were before,
#   another product's keys and files under the same parents included.
# Usage: install_test.sh x64|x86 SOURCE_DIR PACKAGES_DIR VERSION PREFIX (made afresh)
set -euo pipefail
platform=$1
source_dir=$(cd "$2" && pwd)
packages=$(cd "$3" && pwd)
version=$4
prefix=$5
if [ "$platform" = x64 ]; then
  system=system32 program_files='Program Files' cab=VeldraskUploader-x64.cab view=
else
  system=syswow64 program_files='Program Files (x86)' cab=VeldraskUploader.cab view=Wow6432Node
fi
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rm -rf "$prefix"
w() { "$source_dir/scripts/wine-run.sh" "$prefix" "$@"; }
wine_run() { w "$@"; }
source "$source_dir/tests/win32/wine_test_helpers.sh"
version_of() {
  x86_64-w64-mingw32-windres -i "$1" -O rc |
    sed -n 's/^ *FILEVERSION \([0-9]*\), \([0-9]*\), \([0-9]*\), \([0-9]*\)$/\1.\2.\3.\4/p'
}
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

clsid='{D05A67AE-F78D-4C94-85DD-E93A46C2066C}'
# A JScript suite of the control's tests under the platform's cscript (or the one of the system
# folder given third).
run_suite() {
  cat "$source_dir/tests/win32/com/jscript/harness.js" \
    "$source_dir/tests/win32/com/jscript/$1.js" | iconv -f UTF-8 -t CP949 >"$work/suite.js"
  w "C:\\windows\\${3:-$system}\\cscript.exe" //nologo "$(windows_path "$work/suite.js")" 2>&1 | iconv -f CP949 -t UTF-8 |
    tr -d '\r' >"$work/suite.out" || true
  grep -q '^PASSED ' "$work/suite.out" || { fail "$2: suite $1"; cat "$work/suite.out"; }
}
# The classes hive as text, one key with values a paragraph. Keys without values are left
# out: Windows Installer makes its own empty ones and removes the empty parents of the keys it
# wrote.
export_classes() {
  w reg export 'HKLM\Software\Classes' "$(windows_path "$work/export.reg")" /y >/dev/null
  iconv -f UTF-16LE -t UTF-8 "$work/export.reg" | tr -d '\r' |
    awk -v RS= -v ORS='\n\n' 'NR > 1 && split($0, lines, "\n") > 1' >"$1"
}
# The control's keys in the platform's view, in order, but the other DLL's type library path (Wine
# keeps one type library key for both of the x64 package's DLLs), HELPDIR without its final
# backslash. ProgIDs count in either view: Windows shares them between the two, and Wine's
# installer writes a 32-bit component's under Wow6432Node where regsvr32 writes them shared.
control_keys() {
  local other=win32
  [ "$platform" = x64 ] || other=win64
  sed 's/\\Wow6432Node\\\(VeldraskUploader\.UploaderControl\)/\\\1/' "$1" |
    awk -v RS= -v view="$view" -v other="\\\\0\\\\$other]" \
      '{ split($0, lines, "\n"); shared = index(lines[1], "Classes\\VeldraskUploader.") > 0 }
       (shared || (view == "") == ($0 !~ /Wow6432Node/)) && index($0, other) == 0 &&
       $0 ~ /D05A67AE-F78D|3F3C90E0-1C0F|2F53DC41-9316|2F782B5D-37F3|VeldraskUploader\.UploaderControl/ &&
       !seen[$0]++ { gsub("\n", "\037"); print }' |
    sort | awk '{ gsub("\037", "\n"); print $0 "\n" }' |
    sed 's/^@="\(.*\)\\\\"$/@="\1"/'
}
sys32=$prefix/drive_c/windows/$system

# ---- The CAB's INF, without a browser.
mkdir -p "$work/cab"
cabextract -q -d "$work/cab" "$packages/$cab"
inf=$(windows_path "$work/cab/VeldraskUploader.inf")
rundll32="C:\\windows\\$system\\rundll32.exe"
w "$rundll32" setupapi.dll,InstallHinfSection DefaultInstall 128 "$inf"
cmp -s "$sys32/VeldraskUploader.dll" "$work/cab/VeldraskUploader.dll" ||
  fail "setupapi: the DLL is not in the system folder"
server=$(value_of "HKLM\\Software\\Classes\\${view:+$view\\}CLSID\\$clsid\\InprocServer32")
# A 32-bit process may name its system folder system32 (which WoW64 redirects) or syswow64.
case ${server,,} in
  "c:\\windows\\$system\\veldraskuploader.dll" | 'c:\windows\system32\veldraskuploader.dll') ;;
  *) fail "setupapi: InprocServer32 is '$server'" ;;
esac
run_suite properties setupapi
# Through advpack: an older DLL in place is replaced, a newer one stays.
python3 "$here/with_version.py" "$work/cab/VeldraskUploader.dll" "$sys32/VeldraskUploader.dll" 1.0.0.0
w "$rundll32" advpack.dll,LaunchINFSection "$inf,DefaultInstall,4"
cmp -s "$sys32/VeldraskUploader.dll" "$work/cab/VeldraskUploader.dll" ||
  fail "advpack: an older DLL was not replaced"
python3 "$here/with_version.py" "$work/cab/VeldraskUploader.dll" "$sys32/VeldraskUploader.dll" 99.0.0.0
w "$rundll32" advpack.dll,LaunchINFSection "$inf,DefaultInstall,4"
[ "$(version_of "$sys32/VeldraskUploader.dll")" = 99.0.0.0 ] ||
  fail "advpack: the INF replaced a newer DLL with $(version_of "$sys32/VeldraskUploader.dll")"
w "C:\\windows\\$system\\regsvr32.exe" /s /u "C:\\windows\\$system\\VeldraskUploader.dll"
rm "$sys32/VeldraskUploader.dll"

# ---- The MSI. First what regsvr32 writes for the DLL where the MSI puts it.
folder="$prefix/drive_c/$program_files/Veldrask"
installed="C:\\$program_files\\Veldrask\\VeldraskUploader.dll"
regsvr32="C:\\windows\\$system\\regsvr32.exe"
mkdir -p "$folder"
cp "$packages/$platform/VeldraskUploader.dll" "$folder/"
w "$regsvr32" /s "$installed"
export_classes "$work/registered.txt"
control_keys "$work/registered.txt" >"$work/expected-keys.txt"
w "$regsvr32" /s /u "$installed"
rm -rf "$folder"
# The x64 package carries both DLLs, so a 32-bit host finds its own too, where 32-bit programs
# run. That cscript registers its own type library the first time it runs: before the snapshot.
wow64_host=false
if [ "$platform" = x64 ] && bash "$source_dir/scripts/wine32-runs.sh" 2>/dev/null; then
  wow64_host=true
  echo 'WScript.Echo("")' >"$work/nothing.js"
  w 'C:\windows\syswow64\cscript.exe' //nologo "$(windows_path "$work/nothing.js")" >/dev/null
fi
# Another product's keys under the same parents, and its file in the same folder.
for key in "CLSID\\{0E6B1D59-7F3A-4C55-9C1B-5B1A62F0A001}\\InprocServer32" \
  "TypeLib\\{0E6B1D59-7F3A-4C55-9C1B-5B1A62F0A002}\\1.0" \
  "Interface\\{0E6B1D59-7F3A-4C55-9C1B-5B1A62F0A003}"; do
  w reg add "HKLM\\Software\\Classes\\$key" /ve /d other /f >/dev/null
done
mkdir -p "$folder"
echo other >"$folder/other.txt"
export_classes "$work/before.txt"
files_before=$(cd "$prefix/drive_c" && find 'Program Files' 'Program Files (x86)' | sort)

# An older version of the package, then this one.
old=$work/old
mkdir -p "$old/x86" "$old/x64"
for dll in x86 x64; do
  python3 "$here/with_version.py" "$packages/$dll/VeldraskUploader.dll" \
    "$old/$dll/VeldraskUploader.dll" 1.7.0.0
done
cp "$source_dir"/packaging/windows/*.wx? "$old/"
wixl -a "$platform" -D Version=1.7.0.0 -D Platform="$platform" -D Dll32=x86/VeldraskUploader.dll \
  -D Dll64=x64/VeldraskUploader.dll -o "$old/old.msi" "$old/VeldraskUploader.wxs"
w msiexec /i "$(windows_path "$old/old.msi")" /qn || fail "msiexec /i of the older package"
[ "$(version_of "$folder/VeldraskUploader.dll")" = 1.7.0.0 ] || fail "the older package is not installed"
msi=$(windows_path "$packages/VeldraskUploader-$version-$platform.msi")
w msiexec /i "$msi" /qn || fail "msiexec /i"
cmp -s "$prefix/drive_c/Program Files (x86)/Veldrask/VeldraskUploader.dll" \
  "$packages/x86/VeldraskUploader.dll" || fail "msi: not the x86 DLL"
if [ "$platform" = x64 ]; then
  cmp -s "$folder/VeldraskUploader.dll" "$packages/x64/VeldraskUploader.dll" ||
    fail "msi: not the x64 DLL"
fi
products=$(w reg query "HKLM\\Software\\${view:+$view\\}Microsoft\\Windows\\CurrentVersion\\Uninstall" /s |
  tr -d '\r' | grep -c 'DisplayName.*REG_SZ.*Veldrask Uploader' || true)
[ "$products" = 1 ] || fail "$products products installed after the upgrade, expected 1"
export_classes "$work/installed.txt"
control_keys "$work/installed.txt" >"$work/installed-keys.txt"
diff -u "$work/expected-keys.txt" "$work/installed-keys.txt" ||
  fail "the MSI's registry entries differ from regsvr32's (above)"
run_suite properties msiexec
if $wow64_host; then
  run_suite properties "msiexec, 32-bit cscript" syswow64
fi

w msiexec /x "$msi" /qn || fail "msiexec /x"
export_classes "$work/after.txt"
diff -u "$work/before.txt" "$work/after.txt" || fail "msiexec /x left the registry changed (above)"
files_after=$(cd "$prefix/drive_c" && find 'Program Files' 'Program Files (x86)' | sort)
[ "$files_before" = "$files_after" ] || { fail "msiexec /x left the folders changed";
  diff <(echo "$files_before") <(echo "$files_after") || true; }

[ "$failures" -eq 0 ] && echo "PASSED installs"
exit "$failures"
