// journal_line.h: one line of the player's journal, one finished game:
//   2026-12-09T14:30:05Z deal=1765290605 size=20x10 set=Head moves=41
//   gets=184 rests=36 total=148 rank=5 play=3,9;0,9;12,8
// (all on one line). Text in, record out: this file opens no file and knows
// nothing of X. Readers skip keys they do not know and lines of other forms,
// so the format can grow.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/report.h"
#include "board/board.h"

// The journal lives in the player's home directory. The game only appends to
// it when it already exists; it never creates it.
constexpr char JOURNAL_FILE_NAME[] = ".clumpout-journal";

// A game removes at least two tiles a move, so no game has more moves.
constexpr int MAX_JOURNAL_MOVES = MAX_COLUMNS * MAX_ROWS / 2;

// `rank` besides the 1-based place in the shared table:
constexpr int JOURNAL_RANK_NONE = 0;     // "-": did not rank, or was not recorded
constexpr int JOURNAL_RANK_REPLAY = -1;  // "replay": a replayed deal, never offered

// One removal: the cell that removed it, counted from the top left of the
// board as it stood before the removal.
struct JournalMove {
    int column = 0;
    int row = 0;
    bool operator==(const JournalMove&) const = default;
};

struct JournalRecord {
    std::int64_t when = 0;   // seconds since 1970 (UTC) at the end of the game
    unsigned deal = 0;       // the seed of the deal (board.h: deal_seed)
    int columns = 0;
    int rows = 0;
    std::string set;         // the picture set's name
    int moves = 0;
    int gets = 0;
    int rests = 0;
    int total = 0;
    int rank = JOURNAL_RANK_NONE;
    std::vector<JournalMove> play;  // undone moves are not in it
    int line_number = 0;     // where a reader found it (1-based); not written
    bool operator==(const JournalRecord&) const = default;
};

// The line for a record, newline included. A set name's spaces, control
// bytes and '%' are written as %XX so the line stays one line of words.
std::string format_journal_line(const JournalRecord& record);

// A deal number as the journal and CLUMPOUT_DEAL write it: decimal digits
// only, 0 to 4294967295. False, leaving `out` alone, for anything else.
bool parse_deal_number(std::string_view text, unsigned& out);

// "YYYY-MM-DDTHH:MM:SSZ", the time stamp that starts a line.
std::string format_journal_time(std::int64_t when);

// The value of rank=: the place, "-" or "replay".
std::string journal_rank_text(int rank);

// Reads one line (with or without its newline) into `out`: 0, or -1 when it
// is not a journal line; a line that starts like one (a time stamp) but is
// broken gets a message naming `line_number`. `out` is only written on 0.
int parse_journal_line(std::string_view line, int line_number, JournalRecord& out, Messages& messages);

// Every journal line of a whole journal, in file order; the other lines are
// skipped (see parse_journal_line for their messages).
std::vector<JournalRecord> read_journal(std::string_view text, Messages& messages);

// A journal of 10,000 games is a few megabytes; this is far beyond any real
// one and still keeps a file named by mistake from taking all memory.
constexpr std::size_t JOURNAL_FILE_MAX = std::size_t{256} << 20;
