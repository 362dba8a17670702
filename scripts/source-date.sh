#!/bin/sh
# Prints the source's date, in seconds since 1970, which every entry of the
# packages carries:
#   SOURCE_DATE_EPOCH as the environment sets it, else
#   source-date-epoch, which make dist writes into the release tarball, else
#   the time of the commit a git checkout of the source is at, else
#   the date of the changelog's entry.
#   source-date.sh SOURCE_DIR
set -eu
source_dir=$1
case ${SOURCE_DATE_EPOCH:-} in
  '' | *[!0-9]*) ;;
  *) echo "$SOURCE_DATE_EPOCH"; exit 0 ;;
esac
if [ -f "$source_dir/source-date-epoch" ]; then
  cat "$source_dir/source-date-epoch"
# Only the source's own checkout: a tarball unpacked inside another git
# repository must not take that one's commit.
elif [ -e "$source_dir/.git" ] && git -C "$source_dir" log -1 --format=%ct 2>/dev/null; then
  :
else
  date -u -d "$(sed -n 's/^ -- .*>  //p' "$source_dir/packaging/changelog.in")" +%s
fi
