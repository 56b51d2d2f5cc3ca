// catalogue_test.cpp: picture sets from the catalogue: the chooser window,
// loading a chosen set (a theme made by the test itself), refusing a set
// that failed, closing the chooser without a choice, and the Pictures number
// saved for each outcome.
#include "e2e/e2e_fixture.h"

#include <cstdio>

namespace {

constexpr int THEME_TILE = 24;
const std::array<const char*, 5> THEME_COLOURS = {"#E01010", "#1010E0", "#10C010", "#E0E010", "#C010C0"};

// A square XPM: a two-pixel rim of `rim`, the inside `fill`.
std::string square_xpm(int size, const char* fill, const char* rim)
{
    std::string s = "/* XPM */\nstatic char *img[] = {\n";
    s += "\"" + std::to_string(size) + " " + std::to_string(size) + " 2 1\",\n";
    s += "\"  c " + std::string(rim) + "\",\n\". c " + std::string(fill) + "\",\n";
    for (int y = 0; y < size; ++y) {
        std::string row;
        for (int x = 0; x < size; ++x) row += (x < 2 || y < 2 || x >= size - 2 || y >= size - 2) ? ' ' : '.';
        s += "\"" + row + "\"" + (y + 1 < size ? ",\n" : "\n");
    }
    return s + "};\n";
}

class CatalogueTest : public E2eTest {
protected:
    void SetUp() override
    {
        E2eTest::SetUp();
        std::string dat = "# made by the e2e test\nwidth 24\nheight 24\nbox white\ndefault\n";
        for (int c = 0; c < 5; ++c) {
            std::string name = "c" + std::to_string(c + 1) + ".xpm";
            write_file(cwd + "/" + name, square_xpm(THEME_TILE, THEME_COLOURS[c], "#202020"));
            dat += name + "\n";
            theme.default_images[c].file = cwd + "/" + name;
        }
        write_file(cwd + "/bg.xpm", square_xpm(8, "#304050", "#304050"));
        write_file(cwd + "/frame.xpm", square_xpm(8, "#806040", "#403020"));
        dat += "background\nbg.xpm\nframe\nframe.xpm\n";
        write_file(cwd + "/tiles6.dat", dat);
        write_file(cwd + "/clumpout.dat", "# extra themes\nTiles6 tiles6.dat\n\nBad missing.dat\n");
        theme.box = 1;
        theme.box_color = "white";
        theme.tile_width = theme.tile_height = THEME_TILE;
        theme.background_image.file = cwd + "/bg.xpm";
        theme.frame_image.file = cwd + "/frame.xpm";
    }

    // Opens Pictures, then "(other)"; returns the chooser window.
    WindowGeometry open_chooser()
    {
        click_top_button(E2E_PICTURES);
        find_windows();
        WindowGeometry menu;
        for (const WindowGeometry& g : windows.extra)
            if (g.mapped && g.x == 205 && g.y == 20) menu = g;
        EXPECT_NE(menu.id, None) << "no Pictures menu";
        if (menu.id == None) return {};
        driver.click(menu.id, 20, 3 + 14 * 4 + 7);
        settle();
        find_windows();
        for (const WindowGeometry& g : windows.extra)
            if (g.mapped && g.id != menu.id) return g;
        ADD_FAILURE() << "no chooser window";
        return {};
    }

    Image expected_chooser(int highlighted, int gray_row) const
    {
        const char* rows[2] = {" Tiles6 ", " Bad    "};
        std::vector<DrawOp> ops;
        for (int i = 0; i < 2; ++i) {
            if (i == gray_row)
                ops.push_back(text.gray_text(2, 14 * i + 15, rows[i]));
            else if (i == highlighted)
                ops.push_back(text.inverted_text(2, 14 * i + 15, rows[i]));
            else
                ops.push_back(text.image_text(2, 14 * i + 15, rows[i]));
        }
        return text.render(60, 34, ops);
    }

    void choose_row(const WindowGeometry& chooser, int row)
    {
        driver.move_to(chooser.id, 20, 3 + 14 * row + 7);
        settle();
        driver.press();
        driver.release();
        settle();
        find_windows();
    }

    void expect_chooser(const WindowGeometry& chooser, int highlighted, int gray_row)
    {
        Image shown = driver.read(chooser.id);
        Image expected = expected_chooser(highlighted, gray_row);
        EXPECT_EQ(count_differences(shown, expected), 0) << "chooser rows, highlighted " << highlighted;
        if (shown != expected) {
            dump(shown, "chooser-shown");
            dump(expected, "chooser-expected");
        }
    }

    void expect_theme_board()
    {
        EXPECT_EQ(windows.board.width, 20 * THEME_TILE);
        EXPECT_EQ(windows.board.height, 10 * THEME_TILE);
        EXPECT_EQ(windows.main.width, 20 * THEME_TILE + 32);
        ASSERT_EQ(oracle.build(driver.display(), theme), 0);
        point_outside_board();  // the chooser closed over the board: drop that highlight
        BoardCells cells = read_board();
        ASSERT_TRUE(cells.all_known()) << cells.text();
        for (int c = 0; c < 20; ++c)
            for (int r = 0; r < 10; ++r)
                EXPECT_TRUE(cells.colour[c][r] >= 1 && cells.look[c][r].plain) << c << "," << r;
    }

    int quit_and_read_pictures()
    {
        EXPECT_EQ(quit_with_button3(windows.board.id), 0);
        int n = -1;
        std::string s = settings_text();
        size_t at = s.find("Pictures ");
        if (at != std::string::npos) n = std::atoi(s.c_str() + at + 9);
        return n;
    }

    PictureSet theme;
};

TEST_F(CatalogueTest, ChooserListsEntriesAtThePointer)
{
    start_game();
    ASSERT_TRUE(windows.complete);
    WindowGeometry chooser = open_chooser();
    ASSERT_NE(chooser.id, None);
    EXPECT_EQ(chooser.width, 60);
    EXPECT_EQ(chooser.height, 34);
    EXPECT_EQ(chooser.border, 1);
    // Its corner is where the pointer was when "(other)" was pressed.
    EXPECT_EQ(chooser.x, 205 + 1 + 20);
    EXPECT_EQ(chooser.y, 20 + 1 + 3 + 14 * 4 + 7);
    expect_chooser(chooser, -1, -1);

    driver.move_to(chooser.id, 20, 3 + 14 + 7);
    settle();
    expect_chooser(chooser, 1, -1);
}

TEST_F(CatalogueTest, ChosenEntryIsLoadedAndSaved)
{
    start_game();
    ASSERT_TRUE(windows.complete);
    WindowGeometry chooser = open_chooser();
    ASSERT_NE(chooser.id, None);
    choose_row(chooser, 0);
    for (const WindowGeometry& g : windows.extra) EXPECT_FALSE(g.mapped) << "menu or chooser left open";
    expect_theme_board();
    EXPECT_EQ(game.stderr_text(), "");
    EXPECT_EQ(quit_and_read_pictures(), 3);
}

TEST_F(CatalogueTest, SettingsNumberLoadsEntryAtStart)
{
    write_settings(20, 10, 3);
    start_game();
    ASSERT_TRUE(windows.complete);
    expect_theme_board();
    EXPECT_EQ(quit_and_read_pictures(), 3);
}

TEST_F(CatalogueTest, UnknownEntryNumberWarnsAndUsesHead)
{
    write_settings(20, 10, 5);
    start_game();
    ASSERT_TRUE(windows.complete);
    EXPECT_EQ(windows.board.width, 20 * 32);
    EXPECT_EQ(game.stderr_text(), "Warning: unknown data file.\n");
    EXPECT_EQ(quit_and_read_pictures(), 1);
}

TEST_F(CatalogueTest, BrokenEntryFallsBackToHeadAndTurnsGray)
{
    start_game();
    ASSERT_TRUE(windows.complete);
    WindowGeometry chooser = open_chooser();
    ASSERT_NE(chooser.id, None);
    choose_row(chooser, 1);
    EXPECT_EQ(game.stderr_text(), "Error: can't open file 'missing.dat'.\n");
    EXPECT_EQ(windows.board.width, 20 * 32);
    use_builtin_set(SET_HEAD);
    point_outside_board();
    BoardCells dealt = read_board();
    ASSERT_TRUE(dealt.all_known()) << dealt.text();
    // A removal first, so that a new deal would show.
    Score score{0, 200};
    BoardCells played = play_cluster(dealt, biggest_cluster(dealt), score);

    // The entry is now gray and refuses.
    chooser = open_chooser();
    ASSERT_NE(chooser.id, None);
    driver.move_to(chooser.id, 20, 3 + 14 + 7);
    settle();
    expect_chooser(chooser, -1, 1);
    driver.press();
    driver.release();
    settle();
    find_windows();
    for (const WindowGeometry& g : windows.extra) EXPECT_FALSE(g.mapped) << "menu or chooser left open";
    EXPECT_TRUE(same_cells(read_board(), played)) << "a gray entry dealt a new game";
    expect_status(score, "after a press on the gray entry");
    EXPECT_EQ(game.stderr_text(), "Error: can't open file 'missing.dat'.\n") << "the gray entry was tried again";
    EXPECT_EQ(quit_and_read_pictures(), 1);
}

TEST_F(CatalogueTest, PressElsewhereClosesChooserAndMenu)
{
    write_settings(20, 10, SET_MARBLE);
    start_game();
    ASSERT_TRUE(windows.complete);
    use_builtin_set(SET_MARBLE);
    BoardCells dealt = read_board();
    Score score{0, 200};
    BoardCells played = play_cluster(dealt, biggest_cluster(dealt), score);

    WindowGeometry chooser = open_chooser();
    ASSERT_NE(chooser.id, None);
    driver.click(windows.main.id, 4, windows.main.height - 4);
    settle();
    find_windows();
    for (const WindowGeometry& g : windows.extra) EXPECT_FALSE(g.mapped) << "menu or chooser left open";
    EXPECT_EQ(windows.board.width, 20 * 20);
    EXPECT_TRUE(same_cells(read_board(), played));
    expect_status(score, "after closing the chooser");
    EXPECT_EQ(quit_and_read_pictures(), 0);
}

}  // namespace
