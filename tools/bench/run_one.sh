#!/usr/bin/env bash
# tools/bench/run_one.sh SCALE OUT_FOLDER BUILD_FOLDER: one scale of the
# benchmark, run inside xvfb-run by tools/bench/run.sh. OUT_FOLDER/prefix is
# a booted prefix; results go to OUT_FOLDER/*.txt. BENCH_RUNS (default 1)
# runs Veltro that many times, BENCH_BASELINE_RUNS (default 3) the baseline;
# the figures kept are the smallest of each (see aggregate.awk).
set -euo pipefail
scale=$1 out=$2 build=$3
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=$out/prefix WINEDEBUG=-all
wine() { LC_ALL=zh_CN.GBK /usr/lib/wine/wine64 "$@"; }
server=/usr/lib/wine/wineserver
bench=$build/tests/bench
hosts=$WINEPREFIX/drive_c/windows/system32/drivers/etc/hosts
winpath() { echo "Z:$(realpath "$1" | tr / '\\')"; }

awake=
if [ "${BENCH_AWAKE:-1}" != 0 ]; then
  # On these virtual machines a core that has gone idle takes long to wake,
  # and every call Wine makes to its server waits for such a wake-up: with
  # both cores idle the same registry reads take five to seven times as long
  # as with one core busy. One busy loop at the lowest priority keeps a core
  # awake and the figures steady (BENCH_AWAKE=0 measures without it).
  nice -n 19 sh -c 'while :; do :; done' &
  awake=$!
fi
"$server" -k 2>/dev/null || true
trap '"$server" -k 2>/dev/null || true; [ -z "$awake" ] || kill "$awake" 2>/dev/null || true' EXIT
# One wineserver for seeding and measuring: a new one would run Wine's boot
# again, which runs and deletes the seeded RunOnce values and starts services.
"$server" -p
wine cmd /c exit >/dev/null 2>&1
wine "$bench/bench_seed.exe" "$scale" "$(winpath "$build/tests/fixtures")\\" | tr -d '\r'
# The boot's own processes (device manager, services, desktop) keep the CPU
# busy for a few seconds after it returns.
sleep 5

for i in $(seq 1 "${BENCH_BASELINE_RUNS:-3}"); do
  wine "$bench/bench_baseline.exe" "$(winpath "$out")\\baseline_run$i.txt"
done
awk -f "$here/aggregate.awk" "$out"/baseline_run*.txt >"$out/baseline.txt"

cp "$hosts" "$out/hosts.orig"
for i in $(seq 1 "${BENCH_RUNS:-1}"); do
  # The probe first, so that it sees the window appear (the timer starts then).
  wine "$bench/bench_probe.exe" "$(winpath "$out")\\probe_run$i.txt" 1800 ${BENCH_CURVE:+curve} \
    | tr -d '\r' >"$out/probe_run$i.log" &
  probe=$!
  sleep 1
  LC_ALL=zh_CN.GBK /usr/lib/wine/wine64 "$build/Veltro.exe" >/dev/null 2>&1 &
  veltro=$!
  wait "$probe" || echo "probe failed" >&2
  # The same peak seen from Linux: the Wine process's resident-set high-water mark.
  sed -n 's/^VmHWM:[^0-9]*\([0-9]*\).*/linux_peak_rss_kb=\1/p' "/proc/$veltro/status" >>"$out/probe_run$i.txt" || true
  kill "$veltro" 2>/dev/null || true
  wait "$veltro" 2>/dev/null || true
  cmp -s "$out/hosts.orig" "$hosts" && echo "hosts file unchanged: yes" || echo "hosts file unchanged: NO"
done
awk -f "$here/aggregate.awk" "$out"/probe_run*.txt >"$out/probe.txt"
