#!/usr/bin/env bash
# Coverage-guided fuzzing of the operations that take untrusted bytes, built
# natively with libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer.
#   tools/fuzz.sh [seconds per target, default 600] [target ...]
# Targets run two at a time; a crash stops with the reproducer's path.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
shift || true
out="$top/build/fuzz"

# Which sources each target needs (besides its own fuzz/<target>_fuzz.cpp).
declare -A SOURCES=(
  [text_ops]="base/text_ops.cpp"
  [version_block]="base/text_ops.cpp host/version_block.cpp"
)
declare -A LIBS=()
SOURCES[repair_table]="base/text_ops.cpp repair/repair_table.cpp"
LIBS[repair_table]="-lcrypto"
SOURCES[block_reader]="base/text_ops.cpp sysfiles/block_file_reader.cpp"

targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${!SOURCES[@]}")

"$top/tools/setup.sh" --fuzz

# The program's narrow literals are GBK: hand clang GBK sources, whose bytes
# it keeps as they are in string literals.
rm -rf "$out/src"; mkdir -p "$out/src"
(cd "$top" && find base app host repair sysfiles fuzz -name '*.h' -o -name '*.cpp' -o -name '*.inc' 2>/dev/null) |
while read -r f; do
  mkdir -p "$out/src/$(dirname "$f")"
  iconv -f UTF-8 -t GBK "$top/$f" > "$out/src/$f" 2>/dev/null || cp "$top/$f" "$out/src/$f"
done

flags="-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -Wno-invalid-source-encoding -I$out/src/fuzz/shims -I$out/src -DOPENSSL_SUPPRESS_DEPRECATED"
for t in "${targets[@]}"; do
  srcs=""
  for s in ${SOURCES[$t]}; do srcs="$srcs $out/src/$s"; done
  # shellcheck disable=SC2086
  clang++ $flags "$out/src/fuzz/${t}_fuzz.cpp" $srcs ${LIBS[$t]:-} -o "$out/$t"
done

run() {
  local t=$1 work="$out/corpus/$1" rc=0
  mkdir -p "$work" "$out/crashes"
  "$out/$t" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$out/crashes/$t-" \
    "$work" "$top/fuzz/corpus/$t" > "$out/$t.log" 2>&1 || rc=$?
  local execs
  execs=$(grep -E '^stat::number_of_executed_units' "$out/$t.log" | awk '{print $2}')
  echo "fuzz: $t: ${execs:-?} executions in ${seconds}s, exit $rc"
  [ $rc -eq 0 ] || { tail -40 "$out/$t.log"; return 1; }
}

status=0
pids=()
for t in "${targets[@]}"; do
  run "$t" & pids+=($!)
  if [ ${#pids[@]} -ge 2 ]; then wait "${pids[0]}" || status=1; pids=("${pids[@]:1}"); fi
done
for p in "${pids[@]}"; do wait "$p" || status=1; done
exit $status
