#!/usr/bin/env bash
# Sets the machine up, builds both targets and runs every test under wine64.
# Extra arguments go to ctest, e.g. tools/test.sh -R registry_test
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/setup.sh"
"$top/tools/build.sh" all
# Both product exes must load on the oldest Windows each is for.
python3 "$top/tools/check_imports.py" i686 "$top/build/i686/Veltro.exe" x86_64 "$top/build/x86_64/Veltro.exe"
cd "$top/build/x86_64"
# One virtual display for the whole run; ctest's summary is the last output.
exec xvfb-run -a -s "-screen 0 1024x768x24" \
  ctest --output-on-failure --timeout 900 "$@"
