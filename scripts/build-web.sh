#!/usr/bin/env bash
# Builds the web pages with Debian's Emscripten (the web preset) into the given
# build folder, build/web by default; the pages land in its pages/ folder.
# The web app's icons are drawn by escapeplot's icon drawer built for this
# machine: the one ICON_DRAWER names (the native build's, when it builds the
# pages), else one built alone, natively, into the build folder's host/.
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="${1:-$source_dir/build/web}"
# Emscripten's own JavaScript tools need Debian's node modules (acorn); its
# library cache is the package's frozen prebuilt one, so EM_CACHE stays unset.
export NODE_PATH=/usr/share/nodejs
drawer="${ICON_DRAWER:-}"
if [ -z "$drawer" ]; then
  cmake -S "$source_dir" -B "$build_dir/host" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DFRACTALS_WINDOWS=OFF -DFRACTALS_ARM64=OFF -DFRACTALS_PACKAGING=OFF >/dev/null
  cmake --build "$build_dir/host" -j "$(nproc)" --target escapeplot_icons
  drawer="$build_dir/host/tools/icons/escapeplot_icons"
fi
cmake -S "$source_dir" --preset web -B "$build_dir" -DWEB_ICON_DRAWER="$drawer" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
