#!/usr/bin/env bash
# SDL 1.2 for the Windows build, from Debian's own source package libsdl1.2
# (with Debian's patches, security fixes included). Everything happens below
# DIR, inside the build tree; the machine's apt configuration is only read.
#
#   windows-sdl.sh fetch DIR   apt-get source into DIR/source (once)
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

# deb-src entries with the addresses and suites of the machine's own deb entries.
write_source_list() {
  local apt=$1
  : >"$apt/sources.list"
  local list
  for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [[ -f $list ]] || continue
    sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$list" >>"$apt/sources.list"
  done
  for list in /etc/apt/sources.list.d/*.sources; do
    [[ -f $list ]] || continue
    # deb822: each stanza that offers binary packages offers the sources too.
    awk 'BEGIN { RS = ""; ORS = "\n\n" }
         /(^|\n)Types:[^\n]*deb([ \t\n]|$)/ && !/(^|\n)Enabled:[ \t]*no/ {
           sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$list" >"$apt/sources.list.d/$(basename "$list")"
  done
}

fetch() {
  [[ -d $dir/source ]] && return 0
  local apt=$dir/apt work=$dir/fetch.partial
  rm -rf "$apt" "$work"
  mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$apt/cache/archives/partial" "$work"
  write_source_list "$apt"
  local options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=$apt/sources.list.d"
    -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o "APT::Sandbox::User=$(id -un)")
  # A source that offers no source index fails its part of the update;
  # whether libsdl1.2 can be had is decided by the download itself.
  apt-get "${options[@]}" -q update >"$dir/fetch.log" 2>&1 || true
  if ! (cd "$work" && apt-get "${options[@]}" -q source "$package") >>"$dir/fetch.log" 2>&1; then
    fail "Could not fetch Debian's source package $package with apt-get source (see $dir/fetch.log); the Windows build needs it: retry with network access by running make test again."
  fi
  local unpacked
  unpacked=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name "$package-*" | head -n1)
  [[ -n $unpacked && -x $unpacked/configure ]] || fail "apt-get source $package gave no unpacked source tree (see $dir/fetch.log)."
  mv "$unpacked" "$dir/source"
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
