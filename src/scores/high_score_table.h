// high_score_table.h: the 960-byte image of the shared high-score file, and
// ranking and inserting a result in it. Pure bytes and records: this file
// knows nothing of files, locks, the environment or X.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

constexpr int HIGH_SCORE_CLASSES = 4;    // one per standard board size
constexpr int HIGH_SCORE_ROWS = 10;      // ranks 0..9; rank 10 means "did not rank"
constexpr std::size_t HIGH_SCORE_NAME_BYTES = 20;
constexpr std::size_t HIGH_SCORE_ENTRY_BYTES = 24;
constexpr std::size_t HIGH_SCORE_CLASS_BYTES = HIGH_SCORE_ENTRY_BYTES * HIGH_SCORE_ROWS;
constexpr std::size_t HIGH_SCORE_TABLE_BYTES = HIGH_SCORE_CLASS_BYTES * HIGH_SCORE_CLASSES;

// The name of an entry nobody has earned yet (NUL-padded to 20 bytes).
constexpr char EMPTY_NAME[] = "--------";

// One result. `name` is NUL-padded; a name of 20 bytes or more fills the
// field and has no terminator, so read it with strnlen(name, 20).
struct HighScoreEntry {
    std::int32_t score;
    char name[HIGH_SCORE_NAME_BYTES];
};
static_assert(sizeof(HighScoreEntry) == HIGH_SCORE_ENTRY_BYTES);

// The whole file: entry r of class c lies at byte 240 * c + 24 * r. Within a
// class the scores never increase from one row to the next.
struct HighScoreTable {
    HighScoreEntry entries[HIGH_SCORE_CLASSES][HIGH_SCORE_ROWS];
};
static_assert(sizeof(HighScoreTable) == HIGH_SCORE_TABLE_BYTES);

using HighScoreImage = std::array<std::uint8_t, HIGH_SCORE_TABLE_BYTES>;

// 40 entries of score 0 and EMPTY_NAME.
HighScoreTable empty_high_score_table();

// Overwrites `table` with the first bytes of `bytes`, as far as they go (at
// most 960); the rest of the table keeps what it held, byte for byte, even
// inside a half-covered entry. Returns the number of bytes taken.
std::size_t decode_high_score_table(std::span<const std::uint8_t> bytes, HighScoreTable& table);

// The file image: scores in host byte order, names as stored.
HighScoreImage encode_high_score_table(const HighScoreTable& table);

// The rank a score would get in `size_class` (0..3): the first row whose
// score is strictly lower, so an equal score goes below. 10 when it does not
// rank or when the class is out of range.
int rank_result(const HighScoreTable& table, int size_class, int score);

// Stores a result at `rank`: rows rank..8 move down one, row 9 is dropped.
// The name is cut to 20 bytes and NUL-padded. Out-of-range class or rank:
// nothing changes.
void insert_result(HighScoreTable& table, int size_class, int rank, int score,
                   std::string_view name);
