# layout-debian.cmake: Debian's layout, given to cmake as an initial cache
# (`cmake -C cmake/layout-debian.cmake ...`) by debian/rules and by the
# packaging check. The game in /usr/games, the tools in /usr/bin, read-only
# data under /usr/share/games, the shared table under /var/games, made with
# the group rights by the package's maintainer scripts.
set(CMAKE_INSTALL_PREFIX /usr CACHE PATH "")
set(GAME_BINDIR games CACHE PATH "")
set(DATA_DIR /usr/share/games/clumpout CACHE PATH "")
set(SCORE_DIR /var/games/clumpout CACHE PATH "")
set(INSTALL_SCORE_TABLE OFF CACHE BOOL "")
set(DESKTOP_BY_NAME ON CACHE BOOL "")
