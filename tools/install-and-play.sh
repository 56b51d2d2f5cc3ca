#!/usr/bin/env bash
# install-and-play.sh: from a fresh Debian machine to a running game.
# Installs the Debian packages the build needs, builds a release in
# build-release/, installs it with `cmake --install` (through sudo when not
# root; the game is then setgid "games" so high scores are shared) and starts
# the installed game on $DISPLAY.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
# PREFIX and DATA_DIR may be given in the environment; empty DATA_DIR keeps
# the built-in /usr/local/lib/X11/clumpo.
PREFIX=${PREFIX:-/usr/local}
DATA_DIR=${DATA_DIR:-}

PACKAGES=(build-essential cmake pkg-config libx11-dev libxpm-dev libpng-dev x11-common xfonts-base)

source tools/debian_packages.sh

install_missing_packages "${PACKAGES[@]}"

cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" \
    -DCLUMPOUT_TESTS=OFF -DCLUMPOUT_BENCH=OFF -DCLUMPOUT_FUZZ=OFF ${DATA_DIR:+-DDATA_DIR="$DATA_DIR"}
cmake --build build-release -j"$(nproc)"
as_root cmake --install build-release

game="$PREFIX/bin/clumpout"
if [[ -z ${DISPLAY:-} ]]; then
    echo "Clumpout is installed as $game, but DISPLAY is not set, so it cannot be started here." >&2
    echo "Run '$game' from a terminal of your X session, or '$game -display HOST:0'." >&2
    exit 1
fi
echo "Starting $game on $DISPLAY"
exec "$game"
