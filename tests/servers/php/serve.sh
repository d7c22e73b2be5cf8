#!/usr/bin/env bash
# Starts PHP's built-in server on 127.0.0.1 with router.php and prints "PORT N" once it listens.
#
# Usage: serve.sh [--port N] STORE_DIR
#
# PHP cannot pick a port by itself, so a free one in 20000-31999 is tried until PHP keeps it.
# Limits are raised so that uploads of gigabytes and of hundreds of files reach the router.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
port=""
store=""
while (($#)); do
  case $1 in
    --port) port=${2:-}; shift 2 || break ;;
    --port=*) port=${1#--port=}; shift ;;
    -*) store=""; break ;;
    *) store=$1; shift ;;
  esac
done
if [[ -z $store || ! -d $store ]] || [[ -n $port && ! $port =~ ^[0-9]+$ ]]; then
  echo "usage: serve.sh [--port N] STORE_DIR" >&2
  exit 2
fi
store=$(cd "$store" && pwd)

php_pid=""

# PHP's workers outlive their parent when it is stopped, so they are found by their parent.
stop_php() {
  [[ -n $php_pid ]] || return 0
  local stat fields pids=("$php_pid")
  for stat in /proc/[0-9]*/stat; do
    read -r -a fields <"$stat" 2>/dev/null || continue
    [[ ${fields[3]} == "$php_pid" ]] && pids+=("${fields[0]}")
  done
  kill "${pids[@]}" 2>/dev/null
  wait "$php_pid" 2>/dev/null
  php_pid=""
}
trap stop_php EXIT
trap 'exit 143' TERM INT HUP

listening() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

# Starts PHP on $1 and waits until it either listens (status 0) or exits (status 1).
start_php() {
  VELDRASK_STORE=$store PHP_CLI_SERVER_WORKERS=${PHP_CLI_SERVER_WORKERS:-4} \
    php -d upload_max_filesize=2G -d post_max_size=2G -d memory_limit=512M \
      -d max_file_uploads=200 -d max_input_time=-1 -d display_errors=stderr \
      -S "127.0.0.1:$1" -t "$store" "$here/router.php" </dev/null &
  php_pid=$!
  for _ in $(seq 200); do
    if ! kill -0 "$php_pid" 2>/dev/null; then
      wait "$php_pid" 2>/dev/null
      php_pid=""
      return 1
    fi
    listening "$1" && return 0
    sleep 0.05
  done
  stop_php
  return 1
}

for _ in $(seq 50); do
  candidate=${port:-$((20000 + RANDOM % 12000))}
  # A port someone else listens on would pass the check below without PHP owning it.
  if [[ -z $port ]] && listening "$candidate"; then continue; fi
  if start_php "$candidate"; then
    echo "PORT $candidate"
    if [[ ${VELDRASK_EXIT_ON_STDIN_EOF:-} == 1 ]]; then
      # The harness holds the other end of stdin: when the test process dies, even by
      # SIGKILL, the pipe closes and PHP is stopped instead of lingering.
      # Backgrounded (so TERM is handled at once) with stdin named: a background command of a
      # script otherwise reads /dev/null.
      cat <&0 >/dev/null &
      wait $!
      exit 0
    fi
    wait "$php_pid"
    status=$?
    php_pid=""
    exit $status
  fi
  [[ -n $port ]] && break
done
echo "serve.sh: PHP could not listen on ${port:-any port in 20000-31999}" >&2
exit 1
