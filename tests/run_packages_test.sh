#!/usr/bin/env bash
# make run asks apt only for what the Linux programs build with: every
# package of its set is one of the full set, and none is a cross, test, web
# or packaging tool, nor a package of another architecture. (libpng-dev is
# one of it: the icons, ruletri's window icon among them, are drawn at build
# time, and sdl12-compat does not bring it along as classic SDL 1.2 does.)
set -euo pipefail
deps="$(dirname "$0")/../scripts/install-deps.sh"
run=$("$deps" --list run)
all=$("$deps" --list)
[[ -n "$run" ]] || { echo "the run set is empty"; exit 1; }
status=0
for p in $run; do
  grep -qxF "$p" <<<"$all" || { echo "$p is in the run set but not in the full one"; status=1; }
  case "$p" in
    *mingw*|wine*|*aarch64*|qemu*|*:*|emscripten|nodejs|chromium*|*gtest*|*gmock*|googletest|*benchmark*|xvfb|xdotool|\
    x11-utils|imagemagick|lintian|dpkg-dev|desktop-file-utils|file|nsis|python3-*)
      echo "$p is a cross, test, web or packaging tool: make run must not install it"; status=1 ;;
  esac
done
exit $status
