#!/usr/bin/env bash
# tools/bench/run.sh [SCALE...]: the speed benchmark (default scales 1 4 16).
#
# For each scale S: a copy of a freshly booted Wine prefix is seeded with a
# machine image of scale S (tests/bench/bench_seed.cpp), the windowless
# baseline reads the same things (bench_baseline.cpp), then the real
# Veltro.exe runs on a virtual X display under LC_ALL=zh_CN.GBK while
# bench_probe.exe measures it. Prints one table; the raw figures stay in
# build/bench/S<scale>/. A benchmark, not a test: nothing fails on a figure.
# BENCH_AWAKE=0 leaves both cores free to idle (see run_one.sh).
# BENCH_BUILD overrides the build folder (default build/x86_64), BENCH_OUT the
# folder of the results (default build/bench).
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${BENCH_BUILD:-$top/build/x86_64}
work=${BENCH_OUT:-$top/build/bench}
scales=("$@")
[ ${#scales[@]} -eq 0 ] && scales=(1 4 16)

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target veltro_bench -j2 -- --no-print-directory >/dev/null

export WINEDEBUG=-all
mkdir -p "$work" "$top/build/bench"
# One prefix booted once, copied for every scale: each run starts from the
# same untouched machine.
template=$top/build/bench/template-prefix
if [ ! -f "$template/system.reg" ]; then
  echo "booting a fresh prefix (once)..."
  rm -rf "$template"
  WINEPREFIX=$template /usr/lib/wine/wineserver -k 2>/dev/null || true
  # Without a display wineboot cannot stop at the Mono/Gecko installer dialogs.
  WINEPREFIX=$template LC_ALL=zh_CN.GBK env -u DISPLAY /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
  WINEPREFIX=$template /usr/lib/wine/wineserver -w
fi

for s in "${scales[@]}"; do
  out=$work/S$s
  rm -rf "$out"
  mkdir -p "$out"
  cp -a "$template" "$out/prefix"
  echo "scale $s..."
  xvfb-run -a -s "-screen 0 1024x768x24" "$top/tools/bench/run_one.sh" "$s" "$out" "$build" \
    >"$out/log.txt" 2>&1 || { echo "scale $s failed: see $out/log.txt" >&2; tail -5 "$out/log.txt" >&2; }
  rm -rf "$out/prefix"
done

"$top/tools/bench/table.sh" "$work" "${scales[@]}"
