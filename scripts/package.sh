#!/usr/bin/env bash
# Builds the control's packages: scripts/package.sh [--out DIR] [--no-build]
#   [--key FILE.p12] [--password-file FILE] [--timestamp URL]
# Into build/packages (or DIR): VeldraskUploader.cab (32-bit DLL) and VeldraskUploader-x64.cab
# for a page's codebase, each with its INF; VeldraskUploader-<version>-x86.msi (32-bit DLL)
# and -x64.msi (both DLLs) for administrators; and x86/, x64/ with the DLL and veldrask.exe.
# The version is the DLLs' own version resource (the project's version in CMake and
# VELDRASK_BUILD_NUMBER, which this script passes to CMake when it is set).
#
# Signing (Authenticode, osslsigncode): a PKCS#12 key from --key or VELDRASK_SIGN_KEY, its
# password from --password-file or VELDRASK_SIGN_PASSWORD_FILE (a file) or
# VELDRASK_SIGN_PASSWORD, and an RFC 3161 timestamp server from --timestamp or
# VELDRASK_SIGN_TIMESTAMP. The DLLs and programs are signed before they are packed, then the
# CABs and MSIs. Without a key every file is unsigned, which the script says. A key that cannot
# be read or opened stops it before anything is written; nothing of a failed run is left.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$PWD

out=$here/build/packages
build=1
key=${VELDRASK_SIGN_KEY:-}
password_file=${VELDRASK_SIGN_PASSWORD_FILE:-}
timestamp=${VELDRASK_SIGN_TIMESTAMP:-}
while (($#)); do
  case $1 in
    --out) out=$2; shift 2 ;;
    --no-build) build=0; shift ;;
    --key) key=$2; shift 2 ;;
    --password-file) password_file=$2; shift 2 ;;
    --timestamp) timestamp=$2; shift 2 ;;
    *) echo "package: unknown option '$1' (see the comment at the top of $0)" >&2; exit 2 ;;
  esac
done

fail() { echo "package: $*" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The key is checked before anything is built or written.
if [[ -n $key ]]; then
  [[ -f $key && -r $key ]] || fail "cannot read the signing key $key"
  if [[ -z $password_file ]]; then
    (umask 077 && printf '%s' "${VELDRASK_SIGN_PASSWORD:-}" >"$work/password")
    password_file=$work/password
  fi
  [[ -r $password_file ]] || fail "cannot read the key's password file $password_file"
  openssl pkcs12 -in "$key" -passin "file:$password_file" -nokeys -noout 2>/dev/null ||
    fail "cannot open the signing key $key: wrong password, or not a PKCS#12 file"
fi

if ((build)); then
  configure=()
  [[ -n ${VELDRASK_BUILD_NUMBER:-} ]] && configure+=("-DVELDRASK_BUILD_NUMBER=$VELDRASK_BUILD_NUMBER")
  for arch in i686 x86_64; do
    preset=$([[ $arch == i686 ]] && echo windows-x86 || echo windows-x64)
    bash scripts/build-libxml2-mingw.sh "$arch"
    cmake --preset "$preset" "${configure[@]}" >/dev/null
    cmake --build --preset "$preset" --target VeldraskUploader veldrask -j"${VELDRASK_JOBS:-$(nproc)}"
  done
fi

# The version from a DLL's resource, as a.b.c.d.
version_of() {
  x86_64-w64-mingw32-windres -i "$1" -O rc 2>/dev/null |
    sed -n 's/^ *FILEVERSION \([0-9]*\), \([0-9]*\), \([0-9]*\), \([0-9]*\)$/\1.\2.\3.\4/p'
}
# The language of a DLL's resource, as a decimal LANGID (1042).
language_of() {
  local hex
  hex=$(x86_64-w64-mingw32-windres -i "$1" -O rc 2>/dev/null |
    sed -n 's/^ *VALUE "Translation", 0x\([0-9a-fA-F]*\),.*/\1/p')
  [[ -n $hex ]] && echo $((16#$hex))
}
stage=$work/stage
for platform in x86 x64; do
  mkdir -p "$stage/$platform"
  for file in VeldraskUploader.dll veldrask.exe; do
    cp "build/windows-$platform/$file" "$stage/$platform/" ||
      fail "no build/windows-$platform/$file (build it, or leave out --no-build)"
  done
done
version=$(version_of "$stage/x86/VeldraskUploader.dll")
[[ -n $version ]] || fail "build/windows-x86/VeldraskUploader.dll has no version resource"
language=$(language_of "$stage/x86/VeldraskUploader.dll")
[[ -n $language ]] || fail "build/windows-x86/VeldraskUploader.dll has no resource language"
[[ $(version_of "$stage/x64/VeldraskUploader.dll") == "$version" ]] ||
  fail "the x86 and x64 DLLs have different versions; build both from the same tree"

# Signs FILE in place, through a copy: a failed signature leaves nothing behind.
sign() {
  [[ -n $key ]] || return 0
  local args=(sign -pkcs12 "$key" -readpass "$password_file" -h sha256
              -n "Veldrask 파일 전송 컨트롤" -in "$1" -out "$1.signed")
  [[ -n $timestamp ]] && args+=(-ts "$timestamp")
  osslsigncode "${args[@]}" >"$work/sign.log" 2>&1 ||
    { cat "$work/sign.log" >&2; fail "signing $(basename "$1") with $key failed"; }
  mv "$1.signed" "$1"
}

result=$work/result
mkdir -p "$result"
for platform in x86 x64; do
  sign "$stage/$platform/VeldraskUploader.dll"
  sign "$stage/$platform/veldrask.exe"
  suffix=$([[ $platform == x64 ]] && echo -x64 || true)
  inf=$work/inf-$platform/VeldraskUploader.inf
  mkdir -p "$(dirname "$inf")"
  sed -e "s/@PLATFORM@/$platform/g" -e "s/@SUFFIX@/$suffix/g" -e "s/@VERSION@/$version/g" \
      -e "s/@VERSION_COMMAS@/${version//./,}/g" packaging/windows/VeldraskUploader.inf.in |
    sed 's/$/\r/' >"$inf"
  gcab --create --nopath --zip "$result/VeldraskUploader$suffix.cab" "$inf" \
    "$stage/$platform/VeldraskUploader.dll"
  sign "$result/VeldraskUploader$suffix.cab"

  msi=$result/VeldraskUploader-$version-$platform.msi
  # wixl finds Source files from the descriptor's folder, by relative names only.
  cp packaging/windows/VeldraskUploader.wxs packaging/windows/registration.wxi "$stage/"
  wixl -a "$platform" -D Version="$version" -D Platform="$platform" \
    -D Dll32=x86/VeldraskUploader.dll -D Dll64=x64/VeldraskUploader.dll \
    -o "$msi" "$stage/VeldraskUploader.wxs"
  # wixl leaves the File table's Version and Language empty; Windows Installer compares them
  # with an installed DLL's before it replaces that.
  msibuild "$msi" -q "UPDATE \`File\` SET \`Version\` = '$version', \`Language\` = '$language'
    WHERE \`File\` = 'Dll32' OR \`File\` = 'Dll64'" || fail "cannot set the DLL's version in $msi"
  sign "$msi"
done
mv "$stage/x86" "$stage/x64" "$result/"

# Only a complete run replaces the previous packages.
mkdir -p "$(dirname "$out")"
rm -rf "$out"
mv "$result" "$out"
echo "package: version $version in $out"
ls -1 "$out"
if [[ -z $key ]]; then
  echo "package: no signing key given (--key or VELDRASK_SIGN_KEY): every file is UNSIGNED"
fi
