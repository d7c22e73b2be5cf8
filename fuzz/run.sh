#!/usr/bin/env bash
# Builds the fuzz targets and fuzzes each for a while, growing a working corpus in
# build/fuzz/corpus/<target> (seeded from fuzz/corpus/<target>). Crashes are kept in
# build/fuzz/artifacts/; a crash does not stop the other targets.
#   fuzz/run.sh [seconds per target, default 300] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
source fuzz/common.sh

seconds=${1:-300}
shift || true
fuzz_build_targets
mkdir -p "$fuzz_build/artifacts"

if (($#)); then
  targets=("$@")
else
  mapfile -t targets < <(fuzz_built_targets)
fi

status=0
for target in "${targets[@]}"; do
  corpus="$fuzz_build/corpus/$target"
  mkdir -p "$corpus"
  echo "fuzz $target for ${seconds}s"
  "$fuzz_build/${target}_fuzz" $(fuzz_dict_option "$target") -max_total_time="$seconds" \
    -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$fuzz_build/artifacts/$target-" \
    "$corpus" "fuzz/corpus/$target" || status=1
done
exit "$status"
