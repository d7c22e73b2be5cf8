#!/usr/bin/env bash
# The TLS fronts the Win32 backend's tests reach from inside Wine, run on this side as a CTest
# fixture: tls_fronts.sh start|stop DIR.
# start makes the test certificates in DIR/certificates, chooses a free port for the plain peer
# the test itself listens on, starts a front to it per certificate (good, expired, other-name,
# self-signed, huge-chain; and good again with a fault: "abrupt" cuts instead of sending the
# close notice, "tls-1.1" speaks nothing newer, "renegotiate" asks the client to negotiate again,
# "stall" accepts and never speaks) and writes "NAME PORT" lines to DIR/fronts.txt ("backend
# PORT" first). stop ends them.
set -euo pipefail
action=${1:?usage: tls_fronts.sh start|stop DIR}
dir=${2:?usage: tls_fronts.sh start|stop DIR}
servers=$(cd "$(dirname "$0")/../../servers" && pwd)

stop() {
  [[ -f $dir/pids ]] || return 0
  while read -r pid; do kill "$pid" 2>/dev/null || true; done <"$dir/pids"
  rm -f "$dir/pids"
}

if [[ $action == stop ]]; then
  stop
  exit 0
fi

stop
rm -rf "$dir"
mkdir -p "$dir"
bash "$servers/tls/make_certificates.sh" "$dir/certificates" >/dev/null 2>&1
backend=$(node -e "const s = require('net').createServer().listen(0, '127.0.0.1', () => {
  console.log(s.address().port); s.close(); });")
echo "backend $backend" >"$dir/fronts.txt"

start_front() {
  local name=$1 certificate=$2
  shift 2
  # Every stream of the front goes to files, so CTest does not wait for it to end.
  setsid node "$servers/node/tls_front.js" --cert "$dir/certificates/$certificate.pem" \
    --key "$dir/certificates/$certificate.key" --to "$backend" "$@" \
    </dev/null >"$dir/$name.out" 2>"$dir/$name.err" &
  echo $! >>"$dir/pids"
  for _ in $(seq 100); do
    if read -r word port <"$dir/$name.out" && [[ $word == PORT ]]; then
      echo "$name $port" >>"$dir/fronts.txt"
      return 0
    fi
    sleep 0.1
  done
  echo "tls_fronts: the $name front did not start: $(cat "$dir/$name.err")" >&2
  stop
  exit 1
}

for certificate in good expired other-name self-signed huge-chain; do
  start_front "$certificate" "$certificate"
done
start_front abrupt good --abrupt-close
start_front tls-1.1 good --max-tls-1.1
start_front renegotiate good --renegotiate
start_front stall good --stall
