#!/usr/bin/env bash
# Installs the Debian packages the project needs. Does nothing when all of
# them are present.
#   scripts/install-deps.sh          everything: build, tests, Windows, arm64, web, packaging
#   scripts/install-deps.sh run      only what building and starting the Linux programs needs
#   scripts/install-deps.sh build    what a packager's build needs: the Linux programs and
#                                    every test of theirs, offline (the Windows, arm64 and
#                                    web parts are left out, each saying so)
#   scripts/install-deps.sh --list [run|build|arm64|all]   prints the packages, one a line, and installs nothing
#   scripts/install-deps.sh --missing [run|build|arm64|all]   prints those not installed, and installs nothing
# On a machine without apt it says what the build needs by pkg-config
# module and tool, and fails when any of it is missing.
set -euo pipefail

# The Linux programs alone (make run).
run_packages=(
  cmake g++ make pkg-config
  libsdl1.2-dev libx11-dev libpng-dev
)
# The tests of the Linux programs and their packages, and the benchmarks:
# what a packager's offline build of the release tarball needs besides.
build_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev libxcomposite-dev
  xvfb xauth xdotool
  dpkg-dev lintian desktop-file-utils appstream groff-base
)
# The rest: screenshots, the Windows and web builds, the Windows packages,
# make reproducible.
more_packages=(
  libxtst-dev x11-utils imagemagick
  g++-mingw-w64-x86-64 g++-mingw-w64-x86-64-posix wine wine64
  googletest
  file nsis
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

list=false missing_only=false
case "${1:-}" in
  --list) list=true; shift ;;
  --missing) missing_only=true; shift ;;
esac
case "${1:-all}" in
  run) packages=("${run_packages[@]}") ;;
  build) packages=("${run_packages[@]}" "${build_packages[@]}") ;;
  arm64) packages=("${arm64_packages[@]}") ;;
  all) packages=("${run_packages[@]}" "${build_packages[@]}" "${more_packages[@]}" "${arm64_packages[@]}") ;;
  *) echo "usage: $0 [--list|--missing] [run|build|arm64|all]" >&2; exit 2 ;;
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

# Elsewhere the same needs go by pkg-config module and tool, as every
# distribution names them.
if ! command -v apt-get >/dev/null || ! command -v dpkg-query >/dev/null; then
  if $missing_only; then
    echo "This machine has no apt: which Debian packages are missing cannot be told." >&2
    exit 1
  fi
  case "${1:-all}" in
    run) modules=(sdl x11) tools=(cmake c++ make pkg-config) ;;
    *) modules=(sdl x11 libpng gtest benchmark xcomposite)
       tools=(cmake c++ make pkg-config Xvfb xvfb-run xauth xdotool) ;;
  esac
  echo "This machine has no apt, so $0 installs nothing. The build needs these"
  echo "pkg-config modules and tools (SDL 1.2 or sdl12-compat for sdl):"
  missing=0
  for m in "${modules[@]}"; do
    if pkg-config --exists "$m" 2>/dev/null; then state=found; else state=MISSING; missing=1; fi
    printf '  pkg-config %-12s %s\n' "$m" "$state"
  done
  for t in "${tools[@]}"; do
    if command -v "$t" >/dev/null; then state=found; else state=MISSING; missing=1; fi
    printf '  tool       %-12s %s\n' "$t" "$state"
  done
  if [[ ${1:-all} != run ]]; then
    echo "The package tests read Debian packages (dpkg-deb, lintian, desktop-file-validate, appstreamcli,"
    echo "groff); the Windows and arm64 parts take SDL from Debian's archive and are left out here."
  fi
  [[ $missing -eq 0 ]] || echo "Install what is MISSING with this machine's package manager."
  exit 1
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
if $missing_only; then
  [[ ${#missing[@]} -eq 0 ]] || printf '%s\n' "${missing[@]}"
  exit 0
fi
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
