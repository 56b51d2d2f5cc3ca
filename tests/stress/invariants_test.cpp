// invariants_test.cpp: the checks that the stress tests trust to find a
// broken board, a miscounted status line or a leaking client must find
// them; a checker that passes everything would make those tests worthless.
// GoogleTest first: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include "stress/invariants.h"
#include "stress/server_resources.h"

#include <initializer_list>
#include <string>

namespace {

// Rows top first: "." empty, "1".."5" a tile drawn plain, "a".."e" the same
// colours drawn pushed, "?" a cell no image matches.
BoardCells board(std::initializer_list<const char*> rows)
{
    BoardCells cells;
    cells.rows = static_cast<int>(rows.size());
    int r = 0;
    for (const char* row : rows) {
        cells.columns = static_cast<int>(std::string(row).size());
        for (int c = 0; row[c] != '\0'; ++c) {
            CellLook& look = cells.look[c][r];
            const char ch = row[c];
            if (ch == '.') {
                look = {0, true, false, true};
            } else if (ch >= '1' && ch <= '5') {
                look = {ch - '0', true, false, false};
            } else if (ch >= 'a' && ch <= 'e') {
                look = {ch - 'a' + 1, false, false, true};
            }
            cells.colour[c][r] = look.colour;
        }
        ++r;
    }
    return cells;
}

StatusNumbers status(int gets, int rests) { return {gets, rests, gets - rests}; }

bool mentions(const std::vector<std::string>& faults, const std::string& part)
{
    for (const std::string& f : faults)
        if (f.find(part) != std::string::npos) return true;
    return false;
}

TEST(BoardFaults, SoundBoardsPass)
{
    EXPECT_TRUE(board_faults(board({"1...", "12..", "1232"}), status(9, 7)).empty());
    // Over: no pair left, every tile pushed.
    EXPECT_TRUE(board_faults(board({"a...", "bc..", "adb."}), status(40, 6)).empty());
    EXPECT_TRUE(board_faults(board({"....", "...."}), status(8 + 4, 0)).empty());
}

TEST(BoardFaults, TileAboveAGapBreaksGravity)
{
    auto faults = board_faults(board({"1...", "..2.", "1132"}), status(0, 6));
    EXPECT_TRUE(mentions(faults, "hangs above the empty cell 0,1")) << faults.size();
    EXPECT_EQ(faults.size(), 1u);
}

TEST(BoardFaults, ColumnRightOfAnEmptyColumnBreaksPacking)
{
    auto faults = board_faults(board({"1...", "1.2.", "1.32"}), status(0, 5));
    EXPECT_TRUE(mentions(faults, "column 2 holds tiles right of an empty column"));
    EXPECT_TRUE(mentions(faults, "column 3 holds tiles right of an empty column"));
}

TEST(BoardFaults, StatusLineMustCountTheTiles)
{
    EXPECT_TRUE(mentions(board_faults(board({"11", "23"}), status(0, 5)), "holds 4 tiles but the status line says Rests 5"));
    EXPECT_TRUE(mentions(board_faults(board({"11", "23"}), {3, 4, 7}), "Total 7 is not Gets - Rests (-1)"));
    EXPECT_TRUE(mentions(board_faults(board({"11", "23"}), status(-1, 4)), "Gets is negative"));
}

TEST(BoardFaults, GameOverLookMustMatchTheBoard)
{
    // No pair left, but drawn as if play went on.
    EXPECT_TRUE(mentions(board_faults(board({"12", "21"}), status(0, 4)), "not drawn pushed"));
    // A pair left, but drawn as over.
    EXPECT_TRUE(mentions(board_faults(board({"aa", "bc"}), status(0, 4)), "not drawn plain"));
}

TEST(BoardFaults, UnreadableCellIsAFault)
{
    EXPECT_TRUE(mentions(board_faults(board({"1?", "11"}), status(0, 3)), "cell 1,0 cannot be told"));
}

TEST(StatusText, ReadsTheThreeNumbers)
{
    auto n = parse_status_text("Gets   123  Rests    45  Total     78");
    ASSERT_TRUE(n.has_value());
    EXPECT_EQ(*n, (StatusNumbers{123, 45, 78}));
    n = parse_status_text("Gets     0  Rests   200  Total    -200");
    ASSERT_TRUE(n.has_value());
    EXPECT_EQ(n->total, -200);
}

TEST(StatusText, RefusesWhatIsNotAStatusLine)
{
    EXPECT_FALSE(parse_status_text("Gets   1?3  Rests    45  Total     78"));
    EXPECT_FALSE(parse_status_text("Gets   123  Rests    45  Total     78 extra"));
    EXPECT_FALSE(parse_status_text(""));
}

constexpr char XRESTOP_SAMPLE[] =
    "0 - <unknown> ( PID:  ?   ):\n"
    "\tres_base      : 0\n\tres_mask      : 0x1fffff\n\twindows       : 1\n\tpixmaps       : 0\n"
    "\tpixmap bytes  : 0\n\ttotal bytes   : ~2936\n"
    "1 - Clumpout ( PID: 4242 ):\n"
    "\tres_base      : 0x200000\n\tres_mask      : 0x1fffff\n\twindows       : 14\n\tGCs           : 2\n"
    "\tfonts         : 1\n\tpixmaps       : 18\n\tcolormaps     : 0\n\tcursors       : 0\n"
    "\tpixmap bytes  : 123456\n\tother bytes   : ~120\n";

TEST(Xrestop, ReadsEachClientBlock)
{
    auto clients = parse_xrestop(XRESTOP_SAMPLE);
    ASSERT_EQ(clients.size(), 2u);
    EXPECT_EQ(clients[0].base, 0u);
    EXPECT_EQ(clients[0].windows, 1);
    const ClientResources& game = clients[1];
    EXPECT_EQ(game.base, 0x200000u);
    EXPECT_EQ(game.mask, 0x1fffffu);
    EXPECT_EQ(game.windows, 14);
    EXPECT_EQ(game.gcs, 2);
    EXPECT_EQ(game.pixmaps, 18);
    EXPECT_EQ(game.pixmap_bytes, 123456);
    // Any id the client made tells it apart; the server's own block owns nothing.
    EXPECT_TRUE(game.owns(0x200009));
    EXPECT_FALSE(game.owns(0x400009));
    EXPECT_FALSE(clients[0].owns(0x00000a));
}

TEST(Xrestop, ComparesCountsNotIds)
{
    auto a = parse_xrestop(XRESTOP_SAMPLE)[1];
    auto b = a;
    b.base = 0x600000;
    EXPECT_TRUE(a.same_counts(b));
    b.pixmaps += 1;
    EXPECT_FALSE(a.same_counts(b));
    b = a;
    b.pixmap_bytes += 4096;
    EXPECT_FALSE(a.same_counts(b));
}

}  // namespace
