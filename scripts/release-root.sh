#!/usr/bin/env bash
# Runs a command in a fresh minimal root of a Debian release, as a new user
# of that release would meet the project:
#
#   release-root.sh [options] RELEASE COMMAND...
#     --include PKGS   packages (comma-separated) to install besides apt itself
#     --clone          put a clone of the current commit at /src/fractals and start there
#     --copy FILE      copy FILE into /src (repeatable)
#     --setup CMD      run CMD (with sh -c, in /src) before COMMAND, with the network
#     --offline        run COMMAND with no network (loopback only)
#     --root DIR       where the root is made (default build-release/RELEASE)
#
# The root is made anew each run with mmdebstrap --variant=apt from the
# archive the machine's apt names (scripts/apt-mirror.sh) and kept after the
# run for a look inside. The .debs apt downloads, while the root is made and
# inside it, are kept outside it in DEB_CACHE/RELEASE (default
# /var/cache/fractals-roots), so a repeat run downloads only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)

include="" clone=false offline=false setup="" root="" copies=()
while [[ $# -gt 0 ]]; do
  case $1 in
    --include) include=$2; shift 2 ;;
    --clone) clone=true; shift ;;
    --copy) copies+=("$(realpath "$2")"); shift 2 ;;
    --setup) setup=$2; shift 2 ;;
    --offline) offline=true; shift ;;
    --root) root=$2; shift 2 ;;
    -*) echo "$0: unknown option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done
[[ $# -ge 2 ]] || { echo "usage: $0 [options] RELEASE COMMAND..." >&2; exit 2; }
release=$1
shift
[[ $(id -u) -eq 0 ]] || { echo "$0: making a root needs root" >&2; exit 1; }
command -v mmdebstrap >/dev/null || { echo "$0: mmdebstrap is missing: apt-get install mmdebstrap" >&2; exit 1; }

root=$(realpath -m "${root:-build-release/$release}")
cache=${DEB_CACHE:-/var/cache/fractals-roots}/$release
mkdir -p "$cache/partial"

# A root left mounted would take the cache or the host's /dev with it.
if grep -q " $root/" /proc/self/mountinfo; then
  echo "$0: something is still mounted below $root" >&2
  exit 1
fi
rm -rf "$root"
mkdir -p "$root"

mirrors=()
while read -r kind uri; do
  case $kind in
    archive) mirrors+=("deb $uri $release main" "deb $uri $release-updates main") ;;
    security) mirrors+=("deb $uri $release-security main") ;;
  esac
done < <(scripts/apt-mirror.sh)

# The cache is bound over the root's own archive folder while apt works, and
# nothing is emptied from it at the end. A root lives for one run: dpkg
# need not sync each file it writes, here or later inside it.
bind_cache='mkdir -p "$1/var/cache/apt/archives" && mount --bind '"'$cache'"' "$1/var/cache/apt/archives"'
# A machine that reaches the network through a TLS-inspecting proxy trusts
# its certificate authority as a locally added one; the root gets the same
# ones before any package is installed, so that ca-certificates takes them in
# (npm needs them there as here).
local_cas='mkdir -p "$1/usr/local/share/ca-certificates" && cp -a /usr/local/share/ca-certificates/. "$1/usr/local/share/ca-certificates/" 2>/dev/null || true'
echo "Making a fresh $release root in $root ..."
start=$SECONDS
unshare --mount --propagation private -- mmdebstrap --quiet --mode=root --variant=apt \
  --keyring=/usr/share/keyrings/debian-archive-keyring.gpg \
  ${include:+--include="$include"} \
  --skip=download/empty --skip=essential/unlink --dpkgopt=force-unsafe-io \
  --setup-hook="$bind_cache" --setup-hook="$local_cas" \
  --customize-hook='umount "$1/var/cache/apt/archives"' \
  "$release" "$root" "${mirrors[@]}"
echo "The root took $((SECONDS - start)) s."

mkdir -p "$root/src"
workdir=/src
if $clone; then
  git clone --quiet --no-hardlinks "$top" "$root/src/fractals"
  git -C "$root/src/fractals" checkout --quiet --detach "$(git rev-parse HEAD)"
  workdir=/src/fractals
fi
for f in "${copies[@]}"; do
  cp "$f" "$root/src/"
done

# Runs its arguments in the root with /dev, /proc, /sys and the .deb cache
# mounted; the mounts live only as long as the command.
enter() {
  local net=()
  [[ $1 == --offline ]] && { net=(--net); shift; }
  unshare --mount --propagation private "${net[@]}" -- bash -c '
    set -e
    root=$1 cache=$2 workdir=$3; shift 3
    [[ -z $OFFLINE ]] || ip link set lo up
    mount --rbind /dev "$root/dev"
    mount -t proc proc "$root/proc"
    mount -t sysfs sysfs "$root/sys"
    mount --bind "$cache" "$root/var/cache/apt/archives"
    exec chroot "$root" env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
      HOME=/root LANG=C.UTF-8 TERM=dumb DEBIAN_FRONTEND=noninteractive \
      bash -c "cd \"\$0\" && exec \"\$@\"" "$workdir" "$@"' \
    enter "$root" "$cache" "$workdir" "$@"
}
export OFFLINE=""
if [[ -n $setup ]]; then
  enter sh -c "$setup"
fi
if $offline; then
  OFFLINE=1 enter --offline "$@"
else
  enter "$@"
fi
