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

// Whether the process acts with a group its real user is not a member of:
// the group of a setgid install, which no file the process makes may carry
// over to the player. False also when the groups cannot be read.
bool holds_borrowed_group();
