#!/bin/sh
# Fixtures of the install tests, each into a fresh folder:
#   package_fixture.sh install <build dir> <stage>  installs under <stage>/usr (DESTDIR)
#   package_fixture.sh package <build dir> <out>    runs cpack; its output is kept in <out>/cpack.log
set -e
mode=$1 build=$2 out=$3
rm -rf "$out"
mkdir -p "$out"
case "$mode" in
  install) DESTDIR="$out" cmake --install "$build" --prefix /usr ;;
  package)
    cd "$build"
    umask 022  # as make package packs
    status=0
    cpack -B "$out" >"$out/cpack.log" 2>&1 || status=$?
    cat "$out/cpack.log"
    exit $status ;;
  *) echo "unknown mode $mode" >&2; exit 2 ;;
esac
