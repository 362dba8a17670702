#!/usr/bin/env bash
# Remakes every picture under docs/, which the README and its pages show.
set -euo pipefail
cd "$(dirname "$0")"
./screenshot.sh tetrachaos
./screenshot.sh ngonchaos key --delay 100 Right Right Right
./screenshot.sh ruletri mousemove --window WINDOW 700 400 click 1
./screenshot.sh escapeplot key --delay 60 Right Right Right Right Right Right Right Right Right Right Right Right Right Right Right Right Right Right Right Right Right Right Right Right Right Right Right Right Right
./screenshot.sh ngonchaos.exe mousemove --window WINDOW 300 200 click 1 sleep 1 key --delay 100 Right Right Right
./web-screenshot.py
