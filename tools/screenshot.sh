#!/usr/bin/env bash
# tools/screenshot.sh [x86_64|i686] OUT.png [pages]: runs Veltro in a Wine virtual desktop
# on a virtual X display, waits until the start-up scan shows "完毕！" and
# saves a picture of the screen. Prints the time from start to the end of the
# scan. With "pages", OUT.png shows every page of 选择夹1 side by side instead.
# SCREENSHOT_CLICKS="ID@X,Y ..." clicks controls first (e.g. "1401@150,10" the
# third tab of 选择夹1; "tab@1401,2" selects it without coordinates; "menu@1304,120,40"
# opens a list's right-button menu at that point). Runs
# build/x86_64 natively, or build/i686 under the emulated 32-bit Wine in a
# 32-bit prefix (VELTRO_WINE=wow64: in a 64-bit one); VELTRO_BUILD names
# another build folder. The prefix is build/screenshot-prefix[-win32|-wow64].
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
target=x86_64
case ${1:-} in x86_64|i686) target=$1; shift ;; esac
out=$(realpath -m "${1:-$top/build/veltro.png}")
mode=${2:-}
build=${VELTRO_BUILD:-$top/build/$target}
if [ $target = i686 ]; then
  export VELTRO_WINE=${VELTRO_WINE:-win32}
  "$top/tools/wine32/setup.sh"
else
  export VELTRO_WINE=native
fi
suffix=""; [ "$VELTRO_WINE" != native ] && suffix="-$VELTRO_WINE"
export WINEPREFIX="${WINEPREFIX:-$top/build/screenshot-prefix$suffix}"
export WINEDEBUG=-all
wine="$top/tools/wine-run.sh"
server=/usr/lib/wine/wineserver
for f in Veltro.exe wait_for_scan.exe; do
  [ -f "$build/$f" ] || { echo "missing $build/$f: build first (tools/build.sh $target)" >&2; exit 1; }
done

"$server" -k 2>/dev/null || true
"$top/tools/wine-prefix.sh" ensure "$WINEPREFIX"
shots=$(mktemp -d)
trap '"$server" -k 2>/dev/null || true; rm -rf "$shots"' EXIT

xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  set -u
  wine=$0 build=$1 shots=$2 mode=$3
  started=$(date +%s%N)
  "$wine" explorer /desktop=veltro,800x600 "$build/Veltro.exe" >/dev/null 2>&1 &
  if "$wine" "$build/wait_for_scan.exe" veltro 180 ${SCREENSHOT_CLICKS:-} >/dev/null; then
    echo "start-up scan finished $(( ($(date +%s%N) - started) / 1000000 )) ms after the start"
  else
    echo "start-up scan did not finish in time; taking the picture anyway" >&2
  fi
  sleep 1
  if [ "$mode" = pages ]; then
    for page in 0 1 2 3 4 5 6 7; do
      "$wine" "$build/wait_for_scan.exe" veltro 10 "tab@1401,$page" >/dev/null
      sleep 1
      import -window root -crop 583x394+45+45 +repage "$shots/page$page.png"
    done
  else
    import -window root "$shots/screen.png"
  fi
' "$wine" "$build" "$shots" "$mode"
if [ "$mode" = pages ]; then
  montage "$shots"/page?.png -tile 4x2 -geometry +4+4 "$out"
else
  cp "$shots/screen.png" "$out"
fi
echo "saved $out"
