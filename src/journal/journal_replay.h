// journal_replay.h: a journal line's game played again. The board is dealt
// from the line's seed and size and every move goes through the game's own
// rules on the module-level board and score_state, so the answer is the
// game's; whatever cell_painter is installed sees the moves (the tools keep
// the no-op one). Knows nothing of files or X.
#pragma once

#include <string>
#include <vector>

#include "journal/journal_line.h"

// Plays one move on the current board: the number of tiles it removed, or -1
// when its cell is outside the board or not in a cluster of two or more
// (then nothing changes).
int play_journal_move(JournalMove move);

struct ReplayOutcome {
    int moves = 0;        // moves played, up to the first that did not fit
    int unfit_move = -1;  // index of the first move that did not fit, or -1
    int gets = 0;
    int rests = 0;
    bool game_over = false;  // no move left at the end
};

// Deals the record's board and plays its moves; the board is left as the
// moves left it.
ReplayOutcome replay_journal_record(const JournalRecord& record);

enum class Verdict { OK, MISMATCH, UNCHECKED };

struct Verification {
    Verdict verdict = Verdict::OK;
    std::string text;  // one line, newline included
};

// Replays the record and compares moves, gets, rests and total with what
// the line says. A line whose moves do not fit the dealt board cannot be
// checked: the deal depends on the C library's generator.
Verification verify_journal_record(const JournalRecord& record);

// The active area of the board as text rows, top row first: '1'..'5' a tile
// of that colour, '.' an empty cell.
std::vector<std::string> board_text_rows();
