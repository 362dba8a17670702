#!/usr/bin/env bash
# SDL 1.2 for the Windows build, from Debian's own source package libsdl1.2
# (with Debian's patches, security fixes included) of one exact version, so
# that the Windows programs are the same bytes whichever release builds them.
# Everything happens below DIR, inside the build tree; the machine's apt
# configuration only names the archive.
#
#   windows-sdl.sh fetch DIR   download, check and unpack the source into DIR/source (once)
#   windows-sdl.sh build DIR   fetch if needed, then build SDL.dll into DIR/prefix (once)
#
# Each step renames its result into place only when it is complete, so an
# interrupted run is started again from scratch and never taken for done.
set -euo pipefail
step=$1
dir=$(mkdir -p "$2" && cd "$2" && pwd)
package=libsdl1.2
host=x86_64-w64-mingw32

fail() {
  echo "$1" >&2
  exit 1
}

# Pool path and .dsc of the one source built on every machine, whatever its
# release: Debian 12's, which the archive keeps (Debian 13 has no libsdl1.2
# source at all). The .dsc's own hash is pinned here; it lists the hashes of
# the files it is made of.
pool=pool/main/libs/$package
dsc=${package}_1.2.15+dfsg2-8.dsc
dsc_sha256=ff6cf187235703226f91af9d636255c5d7141bf1a693aa37293ceeb11430cc33

# Downloads URI into FILE with apt's own fetcher, which checks the hash.
download() {
  /usr/lib/apt/apt-helper download-file "$1" "$2" "SHA256:$3" >>"$dir/fetch.log" 2>&1 ||
    fail "Could not fetch $1 with its pinned checksum (see $dir/fetch.log); the Windows build needs it: retry with network access by running make test again."
}

fetch() {
  [[ -d $dir/source ]] && return 0
  local work=$dir/fetch.partial archive
  rm -rf "$work"
  mkdir -p "$work"
  : >"$dir/fetch.log"
  archive=$("$(dirname "$0")/apt-mirror.sh" | sed -n 's/^archive //p')
  download "$archive/$pool/$dsc" "$work/$dsc" "$dsc_sha256"
  local sum size file
  while read -r sum size file; do
    download "$archive/$pool/$file" "$work/$file" "$sum"
  done < <(sed -n '/^Checksums-Sha256:/,/^[^ ]/{/^ /p}' "$work/$dsc")
  # The files are checked already: the .dsc's signature needs no keyring here.
  (cd "$work" && dpkg-source --no-check -x "$dsc" unpacked) >>"$dir/fetch.log" 2>&1 ||
    fail "dpkg-source could not unpack $dsc (see $dir/fetch.log)."
  [[ -x $work/unpacked/configure ]] || fail "$dsc gave no unpacked source tree (see $dir/fetch.log)."
  mv "$work/unpacked" "$dir/source"
  rm -rf "$work"
}

# Video and events only, as a DLL, and no stdout.txt/stderr.txt from the main shim.
# Built reproducibly, as the project's own programs are (CMakeLists.txt): DIR
# never reaches the code and the DLL carries no link time. It is stripped by
# the linker: strip would write the time into its header again.
# SDL's configure and make split paths at spaces: a DIR with one is built
# through a link without, and sdl.pc then names DIR, its spaces escaped.
build() {
  [[ -d $dir/prefix ]] && return 0
  fetch
  local at=$dir link=""
  if [[ $dir == *" "* ]]; then
    link=$(mktemp -d)
    ln -s "$dir" "$link/sdl"
    at=$link/sdl
  fi
  local work=$at/build.partial staged=$at/prefix.partial
  rm -rf "$work" "$staged"
  mkdir -p "$work"
  if ! (cd "$work" && "$at/source/configure" --host=$host --prefix="$at/prefix" \
        --disable-dependency-tracking --enable-shared --disable-static \
        --disable-audio --disable-joystick --disable-cdrom --disable-video-opengl --disable-directx \
        --disable-stdio-redirect CFLAGS="-O2 -ffile-prefix-map=$at=." \
        LDFLAGS=-Wl,--no-insert-timestamp,--strip-all &&
        make -j"$(nproc)" && make install DESTDIR="$staged") >"$dir/build.log" 2>&1; then
    tail -n 20 "$dir/build.log" >&2
    fail "Building SDL for Windows failed (see $dir/build.log)."
  fi
  mv "$staged$at/prefix" "$dir/prefix"
  rm -rf "$work" "$staged"
  if [[ -n $link ]]; then
    local prefix=$dir/prefix
    sed -i "s|^prefix=.*|prefix=${prefix// /\\\\ }|" "$dir/prefix/lib/pkgconfig/sdl.pc"
    rm -rf "$link"
  fi
}

case $step in
  fetch) fetch ;;
  build) build ;;
  *) fail "usage: $0 fetch|build DIR" ;;
esac
