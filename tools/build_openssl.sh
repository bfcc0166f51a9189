#!/usr/bin/env bash
# Builds static libcrypto for i686 and x86_64 MinGW from Debian's own OpenSSL
# source package, once per machine: the result is cached under
# ~/.cache/veltro/openssl-<target>-<options hash>. The options keep the library
# to what the oldest target can load: no fibers (async), no pinning through
# GetModuleHandleExW, no sockets, and the Windows version of the target, so
# that its lock code uses critical sections rather than slim reader/writer locks.
set -euo pipefail

CACHE="${VELTRO_CACHE:-$HOME/.cache/veltro}"
mkdir -p "$CACHE"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

COMMON_OPTIONS="no-shared no-tests no-asm no-module no-engine no-async no-pinshared no-sock no-dso"
options_for() {
  case $1 in
    i686)   echo "mingw $COMMON_OPTIONS -D_WIN32_WINNT=0x0500 -DWINVER=0x0500" ;;
    x86_64) echo "mingw64 $COMMON_OPTIONS -D_WIN32_WINNT=0x0502 -DWINVER=0x0502" ;;
  esac
}
# The folder name is what CMake looks for; tools/openssl-prefix.sh prints it.
prefix_for() {
  local hash
  hash=$(echo "$(options_for "$1") $("$1-w64-mingw32-gcc-win32" -dumpversion)" | sha1sum | cut -c1-10)
  echo "$CACHE/openssl-$1-$hash"
}
if [ "${1:-}" = "--prefix" ]; then prefix_for "$2"; exit 0; fi

need_build=0
for t in i686 x86_64; do
  [ -f "$(prefix_for $t)/lib/libcrypto.a" ] || need_build=1
done
[ $need_build -eq 0 ] && exit 0

SRCLIST=/etc/apt/sources.list.d/veltro-deb-src.sources
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  echo "setup: adding Debian source packages"
  $SUDO tee "$SRCLIST" >/dev/null <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  $SUDO apt-get update -qq
fi

WORK="$CACHE/openssl-src"
mkdir -p "$WORK"
if ! ls "$WORK"/openssl_*.orig.tar.gz >/dev/null 2>&1; then
  (cd "$WORK" && apt-get source --download-only -qq openssl >/dev/null 2>&1)
fi
tarball=$(ls "$WORK"/openssl_*.orig.tar.gz | head -n1)

build_one() {
  local t=$1 prefix build
  prefix=$(prefix_for "$t")
  [ -f "$prefix/lib/libcrypto.a" ] && return 0
  echo "setup: building OpenSSL libcrypto for $t (a few minutes, once)"
  build="$WORK/build-$t"
  rm -rf "$build" "$prefix"; mkdir -p "$build"
  tar -xzf "$tarball" -C "$build" --strip-components=1
  # shellcheck disable=SC2046
  (cd "$build" &&
    CC="$t-w64-mingw32-gcc-win32" AR="$t-w64-mingw32-ar" RANLIB="$t-w64-mingw32-ranlib" \
    RC="$t-w64-mingw32-windres" ./Configure $(options_for "$t") --prefix="$prefix" --libdir=lib >/dev/null &&
    make -s -j"$(nproc)" build_libs >/dev/null 2>&1 &&
    make -s install_dev >/dev/null 2>&1)
  rm -rf "$build"
}
build_one i686 & first=$!
build_one x86_64
wait $first
for t in i686 x86_64; do
  [ -f "$(prefix_for $t)/lib/libcrypto.a" ] || { echo "setup: OpenSSL build for $t failed" >&2; exit 1; }
done
