#!/usr/bin/env bash
# Runs one script suite under cscript against the registered control: a JScript suite (.js)
# after jscript/harness.js, a VBScript one (.vbs) after vbscript/harness.vbs. cscript reads
# scripts and writes its output in the ANSI code page (949 in the test prefix), so the UTF-8
# suites are converted both ways.
# Usage: run_script_suite.sh DLL SUITE.js|SUITE.vbs WINE_RUNNER...
set -euo pipefail
dll=$1
suite=$2
shift 2
wine=("$@")
here=$(dirname "$0")
source "$here/../wine_test_helpers.sh"

work=$(mktemp -d)
trap '"${wine[@]}" regsvr32 /s /u "$(windows_path "$dll")" || true; rm -rf "$work"' EXIT
case $suite in
  *.js) language=jscript extension=js ;;
  *.vbs) language=vbscript extension=vbs ;;
  *) echo "run_script_suite: $suite is neither .js nor .vbs" >&2; exit 1 ;;
esac
cat "$here/$language/harness.$extension" "$suite" | iconv -f UTF-8 -t CP949 >"$work/suite.$extension"

"${wine[@]}" regsvr32 /s "$(windows_path "$dll")"
status=0
"${wine[@]}" cscript //nologo "$(windows_path "$work/suite.$extension")" >"$work/output" || status=$?
iconv -f CP949 -t UTF-8 "$work/output" | tr -d '\r'
# A suite passes only by reaching its end with no failed check.
grep -q '^PASSED ' <(iconv -f CP949 -t UTF-8 "$work/output" | tr -d '\r') || status=1
exit "$status"
