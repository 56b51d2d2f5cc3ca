// high_score_table_test.cpp: the file image byte for byte, ranking and
// insertion. Pure: no files.
#include "scores/high_score_table.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::string name_of(const HighScoreEntry& entry) {
    return std::string(entry.name, strnlen(entry.name, HIGH_SCORE_NAME_BYTES));
}

// A class filled from the top with `scores`; the other rows stay empty.
HighScoreTable table_with(int size_class, const std::vector<int>& scores) {
    HighScoreTable table = empty_high_score_table();
    for (std::size_t r = 0; r < scores.size(); ++r) {
        HighScoreEntry& entry = table.entries[size_class][r];
        entry.score = scores[r];
        std::memset(entry.name, 0, sizeof entry.name);
        const std::string name = "p" + std::to_string(r);
        std::memcpy(entry.name, name.data(), name.size());
    }
    return table;
}

std::vector<int> scores_of(const HighScoreTable& table, int size_class) {
    std::vector<int> scores;
    for (const HighScoreEntry& entry : table.entries[size_class]) scores.push_back(entry.score);
    return scores;
}

TEST(HighScoreImage, EmptyTableIsFortyZeroEntriesNamedWithDashes) {
    const HighScoreImage image = encode_high_score_table(empty_high_score_table());
    for (std::size_t at = 0; at < image.size(); at += HIGH_SCORE_ENTRY_BYTES) {
        const std::uint8_t want[24] = {0, 0, 0, 0, '-', '-', '-', '-', '-', '-', '-', '-'};
        ASSERT_EQ(std::memcmp(image.data() + at, want, sizeof want), 0) << "entry at " << at;
    }
}

TEST(HighScoreImage, EntryLiesAt240PerClassAnd24PerRowLittleEndian) {
    HighScoreTable table{};
    table.entries[2][3].score = -2;  // 0xfffffffe
    table.entries[3][9].score = 0x01020304;
    std::memcpy(table.entries[3][9].name, "abc", 3);
    const HighScoreImage image = encode_high_score_table(table);
    const std::size_t a = 240 * 2 + 24 * 3;
    EXPECT_EQ((std::vector<int>{image[a], image[a + 1], image[a + 2], image[a + 3]}),
              (std::vector<int>{0xfe, 0xff, 0xff, 0xff}));
    const std::size_t b = 240 * 3 + 24 * 9;
    EXPECT_EQ((std::vector<int>{image[b], image[b + 1], image[b + 2], image[b + 3], image[b + 4]}),
              (std::vector<int>{4, 3, 2, 1, 'a'}));
}

TEST(HighScoreImage, DecodesEveryPrefixOverTheOldImage) {
    // Every truncated length: the first n bytes come from the data, every
    // other byte (even inside a half-covered entry) keeps the old image.
    HighScoreTable source = table_with(1, {900, 800, 700, 1, -5});
    std::memcpy(source.entries[3][0].name, "twenty-characters-xx", 20);
    const HighScoreImage data = encode_high_score_table(source);
    HighScoreTable old{};
    for (auto& row : old.entries)
        for (HighScoreEntry& entry : row) {
            entry.score = 0x5a5a5a5a;
            std::memset(entry.name, 'o', sizeof entry.name);
        }
    const HighScoreImage old_image = encode_high_score_table(old);
    for (std::size_t n = 0; n <= data.size(); ++n) {
        HighScoreTable table = old;
        ASSERT_EQ(decode_high_score_table(std::span(data.data(), n), table), n);
        const HighScoreImage got = encode_high_score_table(table);
        for (std::size_t i = 0; i < got.size(); ++i)
            ASSERT_EQ(got[i], i < n ? data[i] : old_image[i]) << "prefix " << n << " byte " << i;
    }
}

TEST(HighScoreImage, IgnoresBytesAfterTheFirst960) {
    std::vector<std::uint8_t> data(1000, 0x11);
    HighScoreTable table{};
    EXPECT_EQ(decode_high_score_table(data, table), HIGH_SCORE_TABLE_BYTES);
    EXPECT_EQ(table.entries[3][9].score, 0x11111111);
}

TEST(RankResult, EqualScoreGoesBelow) {
    const HighScoreTable table = table_with(0, {50, 40, 30, 20, 10, 5, 4, 3, 2, 1});
    EXPECT_EQ(rank_result(table, 0, 21), 3);
    EXPECT_EQ(rank_result(table, 0, 20), 4);
    EXPECT_EQ(rank_result(table, 0, 51), 0);
    EXPECT_EQ(rank_result(table, 0, 50), 1);
}

TEST(RankResult, DoesNotRankAtOrBelowTheLastRow) {
    const HighScoreTable table = table_with(2, {50, 40, 30, 20, 10, 5, 4, 3, 2, 1});
    EXPECT_EQ(rank_result(table, 2, 1), 10);
    EXPECT_EQ(rank_result(table, 2, -3), 10);
    EXPECT_EQ(rank_result(table, 2, 2), 9);
    // Only the asked class counts.
    EXPECT_EQ(rank_result(table, 1, 1), 0);
}

TEST(RankResult, ComparesSigned) {
    const HighScoreTable table = table_with(0, {-1, -1, -1, -1, -1, -1, -1, -1, -1, -100});
    EXPECT_EQ(rank_result(table, 0, -50), 9);
    EXPECT_EQ(rank_result(table, 0, 0), 0);
}

TEST(RankResult, EmptyTableRanksOnlyPositiveResults) {
    const HighScoreTable table = empty_high_score_table();
    EXPECT_EQ(rank_result(table, 3, 0), 10);
    EXPECT_EQ(rank_result(table, 3, 1), 0);
}

TEST(RankResult, ClassOutOfRangeDoesNotRank) {
    const HighScoreTable table = empty_high_score_table();
    EXPECT_EQ(rank_result(table, -1, 100), 10);
    EXPECT_EQ(rank_result(table, 4, 100), 10);
}

TEST(InsertResult, AtTopShiftsEveryRowAndDropsTheLast) {
    HighScoreTable table = table_with(1, {100, 90, 80, 70, 60, 50, 40, 30, 20, 10});
    const HighScoreImage other_classes = encode_high_score_table(table);
    insert_result(table, 1, 0, 200, "winner");
    EXPECT_EQ(scores_of(table, 1), (std::vector<int>{200, 100, 90, 80, 70, 60, 50, 40, 30, 20}));
    EXPECT_EQ(name_of(table.entries[1][0]), "winner");
    EXPECT_EQ(name_of(table.entries[1][1]), "p0");
    EXPECT_EQ(name_of(table.entries[1][9]), "p8");
    const HighScoreImage after = encode_high_score_table(table);
    EXPECT_TRUE(std::equal(after.begin(), after.begin() + 240, other_classes.begin()));
    EXPECT_TRUE(std::equal(after.begin() + 480, after.end(), other_classes.begin() + 480));
}

TEST(InsertResult, BeatingOnlyTheLastRowReplacesIt) {
    HighScoreTable table = table_with(0, {100, 90, 80, 70, 60, 50, 40, 30, 20, 10});
    insert_result(table, 0, rank_result(table, 0, 15), 15, "late");
    EXPECT_EQ(scores_of(table, 0), (std::vector<int>{100, 90, 80, 70, 60, 50, 40, 30, 20, 15}));
    EXPECT_EQ(name_of(table.entries[0][8]), "p8");
    EXPECT_EQ(name_of(table.entries[0][9]), "late");
}

TEST(InsertResult, NameIsCutToTwentyBytesAndNulPadded) {
    HighScoreTable table = table_with(0, {});
    std::memset(table.entries[0][0].name, 'x', HIGH_SCORE_NAME_BYTES);
    insert_result(table, 0, 0, 5, "ab");
    const char short_name[20] = {'a', 'b'};
    EXPECT_EQ(std::memcmp(table.entries[0][0].name, short_name, 20), 0);

    insert_result(table, 0, 0, 6, "abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(std::memcmp(table.entries[0][0].name, "abcdefghijklmnopqrst", 20), 0);
    // No terminator inside the field: the next bytes of the image are the
    // following entry's score.
    const HighScoreImage image = encode_high_score_table(table);
    EXPECT_EQ(image[4 + 19], 't');
    EXPECT_EQ(image[24], 5);
}

TEST(InsertResult, OutOfRangeChangesNothing) {
    HighScoreTable table = table_with(0, {3, 2, 1});
    const HighScoreImage before = encode_high_score_table(table);
    insert_result(table, 0, 10, 99, "nope");
    insert_result(table, 0, -1, 99, "nope");
    insert_result(table, 4, 0, 99, "nope");
    insert_result(table, -1, 0, 99, "nope");
    EXPECT_EQ(encode_high_score_table(table), before);
}

}  // namespace
