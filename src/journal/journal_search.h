// journal_search.h: a second look at a finished game: a better line of play
// on the same deal, and whether the board can be cleared at all. Works on the
// module-level board through the game's own rules (journal_replay.h), so
// every line it finds replays in the game to the total it claims. No X, no
// files.
#pragma once

#include <cstdint>
#include <vector>

#include "journal/journal_line.h"

enum class Clearing { CLEARED, IMPOSSIBLE, UNKNOWN };

struct SearchResult {
    std::vector<JournalMove> best;  // the best line found, never worse than the player's
    int best_total = 0;
    int player_total = 0;           // the player's line replayed (0 moves if it did not fit)
    bool player_fits = true;        // the player's line replays on the dealt board
    Clearing clearing = Clearing::UNKNOWN;
    std::vector<JournalMove> clearing_line;  // a line that clears the board, when one was found
    int clearing_total = 0;
    int level = 0;                  // the deepest nesting level the search finished
    long playouts = 0;
    long moves = 0;                 // moves the search played, for its speed
};

// The total (gets - rests) a line reaches on the record's deal (its size and
// seed), counting its moves up to the first that does not fit; `fits`, when
// given, tells whether all of them fitted.
int line_total(const JournalRecord& deal, const std::vector<JournalMove>& line, bool* fits);

// A player who always removes the largest cluster (the first one in column
// order on a tie), on the record's deal.
std::vector<JournalMove> greedy_line(const JournalRecord& deal);

// Looks for a better line than the record's own within `seconds`. The same
// `random_seed` and enough time give the same answer.
SearchResult search_better_line(const JournalRecord& record, double seconds, std::uint64_t random_seed);
