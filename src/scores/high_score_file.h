// high_score_file.h: the shared high-score file "hiscore" and its lock file
// ".LOCK" in the data directory. Owns the lock protocol, the reading and the
// replacing of the file; the ranking itself lives in high_score_table.h.
// Knows nothing of X or of how the scores are shown.
#pragma once

#include "scores/high_score_table.h"

// The one in-memory image; every read of the file overwrites it. Zero bytes
// at start, so a short file reads its tail as score 0 with an empty name.
extern HighScoreTable high_score_table;

// Offers a result for `size_class` (0..3). Returns the rank 0..9 it was
// stored at, 10 when it did not rank, or -1 on failure (already reported).
int record_high_score(int score, int size_class, const char* data_dir);

// Copies the 10 entries of `size_class` from the file to `destination`.
// Returns 0, or -1 when the file cannot be read. Takes no lock.
int read_high_score_row(HighScoreEntry* destination, int size_class, const char* data_dir);

// Takes the lock (unlock != 1) or releases it (unlock == 1). Returns 0, or
// -1 on failure (already reported).
int lock_high_scores(int unlock, const char* data_dir);

// How the lock waits between tries; tests install their own. nullptr
// restores the real sleep. Returns the previous one.
using LockSleep = void (*)(unsigned seconds);
LockSleep set_lock_sleep(LockSleep sleeper);
