#!/usr/bin/env bash
# Runs one Windows program under wine64 in the prefix WINEPREFIX names, with
# code page 936 (ctest's emulator, and the runner of the scripts here).
set -u
export WINEPREFIX="${WINEPREFIX:?WINEPREFIX must be set}"
export WINEDEBUG="${WINEDEBUG:--all}"
# The code page goes to Wine alone: this machine has no such locale, and a
# shell that sets it for itself complains at every line.
exec env LC_ALL=zh_CN.GBK /usr/lib/wine/wine64 "$@"
