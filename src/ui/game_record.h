// game_record.h: the current game as the layer above may want to keep it:
// its deal, the cell that removed each cluster (an undone removal taken
// back), and whether the deal was chosen instead of dealt from the clock.
// ui writes no file of its own here: the top installs a listener and hears
// of each finished game once.
#pragma once

#include <vector>

struct PlayedCell {
    int column;
    int row;
};

struct FinishedGame {
    unsigned deal;                         // the seed the board was dealt from
    int columns;
    int rows;
    const char* set_name;                  // the picture set in use
    const std::vector<PlayedCell>* moves;  // in order, undone ones taken out
    int gets;
    int rests;
    int table_rank;  // as record_high_score gave it: 0..9 stored, 10 not ranked, -1 not recorded
    bool replay;     // a chosen deal: kept out of the shared table
};

using GameEndListener = void (*)(const FinishedGame& game);
extern GameEndListener game_end_listener;  // nullptr: nobody listens

// The first deal of the run takes `seed` instead of the clock; later deals
// use the clock again.
void choose_first_deal(unsigned seed);

// Deals the board of a new game and forgets the last game's moves.
void deal_game();
// Whether the current game was dealt from a chosen seed.
bool game_is_replay();

void note_removal(PlayedCell cell);  // a removal is about to happen there
void note_undo();                    // the last removal was taken back

// Tells the listener that the current game has ended, once per game; later
// calls for the same game do nothing.
void note_game_end(int table_rank);
