#!/usr/bin/env bash
# check-fresh-debian.sh: runs ./tools/run-all-tests.sh as a new user would,
# on a minimal Debian bookworm with only git and sudo added. Needs root. The
# root made by debootstrap (from the mirror of this machine's apt sources)
# and the downloaded packages are kept in CLUMPOUT_DEBIAN_CACHE (default
# /var/cache/clumpout-fresh-debian); each run gets a fresh copy of that root
# with the committed tree (HEAD) cloned into it. FUZZ_RUNS and JOBS are
# passed on. Prints the summary line and exits with the tests' status; the
# whole output is left in run.log in the cache folder.
#
# With --package it tries the Debian package there instead, as a packager
# and two players would (tools/fresh-debian-package.sh): build, lintian,
# install with apt, play, remove and purge. It prints that whole story, also
# left in package.log, and exits with its status.
set -euo pipefail

mode=tests
if [[ ${1-} == --package ]]; then
    mode=package
elif (($#)); then
    echo "Usage: $(basename "$0") [--package]" >&2
    exit 2
fi

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/debian_packages.sh"

cache=${CLUMPOUT_DEBIAN_CACHE:-/var/cache/clumpout-fresh-debian}
if [[ $(id -u) != 0 ]]; then
    as_root env CLUMPOUT_DEBIAN_CACHE="$cache" ${FUZZ_RUNS:+FUZZ_RUNS="$FUZZ_RUNS"} \
        ${JOBS:+JOBS="$JOBS"} ${DEBIAN_MIRROR:+DEBIAN_MIRROR="$DEBIAN_MIRROR"} bash "$0" "$@"
    exit
fi

repo=$(git -C "$here" rev-parse --show-toplevel)
commit=$(git -C "$repo" rev-parse HEAD)
base="$cache/base"
root="$cache/run"
log="$cache/run.log"

# The first mirror this machine's apt sources name for bookworm, in either
# the one-line or the deb822 format.
apt_mirror() {
    local file files=()
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
        [[ -f $file ]] && files+=("$file")
    done
    ((${#files[@]})) || return 0
    awk '
        FNR == 1 || /^[ \t]*$/ { types = uris = suites = "" }
        /^deb[ \t]/ {
            i = 2
            if ($i ~ /^\[/) { while (i < NF && $i !~ /\]$/) i++; i++ }
            if ($(i + 1) == "bookworm") { print $i; exit }
        }
        tolower($1) == "types:"  { types = $0 " " }
        tolower($1) == "uris:"   { uris = $2 }
        tolower($1) == "suites:" { suites = $0 " " }
        types ~ /[ \t]deb[ \t]/ && suites ~ /[ \t]bookworm[ \t]/ && uris != "" { print uris; exit }
    ' "${files[@]}"
}

mounted=()
unmount_all() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount "${mounted[i]}" || umount -l "${mounted[i]}" || true; done
    mounted=()
}
mount_in_root() {  # mount arguments..., the target last
    mount "$@"
    mounted+=("${!#}")
}
trap unmount_all EXIT
trap "exit 130" INT TERM

# Removes a root left by an earlier run; never into anything mounted there.
remove_root() {
    local dir=$1 target
    [[ -e $dir ]] || return 0
    while read -r target; do
        umount -l "$target" || true
    done < <(findmnt -rn -o TARGET | grep -F "$dir/" | sort -r)
    rm -rf --one-file-system "$dir"
}

install_missing_packages debootstrap git

mkdir -p "$cache/archives"
if [[ ! -d $base ]]; then
    mirror=${DEBIAN_MIRROR:-$(apt_mirror)}
    mirror=${mirror:-http://deb.debian.org/debian}
    echo "Making a minimal bookworm root from $mirror in $base"
    remove_root "$base.new"
    debootstrap --variant=minbase bookworm "$base.new" "$mirror" >"$cache/debootstrap.log" 2>&1 ||
        { tail -n 20 "$cache/debootstrap.log"; echo "debootstrap failed" >&2; exit 1; }
    cp /etc/resolv.conf "$base.new/etc/resolv.conf"
    chroot "$base.new" env DEBIAN_FRONTEND=noninteractive apt-get update >>"$cache/debootstrap.log" 2>&1
    chroot "$base.new" env DEBIAN_FRONTEND=noninteractive apt-get install -y git sudo >>"$cache/debootstrap.log" 2>&1 ||
        { tail -n 20 "$cache/debootstrap.log"; echo "installing git and sudo failed" >&2; exit 1; }
    chroot "$base.new" apt-get clean
    mv "$base.new" "$base"
fi

echo "Copying the root to $root and cloning $commit into /root/clumpout"
remove_root "$root"
cp -a "$base" "$root"
cp /etc/resolv.conf "$root/etc/resolv.conf"
git clone -q "$repo" "$root/root/clumpout"
git -C "$root/root/clumpout" checkout -q --detach "$commit"

mount_in_root -t proc proc "$root/proc"
mount_in_root -t sysfs sysfs "$root/sys"
mount_in_root --bind /dev "$root/dev"
mount_in_root --bind /dev/pts "$root/dev/pts"
mount_in_root -t tmpfs tmpfs "$root/dev/shm"
mount_in_root --bind "$cache/archives" "$root/var/cache/apt/archives"

if [[ $mode == package ]]; then
    log="$cache/package.log"
    echo "Building, installing, playing and purging the package there (output also in $log)"
    set +e
    chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin:/usr/games \
        /bin/bash -c 'cd /root/clumpout && ./tools/fresh-debian-package.sh' 2>&1 | tee "$log"
    status=${PIPESTATUS[0]}
    set -e
    unmount_all
    exit "$status"
fi

echo "Running ./tools/run-all-tests.sh there (output in $log)"
status=0
chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    ${FUZZ_RUNS:+FUZZ_RUNS="$FUZZ_RUNS"} ${JOBS:+JOBS="$JOBS"} \
    /bin/bash -c 'cd /root/clumpout && ./tools/run-all-tests.sh' >"$log" 2>&1 || status=$?
unmount_all

summary=$(grep -E '^(ALL TESTS PASSED|TESTS FAILED)' "$log" | tail -n1 || true)
if [[ -n $summary ]]; then
    echo "$summary"
else
    tail -n 20 "$log"
    echo "run-all-tests.sh ended without a summary (status $status)"
fi
exit "$status"
