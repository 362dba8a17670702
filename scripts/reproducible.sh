#!/usr/bin/env bash
# make reproducible: builds the packages (make package) and the pages (make
# web) of the commit checked out here twice, in two fresh clones that differ in
# everything that must not matter, and compares what they leave: every file
# either SHA256SUMS names, SHA256SUMS itself, and every file of the pages
# folder. It names each file that differs, shows why with diffoscope (the full
# reports stay in WORK/diffoscope/) and fails then; else it keeps the packages
# and SHA256SUMS in WORK/packages/.
#
#   scripts/reproducible.sh [WORK]      WORK is build-reproducible/ by default
#
# The second build differs from the first in the clone's folder (its path and
# its name), the time (it starts later, and the two time zones are 26 hours
# apart, so even the local dates differ), the locale, the umask, the number of
# parallel jobs, the host name (a UTS namespace of its own, as root) and the
# order in which the file system lists folders (the clone is seen through
# disorderfs, which shuffles every listing). Neither build runs the tests.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-$source_dir/build-reproducible}
mkdir -p "$work"
work=$(cd "$work" && pwd)

# Each build: its log, its folder, TZ (POSIX: AAA+12 is 12 hours behind UTC,
# BBB-14 14 hours ahead), locale, umask, jobs and host name ("" keeps it).
first=("$work/first.log" "$work/a/fractals" AAA+12 C 0022 2 "")
second=("$work/second.log" "$work/shuffled/second-fractals.clone" BBB-14 C.UTF-8 0077 1 another-builder)

commit=$(git -C "$source_dir" rev-parse HEAD)
if [[ -n $(git -C "$source_dir" status --porcelain --untracked-files=no) ]]; then
  echo "make reproducible builds commit $commit: changes not committed are not in it."
fi

shuffled_mount=$(dirname "${second[1]}")
unmount() {
  if mountpoint -q "$shuffled_mount" 2>/dev/null; then
    fusermount -u "$shuffled_mount" || true
  fi
}
trap unmount EXIT
unmount
rm -rf "$work/a" "$work/shuffled" "$work/shuffled.files" "$work/diffoscope" "$work/packages"
mkdir -p "$work/a" "$work/shuffled" "$work/shuffled.files"

# The second clone lies in a folder seen through disorderfs, when it can
# mount one (it needs FUSE).
if command -v disorderfs >/dev/null &&
   disorderfs --shuffle-dirents=yes --multi-user=no "$work/shuffled.files" "$shuffled_mount" >/dev/null 2>&1; then
  shuffled="listings shuffled by disorderfs"
else
  shuffled="listings NOT shuffled (disorderfs could not mount $shuffled_mount)"
fi

# build LOG FOLDER TZ LOCALE UMASK JOBS HOST: clones the commit into FOLDER
# and runs make package and make web there, in that environment.
build() {
  local log=$1 dir=$2 tz=$3 locale=$4 mask=$5 jobs=$6 host=$7
  git clone -q --no-checkout "$source_dir" "$dir"
  git -C "$dir" fetch -q "$source_dir" "$commit"  # on no branch when HEAD is detached
  git -C "$dir" checkout -q --detach "$commit"
  local script="umask $mask && make package JOBS=$jobs CMAKE_FLAGS=-DBUILD_TESTING=OFF && make web"
  # nproc follows OMP_NUM_THREADS: the SDL and web builds, which ask it, run
  # as many jobs as the rest.
  local run=(env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL TZ="$tz" LC_ALL="$locale" LANG="$locale"
    OMP_NUM_THREADS="$jobs" bash -c "$script")
  local where="host name $(hostname)"
  if [[ -n $host ]]; then
    if unshare --uts true 2>/dev/null; then
      run=(unshare --uts sh -c 'hostname "$0" && exec "$@"' "$host" "${run[@]}")
      where="host name $host"
    else
      where="host name NOT changed (no UTS namespace: needs root)"
    fi
  fi
  echo "== building $commit in $dir"
  echo "   TZ=$tz LC_ALL=$locale umask $mask JOBS=$jobs, $where, $(date -u '+%F %T UTC')"
  local start=$SECONDS
  if ! (cd "$dir" && "${run[@]}") >"$log" 2>&1; then
    tail -n 30 "$log"
    echo "make reproducible: the build in $dir failed (log: $log)"
    exit 1
  fi
  echo "   built in $((SECONDS - start)) s"
}

start=$SECONDS
build "${first[@]}"
echo "   (${shuffled})"
build "${second[@]}"

a=${first[1]} b=${second[1]}
differ=()
same=0
# compare NAME FILE_A FILE_B
compare() {
  if [[ ! -f $2 || ! -f $3 ]]; then
    echo "DIFFERS: $1 is made by one build only"
    differ+=("$1")
  elif cmp -s "$2" "$3"; then
    same=$((same + 1))
  else
    echo "DIFFERS: $1"
    differ+=("$1")
    mkdir -p "$work/diffoscope"
    local report=$work/diffoscope/$(tr / _ <<<"$1").txt
    diffoscope --no-progress --text "$report" "$2" "$3" >/dev/null 2>&1 || true
    head -n 60 "$report" | sed 's/^/    /'
    echo "    (whole report: $report)"
  fi
}

names() {  # the package files a SHA256SUMS names
  if [[ -f $1 ]]; then awk '{ sub(/^\*/, "", $2); print $2 }' "$1"; fi
}
export LC_ALL=C
for dir in "$a" "$b"; do
  if ! (cd "$dir/build" && sha256sum -c --quiet SHA256SUMS); then
    echo "make reproducible: $dir/build/SHA256SUMS does not match the packages beside it"
    exit 1
  fi
done
compare build/SHA256SUMS "$a/build/SHA256SUMS" "$b/build/SHA256SUMS"
while read -r name; do
  compare "build/$name" "$a/build/$name" "$b/build/$name"
done < <({ names "$a/build/SHA256SUMS"; names "$b/build/SHA256SUMS"; } | sort -u)
pages=build/web/pages
while read -r name; do
  compare "$pages/$name" "$a/$pages/$name" "$b/$pages/$name"
done < <(for dir in "$a/$pages" "$b/$pages"; do [[ -d $dir ]] && (cd "$dir" && find . -type f -printf '%P\n'); done | sort -u)

echo "== compared in $((SECONDS - start)) s in all"
if [[ ${#differ[@]} -gt 0 ]]; then
  echo "NOT REPRODUCIBLE: ${#differ[@]} of $((same + ${#differ[@]})) files differ between the two builds of $commit:"
  printf '  %s\n' "${differ[@]}"
  echo "Both builds are kept in $work."
  exit 1
fi
if [[ $same -eq 0 ]]; then
  echo "make reproducible: the builds left nothing to compare"
  exit 1
fi
echo "REPRODUCIBLE: the two builds of $commit gave the same bytes, $same files:"
(cd "$a/build" && sed 's/^/  /' SHA256SUMS)
echo "  and the $(find "$a/$pages" -type f | wc -l) files of $pages"
# The packages stay, with their sums; the two clones go.
rm -rf "$work/packages"
mkdir "$work/packages"
while read -r name; do cp "$a/build/$name" "$work/packages/"; done < <(names "$a/build/SHA256SUMS")
cp "$a/build/SHA256SUMS" "$work/packages/"
echo "The packages are in $work/packages."
unmount
rm -rf "$work/a" "$work/shuffled" "$work/shuffled.files"
