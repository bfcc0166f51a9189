#!/usr/bin/env bash
# Prepares the 32-bit Wine that runs the i686 build here, once per machine:
# Debian's own wine32 of the installed wine64's version, run by qemu-i386 from
# the release's backports (user-mode emulation: this kernel runs no 32-bit
# code). Nothing is installed on the host: the i386 packages are fetched with
# a private apt configuration and unpacked into a folder of the cache.
#
#   tools/wine32/setup.sh           prepare it (quick when already done)
#   tools/wine32/setup.sh --path    print its folder (empty when not prepared)
#
# The folder, ~/.cache/veltro/wine32-<wine version>-qemu<qemu version>-<making>/, holds
#   root/             the unpacked i386 system qemu runs the 32-bit programs in
#   bin/qemu-i386     the emulator
#   lib/wine/wine     starts the 32-bit loader under qemu (Wine re-executes
#                     <its folder>/wine for every new 32-bit process)
#   lib/wine/wine64   a copy of the host's 64-bit loader, for 64-bit prefixes
#                     whose 32-bit programs must reach that wine
#   lib/wine/wineserver  the host's server, which serves both
set -euo pipefail

CACHE="${VELTRO_CACHE:-$HOME/.cache/veltro}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
here=$(cd "$(dirname "$0")" && pwd)
wine_version=$(dpkg-query -W -f='${Version}' wine64 | tr '~:' '__')
# Raised whenever what this script makes changes, so that a cached copy of an
# older making is made anew.
making=2

find_ready() {
  local dir
  for dir in "$CACHE"/wine32-"$wine_version"-qemu*-"$making"; do
    [ -f "$dir/ready" ] && { echo "$dir"; return 0; }
  done
  return 1
}

if [ "${1:-}" = "--path" ]; then find_ready || true; exit 0; fi
find_ready >/dev/null && exit 0

echo "setup: preparing the emulated 32-bit Wine (about a minute, once)"
mkdir -p "$CACHE"
work=$(mktemp -d "$CACHE/wine32-work.XXXXXX")
trap 'rm -rf "$work"' EXIT

# A private apt: i386 as its architecture, the host's own Debian mirrors plus
# the release's backports (for qemu), its own lists, cache and empty status.
apt_dir="$work/apt"
mkdir -p "$apt_dir"/{lists/partial,cache/archives/partial,parts,preferences.d}
: > "$apt_dir/status"
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT) $(TARGET_OF)' |
  awk -v key="$keyring" '$4 == "deb" && $3 == "main" && !seen[$1 " " $2]++ {
      print "deb [signed-by=" key "] " $1 " " $2 " main"
      if ($2 !~ /-/) print "deb [signed-by=" key "] " $1 " " $2 "-backports main" }' |
  sort -u > "$apt_dir/sources.list"
cat > "$apt_dir/apt.conf" <<CONF
APT::Architecture "i386";
APT::Architectures { "i386"; "amd64"; };
APT::Sandbox::User "root";
Dir::State "$apt_dir";
Dir::State::status "$apt_dir/status";
Dir::State::Lists "$apt_dir/lists";
Dir::Cache "$apt_dir/cache";
Dir::Etc::SourceList "$apt_dir/sources.list";
Dir::Etc::SourceParts "$apt_dir/parts";
Dir::Etc::Parts "$apt_dir/parts";
Dir::Etc::PreferencesParts "$apt_dir/preferences.d";
Debug::NoLocking "true";
CONF
export APT_CONFIG="$apt_dir/apt.conf"
# A mirror in the middle of a sync fails one list now and then; the packages
# needed are in the release itself, so a list that still fails after a retry
# is done without (a package truly missing fails the download below).
for attempt in 1 2 3; do
  apt-get update -qq && break
  echo "setup: package lists incomplete (attempt $attempt)" >&2
  sleep 5
done
release=$(. /etc/os-release && echo "$VERSION_CODENAME")
wine_exact=$(dpkg-query -W -f='${Version}' wine64)
apt-get install -qq -y --download-only --no-install-recommends \
  "wine32:i386=$wine_exact" "libwine:i386=$wine_exact" >/dev/null
(cd "$apt_dir/cache/archives" && apt-get download -qq "qemu-user:amd64/$release-backports")
qemu_deb=$(ls "$apt_dir"/cache/archives/qemu-user_*.deb)
qemu_version=$(dpkg-deb -f "$qemu_deb" Version | sed 's/^[0-9]*://; s/[+~].*//')

dir="$CACHE/wine32-$wine_version-qemu$qemu_version-$making"
rm -rf "$dir"
mkdir -p "$work/out/root" "$work/out/bin" "$work/out/lib/wine" "$work/out/share"
root="$work/out/root"
for deb in "$apt_dir"/cache/archives/*.deb; do
  [ "$deb" = "$qemu_deb" ] || dpkg-deb -x "$deb" "$root"
done
mkdir -p "$work/qemu"
dpkg-deb -x "$qemu_deb" "$work/qemu"
cp "$work/qemu/usr/bin/qemu-i386" "$work/out/bin/qemu-i386"

# What the maintainer scripts would have done: libwine registers zlib1.dll as
# a Wine builtin, and the i386 libraries need a loader cache of their own (or
# the 32-bit programs find the host's /lib32).
for pair in i686:i386 x86_64:x86_64; do
  mingw=${pair%%:*} arch=${pair##*:}
  source_dll="$root/usr/$mingw-w64-mingw32/lib/zlib1.dll"
  { head -c 64 "$source_dll"; printf 'Wine builtin DLL'; head -c 16 /dev/zero; tail -c +97 "$source_dll"; } \
    > "$root/usr/lib/i386-linux-gnu/wine/$arch-windows/zlib1.dll"
done
echo 'include /etc/ld.so.conf.d/*.conf' > "$root/etc/ld.so.conf"
# The host's fontconfig set-up and fonts (WenQuanYi) serve the emulated
# programs too: qemu shows the root's own folder where one exists. Their
# 32-bit font caches stay in the root.
rm -rf "$root/etc/fonts" "$root/usr/share/fonts"
mkdir -p "$root/var/cache/fontconfig"

# qemu leaves the trap number out of signal frames; the emulated processes
# alone preload the library that puts it back.
gcc -m32 -O2 -fPIC -shared -nostdlib -Wall -Wextra -Werror \
  -o "$root/usr/lib/veltro-trap-number.so" "$here/trap_number.c"
echo /usr/lib/veltro-trap-number.so > "$root/etc/ld.so.preload"
# ldconfig -r works in a chroot, which takes root.
$SUDO ldconfig -r "$root"

# The Debian-like layout Wine expects around its loaders: it looks for its
# DLLs at ../<triplet>/wine and its data at ../../share/wine from lib/wine.
out="$work/out"
cp "$root/usr/lib/wine/wine" "$out/lib/wine/wine-i386"
cp /usr/lib/wine/wine64 "$out/lib/wine/wine64"
ln -s /usr/lib/wine/wineserver64 "$out/lib/wine/wineserver"
ln -s ../root/usr/lib/i386-linux-gnu "$out/lib/i386-linux-gnu"
ln -s /usr/lib/x86_64-linux-gnu "$out/lib/x86_64-linux-gnu"
ln -s /usr/share/wine "$out/share/wine"
cat > "$out/lib/wine/wine" <<'LAUNCH'
#!/bin/sh
# The 32-bit Wine loader under qemu; "$0" stays the name Wine re-executes.
dir=$(dirname "$(readlink -f "$0")")
exec "$dir/../../bin/qemu-i386" -L "$dir/../../root" -0 "$0" "$dir/wine-i386" "$@"
LAUNCH
chmod +x "$out/lib/wine/wine"

mv "$out" "$dir"
touch "$dir/ready"
echo "setup: emulated 32-bit Wine ready in $dir ($(du -sh "$dir" | cut -f1))"
