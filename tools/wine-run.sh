#!/usr/bin/env bash
# ctest's emulator: runs one Windows program under wine64 in the run's prefix,
# with code page 936 and the display the test command started.
set -u
export WINEPREFIX="${WINEPREFIX:?WINEPREFIX must be set}"
export LC_ALL=zh_CN.GBK
export WINEDEBUG="${WINEDEBUG:--all}"
exec /usr/lib/wine/wine64 "$@"
