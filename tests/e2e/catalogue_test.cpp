// catalogue_test.cpp: picture sets from the catalogue: the chooser window,
// loading a chosen set (a theme made by the test itself), refusing a set
// that failed, closing the chooser without a choice, and the Pictures number
// saved for each outcome. Also the sets and catalogues no player's files may
// break the game with: sets the server refuses, tiles too large for a board,
// and catalogues far longer than the screen.
#include "e2e/e2e_fixture.h"

#include <X11/keysym.h>
#include <cstdio>
#include <fstream>
#include <sys/resource.h>

#include "stress/server_resources.h"
#include "ui/chooser_layout.h"

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

    // Opens the menu of top button `button` and presses row `row` of it.
    WindowGeometry press_menu_row(int button, int row)
    {
        click_top_button(button);
        find_windows();
        WindowGeometry menu;
        for (const WindowGeometry& g : windows.extra)
            if (g.mapped && g.x == BUTTON_X[button] && g.y == 20) menu = g;
        EXPECT_NE(menu.id, None) << "no menu under " << BUTTON_TEXT[button];
        if (menu.id == None) return {};
        driver.click(menu.id, 20, 3 + 14 * row + 7);
        settle();
        return menu;
    }

    // Opens Pictures, then "(other)"; returns the chooser window. Its corner
    // is then at (226, 87) in the main window.
    WindowGeometry open_chooser()
    {
        WindowGeometry menu = press_menu_row(E2E_PICTURES, 4);
        if (menu.id == None) return {};
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

    // `count` entries named e0000, e0001, ... whose files do not exist,
    // and last the test's own set.
    void write_long_catalogue(int count)
    {
        std::string text;
        char line[32];
        for (int i = 0; i + 1 < count; ++i) {
            std::snprintf(line, sizeof line, "e%04d missing.dat\n", i);
            text += line;
        }
        write_file(cwd + "/clumpout.dat", text + "Tiles6 tiles6.dat\n");
    }

    // Pixmaps the game holds, as the server's resource extension counts them.
    long game_pixmaps()
    {
        settle();
        const auto client = sample_client(xvfb.display_name(), windows.main.id);
        EXPECT_TRUE(client.has_value()) << "xrestop cannot read the server";
        return client ? client->pixmaps : -1;
    }

    PictureSet theme;
};

// Kilobytes of data memory a process uses.
long data_kib(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmData:", 0) == 0) return std::atol(line.c_str() + 7);
    return -1;
}

// CPU time a process has used, in nanoseconds.
long long cpu_nanoseconds(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/schedstat");
    long long ns = -1;
    in >> ns;
    return ns;
}

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

TEST_F(CatalogueTest, ASetTheServerRefusesFallsBackToHeadAndLeavesNoPixmap)
{
    // A background of 2000 x 2000 pixels, 16 MB on the server, which may
    // take only 12 MB more than it holds: the server refuses the pixmap.
    write_file(cwd + "/big.xpm", square_xpm(2000, "#405060", "#405060"));
    std::string dat = read_file(cwd + "/tiles6.dat");
    dat.replace(dat.find("bg.xpm"), 6, "big.xpm");
    write_file(cwd + "/big.dat", dat);
    write_file(cwd + "/clumpout.dat", "Big big.dat\n");
    start_game();
    ASSERT_TRUE(windows.complete);
    const long held = game_pixmaps();
    const long server_kib = data_kib(xvfb.pid());
    ASSERT_GT(server_kib, 0);
    const rlimit limit{static_cast<rlim_t>(server_kib + 12 * 1024) * 1024, RLIM_INFINITY};
    ASSERT_EQ(prlimit(xvfb.pid(), RLIMIT_DATA, &limit, nullptr), 0);

    WindowGeometry chooser = open_chooser();
    ASSERT_NE(chooser.id, None);
    choose_row(chooser, 0);
    ASSERT_TRUE(game.running()) << game.stderr_text();
    EXPECT_EQ(game.stderr_text(), "Error: can't create pixmap from 'big.xpm'.\n");
    ASSERT_EQ(windows.board.width, 20 * 32);
    EXPECT_EQ(game_pixmaps(), held);

    // The game plays on with "Head".
    use_builtin_set(SET_HEAD);
    point_outside_board();
    BoardCells dealt = read_board();
    ASSERT_TRUE(dealt.all_known()) << dealt.text();
    Score score{0, 200};
    play_cluster(dealt, biggest_cluster(dealt), score);
    EXPECT_EQ(quit_and_read_pictures(), 1);
}

TEST_F(CatalogueTest, ABoardSizeTheTilesDoNotFitFallsBackToHead)
{
    // Twenty tiles of 1100 pixels make a window X can carry; thirty do not.
    std::string dat = read_file(cwd + "/tiles6.dat");
    dat.replace(dat.find("width 24"), 8, "width 1100");
    write_file(cwd + "/wide.dat", dat);
    write_file(cwd + "/clumpout.dat", "Wide wide.dat\n");
    write_settings(20, 10, 3);
    start_game();
    ASSERT_TRUE(windows.complete);
    EXPECT_EQ(windows.board.width, 20 * 1100);
    EXPECT_EQ(game.stderr_text(), "");

    press_menu_row(E2E_SIZE, 3);  // "Huge"
    find_windows();
    ASSERT_TRUE(game.running()) << game.stderr_text();
    EXPECT_EQ(game.stderr_text(), "Error: 'wide.dat': tiles of 1100x24 are too large for a 30x20 board.\n");
    ASSERT_EQ(windows.board.width, 30 * 32);
    ASSERT_EQ(windows.board.height, 20 * 32);
    use_builtin_set(SET_HEAD);
    point_outside_board();
    BoardCells dealt = read_board();
    ASSERT_TRUE(dealt.all_known()) << dealt.text();
    Score score{0, 600};
    play_cluster(dealt, biggest_cluster(dealt), score);
    EXPECT_EQ(quit_and_read_pictures(), 1);
}

// 15 entries fit below the pointer, 60 need columns, and 5,000 in one column
// would be 70,006 pixels high: pages. Each time the chooser stays inside the
// main window (itself inside the screen), is laid out as chooser_layout
// says, and its last entry can be reached with the pointer and loads.
TEST_F(CatalogueTest, LongCataloguesStayInsideAndTheirLastEntryLoads)
{
    for (int count : {15, 60, 5000}) {
        SCOPED_TRACE(count);
        write_settings(20, 10, SET_HEAD);  // the previous round saved its entry
        write_long_catalogue(count);
        start_game();
        ASSERT_TRUE(windows.complete);
        WindowGeometry chooser = open_chooser();
        ASSERT_NE(chooser.id, None);
        EXPECT_GE(chooser.x, 0);
        EXPECT_GE(chooser.y, 0);
        EXPECT_LE(chooser.x + chooser.width + 2, windows.main.width);
        EXPECT_LE(chooser.y + chooser.height + 2, windows.main.height);

        std::vector<int> lengths(static_cast<size_t>(count), 5);
        lengths.back() = 6;
        const ChooserLayout layout =
            layout_chooser(lengths, 7, {0, 0, windows.main.width, windows.main.height}, 226, 87);
        EXPECT_EQ((std::vector{chooser.x, chooser.y, chooser.width, chooser.height}),
                  (std::vector{layout.x, layout.y, layout.width, layout.height}));
        if (count == 15) {
            EXPECT_EQ((std::vector{chooser.x, chooser.y}), (std::vector{226, 87}));
        }

        // The page arrow "next" until the last page, then the last entry.
        const ChooserColumn& column = layout.column_of(count - 1);
        for (int page = 0; page < column.page; ++page) {
            driver.move_to(chooser.id, chooser.width - 4, 3 + 14 * layout.rows_per_column + 7);
            driver.press();
            driver.release();
            settle();
        }
        const int row = count - 1 - column.first;
        driver.move_to(chooser.id, column.x + 3, 3 + 14 * row + 7);
        settle();
        const int width = 7 * column.chars;
        std::string shown_text = " Tiles6";
        shown_text.resize(static_cast<size_t>(column.chars), ' ');
        Image shown = driver.read(chooser.id, column.x, 14 * row + 4, width, 14);
        Image expected = text.render(width, 14, {text.inverted_text(0, 11, shown_text)});
        EXPECT_EQ(count_differences(shown, expected), 0) << "the last entry is not drawn under the pointer";
        if (shown != expected) dump(driver.read(chooser.id), "long-chooser");

        driver.press();
        driver.release();
        settle();
        find_windows();
        expect_theme_board();
        EXPECT_EQ(game.stderr_text(), "");
        EXPECT_EQ(quit_and_read_pictures(), count - 1 + 3);
    }
}

// By keys alone: p, Down to "(other)", Return; Page Down to the last page,
// Up to its last entry, Return.
TEST_F(CatalogueTest, ChooserByKeys)
{
    write_long_catalogue(60);
    driver.set_resources("clumpout.keyboard: on\n");
    start_game();
    ASSERT_TRUE(windows.complete);
    XSetInputFocus(driver.display(), windows.main.id, RevertToPointerRoot, CurrentTime);
    const auto key = [this](unsigned long sym) {
        driver.type_key(sym);
        settle();
    };
    key(XK_p);
    for (int i = 0; i < 4; ++i) key(XK_Down);
    key(XK_Return);
    for (int i = 0; i < 10; ++i) key(XK_Next);
    key(XK_Up);
    key(XK_Return);
    find_windows();
    expect_theme_board();
    EXPECT_EQ(quit_and_read_pictures(), 59 + 3);
}

// Pointer motion over the chooser costs the same with 5 entries as with
// 5,000: only the two rows whose highlight changes are drawn.
TEST_F(CatalogueTest, MotionCostsTheSameWhateverTheCatalogueLength)
{
    struct Cost {
        double bytes;
        double microseconds;
    };
    const auto measure = [this](int count) -> Cost {
        write_long_catalogue(count);
        start_game();
        WindowGeometry chooser = open_chooser();
        if (chooser.id == None) return {0, 0};
        driver.move_to(chooser.id, 10, 3 + 7);
        settle();
        constexpr int MOVES = 200;
        const long bytes = bytes_written(game.pid());
        const long long cpu = cpu_nanoseconds(game.pid());
        for (int i = 0; i < MOVES; ++i) {
            driver.move_to(chooser.id, 10, 3 + 14 * ((i + 1) % 2) + 7);
            settle();
        }
        const Cost cost{static_cast<double>(bytes_written(game.pid()) - bytes) / MOVES,
                        static_cast<double>(cpu_nanoseconds(game.pid()) - cpu) / MOVES / 1000};
        std::printf("chooser of %d entries: %.1f bytes and %.1f us of CPU per motion\n", count, cost.bytes,
                    cost.microseconds);
        driver.click(windows.main.id, 4, windows.main.height - 4);  // closes the chooser, choosing nothing
        settle();
        EXPECT_EQ(game.stderr_text(), "");
        EXPECT_EQ(quit_with_button3(windows.board.id), 0);
        return cost;
    };
    const Cost few = measure(5);
    const Cost many = measure(5000);
    EXPECT_GT(few.bytes, 0);
    // The rows of both have the same width, so the same requests.
    EXPECT_LE(many.bytes, few.bytes + 1) << "motion over 5,000 entries redraws more than two rows";
}

}  // namespace
