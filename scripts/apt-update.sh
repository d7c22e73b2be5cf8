#!/usr/bin/env bash
# Refreshes apt's package lists. A mirror caught mid-sync fails an index ("File has unexpected
# size"): try again a little later, and then go on with the lists that did arrive; the install
# or the source fetch that follows says if what it needs is missing.
set -uo pipefail
for attempt in 1 2 3; do
  apt-get update -qq && exit 0
  echo "apt-get update failed (attempt $attempt of 3)" >&2
  ((attempt < 3)) && sleep 20
done
echo "apt-get update: going on with the package lists that arrived" >&2
exit 0
