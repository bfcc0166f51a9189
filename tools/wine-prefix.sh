#!/usr/bin/env bash
# wine-prefix.sh create PREFIX  - a fresh prefix for one test run
# wine-prefix.sh stop PREFIX    - end the prefix's wineserver (and its desktop)
set -eu
action=$1
export WINEPREFIX=$2
export WINEDEBUG=-all
wine="$(dirname "$0")/wine-run.sh"
case $action in
  create)
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    # Without a display wineboot cannot stop at the Mono/Gecko installer dialogs.
    env -u DISPLAY "$wine" wineboot -i >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
    echo "prefix ready: $WINEPREFIX"
    ;;
  stop)
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    ;;
  *) echo "usage: $0 create|stop PREFIX" >&2; exit 2 ;;
esac
