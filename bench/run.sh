#!/usr/bin/env bash
# Runs every benchmark and prints the table: veldrask beside curl against nginx on loopback,
# the CPU of a stalled transfer, and the micro benchmarks. Rewrites bench/RESULTS.md with the
# numbers, the machine and the date (its analysis section below the marker is kept).
#
#   bench/run.sh [--quick] [--no-build] [--only e2e|idle|micro]...
#
#   --quick     3 rounds of 1 MiB and 100 MiB, no 1 GiB, shorter micro runs
#   --no-build  use the binaries already in the build directory
#   --only X    run only part X (repeatable)
#
# Environment: VELDRASK_BENCH_BUILD names the build directory (default build/bench, the
# release preset), VELDRASK_BENCH_RESULTS the results file (default bench/RESULTS.md).
set -euo pipefail

bench_dir=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$bench_dir")
build_dir=${VELDRASK_BENCH_BUILD:-$source_dir/build/bench}
results=${VELDRASK_BENCH_RESULTS:-$bench_dir/RESULTS.md}

quick=0
build=1
parts=()
while (($#)); do
  case $1 in
    --quick) quick=1 ;;
    --no-build) build=0 ;;
    --only) parts+=("$2"); shift ;;
    -h|--help) sed -n '2,15p' "$0"; exit 0 ;;
    *) echo "run.sh: unknown argument $1" >&2; exit 2 ;;
  esac
  shift
done
((${#parts[@]})) || parts=(e2e idle micro)
wants() { [[ " ${parts[*]} " == *" $1 "* ]]; }

for tool in nginx curl python3 cmake ninja; do
  command -v "$tool" >/dev/null || { echo "run.sh: $tool is missing (scripts/setup.sh)" >&2; exit 1; }
done

if ((build)); then
  # The release preset in a directory of its own, without the tests (GTest is not needed to
  # benchmark). -Wno-restrict: GCC 12 at -O3 reports a false -Wrestrict inside std::string's
  # operator+ (GCC bug 105329) in src/base/error.cpp, which -Werror turns into a failed build.
  # -g only adds symbols for perf and callgrind; the code is the same.
  cmake --preset release -S "$source_dir" -B "$build_dir" -DVELDRASK_BUILD_TESTS=OFF \
    "-DCMAKE_CXX_FLAGS=-Wno-restrict -g" >/dev/null
  cmake --build "$build_dir" --target veldrask veldrask_micro_bench veldrask_raw_transfer
fi
veldrask=$build_dir/apps/veldrask/veldrask
micro=$build_dir/bench/micro/veldrask_micro_bench
raw=$build_dir/bench/raw/veldrask_raw_transfer

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

load() { cut -d' ' -f1-3 /proc/loadavg; }
{
  echo "- Date: $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "- CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'), nproc $(nproc)"
  echo "- Kernel: $(uname -sr); memory $(free -g | awk '/^Mem:/ {print $2}') GiB"
  modified=
  git -C "$source_dir" status --porcelain -- src apps 2>/dev/null | grep -q . &&
    modified=" with uncommitted changes in src/ or apps/"
  echo "- Source: $(git -C "$source_dir" rev-parse --short HEAD 2>/dev/null || echo unknown)$modified;" \
       "$(c++ --version | head -1), release preset; nginx $(nginx -v 2>&1 | cut -d/ -f2);" \
       "$(curl --version | head -1 | cut -d' ' -f1-2)"
  echo "- Load average (1, 5, 15 min) before: $(load)"
} >"$out/machine.txt"

if wants e2e; then
  echo "== end to end (nginx on loopback) ==" >&2
  if ((quick)); then
    python3 "$bench_dir/e2e.py" --veldrask "$veldrask" --raw "$raw" --out "$out/e2e.json" \
      --sizes 1MiB,100MiB --runs-small 3 --runs-medium 3
  else
    python3 "$bench_dir/e2e.py" --veldrask "$veldrask" --raw "$raw" --out "$out/e2e.json"
  fi
fi
if wants idle; then
  echo "== stalled transfers ==" >&2
  python3 "$bench_dir/idle.py" --veldrask "$veldrask" --out "$out/idle.json"
fi
if wants micro; then
  echo "== micro benchmarks ==" >&2
  min_time=0.5
  ((quick)) && min_time=0.05
  "$micro" --benchmark_min_time="$min_time" --benchmark_format=console \
    --benchmark_out="$out/micro.json" --benchmark_out_format=json >&2
fi
echo "- Load average after: $(load)" >>"$out/machine.txt"

python3 "$bench_dir/report.py" --e2e "$out/e2e.json" --idle "$out/idle.json" \
  --micro "$out/micro.json" --machine "$out/machine.txt" --results "$results"
