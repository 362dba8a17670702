#!/usr/bin/env bash
# Prints the Debian archives this machine's apt uses, read from its sources
# (one-line lists and deb822 .sources alike), one a line:
#   archive URI    where the releases and their -updates are
#   security URI   where the -security suites are (when apt names one)
# Other scripts build their own apt sources for any Debian release from these,
# so no archive's address is written anywhere in the project. APT_ETC names
# another folder to read than /etc/apt.
set -euo pipefail
etc=${APT_ETC:-/etc/apt}

# "URI SUITE" for every enabled binary entry.
entries() {
  local list
  for list in "$etc/sources.list" "$etc"/sources.list.d/*.list; do
    [[ -f $list ]] || continue
    sed -n 's/^[[:space:]]*deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\([^[:space:]]\+\)[[:space:]]\+\([^[:space:]]\+\).*/\2 \3/p' "$list"
  done
  for list in "$etc"/sources.list.d/*.sources; do
    [[ -f $list ]] || continue
    awk 'BEGIN { RS = "" }
         /(^|\n)Types:[^\n]*deb([ \t\n]|$)/ && !/(^|\n)Enabled:[ \t]*no/ {
           uris = ""; suites = ""
           n = split($0, line, "\n")
           for (i = 1; i <= n; i++) {
             if (line[i] ~ /^URIs:/) uris = substr(line[i], 6)
             if (line[i] ~ /^Suites:/) suites = substr(line[i], 8)
           }
           split(uris, u, " "); m = split(suites, s, " ")
           for (i = 1; i <= m; i++) if (u[1] != "") print u[1], s[i]
         }' "$list"
  done
}

archive="" security=""
while read -r uri suite; do
  uri=${uri%/}
  case $suite in
    */updates|*-security) [[ -n $security ]] || security=$uri ;;
    *-backports|*-proposed-updates) ;;
    *) [[ -n $archive ]] || archive=$uri ;;
  esac
done < <(entries)

if [[ -z $archive ]]; then
  echo "$0: apt names no Debian archive in $etc/sources.list or $etc/sources.list.d/" >&2
  exit 1
fi
echo "archive $archive"
[[ -z $security ]] || echo "security $security"
