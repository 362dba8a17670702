#!/usr/bin/env bash
# make dist's tarball: made twice, under different umasks, time zones and
# locales, it is the same bytes; it holds exactly the files of the commit
# and source-date-epoch with the commit's time, no .git; every entry belongs
# to root and carries the commit's time; its gzip header holds no time or
# name. A build of the tarball itself (no git) skips this, with the reason.
#   dist_test.sh SOURCE_DIR WORK
set -euo pipefail
source_dir=$1 work=$2
if [[ ! -e $source_dir/.git ]]; then
  echo "the source is no git checkout (a release tarball's build): make dist packs a commit"
  exit 77
fi
rm -rf "$work"
mkdir -p "$work"
(umask 022 && TZ=AAA+12 LC_ALL=C "$source_dir/scripts/dist.sh" "$work/a") >/dev/null
(umask 077 && TZ=BBB-14 LC_ALL=C.UTF-8 "$source_dir/scripts/dist.sh" "$work/b") >/dev/null
status=0
fail() { echo "$1"; status=1; }

tarball=$(find "$work/a" -name 'fractals-*.tar.gz')
name=$(basename "$tarball" .tar.gz)
cmp -s "$tarball" "$work/b/$name.tar.gz" || fail "two tarballs of one commit differ"

commit_time=$(git -C "$source_dir" log -1 --format=%ct)
export LC_ALL=C
diff <({ git -C "$source_dir" ls-tree -r --name-only HEAD | sed "s|^|$name/|"; echo "$name/source-date-epoch"; } | sort) \
  <(tar -tzf "$tarball" | grep -v '/$' | sort) >"$work/files.diff" ||
  { fail "the tarball's files are not the commit's (< only in the commit, > only in the tarball):"; cat "$work/files.diff"; }
[[ $(tar -xOzf "$tarball" "$name/source-date-epoch") == "$commit_time" ]] || fail "source-date-epoch is not the commit's time"

stamp=$(date -u -d "@$commit_time" '+%Y-%m-%d %H:%M:%S')
while read -r mode owner size day time path; do
  [[ $owner == 0/0 ]] || fail "$path belongs to $owner"
  [[ "$day $time" == "$stamp" ]] || fail "$path carries $day $time, not the commit's $stamp"
  [[ $mode == -rw-r--r-- || $mode == -rwxr-xr-x || $mode == drwxr-xr-x ]] || fail "$path has mode $mode"
done < <(tar -tvzf "$tarball" --numeric-owner --full-time --utc)

header=$(head -c 10 "$tarball" | od -An -tu1)
read -r -a byte <<<"$header"
(( (byte[3] & 8) == 0 )) || fail "the gzip header names a file"
(( byte[4] + byte[5] + byte[6] + byte[7] == 0 )) || fail "the gzip header holds a time"
exit $status
