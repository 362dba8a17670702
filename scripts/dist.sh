#!/usr/bin/env bash
# make dist: the release tarball of the commit checked out here,
# OUT/fractals-VERSION.tar.gz (OUT is the top of the checkout by default),
# for building, testing and installing with no git and no network
# (scripts/packager-build.sh builds one as a distribution would). It holds
# every file git tracks at that commit under fractals-VERSION/, and
# source-date-epoch, the commit's time, which a build of the tarball takes
# for the packages' date (scripts/source-date.sh).
#
# The same commit gives the same bytes, whoever makes it, wherever and
# whenever: every entry carries the commit's time and belongs to root (0/0),
# the names are sorted, the modes are 0644 or 0755 whatever the umask, and
# gzip writes no name or time.
#   scripts/dist.sh [OUT]
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$source_dir}
cd "$source_dir"
[[ -e .git ]] || { echo "make dist packs a commit of a git checkout; $source_dir is none" >&2; exit 1; }

version=$(sed -n 's/^project(fractals VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[[ -n $version ]] || { echo "CMakeLists.txt names no version in its project() line" >&2; exit 1; }
name=fractals-$version
commit=$(git rev-parse HEAD)
epoch=$(git log -1 --format=%ct "$commit")
if [[ -n $(git status --porcelain --untracked-files=no) ]]; then
  echo "make dist packs commit $commit: changes not committed are not in it."
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
git archive --format=tar --prefix="$name/" "$commit" | tar -x -C "$work"
echo "$epoch" >"$work/$name/source-date-epoch"
mkdir -p "$out"
tarball=$(cd "$out" && pwd)/$name.tar.gz
LC_ALL=C tar -c -C "$work" --sort=name --format=gnu --mtime="@$epoch" \
  --owner=0 --group=0 --numeric-owner --mode=a+rX,u+w,go-w "$name" | gzip -9n >"$tarball.partial"
mv "$tarball.partial" "$tarball"
echo "Release tarball of $commit: $tarball"
