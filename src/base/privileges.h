// privileges.h: the game may be installed setgid "games" so that every player
// can write the shared high-score file. Only the score keeper keeps that
// group; the game process gives it up for good before it reads anything.
#pragma once

// Sets the real, effective and saved group ids all to the real group and
// checks that they stay so. 0, or -1 after reporting "Error: can't drop
// group privilege.\n" when any step fails (the caller must then end: going
// on would keep the group). Installed without setgid there is nothing to
// give up, and it returns 0.
int drop_group_privilege();
