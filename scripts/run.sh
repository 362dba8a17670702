#!/usr/bin/env bash
# Builds one of the programs alone and starts it on the current X display:
# only the packages the Linux programs need, the run preset (no tests, no
# packaging, no Windows or web build) in build-run/, and only that program.
set -euo pipefail
program=${1:-tetrachaos}
cd "$(dirname "$0")/.."

case "$program" in
  tetrachaos|ngonchaos|escapeplot|ruletri) ;;
  *) echo "Unknown program '$program': choose tetrachaos, ngonchaos, escapeplot or ruletri." >&2; exit 2 ;;
esac

no_display() {
  echo "No X display found ($1): run on a desktop, or without one try: xvfb-run -a make run PROGRAM=$program" >&2
  exit 1
}
[[ -n "${DISPLAY:-}" ]] || no_display "DISPLAY is not set"
if command -v xdpyinfo >/dev/null && ! xdpyinfo >/dev/null 2>&1; then
  no_display "cannot open DISPLAY=$DISPLAY"
fi

scripts/install-deps.sh run
# Build quietly; the log is shown only when something goes wrong.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
echo "Building $program into build-run/ ..."
if ! { cmake --preset run && cmake --build --preset run -j "$(nproc)" --target "$program"; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "The build failed; the messages above say why." >&2
  exit 1
fi
echo "Starting build-run/bin/$program"
# SDL 1.2 quietly falls back to a text-mode driver when X fails; insist on X.
SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-x11} exec "build-run/bin/$program"
