#!/usr/bin/env bash
# Installs the Debian packages the project needs. Does nothing when all of
# them are present.
#   scripts/install-deps.sh          everything: build, tests, Windows, web, packaging
#   scripts/install-deps.sh run      only what building and starting the Linux programs needs
#   scripts/install-deps.sh --list [run]   prints the packages, one a line, and installs nothing
set -euo pipefail

# The Linux programs alone (make run).
run_packages=(
  cmake g++ make pkg-config
  libsdl1.2-dev libx11-dev
)
# The rest: tests, benchmarks, screenshots, the Windows and web builds, packaging.
more_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  libxtst-dev libxcomposite-dev
  xvfb xdotool x11-utils imagemagick
  g++-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix wine wine64
  dpkg-dev googletest
  libpng-dev file lintian desktop-file-utils appstream groff-base nsis
  emscripten nodejs chromium python3-websocket
  diffoscope-minimal disorderfs
)

list=false
if [[ "${1:-}" == "--list" ]]; then
  list=true
  shift
fi
case "${1:-all}" in
  run) packages=("${run_packages[@]}") ;;
  all) packages=("${run_packages[@]}" "${more_packages[@]}") ;;
  *) echo "usage: $0 [--list] [run|all]" >&2; exit 2 ;;
esac
if $list; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

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
