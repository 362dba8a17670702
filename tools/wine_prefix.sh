#!/bin/sh
# Makes a Wine prefix for the tests and the screenshots, once per build tree,
# without the Mono and Gecko installers (and so without their dialogs).
#   wine_prefix.sh WINE PREFIX
set -e
wine=$1
prefix=$2
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$prefix/system.reg" ] && exit 0
mkdir -p "$prefix"
xvfb-run -a -s "-nolisten tcp" "$wine" wineboot -i
"$(dirname "$wine")/wineserver" -w
test -f "$prefix/system.reg"
