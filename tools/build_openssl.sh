#!/usr/bin/env bash
# Builds static libcrypto for i686 and x86_64 MinGW from Debian's own OpenSSL
# source package, once per machine: the result is cached under
# ~/.cache/veltro/openssl-<version>-<target>.
set -euo pipefail

CACHE="${VELTRO_CACHE:-$HOME/.cache/veltro}"
mkdir -p "$CACHE"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

need_build=0
for t in i686 x86_64; do
  [ -f "$CACHE/openssl-$t/lib/libcrypto.a" ] || [ -f "$CACHE/openssl-$t/lib64/libcrypto.a" ] || need_build=1
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

for t in i686 x86_64; do
  prefix="$CACHE/openssl-$t"
  if [ -f "$prefix/lib/libcrypto.a" ] || [ -f "$prefix/lib64/libcrypto.a" ]; then continue; fi
  echo "setup: building OpenSSL libcrypto for $t (a few minutes, once)"
  build="$WORK/build-$t"
  rm -rf "$build"; mkdir -p "$build"
  tar -xzf "$tarball" -C "$build" --strip-components=1
  case $t in i686) cfg=mingw ;; x86_64) cfg=mingw64 ;; esac
  (cd "$build" &&
    ./Configure "$cfg" --cross-compile-prefix="$t-w64-mingw32-" \
      no-shared no-tests no-asm no-module no-engine --prefix="$prefix" --libdir=lib >/dev/null &&
    make -s -j"$(nproc)" build_libs >/dev/null 2>&1 &&
    make -s install_dev >/dev/null 2>&1)
  rm -rf "$build"
done
