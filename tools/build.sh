#!/usr/bin/env bash
# Configures and builds one or both Windows targets:
#   tools/build.sh [x86_64|i686|all] [cmake target ...]
# Without cmake targets everything is built, tests included.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
which=${1:-all}
shift || true
targets=(x86_64 i686)
[ "$which" != all ] && targets=("$which")
only=()
for name in "$@"; do only+=(--target "$name"); done
for t in "${targets[@]}"; do
  dir="$top/build/$t"
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$top" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$t.cmake" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$dir" -j"$(nproc)" "${only[@]}" -- --no-print-directory
done
