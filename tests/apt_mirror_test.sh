#!/usr/bin/env bash
# scripts/apt-mirror.sh reads the archives from apt's sources as Debian
# writes them: deb822 stanzas (a disabled one and a deb-src one skipped, the
# first of several URIs taken) and one-line entries with options, security
# suites told from the rest, backports ignored, and nothing found said so.
set -euo pipefail
mirror="$(dirname "$0")/../scripts/apt-mirror.sh"
etc=$(mktemp -d)
trap 'rm -rf "$etc"' EXIT
mkdir "$etc/sources.list.d"
status=0
expect() {
  local got
  got=$(APT_ETC=$etc "$mirror" 2>&1) || true
  [[ $got == "$1" ]] || { printf 'expected:\n%s\ngot:\n%s\n' "$1" "$got"; status=1; }
}

cat >"$etc/sources.list.d/debian.sources" <<'END'
Types: deb
URIs: http://off.example/debian
Suites: bookworm
Components: main
Enabled: no

Types: deb-src
URIs: http://src.example/debian
Suites: bookworm
Components: main

Types: deb
URIs: http://sec.example/debian-security
Suites: bookworm-security
Components: main

Types: deb deb-src
URIs: http://one.example/debian/ http://two.example/debian
Suites: bookworm-backports bookworm bookworm-updates
Components: main
END
expect $'archive http://one.example/debian\nsecurity http://sec.example/debian-security'

rm "$etc/sources.list.d/debian.sources"
cat >"$etc/sources.list" <<'END'
# deb http://commented.example/debian bookworm main
deb-src http://src.example/debian bookworm main
deb [arch=amd64 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://line.example/debian trixie main
deb http://line.example/debian-security trixie-security main
END
expect $'archive http://line.example/debian\nsecurity http://line.example/debian-security'

: >"$etc/sources.list"
expect "$mirror: apt names no Debian archive in $etc/sources.list or $etc/sources.list.d/"
exit $status
