#!/bin/sh
# CTest's emulator for the Windows build: runs a test program under Wine in the
# build tree's own prefix, made on first use, with SDL.dll found in the
# programs' folder.
#   wine_run.sh WINE PREFIX PROGRAM_FOLDER program.exe [arguments]
set -e
wine=$1
prefix=$2
export WINEPATH="$3"
shift 3
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$(dirname "$prefix")"
  flock "$prefix.lock" "$(dirname "$0")/wine_prefix.sh" "$wine" "$prefix" >/dev/null 2>&1
fi
exec "$wine" "$@"
