#!/usr/bin/env bash
# One-time machine set-up: Debian packages, static OpenSSL libcrypto for both
# Windows targets (cached under ~/.cache/veltro), nothing else.
# Safe to run again: every step checks whether it is already done.
set -euo pipefail

PACKAGES=(g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32
          wine wine64 xvfb xauth x11-utils fonts-wqy-microhei fonts-wine imagemagick cmake
          googletest dpkg-dev make perl python3 osslsigncode openssl)

# tools/setup.sh --fuzz also installs what the native fuzzing build and the
# repair-table generator need; --wine32 prepares the emulated 32-bit Wine that
# runs the i686 build (tools/wine32/setup.sh).
wine32=0
case "${1:-}" in
  --fuzz) PACKAGES+=(clang libclang-rt-14-dev libssl-dev g++ libc-bin) ;;
  --wine32) PACKAGES+=(gcc libc-bin); wine32=1 ;;
esac

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

"$(dirname "$0")/build_openssl.sh"
if [ $wine32 -eq 1 ]; then "$(dirname "$0")/wine32/setup.sh"; fi
