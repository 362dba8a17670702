#!/usr/bin/env bash
# make run asks apt only for what the Linux programs build with: every
# package of its set is one of the full set, and none is a cross, test, web
# or packaging tool, nor a package of another architecture. (libpng-dev is
# one of it: the icons, ruletri's window icon among them, are drawn at build
# time, and sdl12-compat does not bring it along as classic SDL 1.2 does.)
# A packager's set holds the run set and only native, offline tools: no cross
# compiler, emulator, web tool or package of another architecture. Without
# apt the script names the build's needs by pkg-config module and fails.
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
build=$("$deps" --list build)
for p in $run; do
  grep -qxF "$p" <<<"$build" || { echo "$p is in the run set but not in the build set"; status=1; }
done
for p in $build; do
  grep -qxF "$p" <<<"$all" || { echo "$p is in the build set but not in the full one"; status=1; }
  case "$p" in
    *mingw*|wine*|*aarch64*|qemu*|*:*|emscripten|nodejs|npm|chromium*|python3-websocket|nsis|googletest)
      echo "$p is a cross or web tool: a packager's build must not need it"; status=1 ;;
  esac
done

bin=$(mktemp -d)
trap 'rm -rf "$bin"' EXIT
ln -s "$(command -v bash)" "$bin/bash"
if output=$(PATH=$bin "$bin/bash" "$deps" build 2>&1); then
  echo "without apt the script succeeded"; status=1
fi
for m in sdl x11 libpng gtest benchmark; do
  grep -q "pkg-config $m " <<<"$output" || { echo "without apt the script does not name $m:"; echo "$output"; status=1; }
done
exit $status
