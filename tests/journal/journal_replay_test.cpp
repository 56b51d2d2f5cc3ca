// journal_replay_test.cpp: verifying lines through the rules, and the search
// for a better line. Games are played here through the same rules, by a
// player who always takes the first cluster in column order.
#include "journal/journal_replay.h"

#include <gtest/gtest.h>

#include "journal/journal_search.h"
#include "journal/journal_stats.h"

namespace {

JournalRecord played_game(unsigned deal, int columns, int rows) {
    board.columns = columns;
    board.rows = rows;
    deal_board_seeded(deal);
    JournalRecord record;
    record.deal = deal;
    record.columns = columns;
    record.rows = rows;
    record.line_number = 9;
    for (bool moved = true; moved;) {
        moved = false;
        for (int c = 0; c < columns && !moved; ++c) {
            for (int r = 0; r < rows && !moved; ++r) {
                if (play_journal_move({c, r}) < 0) continue;
                record.play.push_back({c, r});
                moved = true;
            }
        }
    }
    record.moves = static_cast<int>(record.play.size());
    record.gets = score_state.gets;
    record.rests = score_state.rests;
    record.total = record.gets - record.rests;
    return record;
}

TEST(JournalVerifyTest, TellsGoodWrongAndUncheckableLinesApart) {
    const JournalRecord game = played_game(12345, 20, 10);
    ASSERT_GT(game.moves, 5);
    const Verification good = verify_journal_record(game);
    EXPECT_EQ(good.verdict, Verdict::OK) << good.text;
    EXPECT_EQ(good.text, format_message("line 9: ok: %d moves, gets %d, rests %d, total %d\n", game.moves, game.gets,
                                        game.rests, game.total));

    JournalRecord wrong_total = game;
    wrong_total.total += 1;
    EXPECT_EQ(verify_journal_record(wrong_total).text,
              format_message("line 9: MISMATCH: total %d written, %d by the rules\n", game.total + 1, game.total));

    JournalRecord cut_short = game;  // the numbers of the shorter game, but a move is left
    cut_short.play.pop_back();
    EXPECT_EQ(verify_journal_record(cut_short).verdict, Verdict::MISMATCH);

    JournalRecord other_deal = game;
    other_deal.play[2] = {MAX_COLUMNS - 1, 0};  // outside a 20-column board
    const Verification unchecked = verify_journal_record(other_deal);
    EXPECT_EQ(unchecked.verdict, Verdict::UNCHECKED);
    EXPECT_EQ(unchecked.text.rfind("line 9: cannot be checked: move 3 (29,0) removes nothing", 0), 0u)
        << unchecked.text;
}

TEST(JournalSearchTest, BestIsNeverWorseThanThePlayersLineAndReplaysToItsTotal) {
    for (const auto& [columns, rows] : {std::pair{15, 8}, std::pair{30, 20}}) {
        // A strong player: the line a longer search found. A search with
        // next to no time must still answer at least that.
        JournalRecord game = played_game(777, columns, rows);
        game.play = search_better_line(game, 0.3, 1).best;
        game.total = line_total(game, game.play, nullptr);
        const SearchResult result = search_better_line(game, 0.001, 2);
        EXPECT_EQ(result.player_total, game.total);
        EXPECT_GE(result.best_total, game.total) << columns << "x" << rows;
        bool fits = false;
        EXPECT_EQ(line_total(game, result.best, &fits), result.best_total);
        EXPECT_TRUE(fits);
        EXPECT_FALSE(any_move_left()) << "the best line is a finished game";
        // A millisecond cannot search a board through: no proof either way.
        EXPECT_NE(result.clearing, Clearing::IMPOSSIBLE);
    }
}

// Replays once counted as played games, and lines the rules do not bear out
// counted at all.
TEST(JournalStatsTest, CountsOnlyLinesThatVerifyAndShowsReplaysApart) {
    std::vector<JournalRecord> records;
    for (unsigned deal : {11u, 12u, 13u, 14u}) {
        records.push_back(played_game(deal, 15, 8));
        records.back().line_number = static_cast<int>(records.size());
    }
    records[0].rank = 4;
    records[2].rank = JOURNAL_RANK_REPLAY;
    records[3].total += 1;  // a MISMATCH
    const std::string text = journal_stats_text(records);
    EXPECT_EQ(text.rfind("size   games  cleared   best     mean  median  best rank\n15x8       2  ", 0), 0u) << text;
    EXPECT_NE(text.find("          4\n\nreplayed deals:\nsize   games  cleared   best     mean  median\n15x8       1  "),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("    3  1970-01-01T00:00:00Z  15x8   "), std::string::npos) << text;
    EXPECT_EQ(text.find("    4  1970"), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("1 line not counted: it does not verify (clumpout-journal verify says why)\n")) << text;
}

}  // namespace
