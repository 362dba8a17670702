#!/usr/bin/env bash
# Builds the web pages with Debian's Emscripten (the web preset) into the given
# build folder, build/web by default; the pages land in its pages/ folder.
# The web app's icons are drawn by escapeplot's icon drawer built for this
# machine: the one of the native build NATIVE_BUILD (the native build that
# drives this one names itself), else one the web build makes natively in
# its native/ folder (cmake/native-icons.cmake).
#   build-web.sh [BUILD [NATIVE_BUILD]]
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="${1:-$source_dir/build/web}"
native=()
[[ -z ${2:-} ]] || native=(-DNATIVE_BUILD_DIR="$2")
# Emscripten's own JavaScript tools need Debian's node modules (acorn); its
# library cache is the package's frozen prebuilt one, so EM_CACHE stays unset.
export NODE_PATH=/usr/share/nodejs
cmake -S "$source_dir" --preset web -B "$build_dir" "${native[@]}" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
