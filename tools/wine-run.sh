#!/usr/bin/env bash
# Runs one Windows program under Wine in the prefix WINEPREFIX names, with
# code page 936 (ctest's emulator, and the runner of the scripts here).
# VELTRO_WINE picks the Wine:
#   native  the host's wine64 (default): 64-bit Windows, x86_64 programs
#   win32   the emulated 32-bit Wine in a 32-bit prefix: 32-bit Windows
#   wow64   a 64-bit prefix whose 32-bit programs run emulated: the i686
#           build on 64-bit Windows
set -u
export WINEPREFIX="${WINEPREFIX:?WINEPREFIX must be set}"
export WINEDEBUG="${WINEDEBUG:--all}"
case ${VELTRO_WINE:-native} in
  native) loader=/usr/lib/wine/wine64 ;;
  win32|wow64)
    emulated=${VELTRO_WINE32:-$("$(dirname "$0")/wine32/setup.sh" --path)}
    [ -n "$emulated" ] || { echo "the emulated 32-bit Wine is not set up: tools/wine32/setup.sh" >&2; exit 127; }
    if [ "$VELTRO_WINE" = win32 ]; then
      export WINEARCH=win32
      loader=$emulated/lib/wine/wine
    else
      loader=$emulated/lib/wine/wine64
    fi
    ;;
  *) echo "VELTRO_WINE must be native, win32 or wow64" >&2; exit 2 ;;
esac
# The code page goes to Wine alone: this machine has no such locale, and a
# shell that sets it for itself complains at every line.
exec env LC_ALL=zh_CN.GBK "$loader" "$@"
