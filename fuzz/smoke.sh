#!/usr/bin/env bash
# Builds the fuzz targets and runs each for a fixed number of inputs, starting from its seed
# corpus; exits non-zero when any target crashes or breaks an invariant. The crashing input is
# kept in build/fuzz/artifacts/.
#   fuzz/smoke.sh            20000 runs per target
#   FUZZ_RUNS=5000 fuzz/smoke.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source fuzz/common.sh

# The sanitizer preset's leak options (slow unwinding at every allocation, so that GIO's
# suppressions match) serve the control's tests; the fuzz targets use no GIO, and those options
# would make them several times slower.
unset LSAN_OPTIONS

runs=${FUZZ_RUNS:-20000}
fuzz_build_targets
mkdir -p "$fuzz_build/artifacts"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

failed=()
for target in $(fuzz_built_targets); do
  # New inputs go to a scratch folder: the seed corpus in the repository stays as it is.
  mkdir -p "$scratch/$target"
  log="$fuzz_build/smoke-$target.log"
  if "$fuzz_build/${target}_fuzz" $(fuzz_dict_option "$target") -runs="$runs" \
      -seed="${FUZZ_SEED:-1}" -timeout=20 -rss_limit_mb=2048 \
      -artifact_prefix="$fuzz_build/artifacts/$target-" "$scratch/$target" "fuzz/corpus/$target" >"$log" 2>&1; then
    echo "fuzz $target: $runs runs, no crash"
  else
    echo "fuzz $target: FAILED (log: $log)"
    tail -n 40 "$log"
    failed+=("$target")
  fi
done

if ((${#failed[@]})); then
  echo "fuzz targets that failed: ${failed[*]}"
  exit 1
fi
