#!/usr/bin/env bash
# Sets the machine up, builds both targets and runs every test: the x86_64
# build natively under wine64, then the i686 build under the emulated 32-bit
# Wine in a 32-bit prefix and under WOW64 in a 64-bit one (the two prefixes
# run side by side). Extra arguments go to each ctest, e.g.
# tools/test.sh -R registry_test
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/setup.sh" --wine32
"$top/tools/build.sh" all
# Both product exes must load on the oldest Windows each is for.
python3 "$top/tools/check_imports.py" i686 "$top/build/i686/Veltro.exe" x86_64 "$top/build/x86_64/Veltro.exe"
# One virtual display for the whole run; the ctest summaries are the last output.
exec xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  top=$1; shift
  status=0
  for build in x86_64 i686; do
    echo "== $build"
    jobs=1; [ $build = i686 ] && jobs=2
    start=$(date +%s)
    (cd "$top/build/$build" && ctest --output-on-failure --timeout 900 -j$jobs "$@") || status=1
    echo "== $build: $(( $(date +%s) - start )) s"
  done
  exit $status
' bash "$top" "$@"
