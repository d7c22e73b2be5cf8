#!/usr/bin/env bash
# Builds both Windows presets with mingw-w64: build/windows-x86 (the 32-bit target; it cannot
# run here, so its programs are checked statically: PE32, system DLLs only) and
# build/windows-x64 (whose tests run under Wine: ctest --test-dir build/windows-x64).
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
