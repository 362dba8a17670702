#!/usr/bin/env bash
# A distribution's build of the release tarball (make dist), as its packager
# runs one: meant for a fresh root with only the packages that
# scripts/install-deps.sh --list build names, and no network. It unpacks the
# tarball into a folder of its own, configures it out of tree for /usr with
# the distribution's compiler flags (dpkg-buildflags, where there is one;
# CC, CXX and the *FLAGS the environment sets otherwise), builds it, runs
# every test under xvfb-run, installs under DESTDIR and checks that the
# programs, their manual pages, menu entries, icons and metainfo are there.
#   scripts/packager-build.sh TARBALL [WORK]
# WORK, a new temporary folder by default, keeps the source, the build (b/),
# the staged install (stage/) and the test log (ctest.log).
set -euo pipefail
tarball=$(realpath "$1")
work=${2:-$(mktemp -d)}
mkdir -p "$work"
work=$(realpath "$work")
programs=(tetrachaos ngonchaos escapeplot ruletri)
jobs=$(nproc)
start=$SECONDS
step() {
  echo "== $1 ($((SECONDS - start)) s)"
}

step "unpacking $tarball into $work"
rm -rf "$work/source" "$work/stage"
mkdir "$work/source"
tar -xzf "$tarball" -C "$work/source"
source=$(find "$work/source" -mindepth 1 -maxdepth 1 -type d)
cd "$source"
if command -v dpkg-buildflags >/dev/null; then
  eval "$(dpkg-buildflags --export=sh)"
  echo "dpkg-buildflags: CPPFLAGS=$CPPFLAGS CXXFLAGS=$CXXFLAGS LDFLAGS=$LDFLAGS"
fi

step configuring
cmake -S . -B b -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_BUILD_TYPE=None
step building
cmake --build b -j "$jobs"
step testing
tests=0
xvfb-run -a ctest --test-dir b -j "$jobs" --output-on-failure 2>&1 | tee "$work/ctest.log" || tests=$?
# Each skipped test with its reason: a GoogleTest case's is the line after
# its "Skipped", any other test's is its first line of output.
skipped=$(sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (Skipped)$/\1/p' "$work/ctest.log")
if [[ -n $skipped ]]; then
  echo "Skipped, each with its reason:"
  awk -v names="$skipped" '
    BEGIN { n = split(names, list, "\n"); for (i = 1; i <= n; i++) wanted[list[i]] = 1 }
    /^[0-9]+\/[0-9]+ Test: / { name = substr($0, index($0, "Test: ") + 6); next }
    /^Output:$/ { getline; output = 1; reason = ""; first = ""; after = 0; next }
    /^<end of output>$/ {
      if (name in wanted) print "  " name ": " (reason != "" ? reason : first)
      output = 0; next
    }
    output && after { reason = $0; after = 0 }
    output && /: Skipped$/ { after = 1 }
    output && first == "" && NF { first = $0 }' b/Testing/Temporary/LastTest.log
fi
[[ $tests -eq 0 ]] || { echo "packager-build: tests failed (log: $work/ctest.log)"; exit 1; }

step "installing under $work/stage"
DESTDIR="$work/stage" cmake --install b
usr=$work/stage/usr
missing=()
for p in "${programs[@]}"; do
  [[ -x $usr/bin/$p ]] || missing+=("bin/$p")
  [[ -f $usr/share/man/man1/$p.1.gz ]] || missing+=("share/man/man1/$p.1.gz")
  [[ -f $usr/share/applications/$p.desktop ]] || missing+=("share/applications/$p.desktop")
  compgen -G "$usr/share/icons/hicolor/*/apps/$p.png" >/dev/null || missing+=("share/icons/hicolor/*/apps/$p.png")
  compgen -G "$usr/share/metainfo/*.$p.metainfo.xml" >/dev/null || missing+=("share/metainfo/*.$p.metainfo.xml")
done
if [[ ${#missing[@]} -gt 0 ]]; then
  printf 'packager-build: missing under usr/: %s\n' "${missing[@]}"
  exit 1
fi
echo "Installed $(find "$usr" -type f | wc -l) files under usr/: the ${#programs[@]} programs with their manual pages, menu entries, icons and metainfo."
step "done: $(grep -E 'tests passed' "$work/ctest.log")"
