#!/usr/bin/env bash
# fresh-debian-package.sh: the package's life on a fresh Debian, run as root
# inside the root that `check-fresh-debian.sh --package` makes, from the top
# of a clone. Builds the package with dpkg-buildpackage, runs lintian, installs
# it with apt, lets two throwaway users each play a game on Xvfb to its end
# so that it enters the shared table, then removes and purges the package and
# checks that nothing it installed is left. Prints what it does; the last
# line is "PACKAGE CHECK PASSED" or "PACKAGE CHECK FAILED: ...".
set -euo pipefail

export DEBIAN_FRONTEND=noninteractive
failures=()
fail() { echo "FAIL: $*"; failures+=("$*"); }
step() { echo; echo "== $*"; }
finish() {
    if ((${#failures[@]})); then
        echo "PACKAGE CHECK FAILED: ${#failures[@]} failure(s)"
        exit 1
    fi
    echo "PACKAGE CHECK PASSED"
    exit 0
}

source_dir=$(pwd)
version=$(dpkg-parsechangelog -S Version 2>/dev/null || sed -n '1s/^clumpout (\([^)]*\)).*/\1/p' debian/changelog)

step "Build dependencies"
apt-get update -q >/dev/null
apt-get install -y -q --no-install-recommends build-essential debhelper fakeroot lintian >/dev/null
apt-get build-dep -y -q ./ >/dev/null
version=$(dpkg-parsechangelog -S Version)
arch=$(dpkg --print-architecture)
echo "clumpout $version for $arch"

step "dpkg-buildpackage -us -uc -b"
if ! dpkg-buildpackage -us -uc -b >../build.log 2>&1; then
    tail -n 40 ../build.log
    fail "the package does not build"
    finish
fi
deb="../clumpout_${version}_${arch}.deb"
ls -l ../*.deb
dpkg-deb -c "$deb"

step "lintian"
lintian --info --show-overrides "../clumpout_${version}_${arch}.changes" | tee ../lintian.log || true
grep -qE '^[EW]: ' ../lintian.log && fail "lintian reports errors or warnings"

step "apt install"
apt-get install -y -q --no-install-recommends "$(realpath "$deb")" xvfb xfonts-base x11-utils xdotool procps >/dev/null
for path in /usr/games/clumpout /usr/bin/clumpout-journal /usr/bin/clumpout-theme; do
    [[ -x $path ]] || fail "$path is not installed"
done
[[ $(stat -c '%U:%G %a' /usr/games/clumpout) == "root:games 2755" ]] ||
    fail "/usr/games/clumpout is $(stat -c '%U:%G %a' /usr/games/clumpout), want root:games 2755"
[[ $(stat -c '%U:%G %a' /var/games/clumpout) == "root:games 2775" ]] ||
    fail "/var/games/clumpout is $(stat -c '%U:%G %a' /var/games/clumpout), want root:games 2775"
[[ $(stat -c '%U:%G %a %s' /var/games/clumpout/hiscore) == "root:games 664 960" ]] ||
    fail "the table is $(stat -c '%U:%G %a %s' /var/games/clumpout/hiscore), want root:games 664 960"
clumpout-theme check /usr/share/games/clumpout/clumpout.dat || fail "clumpout-theme check of the installed catalogue"

step "Two players on Xvfb"
rm -f /tmp/display
Xvfb -displayfd 7 -nolisten tcp -screen 0 1280x1024x24 7>/tmp/display 2>/tmp/xvfb.log &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
for _ in $(seq 100); do [[ -s /tmp/display ]] && break; sleep 0.1; done
display=":$(head -n1 /tmp/display)"

# The deal is the clock's second when the board is dealt: start just after a
# second begins, find a good line for that deal with the journal tool, and
# click it. Head's tiles are 32 pixels; Small is 15 x 8.
play_a_game() {
    local player=$1 home try
    useradd -m "$player"
    home=$(getent passwd "$player" | cut -d: -f6)
    printf 'Width 15\nHeight 8\nPictures 1\n' >"$home/.Clumpout"
    touch "$home/.clumpout-journal"
    chown "$player:" "$home/.Clumpout" "$home/.clumpout-journal"
    # A start that took longer than the rest of its second dealt another
    # board; the game then is not over after the line, and is tried again.
    for try in 1 2 3; do
        try_a_game "$player" "$home" && break
        echo "$player: the deal was not the one planned (try $try)"
    done
    echo "$player's journal: $(cat "$home/.clumpout-journal")"
    grep -q " rank=[0-9]" "$home/.clumpout-journal" || fail "$player's game did not enter the table"
    grep -qa "$player" /var/games/clumpout/hiscore || fail "$player is not in the shared table"
}

try_a_game() {
    local player=$1 home=$2 deal moves board_window x0 y0 move column row steps
    sleep "0.$(printf '%03d' $((1000 - 10#$(date +%N | cut -c1-3))))"
    deal=$(date +%s)
    su "$player" -c "cd && exec env DISPLAY=$display /usr/games/clumpout" >"/tmp/$player.out" 2>&1 &
    printf '%s deal=%s size=15x8 set=Head moves=0 gets=0 rests=120 total=-120 rank=- play=\n' \
        "$(date -u +%Y-%m-%dT%H:%M:%SZ)" "$deal" >"/tmp/$player.plan"
    moves=$(clumpout-journal -f "/tmp/$player.plan" best 1 --seconds 3 | sed -n 's/^moves: *//p')
    echo "$player: deal $deal, playing $moves"
    board_window=
    for _ in $(seq 100); do
        board_window=$(DISPLAY=$display xwininfo -root -tree 2>/dev/null | awk '/ 480x256\+/ { print $1; exit }')
        [[ -n $board_window ]] && break
        sleep 0.1
    done
    [[ -n $board_window ]] || { fail "$player: no 480x256 board window: $(cat "/tmp/$player.out")"; return 1; }
    x0=$(DISPLAY=$display xwininfo -id "$board_window" | awk '/Absolute upper-left X/ { print $4 }')
    y0=$(DISPLAY=$display xwininfo -id "$board_window" | awk '/Absolute upper-left Y/ { print $4 }')
    sleep 0.5
    IFS=';' read -ra steps <<<"$moves"
    for move in "${steps[@]}"; do
        column=${move%,*} row=${move#*,}
        DISPLAY=$display xdotool mousemove $((x0 + column * 32 + 16)) $((y0 + row * 32 + 16))
        sleep 0.15
        DISPLAY=$display xdotool click 1
        sleep 0.15
    done
    for _ in $(seq 50); do [[ -s $home/.clumpout-journal ]] && break; sleep 0.1; done
    DISPLAY=$display xdotool click 3
    for _ in $(seq 50); do pgrep -u "$player" clumpout >/dev/null || break; sleep 0.1; done
    grep -q " deal=$deal " "$home/.clumpout-journal"
}
play_a_game clumpout-player-a
play_a_game clumpout-player-b
[[ $(stat -c '%U:%G %a %s' /var/games/clumpout/hiscore) == "root:games 664 960" ]] ||
    fail "after play the table is $(stat -c '%U:%G %a %s' /var/games/clumpout/hiscore)"
[[ -e /var/games/clumpout/.LOCK ]] && fail "a lock was left behind"
kill $xvfb_pid 2>/dev/null || true
userdel -r clumpout-player-a 2>/dev/null || true
userdel -r clumpout-player-b 2>/dev/null || true

step "Remove, then purge"
installed=$(dpkg -L clumpout | sort)
apt-get remove -y -q clumpout >/dev/null
[[ -f /var/games/clumpout/hiscore ]] || fail "removing the package removed the players' scores"
grep -qa clumpout-player-a /var/games/clumpout/hiscore || fail "removing the package emptied the table"
apt-get purge -y -q clumpout >/dev/null
[[ -e /var/games/clumpout ]] && fail "purging left /var/games/clumpout"
left=
while IFS= read -r path; do
    [[ -f $path || -L $path ]] && left+=" $path"
done <<<"$installed"
[[ -z $left ]] || fail "files left after purge:$left"
dpkg -s clumpout >/dev/null 2>&1 && fail "dpkg still knows the package"
echo "Nothing of the package is left."
finish
