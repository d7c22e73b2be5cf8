#!/usr/bin/env bash
# Checks Windows programs and DLLs statically: check-pe-imports.sh pe32|pe32+ FOLDER
# Every .exe and .dll under FOLDER (outside CMake's own files and the Wine prefixes the tests
# make, wine-prefix and wine-prefix-com) must be of the given format (pe32: 32-bit, pe32+:
# 64-bit) and import only DLLs that come with Windows, so that nothing else has to be installed
# beside them. At least one must be there.
set -euo pipefail

format=$1
folder=$2
case $format in
  pe32) objdump=i686-w64-mingw32-objdump expected=pei-i386 ;;
  pe32+) objdump=x86_64-w64-mingw32-objdump expected=pei-x86-64 ;;
  *) echo "check-pe-imports: format is pe32 or pe32+, not $format" >&2; exit 2 ;;
esac
# The system's own DLLs (compared without case).
allowed='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|ws2_32|bcrypt|secur32|crypt32|msvcrt|shlwapi|version|uxtheme|imm32|winmm)\.dll$'

mapfile -t files < <(find "$folder" \( -path '*/CMakeFiles' -o -path '*/wine-prefix*' \) -prune -o \
  \( -name '*.exe' -o -name '*.dll' \) -type f -print | sort)
if ((${#files[@]} == 0)); then
  echo "check-pe-imports: no .exe or .dll under $folder" >&2
  exit 1
fi

status=0
for file in "${files[@]}"; do
  actual=$("$objdump" -f "$file" | sed -n 's/.*file format \(.*\)$/\1/p')
  if [[ $actual != "$expected" ]]; then
    echo "$file: format $actual, expected $expected" >&2
    status=1
  fi
  while read -r dll; do
    if ! grep -qiE "$allowed" <<<"$dll"; then
      echo "$file: imports $dll, which is not a system DLL" >&2
      status=1
    fi
  done < <("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p')
done
((status == 0)) && echo "check-pe-imports: ${#files[@]} files are $format and import only system DLLs"
exit $status
