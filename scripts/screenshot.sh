#!/usr/bin/env bash
# Runs build/bin/PROGRAM on a private Xvfb, performs an optional xdotool
# command on its window (the word WINDOW stands for the window id), waits
# until the picture has settled and writes docs/PROGRAM.png. A PROGRAM ending
# in .exe is the Windows build from build/windows/bin, run under Wine in a
# Wine desktop window (which draws the Windows frame around it); the picture
# is then docs/PROGRAM-wine.png, without the .exe, and DESKTOP (700x540) sets
# the size of the Wine desktop.
#
#   scripts/screenshot.sh tetrachaos
#   scripts/screenshot.sh escapeplot key --delay 60 Right Right Right
#   scripts/screenshot.sh ruletri mousemove --window WINDOW 100 100 click 1
#   scripts/screenshot.sh ngonchaos.exe mousemove --window WINDOW 300 200 click 1 sleep 1 key Right
set -euo pipefail
cd "$(dirname "$0")/.."
program=$1
shift
if [[ $program == *.exe ]]; then
  binary=$PWD/build/windows/bin/$program
  out=$PWD/docs/${program%.exe}-wine.png
  wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
  export WINEPREFIX=$PWD/build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  [[ -x $wine ]] || { echo "Wine is missing: scripts/install-deps.sh installs it." >&2; exit 1; }
else
  binary=$PWD/build/bin/$program
  out=$PWD/docs/$program.png
fi
[[ -f $binary ]] || { echo "Build first: $binary is missing." >&2; exit 1; }

work=$(mktemp -d)
xvfb=""
app=""
cleanup() {
  if [[ -n $app ]]; then kill "$app" 2>/dev/null || true; wait "$app" 2>/dev/null || true; fi
  [[ -n ${wine:-} ]] && "$(dirname "$wine")/wineserver" -k 2>/dev/null || true
  [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$work/display")

window=""
if [[ -n ${wine:-} ]]; then
  tools/wine_prefix.sh "$wine" "$WINEPREFIX" >/dev/null 2>&1
  (cd "$work" && SDL_VIDEODRIVER=windib exec "$wine" explorer "/desktop=fractals,${DESKTOP:-700x540}" "$binary") &
  app=$!
  find_window() { xdotool search --onlyvisible --name "^fractals - Wine desktop$" 2>/dev/null | head -n1 || true; }
else
  (cd "$work" && SDL_VIDEODRIVER=x11 exec "$binary") &
  app=$!
  find_window() { xdotool search --onlyvisible --pid "$app" 2>/dev/null | head -n1 || true; }
fi
for _ in $(seq 300); do
  window=$(find_window)
  [[ -n $window ]] && break
  sleep 0.1
done
[[ -n $window ]] || { echo "$program opened no window." >&2; exit 1; }
xdotool windowfocus --sync "$window" 2>/dev/null || true

if [[ $# -gt 0 ]]; then
  args=()
  for a in "$@"; do [[ $a == WINDOW ]] && args+=("$window") || args+=("$a"); done
  xdotool "${args[@]}"
fi

# Settled: two captures a quarter second apart are equal (an animation never
# settles; after 15 s its latest frame is taken).
previous=""
for _ in $(seq 60); do
  sleep 0.25
  import -window "$window" "$work/shot.png"
  current=$(md5sum <"$work/shot.png")
  [[ $current == "$previous" ]] && break
  previous=$current
done
mkdir -p docs
cp "$work/shot.png" "$out"
echo "wrote $out"
