// journal_line_test.cpp: the journal line format, byte for byte, and what a
// reader does with lines it cannot take.
#include "journal/journal_line.h"

#include <gtest/gtest.h>


namespace {

const char EXAMPLE[] =
    "2026-12-09T14:30:05Z deal=1765290605 size=20x10 set=Head moves=3 gets=184 rests=36 total=148 rank=5 "
    "play=3,9;0,9;12,8\n";

TEST(JournalLineTest, ExampleReadsAndWritesBackByteForByte) {
    JournalRecord record;
    Messages messages;
    ASSERT_EQ(parse_journal_line(EXAMPLE, 4, record, messages), 0);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(record.when, 1796826605);
    EXPECT_EQ(record.deal, 1765290605u);
    EXPECT_EQ(record.columns, 20);
    EXPECT_EQ(record.rows, 10);
    EXPECT_EQ(record.set, "Head");
    EXPECT_EQ(record.total, 148);
    EXPECT_EQ(record.rank, 5);
    EXPECT_EQ(record.play, (std::vector<JournalMove>{{3, 9}, {0, 9}, {12, 8}}));
    EXPECT_EQ(record.line_number, 4);
    EXPECT_EQ(format_journal_line(record), EXAMPLE);
}

TEST(JournalLineTest, OddRecordsRoundTrip) {
    JournalRecord record;
    record.when = 951782400 - 1;  // the second before a leap day
    record.deal = 4294967295u;
    record.columns = 30;
    record.rows = 8;
    record.set = "Old 100% tiles\t";
    record.total = -600;
    record.rests = 600;
    record.rank = JOURNAL_RANK_REPLAY;
    const std::string line = format_journal_line(record);
    EXPECT_NE(line.find("2000-02-28T23:59:59Z "), std::string::npos) << line;
    EXPECT_NE(line.find(" set=Old%20100%25%20tiles%09 "), std::string::npos) << line;
    EXPECT_NE(line.find(" rank=replay play=\n"), std::string::npos) << line;
    for (const int rank : {JOURNAL_RANK_REPLAY, JOURNAL_RANK_NONE, 10}) {
        record.rank = rank;
        JournalRecord back;
        Messages messages;
        ASSERT_EQ(parse_journal_line(format_journal_line(record), 0, back, messages), 0) << rank;
        EXPECT_EQ(back, record);
    }
}

TEST(JournalLineTest, UnknownKeysAndWordsAreTolerated) {
    JournalRecord record;
    Messages messages;
    ASSERT_EQ(parse_journal_line("2026-12-09T14:30:05Z mood=calm deal=7 size=15x8 set=Face moves=0 gets=0 "
                                 "later-word rests=120 total=-120 rank=- play= seconds=93",
                                 1, record, messages),
              0);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(record.deal, 7u);
    EXPECT_EQ(record.rank, JOURNAL_RANK_NONE);
    EXPECT_TRUE(record.play.empty());
}

TEST(JournalLineTest, OtherAndBrokenLinesAreSkipped) {
    const std::string good = EXAMPLE;
    const std::string text = "# my games\n"
                             "\n" +
                             good +  // line 3
                             "2026-02-30T14:30:05Z deal=1 size=20x10\n" + "2026-12-09T14:30:05Z deal=1 size=40x10\n" +
                             "2026-12-09T14:30:05Z deal=1 deal=2\n" +
                             "2026-12-09T14:30:05Z deal=1 size=20x10 set=Head moves=1 gets=0 rests=198 rank=- "
                             "play=1,1\n" +
                             "2026-12-09T14:30:05Z deal=1 size=20x10 set=Head moves=1 gets=0 rests=198 total=-198 "
                             "rank=- play=1,1;\n" +
                             "2026-12-09 deal=1\n" + good;  // line 10, no newline after it
    Messages messages;
    const std::vector<JournalRecord> records = read_journal(text.substr(0, text.size() - 1), messages);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].line_number, 3);
    EXPECT_EQ(records[1].line_number, 10);
    EXPECT_EQ(messages, (Messages{"Warning: journal line 4 skipped: impossible time.\n",
                                  "Warning: journal line 5 skipped: bad size.\n",
                                  "Warning: journal line 6 skipped: deal twice.\n",
                                  "Warning: journal line 7 skipped: no total.\n",
                                  "Warning: journal line 8 skipped: bad play.\n"}));
}

TEST(JournalLineTest, DealNumbersAreThirtyTwoBitDigitsOnly) {
    unsigned deal = 7;
    EXPECT_TRUE(parse_deal_number("4294967295", deal));
    EXPECT_EQ(deal, 4294967295u);
    for (const char* bad : {"4294967296", "-1", "+1", "", " 1", "1 ", "0x10", "12abc"}) {
        EXPECT_FALSE(parse_deal_number(bad, deal)) << bad;
        EXPECT_EQ(deal, 4294967295u) << "changed by " << bad;
    }
}

}  // namespace
