#!/usr/bin/env bash
# Writes DIR/SHA256SUMS over every package make package left in DIR (the
# Debian packages, the Windows zip and installer), in the form sha256sum
# reads back:  cd DIR && sha256sum -c SHA256SUMS
set -euo pipefail
cd "$1"
shopt -s nullglob
export LC_ALL=C  # the same order of names in every locale
packages=(*.deb *.zip *-setup.exe)
[[ ${#packages[@]} -gt 0 ]] || { echo "no package in $1 to sum" >&2; exit 1; }
sha256sum -- "${packages[@]}" >SHA256SUMS.partial
mv SHA256SUMS.partial SHA256SUMS
echo "Sums of the packages: $PWD/SHA256SUMS"
