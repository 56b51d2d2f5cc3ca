// drawing_test.cpp: what the board and the frame show, and that uncovered or
// exposed parts of the board are repainted whole and only once per burst.
#include "e2e/e2e_fixture.h"

namespace {

class DrawingTest : public E2eTest, public ::testing::WithParamInterface<int> {};

std::string set_name(const ::testing::TestParamInfo<int>& info)
{
    const char* const names[] = {"Marble", "Head", "Face"};
    return names[info.param];
}

TEST_P(DrawingTest, EveryDealtTileShowsItsColoursDefaultImage)
{
    int set = GetParam();
    write_settings(15, 8, set);  // small enough for 64-pixel tiles to fit the screen
    start_game();
    ASSERT_TRUE(windows.complete);
    use_builtin_set(set);
    ASSERT_EQ(columns(), 15);
    ASSERT_EQ(rows(), 8);

    BoardCells cells = read_board();
    ASSERT_TRUE(cells.all_known()) << cells.text();
    for (int c = 0; c < 15; ++c)
        for (int r = 0; r < 8; ++r) {
            EXPECT_GE(cells.colour[c][r], 1) << "a fresh deal has no empty cell";
            EXPECT_TRUE(cells.look[c][r].plain) << "cell " << c << "," << r;
        }

    // The frame tiles the main window from its origin; the left margin and
    // the band above the buttons are never covered by a child.
    Image main = driver.read(windows.main.id);
    Image frame = TileOracle::tiled(oracle.frame(), main.width, main.height);
    long differences = 0;
    for (int y = 0; y < main.height; ++y)
        for (int x = 0; x < main.width; ++x)
            if ((x < 15 || y < 3) && main.at(x, y) != frame.at(x, y)) ++differences;
    EXPECT_EQ(differences, 0) << "frame pattern";
}

INSTANTIATE_TEST_SUITE_P(BuiltinSets, DrawingTest, ::testing::Values(SET_MARBLE, SET_HEAD, SET_FACE),
                         set_name);

class ExposeTest : public E2eTest {
protected:
    // Highlights a cluster lying wholly right of `first_column`; returns it.
    std::set<Cell> highlight_right_of(const BoardCells& cells, int first_column)
    {
        for (int c = first_column; c < cells.columns; ++c)
            for (int r = 0; r < cells.rows; ++r) {
                std::set<Cell> k = cluster_of(cells, {c, r});
                bool right = k.size() >= 2;
                for (const Cell& cell : k) right = right && cell.first >= first_column;
                if (!right) continue;
                point_at_cell(c, r);
                return k;
            }
        return {};
    }

    void expect_plain_board(const BoardCells& dealt)
    {
        BoardCells now = read_board();
        EXPECT_TRUE(same_cells(now, dealt)) << now.text();
        for (int c = 0; c < dealt.columns; ++c)
            for (int r = 0; r < dealt.rows; ++r)
                EXPECT_TRUE(now.look[c][r].plain) << "cell " << c << "," << r << " still highlighted";
    }
};

TEST_F(ExposeTest, UncoveringRepaintsTheWholeBoardAndDropsTheHighlight)
{
    start_game();
    ASSERT_TRUE(windows.complete);
    use_builtin_set(SET_HEAD);
    BoardCells dealt = read_board();
    ASSERT_TRUE(dealt.all_known());
    std::set<Cell> lit = highlight_right_of(dealt, 8);
    ASSERT_FALSE(lit.empty()) << "no cluster right of column 8 on\n" << dealt.text();
    BoardCells shown = read_board();
    for (const Cell& k : lit) ASSERT_TRUE(shown.look[k.first][k.second].boxed);

    // A window of our own over the left columns, away from the pointer.
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = text.black();
    auto [x, y] = driver.to_root(windows.board.id, 0, 0);
    Window cover = XCreateWindow(driver.display(), driver.root(), x, y, 7 * 32,
                                 static_cast<unsigned>(windows.board.height), 0, CopyFromParent, InputOutput,
                                 CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(driver.display(), cover);
    settle();
    XUnmapWindow(driver.display(), cover);
    settle();
    XDestroyWindow(driver.display(), cover);
    settle();

    expect_plain_board(dealt);
}

TEST_F(ExposeTest, BurstOfExposesCostsOneRepaint)
{
    write_settings(30, 20, SET_HEAD);
    start_game();
    ASSERT_TRUE(windows.complete);
    use_builtin_set(SET_HEAD);
    BoardCells dealt = read_board();
    ASSERT_TRUE(dealt.all_known());

    // What one repaint costs the program in request bytes, then a burst.
    long before_one = bytes_written(game.pid());
    send_board_exposes(1);
    long one = bytes_written(game.pid()) - before_one;
    long before_burst = bytes_written(game.pid());
    send_board_exposes(12);
    long burst = bytes_written(game.pid()) - before_burst;

    ASSERT_GE(before_one, 0) << "no /proc/<pid>/io";
    EXPECT_GE(one, 600 * 20) << "one Expose did not repaint 600 cells";
    EXPECT_LT(burst, 2 * one) << "a burst of 12 Exposes cost " << burst << " bytes, one costs " << one;
    expect_plain_board(dealt);
}

}  // namespace
