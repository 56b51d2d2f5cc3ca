// journal_stats.h: what `clumpout-journal stats` prints: per board size the
// games, cleared boards, best, mean and median total and best rank, the
// replayed deals apart, then the last games. Only lines that verify count;
// the others are numbered at the end. Pure text from records.
#pragma once

#include <string>
#include <vector>

#include "journal/journal_line.h"

constexpr int JOURNAL_LAST_GAMES = 10;

std::string journal_stats_text(const std::vector<JournalRecord>& records);
