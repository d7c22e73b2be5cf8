#!/usr/bin/env bash
# Installs the library of a build into a fresh prefix, builds the program in consumer/ against
# that prefix alone (find_package) with the build's compiler, and runs it against an upload
# server: the file must arrive intact and the control must answer as it does in the build.
# Usage: install_and_embed.sh BUILD_DIR WORK_DIR GENERATOR BUILD_TYPE CXX_COMPILER [LAUNCHER]
set -euo pipefail
build=$1 work=$2 generator=$3 build_type=$4 compiler=$5 launcher=${6:-}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)

# WORK_DIR is the same folder each run, so that a compiler cache finds the consumer's objects
# again; it starts empty.
rm -rf "$work"
mkdir -p "$work/store" "$work/registry"
trap '[ -z "${server_PID:-}" ] || kill "$server_PID" 2>/dev/null || true' EXIT
# Runs a step with its output shown only when it fails.
quietly() {
  "$@" >"$work/step.log" 2>&1 || { cat "$work/step.log" >&2; return 1; }
}

quietly cmake --install "$build" --prefix "$work/prefix" --component development
# The installed package's CMake files must not lead back to the source or the build.
if grep -rlF -e "$root" -e "$build" "$work/prefix/lib/cmake"; then
  echo "the installed package names the source or build folder" >&2
  exit 1
fi

quietly cmake -S "$here/consumer" -B "$work/build" -G "$generator" \
  -DCMAKE_BUILD_TYPE="$build_type" -DCMAKE_CXX_COMPILER="$compiler" \
  ${launcher:+-DCMAKE_CXX_COMPILER_LAUNCHER="$launcher"} \
  -DCMAKE_PREFIX_PATH="$work/prefix" -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
quietly cmake --build "$work/build"

# The server also ends when this script does, however it ends (its stdin closes).
coproc server {
  VELDRASK_EXIT_ON_STDIN_EOF=1 python3 "$root/tests/servers/python/email_server.py" "$work/store"
}
read -r word port <&"${server[0]}" || true
[ "$word" = PORT ] || { echo "the upload server did not start" >&2; exit 1; }

head -c 300000 /dev/urandom >"$work/notes.bin"
VELDRASK_REGISTRY="$work/registry" "$work/build/embed_control" 127.0.0.1 "$port" \
  "$work/notes.bin" >"$work/out"
cmp "$work/notes.bin" "$work/store/notes.bin"
mapfile -t lines <"$work/out"
expected=("%BAB8%B0ED%BCAD+1%2Etxt" "200 OK" "http://127.0.0.1/done")
for i in 0 1 2; do
  if [ "${lines[$i]}" != "${expected[$i]}" ]; then
    echo "line $((i + 1)): '${lines[$i]}', expected '${expected[$i]}'" >&2
    exit 1
  fi
done
grep -q '"filename": "notes.bin"' "$work/out"
echo "installed, built against the install and uploaded through it"
