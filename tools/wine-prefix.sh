#!/usr/bin/env bash
# wine-prefix.sh create PREFIX  - a fresh prefix for one test run (with test drives T: and U:)
# wine-prefix.sh ensure PREFIX  - a prefix made once and kept (runs, pictures)
# wine-prefix.sh stop PREFIX    - end the prefix's wineserver (and its desktop)
set -eu
action=$1
export WINEPREFIX=$2
export WINEDEBUG=-all
wine="$(dirname "$0")/wine-run.sh"

make_prefix() {
  # Without a display wineboot cannot stop at the Mono/Gecko installer dialogs.
  env -u DISPLAY "$wine" wineboot -i >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
  # Wine draws the caption buttons with Marlett, and does not find the copy
  # that fonts-wine installs unless the prefix's Fonts folder has it.
  cp -n /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  # A Windows profile comes with the trust providers' policy flags; Wine's
  # wintrust writes them at the first signature check instead, which the
  # tests would see as a change Veltro made unasked.
  "$wine" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Wintrust\Trust Providers\Software Publishing' \
    /v State /t REG_DWORD /d 0x23c00 /f >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
}

# Two more local drives for the tests of what drive roots hold, each a
# folder of the prefix (Wine maps a drive letter to whatever its dosdevices
# link names).
add_test_drives() {
  for letter in t u; do
    mkdir -p "$WINEPREFIX/drive_c/veltro-drives/$letter"
    ln -sfn "../drive_c/veltro-drives/$letter" "$WINEPREFIX/dosdevices/$letter:"
  done
}

case $action in
  create)
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    make_prefix
    add_test_drives
    echo "prefix ready: $WINEPREFIX"
    ;;
  ensure)
    [ -f "$WINEPREFIX/system.reg" ] || make_prefix
    ;;
  stop)
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    ;;
  *) echo "usage: $0 create|ensure|stop PREFIX" >&2; exit 2 ;;
esac
