#!/usr/bin/env bash
# The packages as built, read without running them: each CAB holds its INF and the DLL of
# its platform; the INF is in code download form with the DLL's own version; each MSI is per
# machine, of the expected version and UpgradeCode, with the components of its platform and
# the control's registration as registry rows.
# The example page's codebase asks for this version (its build number aside).
# Usage: contents_test.sh PACKAGES_DIR VERSION (a.b.c.d, from CMake) SOURCE_DIR
set -euo pipefail
packages=$1
version=$2
source_dir=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
# The version resource of a DLL, as a.b.c.d.
version_of() {
  x86_64-w64-mingw32-windres -i "$1" -O rc |
    sed -n 's/^ *FILEVERSION \([0-9]*\), \([0-9]*\), \([0-9]*\), \([0-9]*\)$/\1.\2.\3.\4/p'
}

for platform in x86 x64; do
  suffix=-x64
  [ $platform = x64 ] || suffix=""
  cab=$packages/VeldraskUploader$suffix.cab
  listed=$(gcab --list "$cab" | sort | tr '\n' ' ')
  [ "$listed" = "VeldraskUploader.dll VeldraskUploader.inf " ] ||
    fail "$cab holds '$listed'"
  mkdir -p "$work/$platform"
  cabextract -q -d "$work/$platform" "$cab"
  dll=$work/$platform/VeldraskUploader.dll
  cmp -s "$dll" "$packages/$platform/VeldraskUploader.dll" || fail "$cab: not the $platform DLL"
  machine=$(x86_64-w64-mingw32-objdump -f "$dll" | sed -n 's/.*file format //p')
  expected_machine=$([ $platform = x64 ] && echo pei-x86-64 || echo pei-i386)
  [ "$machine" = "$expected_machine" ] || fail "$cab: DLL is $machine"
  [ "$(version_of "$dll")" = "$version" ] || fail "$cab: DLL version $(version_of "$dll")"

  inf=$(tr -d '\r' <"$work/$platform/VeldraskUploader.inf")
  for line in 'signature="$CHICAGO$"' '[Add.Code]' 'VeldraskUploader.dll=VeldraskUploader.dll' \
    "file-win32-$platform=thiscab" 'clsid={D05A67AE-F78D-4C94-85DD-E93A46C2066C}' \
    "FileVersion=${version//./,}" 'RegisterServer=yes' 'DestDir=11' '[DefaultInstall]' \
    'CopyFiles=Control.Files' 'RegisterDlls=Control.Register'; do
    grep -qxF "$line" <<<"$inf" || fail "$cab: the INF has no line $line"
  done

  msi=$packages/VeldraskUploader-$version-$platform.msi
  [ -f "$msi" ] || { fail "no $msi"; continue; }
  property() { msiinfo export "$msi" Property | tr -d '\r' | sed -n "s/^$1\t//p"; }
  [ "$(property ProductVersion)" = "$version" ] || fail "$msi: ProductVersion $(property ProductVersion)"
  [ "$(property ALLUSERS)" = 1 ] || fail "$msi: not per machine"
  [ "$(property UpgradeCode)" = '{352C9503-F6A0-40E0-855F-47FAB9E2E9CE}' ] ||
    fail "$msi: UpgradeCode $(property UpgradeCode)"
  template=$(msiinfo suminfo "$msi" | sed -n 's/^Template: //p')
  expected_template=Intel
  [ $platform = x86 ] || expected_template=x64
  [ "${template%%;*}" = "$expected_template" ] || fail "$msi: platform $template"
  [ "$(property ProductLanguage)" = 1042 ] || fail "$msi: language $(property ProductLanguage)"
  # Component, attributes (256: 64-bit), key file, and that file's version and language (the
  # DLL's own, which Windows Installer compares with an installed one's).
  components=$(awk -F'\t' 'FNR == NR { if (FNR > 3) file[$1] = $5 " " $6; next }
                           FNR > 3 { print $1, $4, $6, file[$6] }' \
    <(msiinfo export "$msi" File | tr -d '\r') <(msiinfo export "$msi" Component | tr -d '\r') |
    sort | tr '\n' ';')
  expected="Control32 0 Dll32 $version 1042;"
  [ $platform = x64 ] && expected+="Control64 256 Dll64 $version 1042;"
  [ "$components" = "$expected" ] || fail "$msi: components $components"
  # The major upgrade: older versions found and removed, newer ones detected.
  grep -q "	$version	.*WIX_DOWNGRADE_DETECTED" <<<"$(msiinfo export "$msi" Upgrade)" ||
    fail "$msi: no downgrade detection"
  grep -q '^RemoveExistingProducts' <<<"$(msiinfo export "$msi" InstallExecuteSequence)" ||
    fail "$msi: no RemoveExistingProducts"
  # The registration as rows, never by calling the DLL.
  registry=$(msiinfo export "$msi" Registry | tr -d '\r')
  for component in Control32 Control64; do
    [[ $expected == *"$component "* ]] || continue
    rows=$(grep -c "	$component\$" <<<"$registry" || true)
    [ "$rows" -eq 29 ] || fail "$msi: $rows registry rows for $component, expected 29"
  done
  grep -q 'InprocServer32		\[#Dll32\]' <<<"$registry" ||
    fail "$msi: no InprocServer32 for the 32-bit DLL"
  if grep -qx SelfReg <<<"$(msiinfo tables "$msi")"; then fail "$msi: the DLL registers itself"; fi
done

page_version=$(sed -n 's/.*codebase="VeldraskUploader.cab#version=\([0-9,]*\)".*/\1/p' \
  "$source_dir/examples/windows.html")
[ "${page_version%,*}" = "$(tr . , <<<"${version%.*}")" ] ||
  fail "examples/windows.html asks for version '$page_version', the packages are $version"

[ "$failures" -eq 0 ] && echo "PASSED package contents"
exit "$failures"
