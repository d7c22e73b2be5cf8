#!/usr/bin/env bash
# Cross-builds libxml2 for the Windows presets from Debian's own source package, once:
# build-libxml2-mingw.sh ARCH (i686 or x86_64) installs a static library and its headers under
# build/third_party/libxml2-ARCH, where the Windows presets find it. Debian ships no mingw
# libxml2; its source is fetched through apt (signed indices, checked hashes) and built without
# iconv, zlib, lzma or network code: the host only reads pages from memory.
set -euo pipefail
cd "$(dirname "$0")/.."

arch=$1
root=$PWD/build/third_party
prefix=$root/libxml2-$arch
[[ -f $prefix/.built ]] && exit 0

mkdir -p "$root"
(
  flock 9
  [[ -f $prefix/.built ]] && exit 0
  if ! ls -d "$root"/libxml2-2.*/ >/dev/null 2>&1; then
    # Source entries for the machine's own Debian release (setup.sh installs dpkg-dev).
    if ! apt-get indextargets --format '$(CREATED_BY)' 2>/dev/null | grep -q '^Sources$'; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
        >/etc/apt/sources.list.d/veldrask-deb-src.sources
      bash scripts/apt-update.sh
    fi
    (cd "$root" && apt-get source -qq libxml2 >/dev/null)
  fi
  source_dir=$(ls -d "$root"/libxml2-2.*/ | head -n1)
  work=$root/libxml2-$arch-build
  rm -rf "$work" "$prefix"
  cmake -S "$source_dir" -B "$work" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_ICU=OFF \
    -DLIBXML2_WITH_ZLIB=OFF -DLIBXML2_WITH_LZMA=OFF -DLIBXML2_WITH_THREADS=ON \
    -DLIBXML2_WITH_HTTP=OFF -DLIBXML2_WITH_FTP=OFF -DLIBXML2_WITH_PYTHON=OFF \
    -DLIBXML2_WITH_PROGRAMS=OFF -DLIBXML2_WITH_TESTS=OFF -DLIBXML2_WITH_MODULES=OFF \
    -DLIBXML2_WITH_CATALOG=OFF -DLIBXML2_WITH_DEBUG=OFF >"$work.log" 2>&1
  cmake --build "$work" >>"$work.log" 2>&1
  cmake --install "$work" >>"$work.log" 2>&1
  rm -rf "$work"
  touch "$prefix/.built"
) 9>"$root/libxml2.lock"
