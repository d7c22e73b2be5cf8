#!/usr/bin/env bash
# Packaging signs every file with a given key, verifiably against its CA; a changed byte
# breaks the signature; a wrong password or a missing key stops it with nothing written;
# without a key the files are unsigned and it says so. The signed 64-bit DLL still registers
# (regsvr32 under Wine, in PREFIX, made afresh).
# Usage: signing_test.sh SOURCE_DIR PREFIX
set -euo pipefail
source_dir=$1
prefix=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bash "$here/test_signing_key.sh" "$work/key"
package() { bash "$source_dir/scripts/package.sh" --no-build "$@"; }

failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

package --out "$work/signed" --key "$work/key/key.p12" \
  --password-file "$work/key/password.txt" >"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
grep -q UNSIGNED "$work/log" && fail "a signed run says its files are unsigned"
mapfile -t files < <(cd "$work/signed" && find . -type f \( -name '*.dll' -o -name '*.exe' \
  -o -name '*.cab' -o -name '*.msi' \) | sort)
[ "${#files[@]}" -eq 8 ] || fail "expected 8 files to sign, found ${#files[@]}: ${files[*]}"
for file in "${files[@]}"; do
  osslsigncode verify -CAfile "$work/key/ca.pem" -in "$work/signed/$file" >"$work/verify" 2>&1 ||
    { fail "$file does not verify"; cat "$work/verify"; }
done

# Signed, the DLL still loads and registers itself.
rm -rf "$prefix"
w() { "$source_dir/scripts/wine-run.sh" "$prefix" "$@"; }
dll="Z:$(readlink -f "$work/signed/x64/VeldraskUploader.dll" | tr / '\\')"
w regsvr32 /s "$dll" || fail "regsvr32 of the signed DLL returned $?"
server=$(w reg query 'HKCR\CLSID\{D05A67AE-F78D-4C94-85DD-E93A46C2066C}\InprocServer32' /ve |
  tr -d '\r' | LC_ALL=C sed -n 's/^.*REG_SZ *//p')
[ "$server" = "$dll" ] || fail "the signed DLL registered '$server'"
w regsvr32 /s /u "$dll" || fail "regsvr32 /u of the signed DLL returned $?"

# One byte of the signed content changed, in the middle of each kind of file.
for file in x64/VeldraskUploader.dll VeldraskUploader-x64.cab \
  "$(cd "$work/signed" && ls -1 -- *-x64.msi)"; do
  cp "$work/signed/$file" "$work/changed"
  offset=$(($(stat -c %s "$work/changed") / 2))
  byte=$(od -An -tu1 -j"$offset" -N1 "$work/changed" | tr -d ' ')
  printf "\\$(printf '%03o' $(((byte + 1) % 256)))" |
    dd of="$work/changed" bs=1 seek="$offset" conv=notrunc status=none
  if osslsigncode verify -CAfile "$work/key/ca.pem" -in "$work/changed" >/dev/null 2>&1; then
    fail "$file with a changed byte still verifies"
  fi
done

# A wrong password, and a key that is not there: an error naming the key, no output.
echo wrong >"$work/wrong.txt"
for key_and_password in "$work/key/key.p12:$work/wrong.txt" "$work/none.p12:$work/wrong.txt"; do
  key=${key_and_password%%:*}
  if package --out "$work/bad" --key "$key" --password-file "${key_and_password#*:}" \
    >"$work/log" 2>&1; then
    fail "packaging with $key and a wrong password succeeded"
  fi
  grep -qF "$key" "$work/log" || fail "the error does not name $key: $(cat "$work/log")"
  [ ! -e "$work/bad" ] || fail "a failed run with $key left $work/bad behind"
done

# No key: exit 0, unsigned files and the notice.
package --out "$work/unsigned" >"$work/log" 2>&1 || fail "packaging without a key failed"
grep -q UNSIGNED "$work/log" || fail "no notice that the files are unsigned"
if osslsigncode verify -CAfile "$work/key/ca.pem" -in "$work/unsigned/VeldraskUploader.cab" \
  >/dev/null 2>&1; then
  fail "an unsigned CAB verifies"
fi

[ "$failures" -eq 0 ] && echo "PASSED signing"
exit "$failures"
