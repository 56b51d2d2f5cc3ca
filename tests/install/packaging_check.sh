#!/usr/bin/env bash
# packaging_check.sh: builds the game with a prefix and DATA_DIR inside WORK,
# stages `cmake --install` under a DESTDIR and checks what lands where and
# with which modes and owners, uninstalls the staging, then installs for real
# into the prefix and starts the installed game under a private Xvfb. Last,
# it stages an install with Debian's layout and checks that one.
# Usage: packaging_check.sh SOURCE_DIR WORK_DIR BUILD_TYPE CXX SANITIZE
set -euo pipefail
shopt -s extglob

source_dir=$1
work=$2
build_type=$3
cxx=$4
sanitize=$5

build="$work/build"
prefix="$work/prefix"
data_dir="$prefix/lib/X11/clumpo"
stage="$work/stage"
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
mode_of() { stat -c '%a' "$1"; }
group_of() { stat -c '%G' "$1"; }

# Whether the install may give files to the group "games".
if [[ $(id -u) == 0 ]] && getent group games >/dev/null; then
    with_group=1
else
    with_group=0
fi

# --- the first catalogue entry, and the tile size it must give ------------
catalogue="$source_dir/themes/clumpout.dat"
if [[ ! -f $catalogue ]]; then
    echo "FAIL: $catalogue is missing: there is no catalogue to install"
    exit 1
fi
# Words before any "#"; the first line with two words is entry 0.
first_file=$(sed 's/#.*//' "$catalogue" | awk 'NF >= 2 { print $2; exit }')
if [[ -z $first_file ]]; then
    echo "FAIL: $catalogue has no entry"
    exit 1
fi
case $first_file in
    *.bmp | *.BMP)
        tile_width=32 tile_height=32
        ;;
    *)
        description="$source_dir/themes/$first_file"
        [[ $first_file == /* ]] && description=$first_file
        # The last "width"/"height" line counts; keywords fold to lower case.
        read -r tile_width tile_height < <(sed 's/#.*//' "$description" | awk '
            NF >= 2 && tolower($1) == "width"  { w = $2 + 0 }
            NF >= 2 && tolower($1) == "height" { h = $2 + 0 }
            END { print w + 0, h + 0 }')
        ;;
esac
echo "First catalogue entry: $first_file, tiles ${tile_width}x${tile_height}"

# --- build -----------------------------------------------------------------
mkdir -p "$work"
cmake -S "$source_dir" -B "$build" -DCMAKE_BUILD_TYPE="$build_type" \
    -DCMAKE_CXX_COMPILER="$cxx" -DCLUMPOUT_SANITIZE="$sanitize" \
    -DCLUMPOUT_TESTS=OFF -DCLUMPOUT_BENCH=OFF -DCLUMPOUT_FUZZ=OFF \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DDATA_DIR="$data_dir" >"$work/configure.log" 2>&1 ||
    { tail -n 30 "$work/configure.log"; echo "FAIL: configure failed"; exit 1; }
cmake --build "$build" --target clumpout clumpout-journal clumpout-theme -j2 >"$work/build.log" 2>&1 ||
    { tail -n 30 "$work/build.log"; echo "FAIL: build failed"; exit 1; }

# --- staged install ----------------------------------------------------------
rm -rf "$stage" "$prefix"
DESTDIR="$stage" cmake --install "$build" >"$work/stage-install.log" 2>&1 ||
    { cat "$work/stage-install.log"; echo "FAIL: staged install failed"; exit 1; }
[[ -e $prefix ]] && fail "a DESTDIR install wrote into the prefix itself"

staged_game="$stage$prefix/bin/clumpout"
staged_data="$stage$data_dir"
if [[ ! -x $staged_game ]]; then
    fail "no executable at $staged_game"
elif ((with_group)); then
    [[ $(mode_of "$staged_game") == 2755 ]] || fail "game mode $(mode_of "$staged_game"), want 2755"
    [[ $(group_of "$staged_game") == games ]] || fail "game group $(group_of "$staged_game"), want games"
    [[ $(stat -c '%U' "$staged_game") == root ]] || fail "game owner is not root"
else
    [[ $(mode_of "$staged_game") == 755 ]] || fail "game mode $(mode_of "$staged_game"), want 755 without root"
fi
if [[ ! -d $staged_data ]]; then
    fail "no data directory at $staged_data"
elif ((with_group)); then
    [[ $(mode_of "$staged_data") == 2775 ]] || fail "data directory mode $(mode_of "$staged_data"), want 2775"
    [[ $(group_of "$staged_data") == games ]] || fail "data directory group $(group_of "$staged_data"), want games"
fi

# The journal tool reads only the player's own files: no group rights.
staged_tool="$stage$prefix/bin/clumpout-journal"
if [[ ! -x $staged_tool ]]; then
    fail "no executable at $staged_tool"
else
    [[ $(mode_of "$staged_tool") == 755 ]] || fail "journal tool mode $(mode_of "$staged_tool"), want 755"
fi

# The theme toolkit only reads: no group rights.
staged_theme_tool="$stage$prefix/bin/clumpout-theme"
if [[ ! -x $staged_theme_tool ]]; then
    fail "no executable at $staged_theme_tool"
else
    [[ $(mode_of "$staged_theme_tool") == 755 ]] || fail "theme tool mode $(mode_of "$staged_theme_tool"), want 755"
fi

# Every shipped theme file, unchanged and readable by all, none writable by the group.
theme_count=0
while IFS= read -r -d '' shipped; do
    relative=${shipped#"$source_dir/themes/"}
    installed="$staged_data/$relative"
    theme_count=$((theme_count + 1))
    if ! cmp -s "$shipped" "$installed"; then
        fail "themes/$relative not installed as $installed"
    elif [[ $(mode_of "$installed") != 644 ]]; then
        fail "$installed has mode $(mode_of "$installed"), want 644"
    fi
done < <(find "$source_dir/themes" -type f -print0)
while IFS= read -r -d '' folder; do
    [[ $(mode_of "$folder") == 755 ]] || fail "theme folder $folder has mode $(mode_of "$folder"), want 755"
done < <(find "$staged_data" -mindepth 1 -type d -print0)
echo "Theme files installed: $theme_count"

man_page="$stage$prefix/share/man/man6/clumpout.6"
if [[ ! -f $man_page ]]; then
    fail "no manual page at $man_page"
else
    grep -qF "$data_dir/hiscore" "$man_page" || fail "manual page does not name $data_dir/hiscore"
    grep -qF "/usr/local/lib/X11/clumpo" "$man_page" && fail "manual page still names the default data directory"
    # Formatted as a default install has it: the staged paths are as long
    # as the build folder and would overfill lines for that reason alone.
    if command -v groff >/dev/null; then
        page=$(<"$man_page")
        warnings=$(groff -man -ww -z <<<"${page//"$data_dir"//usr/local/lib/X11/clumpo}" 2>&1)
        [[ -z $warnings ]] || fail "manual page does not format cleanly: $warnings"
    fi
fi

tool_page="$stage$prefix/share/man/man1/clumpout-journal.1"
if [[ ! -f $tool_page ]]; then
    fail "no manual page at $tool_page"
elif command -v groff >/dev/null; then
    warnings=$(groff -man -ww -z "$tool_page" 2>&1)
    [[ -z $warnings ]] || fail "journal tool manual page does not format cleanly: $warnings"
fi

theme_page="$stage$prefix/share/man/man1/clumpout-theme.1"
if [[ ! -f $theme_page ]]; then
    fail "no manual page at $theme_page"
else
    grep -qF "/usr/local/lib/X11/clumpo" "$theme_page" &&
        fail "theme tool manual page still names the default data directory"
    if command -v groff >/dev/null; then
        warnings=$(groff -man -ww -z "$theme_page" 2>&1)
        [[ -z $warnings ]] || fail "theme tool manual page does not format cleanly: $warnings"
    fi
fi

entry="$stage$prefix/share/applications/clumpout.desktop"
if [[ ! -f $entry ]]; then
    fail "no desktop entry at $entry"
else
    grep -qx "Exec=$prefix/bin/clumpout" "$entry" || fail "desktop entry does not start $prefix/bin/clumpout"
    grep -qx "Icon=$prefix/share/pixmaps/clumpout.xpm" "$entry" || fail "desktop entry names the wrong icon"
    grep -qx "Type=Application" "$entry" || fail "desktop entry is not an application"
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$entry" >"$work/desktop.log" 2>&1 ||
            fail "desktop entry is not valid: $(cat "$work/desktop.log")"
    fi
fi
if [[ -f $source_dir/desktop/clumpout.xpm ]]; then
    cmp -s "$source_dir/desktop/clumpout.xpm" "$stage$prefix/share/pixmaps/clumpout.xpm" ||
        fail "icon not installed to share/pixmaps"
else
    fail "desktop/clumpout.xpm is missing: the desktop entry has no icon"
fi

# The install makes the empty high-score table, which is no installed file.
staged_table="$staged_data/hiscore"
if [[ ! -f $staged_table ]]; then
    fail "the install made no high-score table at $staged_table"
else
    cmp -s "$build/install/hiscore" "$staged_table" || fail "the high-score table is not the empty table"
    [[ $(stat -c '%s' "$staged_table") == 960 ]] || fail "the high-score table is not 960 bytes"
    [[ $(mode_of "$staged_table") == 664 ]] || fail "high-score table mode $(mode_of "$staged_table"), want 664"
    if ((with_group)); then
        [[ $(stat -c '%U:%G' "$staged_table") == root:games ]] ||
            fail "high-score table belongs to $(stat -c '%U:%G' "$staged_table"), want root:games"
    fi
fi

# The manifest lists exactly the files that were staged (without the DESTDIR).
diff <(sed "s|^|$stage|" "$build/install_manifest.txt" | sort) \
     <(find "$stage" -type f ! -path "$staged_table" | sort) >"$work/manifest.diff" ||
    fail "install_manifest.txt differs from the staged files: $(cat "$work/manifest.diff")"

# Uninstalling the staging removes every file but keeps the players' scores.
printf 'scores' >"$staged_table"
chmod 0600 "$staged_table"
DESTDIR="$stage" cmake --build "$build" --target uninstall >"$work/stage-uninstall.log"
left=$(find "$stage" -type f ! -path "$staged_table")
[[ -z $left ]] || fail "uninstall left files behind: $left"
[[ -f $staged_table ]] || fail "uninstall removed the high-score table"

# Installing again keeps the scores, and gives the table back to the group.
DESTDIR="$stage" cmake --install "$build" >"$work/stage-reinstall.log" 2>&1 ||
    { cat "$work/stage-reinstall.log"; echo "FAIL: staged reinstall failed"; exit 1; }
[[ $(cat "$staged_table") == scores ]] || fail "a second install replaced the players' scores"
if ((with_group)); then
    [[ $(mode_of "$staged_table") == 664 && $(stat -c '%U:%G' "$staged_table") == root:games ]] ||
        fail "a second install left the table $(stat -c '%U:%G %a' "$staged_table"), want root:games 664"
fi
DESTDIR="$stage" cmake --build "$build" --target uninstall >"$work/stage-uninstall.log"

# --- real install and a start of the installed game -----------------------
cmake --install "$build" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; echo "FAIL: install failed"; exit 1; }
game="$prefix/bin/clumpout"

# The installed toolkit finds the installed catalogue's sets, with no display.
if ! (cd "$work" && env -i PATH=/usr/bin:/bin ASAN_OPTIONS=detect_leaks=0 \
        "$prefix/bin/clumpout-theme" check "$data_dir/clumpout.dat" >"$work/theme-check.out" 2>&1); then
    fail "clumpout-theme check on the installed catalogue: $(cat "$work/theme-check.out")"
fi

home="$work/home"
run_dir="$work/run"  # holds no clumpout.dat: the catalogue must come from DATA_DIR
rm -rf "$home" "$run_dir"
mkdir -p "$home" "$run_dir"
printf '# Clumpout\nWidth   20\nHeight  10\nPictures 3\n' >"$home/.Clumpout"

xvfb_pid= game_pid=
cleanup() {
    local pid
    for pid in $game_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}
trap cleanup EXIT

# Xvfb picks a free display number itself and writes it to the given fd.
rm -f "$work/display"
Xvfb -displayfd 7 -nolisten tcp -screen 0 1280x1024x24 7>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    sleep 0.1
done
[[ -s $work/display ]] || { echo "FAIL: Xvfb did not start: $(cat "$work/xvfb.log")"; exit 1; }
display=":$(head -n1 "$work/display")"

(cd "$run_dir" && exec env -i HOME="$home" LOGNAME=packager PATH=/usr/bin:/bin \
    ASAN_OPTIONS=detect_leaks=0 "$game" -display "$display") \
    >"$work/game.out" 2>"$work/game.err" &
game_pid=$!

# The window is made at the size of a built-in set and then fitted to the
# set actually loaded, so wait for the size rather than for the window.
want_width=$((20 * tile_width + 32))
want_height=$((10 * tile_height + 48))
size=
for _ in $(seq 150); do
    geometry=$(DISPLAY=$display xwininfo -name Clumpout 2>/dev/null || true)
    if [[ -n $geometry ]]; then
        size="$(awk '/^ *Width:/ { print $2 }' <<<"$geometry")x$(awk '/^ *Height:/ { print $2 }' <<<"$geometry")"
        [[ $size == "${want_width}x${want_height}" ]] && break
    fi
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
done
if [[ -z $size ]]; then
    fail "the installed game showed no window \"Clumpout\" (stderr: $(cat "$work/game.err"))"
elif [[ $size != "${want_width}x${want_height}" ]]; then
    fail "window is $size, want ${want_width}x${want_height} for the first catalogue entry"
fi
sleep 0.5  # let a late complaint reach stderr
if grep -q "Warning: unknown data file." "$work/game.err"; then
    fail "the installed catalogue was not found"
fi
if grep -qE '^(Warning|Error): ' "$work/game.err"; then
    fail "the installed game complained: $(cat "$work/game.err")"
fi

# The game that talks to the X server holds no group but the player's: real,
# effective, saved and file-system group alike. Its one child, the score
# keeper, is the only one with games, and it ends with the game.
keeper_pid=
if kill -0 "$game_pid" 2>/dev/null; then
    read -r real effective saved fs < <(awk '/^Gid:/ { print $2, $3, $4, $5 }' "/proc/$game_pid/status")
    [[ $effective == "$real" && $saved == "$real" && $fs == "$real" ]] ||
        fail "the running game holds groups $real/$effective/$saved/$fs"
    keeper_pid=$(cat "/proc/$game_pid/task/$game_pid/children" 2>/dev/null || true)
    if [[ $keeper_pid != +([0-9])?( ) ]]; then
        fail "the game has no one score keeper but children '$keeper_pid'"
        keeper_pid=
    elif ((with_group)); then
        keeper_effective=$(awk '/^Gid:/ { print $3 }' "/proc/${keeper_pid% }/status")
        [[ $keeper_effective == $(getent group games | cut -d: -f3) ]] ||
            fail "the score keeper has effective group $keeper_effective, not games"
    fi
    keeper_pid=${keeper_pid% }
fi
cleanup
game_pid= xvfb_pid=
# Gone, or a zombie waiting for whoever reaps the orphans here.
keeper_running() { [[ -e /proc/$1 && $(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null) != Z ]]; }
if [[ -n $keeper_pid ]]; then
    for _ in $(seq 50); do
        keeper_running "$keeper_pid" || break
        sleep 0.1
    done
    if keeper_running "$keeper_pid"; then fail "the score keeper $keeper_pid outlived the game"; fi
fi

cmake --build "$build" --target uninstall >"$work/uninstall.log"
left=$(find "$prefix" -type f ! -path "$data_dir/hiscore" 2>/dev/null || true)
[[ -z $left ]] || fail "uninstall left files in the prefix: $left"
[[ -f $data_dir/hiscore ]] || fail "uninstall removed the high-score table"

# --- Debian's layout, staged as its package build stages it -------------------
# Game and tools in their own directories, read-only data, the table's
# directory apart and left to the package's maintainer scripts.
debian_build="$work/build-debian"
debian_stage="$work/stage-debian"
cmake -S "$source_dir" -B "$debian_build" -C "$source_dir/cmake/layout-debian.cmake" \
    -DCMAKE_BUILD_TYPE="$build_type" -DCMAKE_CXX_COMPILER="$cxx" -DCLUMPOUT_SANITIZE="$sanitize" \
    -DCLUMPOUT_TESTS=OFF -DCLUMPOUT_BENCH=OFF -DCLUMPOUT_FUZZ=OFF >"$work/configure-debian.log" 2>&1 ||
    { tail -n 30 "$work/configure-debian.log"; echo "FAIL: configure with Debian's layout failed"; exit 1; }
cmake --build "$debian_build" --target clumpout clumpout-journal clumpout-theme -j2 >"$work/build-debian.log" 2>&1 ||
    { tail -n 30 "$work/build-debian.log"; echo "FAIL: build with Debian's layout failed"; exit 1; }
rm -rf "$debian_stage"
DESTDIR="$debian_stage" cmake --install "$debian_build" >"$work/stage-debian.log" 2>&1 ||
    { cat "$work/stage-debian.log"; echo "FAIL: staged install with Debian's layout failed"; exit 1; }

debian_data=/usr/share/games/clumpout
debian_scores=/var/games/clumpout
debian_game="$debian_stage/usr/games/clumpout"
if [[ ! -x $debian_game ]]; then
    fail "Debian layout: no game in /usr/games"
else
    # The package's rules give the group; the install gives nothing.
    [[ $(mode_of "$debian_game") == 755 ]] || fail "Debian layout: game mode $(mode_of "$debian_game"), want 755"
    grep -qaF "$debian_data" "$debian_game" || fail "Debian layout: the game was not built with $debian_data"
    grep -qaF "$debian_scores" "$debian_game" || fail "Debian layout: the game was not built with $debian_scores"
fi
[[ -e $debian_stage/usr/bin/clumpout ]] && fail "Debian layout: the game is also in /usr/bin"
for tool in clumpout-journal clumpout-theme; do
    [[ -x $debian_stage/usr/bin/$tool && $(mode_of "$debian_stage/usr/bin/$tool") == 755 ]] ||
        fail "Debian layout: no $tool with mode 755 in /usr/bin"
done
[[ -e $debian_stage/var ]] && fail "Debian layout: the install wrote under /var: $(find "$debian_stage/var")"
[[ $(mode_of "$debian_stage$debian_data") == 755 ]] ||
    fail "Debian layout: data directory mode $(mode_of "$debian_stage$debian_data"), want 755"
cmp -s "$source_dir/themes/clumpout.dat" "$debian_stage$debian_data/clumpout.dat" ||
    fail "Debian layout: no catalogue in $debian_data"
cmp -s "$debian_build/install/hiscore" "$debian_stage$debian_data/hiscore.empty" ||
    fail "Debian layout: no empty table in $debian_data/hiscore.empty for the maintainer scripts"
odd=$(find "$debian_stage" \( -type f ! -perm 644 ! -perm 755 \) -o \( -type d ! -perm 755 \) -o ! -user "$(id -un)")
[[ -z $odd ]] || fail "Debian layout: files with other modes or owners: $odd"
debian_entry="$debian_stage/usr/share/applications/org.clumpout.Clumpout.desktop"
if [[ ! -f $debian_entry ]]; then
    fail "Debian layout: no desktop entry org.clumpout.Clumpout.desktop"
else
    grep -qx "Exec=/usr/games/clumpout" "$debian_entry" || fail "Debian layout: desktop entry does not start /usr/games/clumpout"
    grep -qx "Icon=org.clumpout.Clumpout" "$debian_entry" || fail "Debian layout: desktop entry does not name its icon"
fi
for size in 16 32 48 64 128 256; do
    [[ -f $debian_stage/usr/share/icons/hicolor/${size}x${size}/apps/org.clumpout.Clumpout.png ]] ||
        fail "Debian layout: no ${size}x${size} icon"
done
metainfo="$debian_stage/usr/share/metainfo/org.clumpout.Clumpout.metainfo.xml"
version=$(sed -n 's/^project(Clumpout VERSION \([^ ]*\) .*/\1/p' "$source_dir/CMakeLists.txt")
grep -qF "<release version=\"$version\"" "$metainfo" || fail "Debian layout: metainfo has no release $version"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo" >"$work/metainfo.log" 2>&1 ||
        fail "Debian layout: metainfo is not valid: $(cat "$work/metainfo.log")"
fi
grep -qF "$debian_scores/hiscore" "$debian_stage/usr/share/man/man6/clumpout.6" ||
    fail "Debian layout: manual page does not name $debian_scores/hiscore"
# The package's version is the project's.
[[ $(head -n1 "$source_dir/debian/changelog") == "clumpout ($version) "* ]] ||
    fail "debian/changelog does not start with version $version"

if ((failures)); then
    echo "$failures packaging check(s) failed"
    exit 1
fi
echo "Packaging checks passed"
