#!/usr/bin/env bash
# Prints the path of a minimal Debian 12 root that holds only what every
# desktop has (GL, X11 client libraries, fontconfig, ALSA) plus Xvfb, making
# it first when it is missing. It is kept under /var/cache/vplayer between
# runs; a root whose package list differs from the one below is made anew.
# Needs root (debootstrap) and Debian's package mirror, as apt does.
set -euo pipefail

packages="libgl1,libgl1-mesa-dri,libx11-6,libxext6,libxcursor1,libxi6,libxrandr2,libxinerama1,libxft2,libfontconfig1,libxss1,libxfixes3,libasound2,xvfb,xauth"
cache=${VP_MINIMAL_ROOT_CACHE:-/var/cache/vplayer}
root="$cache/debian12-minbase"
stamp="$root/.vplayer-packages"

mkdir -p "$cache"
# One maker at a time; a second run waits and then finds the root made.
exec 9>"$cache/.lock"
flock 9

if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$packages" ]; then
  echo "$root"
  exit 0
fi

# The mirror apt uses on this machine, so that the root comes from the same place.
mirror=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n1)
mirror=${mirror:-http://deb.debian.org/debian}

rm -rf "$root.new"
debootstrap --variant=minbase --include="$packages" bookworm "$root.new" "$mirror" >"$cache/debootstrap.log" 2>&1 || {
  echo "minimal_debian_root: debootstrap failed, see $cache/debootstrap.log" >&2
  exit 1
}
# Package caches are not needed to run anything.
rm -rf "$root.new"/var/cache/apt/archives/*.deb
echo "$packages" >"$root.new/.vplayer-packages"
rm -rf "$root"
mv "$root.new" "$root"
echo "$root"
