#!/usr/bin/env bash
# Runs veldrask.exe under Wine as a command: wine-exe.sh EXE [ARGUMENTS...]
# Standard input and output pass through, and so does the exit status. The host gets a Wine
# prefix of its own beside the exe (wine-prefix-host): its registry holds the control's
# settings apart from the test programs' prefix, and its windows go to Wine's null display
# driver, a desktop nobody sees, so no X server is needed. Under Wine the control's file
# dialog asks for the volume label of the drive mapped to "/", which Wine refuses with a line
# of its own on stderr past WINEDEBUG; that line alone is held back. A 32-bit exe runs in a
# win32 prefix through the 32-bit loader, a 64-bit one in a win64 prefix: the machine field of
# the PE header tells which.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
exe=$1
shift
# The PE header starts at the offset that 0x3c holds; its machine field follows "PE\0\0".
pe_offset=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
case $(od -An -tx2 -j$((pe_offset + 4)) -N2 "$exe" | tr -d ' ') in
  014c) export VELDRASK_WINE_ARCH=win32 ;;
  8664) export VELDRASK_WINE_ARCH=win64 ;;
  *)
    echo "wine-exe: $exe is not an i386 or x86-64 Windows program" >&2
    exit 2
    ;;
esac
# The wrapper that starts the wineserver of either architecture.
wineserver=/usr/lib/wine/wineserver
[[ -x $wineserver ]] || wineserver=wineserver
prefix=${VELDRASK_EXE_PREFIX:-$(cd "$(dirname "$exe")" && pwd)/wine-prefix-host}

if [[ ! -f $prefix/.veldrask-host ]]; then
  (
    flock 9
    if [[ ! -f $prefix/.veldrask-host ]]; then
      "$here/wine-run.sh" "$prefix" reg add 'HKEY_CURRENT_USER\Software\Wine\Drivers' \
        /v Graphics /t REG_SZ /d null /f >/dev/null 9>&-
      # The session that made the prefix keeps the display it started with: end it.
      WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null 9>&- || true
      WINEPREFIX=$prefix "$wineserver" -w 2>/dev/null || true
      touch "$prefix/.veldrask-host"
    fi
  ) 9>"$prefix.host.lock"
fi

# One Wine session serves the runs that follow each other. Its wineserver and system
# processes (services, the desktop) start here, apart from this run's output: started by the
# run, they would hold its stdout and stderr open for a while after it ended.
(
  flock 9
  if WINEPREFIX=$prefix "$wineserver" -p60 </dev/null >/dev/null 2>&1 9>&-; then
    # In a session of its own, a signal to this run's process group leaves them be; they
    # outlive the lock, so they must not hold it.
    setsid "$here/wine-run.sh" "$prefix" wineboot </dev/null >/dev/null 2>&1 9>&- || true
  fi
) 9>"$prefix.session.lock"

noise='^wine: Read access denied for device .*FS volume label and serial are not available\.'
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkfifo "$work/stderr"
{ grep -v --line-buffered "$noise" <"$work/stderr" || true; } >&2 &
filter=$!
"$here/wine-run.sh" "$prefix" "$exe" "$@" 2>"$work/stderr" &
program=$!

# Ctrl-C, SIGTERM and SIGHUP reach the program; the exit status is 128 + the signal's number,
# as a POSIX shell gives for a command a signal ended.
signalled=""
forward() {
  signalled=$2
  kill -"$1" "$program" 2>/dev/null || true
}
trap 'forward INT 130' INT
trap 'forward TERM 143' TERM
trap 'forward HUP 129' HUP

status=0
wait "$program" || status=$?
# A trapped signal ends the wait early: wait on until the program has gone.
while kill -0 "$program" 2>/dev/null; do wait "$program" || status=$?; done
wait "$filter" || true
exit "${signalled:-$status}"
