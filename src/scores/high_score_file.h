// high_score_file.h: the shared high-score file "hiscore" and its lock file
// ".LOCK" in the data directory. Owns the lock protocol, the reading and the
// updating of the file; the ranking itself lives in high_score_table.h.
// Knows nothing of X or of how the scores are shown. In the game these run
// in the score keeper (score_keeper.h), the one process with the group.
#pragma once

#include "scores/high_score_table.h"

// The longest a result waits for the lock and the table, in seconds: two
// rounds of the three-second stale rule and then some. A result that cannot
// be stored within it is given up and reported as not stored.
constexpr unsigned LOCK_WAIT_LIMIT_SECONDS = 8;

// The one in-memory image; every read of the file overwrites it. Zero bytes
// at start, so a short file reads its tail as score 0 with an empty name.
extern HighScoreTable high_score_table;

// Offers a result for `size_class` (0..3). Returns the rank 0..9 it was
// stored at, 10 when it did not rank, or -1 on failure (already reported).
// The table is written in place under the lock and the kernel's lock on the
// table, and only while the lock is still the one this call made. Waits
// end after LOCK_WAIT_LIMIT_SECONDS. Termination signals wait while the
// lock is held, not while it is waited for. A process with a borrowed group
// (privileges.h) never creates a missing table.
int record_high_score(int score, int size_class, const char* data_dir);

// Copies the 10 entries of `size_class` from the file to `destination`.
// Returns 0, or -1 when the file cannot be read. Takes no lock.
int read_high_score_row(HighScoreEntry* destination, int size_class, const char* data_dir);

// Takes the lock (unlock != 1) or releases it (unlock == 1). Any entry at
// the lock's name counts as a held lock (also a link, a directory or a
// FIFO), removed as stale after three seconds. Releasing removes only the
// lock this process made. Returns 0, or -1 on failure (already reported).
int lock_high_scores(int unlock, const char* data_dir);

// How the lock waits between tries; tests install their own. nullptr
// restores the real sleep. Returns the previous one.
using LockSleep = void (*)(unsigned seconds);
LockSleep set_lock_sleep(LockSleep sleeper);

// Runs while both locks are held, after the last check that the lock is
// still ours and just before the table is written; tests act
// there as a signal or as another player. nullptr restores doing nothing.
using LockHeldHook = void (*)();
LockHeldHook set_lock_held_hook(LockHeldHook hook);
