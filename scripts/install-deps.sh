#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the screenshots need.
# Does nothing when all of them are present.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libsdl1.2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libx11-dev libxtst-dev libxcomposite-dev
  xvfb xdotool x11-utils imagemagick
  g++-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix wine wine64
  dpkg-dev googletest
  libpng-dev file lintian desktop-file-utils appstream groff-base nsis
  emscripten nodejs chromium python3-websocket
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing the Debian packages this project needs: ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
