// game_journal.h: the player's journal as the game keeps it, and a chosen
// deal. The line format belongs to journal/; this file only decides when
// the journal is on, opens it for appending and reads CLUMPOUT_DEAL.
#pragma once

#include <string>

#include "journal/journal_line.h"
#include "ui/game_record.h"

// CLUMPOUT_DEAL=N deals the run's first board from N instead of the clock;
// a value that is no deal number gets one warning and the clock is used.
void take_deal_choice();

// Installs the listener that appends each finished game to ~/.clumpout-journal
// when that file exists; without HOME there is no journal.
void keep_journal();

// The journal record of a finished game at `when` (seconds since 1970).
JournalRecord journal_record_of(const FinishedGame& game, std::int64_t when);

// Appends one line to the journal at `path` with a single write on a
// descriptor opened for appending, never creating the file. 1 written, 0 no
// journal (the file does not exist), -1 failed (the message is in `why`).
int append_journal_line(const char* path, const std::string& line, std::string& why);
