#!/usr/bin/env bash
# Builds both Windows presets with mingw-w64: build/windows-x86 (the 32-bit control that
# browsers load; its tests run under 32-bit Wine: ctest --preset windows-x86) and
# build/windows-x64 (ctest --preset windows-x64). Both are checked statically as well: PE32 or
# PE32+ importing system DLLs only, and the 32-bit DLL's four stdcall exports.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${VELDRASK_JOBS:-$(nproc)}
for preset in windows-x86 windows-x64; do
  echo "== $preset"
  # The page reader's libxml2, built once from Debian's source for the target.
  arch=$([[ $preset == windows-x86 ]] && echo i686 || echo x86_64)
  bash scripts/build-libxml2-mingw.sh "$arch"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
done
bash scripts/check-pe-imports.sh pe32 build/windows-x86
bash scripts/check-pe-imports.sh pe32+ build/windows-x64
# The control DLL of the 32-bit target: exactly the four entry points, undecorated.
bash tests/win32/com/static_check.sh i686-w64-mingw32-objdump build/windows-x86/VeldraskUploader.dll
