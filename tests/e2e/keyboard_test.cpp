// keyboard_test.cpp: playing by keys, asked for with clumpout.keyboard:
// a whole game, Undo, New Game, the menus and Quit, and no keys at all
// without the resource.
#include "e2e/e2e_fixture.h"

#include <X11/keysym.h>

namespace {

class KeyboardTest : public E2eTest {
protected:
    void start_with_keys()
    {
        driver.set_resources("clumpout.keyboard: on\n");
        start_game();
        ASSERT_TRUE(windows.complete);
        XSetInputFocus(driver.display(), windows.main.id, RevertToPointerRoot, CurrentTime);
        XSync(driver.display(), False);
    }

    void key(unsigned long sym, bool control = false)
    {
        driver.type_key(sym, control);
        settle();
    }

    // Arrows from the cursor's cell to `to`; the first arrow only shows the
    // cursor, at the top left while the pointer is off the board.
    void move_cursor(Cell to)
    {
        if (cursor.first < 0) {
            key(XK_Right);
            cursor = {0, 0};
        }
        for (; cursor.first < to.first; ++cursor.first) key(XK_Right);
        for (; cursor.first > to.first; --cursor.first) key(XK_Left);
        for (; cursor.second < to.second; ++cursor.second) key(XK_Down);
        for (; cursor.second > to.second; --cursor.second) key(XK_Up);
    }

    // The board's colours but under the cursor, which its outline covers.
    void expect_board(const BoardCells& expected, const char* where)
    {
        BoardCells shown = read_board();
        for (int c = 0; c < expected.columns; ++c)
            for (int r = 0; r < expected.rows; ++r)
                if (Cell{c, r} != cursor && shown.colour[c][r] != -2) {
                    EXPECT_EQ(shown.colour[c][r], expected.colour[c][r]) << where << " cell " << c << "," << r;
                }
    }

    // The whole window tree of the game, every window once.
    std::vector<Window> game_windows()
    {
        std::vector<Window> all{windows.main.id};
        for (size_t i = 0; i < all.size(); ++i)
            for (const WindowGeometry& g : driver.children(all[i])) all.push_back(g.id);
        return all;
    }

    Cell cursor{-1, -1};
};

TEST_F(KeyboardTest, NoWindowSelectsKeysWithoutTheResource)
{
    start_game();
    ASSERT_TRUE(windows.complete);
    for (Window w : game_windows()) {
        XWindowAttributes attributes{};
        ASSERT_TRUE(XGetWindowAttributes(driver.display(), w, &attributes));
        EXPECT_EQ(attributes.all_event_masks & (KeyPressMask | KeyReleaseMask), 0) << "window " << w;
    }
}

// Every removal by arrows and Return, checked against the rules; the score
// at the end; Return then presses the panel's "New Game".
TEST_F(KeyboardTest, WholeGameByKeys)
{
    write_settings(15, 8, SET_MARBLE);
    use_builtin_set(SET_MARBLE);
    start_with_keys();
    BoardCells cells = read_board();
    Score score{0, 15 * 8};
    int moves = 0;
    while (any_pair_left(cells) && moves++ < 200 && !HasFailure()) {
        const Cell target = biggest_cluster(cells);
        const std::set<Cell> cluster = cluster_of(cells, target);
        move_cursor(target);
        key(XK_Return);
        const int n = static_cast<int>(cluster.size());
        score.gets += (n - 2) * (n - 2);
        score.rests -= n;
        if (score.rests == 0) score.gets += 15 * 8;
        cells = after_removal(cells, cluster);
        expect_board(cells, "after a removal");
    }
    expect_status(score, "at the end");
    ASSERT_TRUE(driver.geometry(windows.panel.id)->mapped);
    key(XK_Return);
    EXPECT_FALSE(driver.geometry(windows.panel.id)->mapped) << "Return did not press New Game";
}

// u undoes, n deals anew, s and p choose from their menus with Down and
// Return, Escape closes a menu, q quits and saves.
TEST_F(KeyboardTest, UndoNewGameMenusAndQuit)
{
    use_builtin_set(SET_HEAD);
    start_with_keys();
    const BoardCells dealt = read_board();
    const Cell target = biggest_cluster(dealt);
    move_cursor(target);
    key(XK_Return);
    key(XK_z, true);
    expect_board(dealt, "after Ctrl+Z");

    key(XK_n);
    const BoardCells fresh = read_board();
    EXPECT_FALSE(same_cells(fresh, dealt)) << "n dealt the same board";

    key(XK_s);
    key(XK_Escape);
    EXPECT_TRUE(find_windows().extra.empty()) << "Escape left the menu open";
    key(XK_s);
    key(XK_Down);  // Small
    key(XK_Return);
    key(XK_p);
    key(XK_Down);  // Marble
    key(XK_Return);
    find_windows();
    EXPECT_EQ(windows.main.width, 15 * 20 + 32);
    EXPECT_EQ(windows.main.height, 8 * 20 + 48);

    key(XK_q);
    EXPECT_EQ(game.wait_exit(10s), 0);
    EXPECT_NE(settings_text().find("Pictures 0"), std::string::npos) << settings_text();
}

}  // namespace
