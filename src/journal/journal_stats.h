// journal_stats.h: what `clumpout-journal stats` prints: per board size the
// games, cleared boards, best, mean and median total and best rank, then the
// last games. Pure text from records.
#pragma once

#include <string>
#include <vector>

#include "journal/journal_line.h"

constexpr int JOURNAL_LAST_GAMES = 10;

std::string journal_stats_text(const std::vector<JournalRecord>& records);
