#!/usr/bin/env bash
# Installs a Debian package of the programs with apt and runs the programs'
# end-to-end tests, from the build in build/, against the copies the package
# put in /usr/bin: every window read back pixel for pixel, every key burst.
# make test-release DEB=... runs it in a fresh root after make test, so that
# the package built on one release is held to the same tests on another.
#   scripts/test-installed.sh PACKAGE.deb
set -euo pipefail
[[ $# -eq 1 && -f $1 ]] || { echo "usage: $0 PACKAGE.deb" >&2; exit 2; }
deb=$(realpath "$1")
cd "$(dirname "$0")/.."
[[ -d build ]] || { echo "$0: no build/ here: run make test first" >&2; exit 1; }

echo "== installing $(basename "$deb")"
apt-get install --yes --no-install-recommends "$deb"
programs=(tetrachaos ngonchaos escapeplot ruletri)
for program in "${programs[@]}"; do
  [[ $(dpkg -S "/usr/bin/$program") == fractals:* ]] || { echo "$0: /usr/bin/$program is not the package's" >&2; exit 1; }
done
failed=()
for program in "${programs[@]}"; do
  echo "== ${program}_e2e_test against /usr/bin/$program"
  E2E_PROGRAM_DIR=/usr/bin SDL_VIDEODRIVER=dummy "build/bin/${program}_e2e_test" --gtest_brief=1 || failed+=("$program")
done
if [[ ${#failed[@]} -gt 0 ]]; then
  echo "== the installed ${failed[*]} failed their end-to-end tests" >&2
  exit 1
fi
echo "== the installed programs passed their end-to-end tests"
