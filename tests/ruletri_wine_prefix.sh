#!/bin/sh
# Makes the Wine prefix that the ruletri.exe tests run in, once per build tree,
# without the Mono and Gecko installers (and so without their dialogs).
set -e
prefix=$1
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$prefix/system.reg" ] && exit 0
mkdir -p "$prefix"
xvfb-run -a -s "-nolisten tcp" /usr/lib/wine/wine64 wineboot -i
/usr/lib/wine/wineserver -w
test -f "$prefix/system.reg"
