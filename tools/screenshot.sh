#!/usr/bin/env bash
# tools/screenshot.sh OUT.png: runs Veltro in a Wine virtual desktop on a
# virtual X display, waits until the start-up scan shows "完毕！" and saves a
# picture of the screen. Prints the seconds from start to the end of the scan.
# SCREENSHOT_CLICKS="ID@X,Y ..." clicks controls first (e.g. "1401@150,10" the
# third tab of 选择夹1). Uses build/x86_64 (VELTRO_BUILD overrides) and the prefix build/screenshot-prefix.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$top/build/veltro.png}")
build=${VELTRO_BUILD:-$top/build/x86_64}
export WINEPREFIX="${WINEPREFIX:-$top/build/screenshot-prefix}"
export LC_ALL=zh_CN.GBK WINEDEBUG=-all
wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver
for f in Veltro.exe wait_for_scan.exe; do
  [ -f "$build/$f" ] || { echo "missing $build/$f: build first (tools/build.sh x86_64)" >&2; exit 1; }
done

"$server" -k 2>/dev/null || true
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  # Without a display wineboot cannot stop at the Mono/Gecko installer dialogs.
  env -u DISPLAY "$wine" wineboot -i >/dev/null 2>&1
  "$server" -w
fi
trap '"$server" -k 2>/dev/null || true' EXIT

xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  set -u
  started=$(date +%s%N)
  "$0" explorer /desktop=veltro,800x600 "$1/Veltro.exe" >/dev/null 2>&1 &
  if "$0" "$1/wait_for_scan.exe" veltro 180 ${SCREENSHOT_CLICKS:-} >/dev/null; then
    echo "start-up scan finished $(( ($(date +%s%N) - started) / 1000000 )) ms after the start"
  else
    echo "start-up scan did not finish in time; taking the picture anyway" >&2
  fi
  sleep 1
  import -window root "$2"
' "$wine" "$build" "$out"
echo "saved $out"
