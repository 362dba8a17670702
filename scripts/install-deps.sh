#!/usr/bin/env bash
# Installs the Debian packages the project needs. Does nothing when all of
# them are present.
#   scripts/install-deps.sh          everything: build, tests, Windows, arm64, web, packaging
#   scripts/install-deps.sh run      only what building and starting the Linux programs needs
#   scripts/install-deps.sh --list [run]   prints the packages, one a line, and installs nothing
set -euo pipefail

# The Linux programs alone (make run).
run_packages=(
  cmake g++ make pkg-config
  libsdl1.2-dev libx11-dev libpng-dev
)
# The rest: tests, benchmarks, screenshots, the Windows and web builds, packaging.
more_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  libxtst-dev libxcomposite-dev
  xvfb xdotool x11-utils imagemagick
  g++-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix wine wine64
  dpkg-dev googletest
  file lintian desktop-file-utils appstream groff-base nsis
  emscripten nodejs chromium python3-websocket
  diffoscope-minimal disorderfs
  mmdebstrap
)
# The arm64 cross build and its tests under qemu-user: arm64 libraries from
# Debian's multiarch packages, installed beside the amd64 ones (SDL's -dev
# package is not multiarch: the build unpacks its own, scripts/arm64-sysroot.sh).
arm64_packages=(
  g++-aarch64-linux-gnu qemu-user
  libstdc++6:arm64 libsdl1.2debian:arm64 libx11-dev:arm64 libxcomposite-dev:arm64
  libgtest-dev:arm64 libbenchmark-dev:arm64
)

list=false
if [[ "${1:-}" == "--list" ]]; then
  list=true
  shift
fi
case "${1:-all}" in
  run) packages=("${run_packages[@]}") ;;
  all) packages=("${run_packages[@]}" "${more_packages[@]}" "${arm64_packages[@]}") ;;
  *) echo "usage: $0 [--list] [run|all]" >&2; exit 2 ;;
esac
# npm installs the web tests' audit tools (tests/web/package.json). Node.js
# builds other than Debian's bring an npm of their own, which Debian's would
# conflict with.
if [[ "${1:-all}" == all ]] && ! command -v npm >/dev/null; then
  packages+=(npm)
fi
if $list; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

# A name without an architecture means the machine's own one (or all).
native=$(dpkg --print-architecture)
installed() {
  local name=$1 wanted="$native all"
  if [[ $name == *:* ]]; then
    wanted=${name##*:}
    name=${name%:*}
  fi
  local arch status
  while read -r arch status; do
    [[ " $wanted " == *" $arch "* && $status == "install ok installed" ]] && return 0
  done < <(dpkg-query -W -f='${Architecture} ${Status}\n' "$name" 2>/dev/null || true)
  return 1
}
missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing the Debian packages this project needs: ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
if [[ " ${missing[*]}" == *:arm64* ]] && ! dpkg --print-foreign-architectures | grep -qx arm64; then
  $sudo dpkg --add-architecture arm64
fi
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
