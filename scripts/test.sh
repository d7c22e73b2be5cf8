#!/usr/bin/env bash
# The test command: installs what is missing, builds the POSIX preset and both Windows presets,
# and runs every test: the POSIX ones natively, the Windows ones (x86_64) under Wine. The i686
# build is checked statically by scripts/build-windows.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
preset=${VELDRASK_PRESET:-debug}
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j"$(nproc)"
bash scripts/build-windows.sh
bash scripts/package.sh --no-build

status=0
ctest --preset "$preset" -j"$(nproc)" || status=1
echo "== Windows tests under Wine"
ctest --preset windows-x64 -j"$(nproc)" || status=1
exit $status
