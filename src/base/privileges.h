// privileges.h: the game may be installed setgid "games" so that every player
// can write the shared high-score file. main drops the group at once; the
// high-score file code takes it back only around its own file operations.
#pragma once

// Drops the effective group to the real group, remembering the saved one.
void drop_group_privilege();

// Holds the saved group for the life of the object (nested use is fine).
class GamesGroup {
public:
    GamesGroup();
    ~GamesGroup();
    GamesGroup(const GamesGroup&) = delete;
    GamesGroup& operator=(const GamesGroup&) = delete;
};
