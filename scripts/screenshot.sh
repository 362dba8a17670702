#!/usr/bin/env bash
# Runs build/bin/PROGRAM on a private Xvfb, performs an optional xdotool
# command on its window (the word WINDOW stands for the window id), waits
# until the picture has settled and writes docs/PROGRAM.png.
#
#   scripts/screenshot.sh tetrachaos
#   scripts/screenshot.sh escapeplot key --delay 60 Right Right Right
#   scripts/screenshot.sh ruletri mousemove --window WINDOW 100 100 click 1
set -euo pipefail
cd "$(dirname "$0")/.."
program=$1
shift
binary=$PWD/build/bin/$program
out=$PWD/docs/$program.png
[[ -x $binary ]] || { echo "Build first: $binary is missing." >&2; exit 1; }

work=$(mktemp -d)
xvfb=""
app=""
cleanup() {
  if [[ -n $app ]]; then kill "$app" 2>/dev/null || true; wait "$app" 2>/dev/null || true; fi
  [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$work/display")

(cd "$work" && SDL_VIDEODRIVER=x11 exec "$binary") &
app=$!
window=""
for _ in $(seq 200); do
  window=$(xdotool search --onlyvisible --pid "$app" 2>/dev/null | head -n1 || true)
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
