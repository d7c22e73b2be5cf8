#!/usr/bin/env bash
# Installs everything the build, the tests, the benchmarks and the tools need on a fresh
# Debian 12 machine. Idempotent and quick when everything is already there.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  clang clang-format clang-tidy cppcheck libclang-rt-14-dev
  libglib2.0-dev shared-mime-info libxml2-dev nlohmann-json3-dev
  locales
  php-cli python3 python3-werkzeug python3-flask tinyproxy
  nodejs curl nginx-light xdg-utils libssl-dev openssl
  # The Windows cross builds, and Wine to run their tests (fonts with Hangul for its windows).
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
  # libxml2 for them from Debian's source package (scripts/build-libxml2-mingw.sh).
  dpkg-dev
  wine wine64 xvfb fonts-nanum x11-apps imagemagick
  # 32-bit Wine beside wine64 (multiarch, below): the i686 build's tests and WoW64.
  wine32:i386
  # Packaging the control: CABs, MSIs, Authenticode.
  gcab msitools wixl cabextract osslsigncode
)

# The i386 architecture for wine32, once; its package lists come with the update below
# (wine32:i386 is then missing, so the update runs).
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# npm ships inside nodejs on some images and as its own package on others.
command -v npm >/dev/null 2>&1 || missing+=(npm)

if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  bash scripts/apt-update.sh
  # When one architecture's security list is missing, the two architectures' candidates for a
  # shared library differ and wine32:i386 cannot be installed; the release's own lists alone
  # give both the same versions.
  apt-get install -y -qq --no-install-recommends "${missing[@]}" ||
    apt-get install -y -qq --no-install-recommends -t bookworm "${missing[@]}"
fi

# Type names in the user's language are checked under a Korean locale.
if ! locale -a 2>/dev/null | grep -qi '^ko_KR\.utf-\?8$'; then
  sed -i 's/^# *\(ko_KR.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ko_KR.UTF-8 UTF-8' /etc/locale.gen || echo 'ko_KR.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
fi

# Node test servers, pinned by tests/servers/package-lock.json.
if [ -f tests/servers/package-lock.json ]; then
  if [ ! -d tests/servers/node_modules ] ||
     [ tests/servers/package-lock.json -nt tests/servers/node_modules/.package-lock.json ]; then
    (cd tests/servers && npm ci --no-audit --no-fund --loglevel=error)
  fi
fi
