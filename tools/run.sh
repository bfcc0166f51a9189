#!/usr/bin/env bash
# Sets the machine up, builds and starts Veltro under Wine. With a display it
# opens the window there; without one it runs it on a virtual display and
# saves a screenshot once the start-up scan has finished.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/setup.sh"
"$top/tools/build.sh" x86_64
export WINEPREFIX="${WINEPREFIX:-$top/build/run-prefix}"
export WINEDEBUG=-all
wine="$top/tools/wine-run.sh"
"$top/tools/wine-prefix.sh" ensure "$WINEPREFIX"
if [ -n "${DISPLAY:-}" ]; then
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  exec "$wine" "$top/build/x86_64/Veltro.exe"
fi
echo "no display: running Veltro on a virtual display instead"
exec "$top/tools/screenshot.sh" "$top/build/veltro.png"
