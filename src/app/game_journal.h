// game_journal.h: the player's journal as the game keeps it, and a chosen
// deal. The line format belongs to journal/; this file only decides when
// the journal is on, opens it for appending and reads CLUMPOUT_DEAL.
#pragma once

// CLUMPOUT_DEAL=N deals the run's first board from N instead of the clock;
// a value that is no deal number gets one warning and the clock is used.
void take_deal_choice();

// Installs the listener that appends each finished game to ~/.clumpout-journal
// when that file exists; without HOME there is no journal.
void keep_journal();
