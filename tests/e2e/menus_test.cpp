// menus_test.cpp: the Size and Pictures menus: their windows and rows, what
// choosing a row does to the windows and the game, and every way of leaving
// a menu without a choice.
#include "e2e/e2e_fixture.h"

#include <cstring>

namespace {

struct MenuShape {
    int button;
    int x, y, width, height;
    std::vector<const char*> labels;  // "" separator
    std::vector<bool> disabled;
};

const MenuShape SIZE_MENU{E2E_SIZE, 163, 20, 67, 62, {"Small", "Normal", "Large", "Huge"}, {false, false, false, false}};
const MenuShape PICTURES_MENU{E2E_PICTURES, 205, 20, 74, 76, {"Marble", "Head", "Face", "", "(other)"},
                              {false, false, false, false, true}};

class MenuTest : public E2eTest {
protected:
    // The open menu window, or an empty geometry.
    WindowGeometry open_menu()
    {
        find_windows();
        for (const WindowGeometry& g : windows.extra)
            if (g.mapped) return g;
        return {};
    }

    Image expected_menu(const MenuShape& menu, int current, int highlighted) const
    {
        size_t longest = 0;
        for (const char* l : menu.labels) longest = std::max(longest, std::strlen(l));
        int label_columns = static_cast<int>(longest) + 1;
        std::vector<DrawOp> ops;
        for (size_t i = 0; i < menu.labels.size(); ++i) {
            int row = static_cast<int>(i);
            if (menu.labels[i][0] == '\0') {
                ops.push_back(text.line(2, 14 * row + 9, 7 * (label_columns + 2), 14 * row + 9));
                continue;
            }
            std::string line = std::string(row == current ? "v " : "  ") + menu.labels[i];
            line.resize(static_cast<size_t>(label_columns + 2), ' ');
            if (menu.disabled[i])
                ops.push_back(text.gray_text(2, 14 * row + 15, line));
            else if (row == highlighted)
                ops.push_back(text.inverted_text(2, 14 * row + 15, line));
            else
                ops.push_back(text.image_text(2, 14 * row + 15, line));
        }
        return text.render(menu.width, menu.height, ops);
    }

    void point_at_row(const WindowGeometry& menu, int row)
    {
        driver.move_to(menu.id, 20, 3 + 14 * row + 7);
        settle();
    }

    void expect_menu_shows(const MenuShape& menu, const WindowGeometry& g, int current, int highlighted)
    {
        Image shown = driver.read(g.id);
        Image expected = expected_menu(menu, current, highlighted);
        EXPECT_EQ(count_differences(shown, expected), 0) << "menu rows, highlighted " << highlighted;
        if (shown != expected) {
            dump(shown, "menu-shown");
            dump(expected, "menu-expected");
        }
    }

    // Plays one removal so that a new deal can be told from no deal.
    BoardCells play_one(Score& score)
    {
        BoardCells dealt = read_board();
        return play_cluster(dealt, biggest_cluster(dealt), score);
    }
};

TEST_F(MenuTest, SizeMenuOpensUnderItsButtonAndFollowsThePointer)
{
    start_game();
    ASSERT_TRUE(windows.complete);
    click_top_button(E2E_SIZE);
    WindowGeometry menu = open_menu();
    ASSERT_NE(menu.id, None) << "no menu window";
    EXPECT_EQ(menu.x, 163);
    EXPECT_EQ(menu.y, 20);
    EXPECT_EQ(menu.width, 67);
    EXPECT_EQ(menu.height, 62);
    EXPECT_EQ(menu.border, 1);
    expect_menu_shows(SIZE_MENU, menu, 1, -1);

    point_at_row(menu, 3);
    expect_menu_shows(SIZE_MENU, menu, 1, 3);
    // y 0 to 2 still counts as row 0.
    driver.move_to(menu.id, 20, 1);
    settle();
    expect_menu_shows(SIZE_MENU, menu, 1, 0);
    // Row k answers to y from 14k + 3 to 14k + 16.
    driver.move_to(menu.id, 20, 14 * 2 + 16);
    settle();
    expect_menu_shows(SIZE_MENU, menu, 1, 2);
    driver.move_to(menu.id, 20, 14 * 3 + 3);
    settle();
    expect_menu_shows(SIZE_MENU, menu, 1, 3);
    // The bottom margin is no row.
    driver.move_to(menu.id, 20, 60);
    settle();
    expect_menu_shows(SIZE_MENU, menu, 1, -1);
}

TEST_F(MenuTest, PicturesMenuMarksTheSetInUse)
{
    write_settings(20, 10, SET_FACE);
    start_game();
    ASSERT_TRUE(windows.complete);
    click_top_button(E2E_PICTURES);
    WindowGeometry menu = open_menu();
    ASSERT_NE(menu.id, None) << "no menu window";
    EXPECT_EQ(menu.x, 205);
    EXPECT_EQ(menu.y, 20);
    EXPECT_EQ(menu.width, 74);
    EXPECT_EQ(menu.height, 76);
    expect_menu_shows(PICTURES_MENU, menu, 2, -1);
    // The disabled row stays gray under the pointer.
    point_at_row(menu, 4);
    expect_menu_shows(PICTURES_MENU, menu, 2, 4);
}

TEST_F(MenuTest, CustomSizeMarksNoSizeRow)
{
    write_settings(12, 9, SET_HEAD);
    start_game();
    click_top_button(E2E_SIZE);
    WindowGeometry menu = open_menu();
    ASSERT_NE(menu.id, None);
    expect_menu_shows(SIZE_MENU, menu, -1, -1);
}

struct SizeChoice {
    int row;
    int columns;
    int rows;
};

class SizeChoiceTest : public MenuTest, public ::testing::WithParamInterface<SizeChoice> {};

TEST_P(SizeChoiceTest, ChoosingASizeResizesAndDeals)
{
    const SizeChoice& choice = GetParam();
    write_settings(15, 8, SET_MARBLE);
    start_game();
    ASSERT_TRUE(windows.complete);
    use_builtin_set(SET_MARBLE);
    Score score{0, 120};
    play_one(score);

    click_top_button(E2E_SIZE);
    WindowGeometry menu = open_menu();
    ASSERT_NE(menu.id, None);
    point_at_row(menu, choice.row);
    driver.press();
    driver.release();
    settle();

    find_windows();
    EXPECT_TRUE(open_menu().id == None) << "menu still open";
    int w = choice.columns * 20 + 32;
    EXPECT_EQ(windows.main.width, w);
    EXPECT_EQ(windows.main.height, choice.rows * 20 + 48);
    EXPECT_EQ(windows.board.width, choice.columns * 20);
    EXPECT_EQ(windows.board.height, choice.rows * 20);
    // Window gravity keeps the status line under the board and the panel
    // centred.
    EXPECT_EQ(windows.status.y, choice.rows * 20 + 28);
    EXPECT_EQ(windows.panel.x, (w - 176) / 2);
    EXPECT_EQ(windows.panel.height, choice.rows * 20 < 203 ? 128 : 208);
    EXPECT_EQ(windows.panel_button.y, windows.panel.height - 24);

    BoardCells fresh = read_board();
    ASSERT_TRUE(fresh.all_known()) << fresh.text();
    for (int c = 0; c < choice.columns; ++c)
        for (int r = 0; r < choice.rows; ++r) EXPECT_GE(fresh.colour[c][r], 1) << "no new deal";
    expect_status({0, choice.columns * choice.rows}, "after a size choice");

    // The size chosen is the one saved.
    EXPECT_EQ(quit_with_button3(windows.board.id), 0);
    char expected[96];
    std::snprintf(expected, sizeof expected, "# Clumpout\nWidth  %3d\nHeight %3d\nPictures 0\n", choice.columns,
                  choice.rows);
    EXPECT_EQ(settings_text(), expected);
}

INSTANTIATE_TEST_SUITE_P(FromSmall, SizeChoiceTest,
                         ::testing::Values(SizeChoice{0, 15, 8}, SizeChoice{1, 20, 10}, SizeChoice{2, 25, 15},
                                           SizeChoice{3, 30, 20}),
                         [](const auto& info) { return std::to_string(info.param.columns) + "x" + std::to_string(info.param.rows); });

TEST_F(MenuTest, PressDragReleaseChoosesARow)
{
    write_settings(15, 8, SET_MARBLE);
    start_game();
    driver.move_to(windows.buttons[E2E_SIZE].id, 10, 7);
    driver.press();
    settle();
    WindowGeometry menu = open_menu();
    ASSERT_NE(menu.id, None);
    driver.move_to(menu.id, 30, 3 + 14 * 2 + 5);  // "Large"
    settle();
    driver.release();
    settle();
    find_windows();
    EXPECT_EQ(windows.board.width, 25 * 20);
    EXPECT_EQ(windows.board.height, 15 * 20);
}

TEST_F(MenuTest, ChoosingFaceReloadsLargerTiles)
{
    write_settings(15, 8, SET_HEAD);
    start_game();
    click_top_button(E2E_PICTURES);
    WindowGeometry menu = open_menu();
    ASSERT_NE(menu.id, None);
    point_at_row(menu, 2);
    driver.press();
    driver.release();
    settle();
    find_windows();
    EXPECT_EQ(windows.board.width, 15 * 64);
    EXPECT_EQ(windows.board.height, 8 * 64);
    EXPECT_EQ(windows.main.width, 15 * 64 + 32);
    use_builtin_set(SET_FACE);
    point_outside_board();  // the menu closed over the new board
    BoardCells cells = read_board();
    ASSERT_TRUE(cells.all_known()) << cells.text();
    for (int c = 0; c < 15; ++c)
        for (int r = 0; r < 8; ++r) EXPECT_TRUE(cells.colour[c][r] >= 1 && cells.look[c][r].plain) << c << "," << r;
    EXPECT_EQ(quit_with_button3(windows.board.id), 0);
    EXPECT_EQ(settings_text(), "# Clumpout\nWidth   15\nHeight   8\nPictures 2\n");
}

enum Dismissal { ON_OWN_BUTTON, ON_SEPARATOR, ON_DISABLED_ROW, IN_BOTTOM_MARGIN, OUTSIDE, BOARD_EXPOSED };

class DismissTest : public MenuTest, public ::testing::WithParamInterface<Dismissal> {};

std::string dismissal_name(const ::testing::TestParamInfo<Dismissal>& info)
{
    const char* const names[] = {"OwnButton", "Separator", "DisabledRow", "BottomMargin", "Outside", "BoardExposed"};
    return names[info.param];
}

TEST_P(DismissTest, EndsTheMenuWithNothingChosen)
{
    start_game();
    ASSERT_TRUE(windows.complete);
    use_builtin_set(SET_HEAD);
    Score score{0, 200};
    BoardCells played = play_one(score);

    click_top_button(E2E_PICTURES);
    WindowGeometry menu = open_menu();
    ASSERT_NE(menu.id, None);
    switch (GetParam()) {
    case ON_OWN_BUTTON: driver.click(windows.buttons[E2E_PICTURES].id, 10, 7); break;
    case ON_SEPARATOR: driver.click(menu.id, 20, 3 + 14 * 3 + 6); break;
    case ON_DISABLED_ROW: driver.click(menu.id, 20, 3 + 14 * 4 + 7); break;
    case IN_BOTTOM_MARGIN: driver.click(menu.id, 20, 74); break;
    case OUTSIDE: driver.click(windows.main.id, 4, windows.main.height - 4); break;
    case BOARD_EXPOSED: {
        // Uncover a corner of the board, away from the menu and the pointer.
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        auto [x, y] = driver.to_root(windows.board.id, 0, windows.board.height - 64);
        Window cover = XCreateWindow(driver.display(), driver.root(), x, y, 64, 64, 0, CopyFromParent,
                                     InputOutput, CopyFromParent, CWOverrideRedirect, &attributes);
        XMapRaised(driver.display(), cover);
        XSync(driver.display(), False);
        XDestroyWindow(driver.display(), cover);
        break;
    }
    }
    settle();

    EXPECT_EQ(open_menu().id, None) << "menu still open";
    EXPECT_EQ(windows.board.width, 20 * 32) << "a picture set was loaded";
    BoardCells now = read_board();
    EXPECT_TRUE(same_cells(now, played)) << "a new game was dealt\n" << now.text();
    expect_status(score, "after dismissing the menu");
}

INSTANTIATE_TEST_SUITE_P(Ways, DismissTest,
                         ::testing::Values(ON_OWN_BUTTON, ON_SEPARATOR, ON_DISABLED_ROW, IN_BOTTOM_MARGIN, OUTSIDE,
                                           BOARD_EXPOSED),
                         dismissal_name);

TEST_F(MenuTest, QuitWhileAMenuIsOpenQuits)
{
    start_game();
    click_top_button(E2E_SIZE);
    ASSERT_NE(open_menu().id, None);
    driver.click(windows.buttons[E2E_QUIT].id, 10, 7);
    EXPECT_EQ(game.wait_exit(10s), 0);
    EXPECT_EQ(settings_text(), "# Clumpout\nWidth   20\nHeight  10\nPictures 1\n");
}

}  // namespace
