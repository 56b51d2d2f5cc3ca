// What the score panel shows and when it records: a finished game's result
// is offered once, a failure shows the summary for the rest of that game.
#include <gtest/gtest.h>

#include "board/board.h"
#include "ui/game_ui.h"
#include "ui/status_panel.h"

namespace {

struct Calls {
    int records = 0;
    int reads = 0;
    int last_score = 0;
    int last_class = -2;
    int record_result = 3;
    int read_result = 0;
};
Calls calls;

int fake_record(int score, int chosen_class, const char*) {
    ++calls.records;
    calls.last_score = score;
    calls.last_class = chosen_class;
    return calls.record_result;
}

int fake_read(HighScoreEntry* destination, int, const char*) {
    ++calls.reads;
    destination[0].score = 77;
    return calls.read_result;
}

class ScorePanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        calls = Calls{};
        score_state = {};
        record_failed = 0;
        size_class = 1;
    }

    PanelContent prepare() { return prepare_score_panel(entries, {fake_record, fake_read}); }

    void finish_game(int gets, int rests) {
        score_state.gets = gets;
        score_state.rests = rests;
        score_state.game_over = 1;
    }

    std::array<HighScoreEntry, HIGH_SCORE_ROWS> entries = {};
};

TEST_F(ScorePanelTest, FinishedGameIsRecordedOnceAndMarkedOnlyThen) {
    finish_game(50, 8);
    const PanelContent first = prepare();
    EXPECT_EQ(calls.records, 1);
    EXPECT_EQ(calls.last_score, 42);
    EXPECT_EQ(calls.last_class, 1);
    EXPECT_TRUE(first.list);
    EXPECT_EQ(first.rank, 3);
    EXPECT_EQ(entries[0].score, 77);  // the rows that were read

    const PanelContent again = prepare();  // the next Expose
    EXPECT_EQ(calls.records, 1);
    EXPECT_TRUE(again.list);
    EXPECT_EQ(again.rank, HIGH_SCORE_ROWS);
}

TEST_F(ScorePanelTest, DuringPlayNothingIsRecorded) {
    score_state.gets = 10;
    const PanelContent content = prepare();
    EXPECT_EQ(calls.records, 0);
    EXPECT_TRUE(content.list);
    EXPECT_EQ(content.rank, HIGH_SCORE_ROWS);
}

TEST_F(ScorePanelTest, CustomSizeShowsTheSummaryAndRecordsNothing) {
    size_class = -1;
    finish_game(5, 3);
    const PanelContent content = prepare();
    EXPECT_FALSE(content.list);
    EXPECT_EQ(calls.records, 0);
    EXPECT_EQ(calls.reads, 0);
    EXPECT_EQ(score_state.recorded, 0);
}

TEST_F(ScorePanelTest, FailedRecordShowsTheSummaryUntilALaterGame) {
    calls.record_result = -1;
    finish_game(5, 3);
    EXPECT_FALSE(prepare().list);
    EXPECT_EQ(calls.reads, 0);  // no table read after a failure
    EXPECT_EQ(score_state.recorded, 1);
    EXPECT_FALSE(prepare().list);  // still the summary, and not offered again
    EXPECT_EQ(calls.records, 1);

    score_state = {};  // the next deal
    EXPECT_TRUE(prepare().list);
    EXPECT_EQ(record_failed, 0);
}

TEST_F(ScorePanelTest, UnreadableTableShowsTheSummary) {
    calls.read_result = -1;
    finish_game(5, 3);
    const PanelContent content = prepare();
    EXPECT_EQ(calls.records, 1);
    EXPECT_FALSE(content.list);
    EXPECT_EQ(record_failed, 0);
}

}  // namespace
