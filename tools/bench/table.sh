#!/usr/bin/env bash
# tools/bench/table.sh WORK_FOLDER SCALE...: prints the benchmark table from
# the key=value files that run_one.sh left in WORK_FOLDER/S<scale>/.
set -euo pipefail
work=$1
shift
get() {   # get FILE KEY
  local v
  v=$(tr -d "\r" 2>/dev/null <"$1" | sed -n "s/^$2=//p" | head -1)
  echo "${v:--}"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "-" || b == "-" || b + 0 == 0) print "-"; else printf "%.2f", a / b }'; }

printf '%-3s %8s %8s %6s %6s %8s %7s %-10s %7s %8s %8s %5s %7s %-4s\n' \
  S base_ms scan_ms ratio r-hosts tick_ms gap_ms where peak_MB load_ms floor_ms l/f save_ms same
declare -A scan
for s in "$@"; do
  d=$work/S$s
  b=$(get "$d/baseline.txt" steps_ms)
  ba=$(get "$d/baseline.txt" accounts_ms)
  p=$d/probe.txt
  t=$(get "$p" steps_ms)
  scan[$s]=$t
  gap=$(get "$p" scan_worst_gap_ms)
  lgap=$(get "$p" load_worst_gap_ms)
  worst=$(awk -v a="$gap" -v b="$lgap" 'BEGIN { print (b + 0 > a + 0) ? b : a }')
  where=$(get "$p" scan_worst_gap_phase)
  [ "$worst" = "$lgap" ] && [ "$lgap" != "$gap" ] && where=hosts_load
  load=$(get "$p" hosts_load_ms)
  floor=$(get "$p" floor_ms)
  # The ratio without the hosts step: the box's own cost has no counterpart
  # in a run without a window.
  rest=$(awk -v a="$t" -v b="$(get "$p" step10_ms)" 'BEGIN { print a - b }')
  brest=$(awk -v a="$b" -v b="$(get "$d/baseline.txt" step10_ms)" 'BEGIN { print a - b }')
  printf '%-3s %8s %8s %6s %6s %8s %7s %-10s %7s %8s %8s %5s %7s %-4s\n' \
    "$s" "$b" "$t" "$(ratio "$t" "$b")" "$(ratio "$rest" "$brest")" "$(get "$p" tick_to_done_ms)" "$worst" "$where" \
    "$(get "$p" peak_ws_mb)" "$load" "$floor" "$(ratio "$load" "$floor")" "$(get "$p" hosts_save_ms)" \
    "$(get "$p" hosts_identical)"
  : "$ba"
done
if [ -n "${scan[4]:-}" ] && [ -n "${scan[16]:-}" ]; then
  echo "scan time S=16 / S=4: $(ratio "${scan[16]}" "${scan[4]}")"
fi
echo
echo "Per step (ms), scan / baseline:"
printf '%-5s' step
for s in "$@"; do printf ' %19s' "S=$s"; done
echo
for i in $(seq 1 14); do
  printf '%-5s' "$i"
  for s in "$@"; do
    printf ' %19s' "$(get "$work/S$s/probe.txt" step${i}_ms) / $(get "$work/S$s/baseline.txt" step${i}_ms)"
  done
  echo
done
printf '%-5s' acct
for s in "$@"; do
  printf ' %19s' "$(get "$work/S$s/probe.txt" accounts_ms) / $(get "$work/S$s/baseline.txt" accounts_ms)"
done
echo
