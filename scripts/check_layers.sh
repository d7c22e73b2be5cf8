#!/usr/bin/env bash
# Each layer includes only itself and the layers below it, as ARCHITECTURE.md draws them; the
# subsystems queue, upload and download stand side by side and never include each other, so
# what two of them share goes below them (transfer/, common/). A quoted include's first folder
# is its layer.
set -euo pipefail
root=${1:-$(dirname "$0")/..}
declare -A below=(
  [base]=""
  [platform]="base"
  [common]="base platform"
  [http]="base platform common"
  [transfer]="base platform common http"
  [queue]="base platform common http transfer"
  [upload]="base platform common http transfer"
  [download]="base platform common http transfer"
  [control]="base platform common http transfer queue upload download"
  [headless]="base platform common"
  [posix]="base platform common"
)
status=0
for dir in "${!below[@]}"; do
  [ -d "$root/src/$dir" ] || continue
  allowed="$dir ${below[$dir]}"
  while IFS= read -r hit; do
    [[ $hit =~ include[[:space:]]*\"([^/\"]+)/ ]] && layer=${BASH_REMATCH[1]}
    if [[ " $allowed " != *" $layer "* ]]; then
      [ $status -eq 0 ] && echo "a layer includes one beside or above it:"
      echo "${hit#"$root/"}"
      status=1
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' "$root/src/$dir" \
             --include='*.h' --include='*.cpp' || true)
done
[ $status -eq 0 ] && echo "layers: each includes only those below it"
exit $status
