#!/usr/bin/env bash
# SDL 1.2's arm64 development files for the arm64 cross build, whose Debian
# package (libsdl1.2-dev) cannot be installed beside the amd64 one: its arm64
# .debs, downloaded by apt as the machine's apt configuration says (arm64
# must be one of dpkg's architectures), unpacked into DIR/sysroot. Its
# pkg-config file is pointed there. Done once; the sysroot is renamed into
# place only when complete.
#   arm64-sysroot.sh DIR
set -euo pipefail
dir=$(mkdir -p "$1" && cd "$1" && pwd)
packages=(libsdl1.2-dev:arm64 libsdl1.2debian:arm64)
[[ -d $dir/sysroot ]] && exit 0

fail() {
  echo "$1" >&2
  exit 1
}
dpkg --print-foreign-architectures | grep -qx arm64 ||
  fail "arm64 is not one of dpkg's architectures: scripts/install-deps.sh adds it (dpkg --add-architecture arm64) and installs the arm64 build's packages."
work=$dir/sysroot.partial
rm -rf "$work"
mkdir -p "$work/debs"
if ! (cd "$work/debs" && apt-get -q -o "APT::Sandbox::User=$(id -un)" download "${packages[@]}") >"$dir/sysroot.log" 2>&1; then
  fail "Could not download ${packages[*]} with apt-get download (see $dir/sysroot.log); the arm64 build needs them: retry with network access by running make test again."
fi
for deb in "$work"/debs/*.deb; do
  dpkg-deb -x "$deb" "$work/root"
done
pc=$work/root/usr/lib/aarch64-linux-gnu/pkgconfig/sdl.pc
[[ -f $pc ]] || fail "The arm64 SDL packages hold no pkgconfig/sdl.pc (see $dir/sysroot.log)."
# pkg-config splits its output at spaces not escaped.
prefix=$dir/sysroot/usr
sed -i "s|^prefix=.*|prefix=${prefix// /\\\\ }|" "$pc"
mv "$work/root" "$dir/sysroot"
rm -rf "$work"
