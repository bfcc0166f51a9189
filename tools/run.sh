#!/usr/bin/env bash
# tools/run.sh [x86_64|i686]: sets the machine up, builds Veltro and starts it
# under Wine: the x86_64 build natively (default), the i686 build under the
# emulated 32-bit Wine in a 32-bit prefix (VELTRO_WINE=wow64 runs it in a
# 64-bit prefix instead). With a display it opens the window there; without
# one it runs it on a virtual display and saves a screenshot once the
# start-up scan has finished.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-x86_64}
case $build in
  x86_64) export VELTRO_WINE=native; "$top/tools/setup.sh" ;;
  i686) export VELTRO_WINE=${VELTRO_WINE:-win32}; "$top/tools/setup.sh" --wine32 ;;
  *) echo "usage: $0 [x86_64|i686]" >&2; exit 2 ;;
esac
# Only what running needs: the program, and what the screenshot waits with.
"$top/tools/build.sh" "$build" Veltro wait_for_scan
suffix=""; [ "$VELTRO_WINE" != native ] && suffix="-$VELTRO_WINE"
export WINEPREFIX="${WINEPREFIX:-$top/build/run-prefix$suffix}"
export WINEDEBUG=-all
"$top/tools/wine-prefix.sh" ensure "$WINEPREFIX"
if [ -n "${DISPLAY:-}" ]; then
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  exec "$top/tools/wine-run.sh" "$top/build/$build/Veltro.exe"
fi
echo "no display: running Veltro on a virtual display instead"
exec "$top/tools/screenshot.sh" "$build" "$top/build/veltro-$build.png"
