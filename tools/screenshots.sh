#!/bin/bash
# screenshots.sh: photographs the game window once per picture set, into
# docs/screenshots/<set>.png. Each shot runs the given clumpout binary in a
# private Xvfb with a throw-away HOME whose settings choose the set.
#
#   tools/screenshots.sh BINARY [THEMES_DIR]
#
# Without THEMES_DIR only the built-in sets 0-2 are taken. With it, the game
# runs inside THEMES_DIR, so its clumpout.dat and the files it names are
# found there first, and every catalogue entry is taken as well. Then the
# built-in sets at scale 2 (<set>-scale2.png) and a game played by keys with
# its keyboard cursor showing (keyboard.png), each with its X resources
# loaded by xrdb; the keys are typed by xdotool (Debian: x11-xserver-utils,
# xdotool).
set -eu

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 BINARY [THEMES_DIR]" >&2
    exit 2
fi
binary=$(realpath "$1")
themes=${2:+$(realpath "$2")}
repo=$(cd "$(dirname "$0")/.." && pwd)
out_dir=${SCREENSHOT_DIR:-$repo/docs/screenshots}   # overridable for trial runs
mkdir -p "$out_dir"

work=$(mktemp -d)
xvfb_pid=
game_pid=
cleanup() {
    # only the two processes this script started
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number to the pipe. It
# keeps its root window's properties, the resources xrdb loads, when the
# last client leaves.
Xvfb -displayfd 3 -screen 0 3840x2160x24 -noreset -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=:$(head -n1 "$work/display")

# Prints the id of the window named Clumpout once it is mapped, or fails.
wait_for_window() {
    for _ in $(seq 100); do
        if id=$(xwininfo -name Clumpout 2>/dev/null | awk '/Window id:/ {print $4}') &&
           [ -n "$id" ] &&
           xwininfo -id "$id" | grep -q 'Map State: IsViewable'; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# shoot NUMBER NAME [RESOURCES [KEYS...]]: one run of the game with
# "Pictures NUMBER" and the X resources RESOURCES, the KEYS typed into it,
# one picture.
shoot() {
    local number=$1 name=$2 resources=${3:-} home=$work/home-$1
    shift 2
    [ $# -gt 0 ] && shift
    mkdir -p "$home"
    printf '# Clumpout\nWidth   20\nHeight  10\nPictures %d\n' "$number" >"$home/.Clumpout"
    printf '%s\n' "$resources" | xrdb -nocpp -load -
    (cd "${themes:-$work}" && HOME=$home CLUMPOUT_DEAL=2026 exec "$binary") 2>"$work/game.log" &
    game_pid=$!
    local id
    if ! id=$(wait_for_window); then
        echo "no Clumpout window for set $number ($name)" >&2
        cat "$work/game.log" >&2
        return 1
    fi
    sleep 1     # let the first Expose events be drawn
    if [ $# -gt 0 ]; then
        xdotool windowfocus --sync "$id"
        for key in "$@"; do
            xdotool key "$key"
            sleep 0.1
        done
        sleep 0.5
    fi
    xwd -silent -id "$id" | convert xwd:- "png:$out_dir/$name.png"
    kill "$game_pid" 2>/dev/null || true
    wait "$game_pid" 2>/dev/null || true
    game_pid=
    if [ -s "$work/game.log" ]; then
        echo "set $number ($name) said:" >&2
        cat "$work/game.log" >&2
    fi
    echo "$out_dir/$name.png"
}

shoot 0 marble
shoot 1 head
shoot 2 face
shoot 0 marble-scale2 'clumpout.scale: 2'
shoot 1 head-scale2 'clumpout.scale: 2'
shoot 2 face-scale2 'clumpout.scale: 2'
shoot 1 keyboard 'clumpout.keyboard: on' Right Right Right Right Down Down Return Down Right

if [ -n "$themes" ]; then
    # The catalogue's entries: lines of at least two words once comments are cut.
    number=3
    while read -r entry _; do
        shoot "$number" "${entry,,}"
        number=$((number + 1))
    done < <(sed 's/#.*//' "$themes/clumpout.dat" | awk 'NF >= 2')
fi
