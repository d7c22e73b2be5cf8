# Sourced by the test scripts that drive Wine from the Linux side. A caller that reads the
# registry defines wine_run, its runner for the prefix under test.

# A Linux path as Wine's Z: drive shows it.
windows_path() {
  local p
  p=$(readlink -f "$1")
  echo "Z:${p//\//\\}"
}

# The data of a key's REG_SZ value (the default one when no name is given), or "<absent>".
value_of() {
  local out
  if [ -z "${2:-}" ]; then
    out=$(wine_run reg query "$1" /ve 2>/dev/null) || { echo '<absent>'; return; }
  else
    out=$(wine_run reg query "$1" /v "$2" 2>/dev/null) || { echo '<absent>'; return; }
  fi
  printf '%s\n' "$out" | tr -d '\r' | LC_ALL=C sed -n 's/^.*REG_SZ *//p' | head -n1
}
