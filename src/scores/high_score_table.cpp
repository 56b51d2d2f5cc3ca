// high_score_table.cpp: the file image and ranking. Fields are moved with
// memcpy one at a time, never by casting the buffer to the record.
#include "scores/high_score_table.h"

#include <algorithm>
#include <cstring>

namespace {

bool valid_class(int size_class) { return size_class >= 0 && size_class < HIGH_SCORE_CLASSES; }

std::size_t entry_offset(int size_class, int row) {
    return HIGH_SCORE_CLASS_BYTES * static_cast<std::size_t>(size_class) +
           HIGH_SCORE_ENTRY_BYTES * static_cast<std::size_t>(row);
}

}  // namespace

HighScoreTable empty_high_score_table() {
    HighScoreTable table{};
    for (auto& row : table.entries)
        for (HighScoreEntry& entry : row) std::memcpy(entry.name, EMPTY_NAME, sizeof EMPTY_NAME - 1);
    return table;
}

HighScoreImage encode_high_score_table(const HighScoreTable& table) {
    HighScoreImage image{};
    for (int c = 0; c < HIGH_SCORE_CLASSES; ++c)
        for (int r = 0; r < HIGH_SCORE_ROWS; ++r) {
            const HighScoreEntry& entry = table.entries[c][r];
            std::uint8_t* at = image.data() + entry_offset(c, r);
            std::memcpy(at, &entry.score, sizeof entry.score);
            std::memcpy(at + sizeof entry.score, entry.name, HIGH_SCORE_NAME_BYTES);
        }
    return image;
}

std::size_t decode_high_score_table(std::span<const std::uint8_t> bytes, HighScoreTable& table) {
    // Laying the data over the current image keeps a short file's tail (even
    // a half-read entry) exactly as a short read into the image would.
    HighScoreImage image = encode_high_score_table(table);
    const std::size_t taken = std::min(bytes.size(), image.size());
    if (taken > 0) std::memcpy(image.data(), bytes.data(), taken);
    for (int c = 0; c < HIGH_SCORE_CLASSES; ++c)
        for (int r = 0; r < HIGH_SCORE_ROWS; ++r) {
            HighScoreEntry& entry = table.entries[c][r];
            const std::uint8_t* at = image.data() + entry_offset(c, r);
            std::memcpy(&entry.score, at, sizeof entry.score);
            std::memcpy(entry.name, at + sizeof entry.score, HIGH_SCORE_NAME_BYTES);
        }
    return taken;
}

int rank_result(const HighScoreTable& table, int size_class, int score) {
    if (!valid_class(size_class)) return HIGH_SCORE_ROWS;
    const auto& row = table.entries[size_class];
    int rank = 0;
    while (rank < HIGH_SCORE_ROWS && row[rank].score >= score) ++rank;
    return rank;
}

void insert_result(HighScoreTable& table, int size_class, int rank, int score,
                   std::string_view name) {
    if (!valid_class(size_class) || rank < 0 || rank >= HIGH_SCORE_ROWS) return;
    auto& row = table.entries[size_class];
    for (int r = HIGH_SCORE_ROWS - 1; r > rank; --r) row[r] = row[r - 1];
    HighScoreEntry& entry = row[rank];
    entry.score = score;
    std::memset(entry.name, 0, HIGH_SCORE_NAME_BYTES);
    std::memcpy(entry.name, name.data(), std::min(name.size(), HIGH_SCORE_NAME_BYTES));
}
