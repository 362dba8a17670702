#!/usr/bin/env bash
# Builds and starts one of the programs on the current X display.
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

scripts/install-deps.sh
# Build quietly; the log is shown only when something goes wrong.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
echo "Building into build/ ..."
if ! make --no-print-directory build >"$log" 2>&1; then
  cat "$log" >&2
  echo "The build failed; the messages above say why." >&2
  exit 1
fi
echo "Starting build/bin/$program"
# SDL 1.2 quietly falls back to a text-mode driver when X fails; insist on X.
SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-x11} "build/bin/$program"
