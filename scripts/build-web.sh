#!/usr/bin/env bash
# Builds the web pages with Debian's Emscripten (the web preset) into the given
# build folder, build/web by default; the pages land in its pages/ folder.
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="${1:-$source_dir/build/web}"
# Emscripten's own JavaScript tools need Debian's node modules (acorn); its
# library cache is the package's frozen prebuilt one, so EM_CACHE stays unset.
export NODE_PATH=/usr/share/nodejs
cmake -S "$source_dir" --preset web -B "$build_dir" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
