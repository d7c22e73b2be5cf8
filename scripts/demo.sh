#!/usr/bin/env bash
# The main job end to end on a fresh machine: installs what is missing, builds veldrask, starts
# the demo server (examples/server, PHP's built-in server on 127.0.0.1), uploads
# examples/files with examples/upload.html as the page, downloads every stored file back with
# examples/download.html into a fresh folder, checks that each came back identical and stops
# the server.
#
# VELDRASK_PRESET chooses the build: package by default, the optimised binaries a user is
# handed (scripts/test.sh builds the debug preset for the tests).
# With --windows the same runs through veldrask.exe and the control DLL of the windows-x64
# build under Wine (scripts/wine-exe.sh), paths given to it in Unix form.
set -euo pipefail
cd "$(dirname "$0")/.."

windows=0
if [[ ${1:-} == --windows ]]; then
  windows=1
elif [[ $# -gt 0 ]]; then
  echo "usage: demo.sh [--windows]" >&2
  exit 2
fi

bash scripts/setup.sh
if ((windows)); then
  bash scripts/build-libxml2-mingw.sh x86_64
  cmake --preset windows-x64 >/dev/null
  cmake --build --preset windows-x64 --target veldrask VeldraskUploader -j"$(nproc)"
  veldrask() { bash "$PWD/scripts/wine-exe.sh" "$PWD/build/windows-x64/veldrask.exe" "$@"; }
else
  preset=${VELDRASK_PRESET:-package}
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target veldrask -j"$(nproc)"
  veldrask_binary=$PWD/build/$preset/apps/veldrask/veldrask
  veldrask() { "$veldrask_binary" "$@"; }
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/veldrask-demo.XXXXXX")
server_pid=""
cleanup() {
  if [[ -n $server_pid ]]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The demo remembers its download folder in a registry of its own, not in the user's.
export VELDRASK_REGISTRY=$work/registry

listening() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

# The control's ServerPort is a signed 16-bit value: a free port below 32768.
start_server() {
  local port
  for _ in $(seq 50); do
    port=$((20000 + RANDOM % 12000))
    listening "$port" && continue
    DEMO_STORE=$work/store php -S "127.0.0.1:$port" -t examples/server \
      examples/server/router.php >"$work/server.log" 2>&1 &
    server_pid=$!
    for _ in $(seq 100); do
      if listening "$port"; then
        echo "$port"
        return 0
      fi
      kill -0 "$server_pid" 2>/dev/null || break
      sleep 0.05
    done
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
    server_pid=""
  done
  echo "demo: the PHP server could not listen on any port in 20000-31999" >&2
  return 1
}

mkdir -p "$work/store"
start_server >"$work/port"
port=$(<"$work/port")
echo "== demo server on http://127.0.0.1:$port (files in $work/store)"

echo "== upload: examples/files with examples/upload.html"
veldrask --page examples/upload.html --param "ServerPort=$port" \
  upload --field "writer=홍길동" examples/files/*

echo "== download: every stored file with examples/download.html"
mapfile -t listed < <(curl -fsS "http://127.0.0.1:$port/list.php")
veldrask --page examples/download.html --param "ServerPort=$port" \
  download --to "$work/downloaded" "${listed[@]}"

echo "== check"
count=0
bytes=0
for original in examples/files/*; do
  copy=$work/downloaded/$(basename "$original")
  cmp "$original" "$copy"
  count=$((count + 1))
  bytes=$((bytes + $(stat -c %s "$original")))
  echo "identical: $(basename "$original")"
done
host=$( ((windows)) && echo "veldrask.exe under Wine" || echo veldrask)
echo "demo ($host): $count files ($bytes bytes) went up to the server and came back identical."
