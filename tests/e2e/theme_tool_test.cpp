// theme_tool_test.cpp: clumpout-theme against the real game. A corpus of
// picture sets, good and broken, made from the shipped themes, is loaded by
// the game one by one and checked by the tool: the tool says ok exactly when
// the game keeps the set, with the game's messages byte for byte. The
// preview of every shipped and built-in set is compared with the game's
// board, cell by cell, at rest, highlighted and pushed. The tool's colour
// database is compared with the test server's.
#include "e2e/e2e_fixture.h"

#include "pictures/bmp_sheet.h"
#include "pictures/catalogue.h"
#include "pictures/picture_set.h"
#include "theme_tool/colour_names.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <png.h>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int status = -1;
    std::string out;
};

// "ok NAME: ..." or "FAILED NAME: ..." after the game's messages.
struct Verdict {
    bool ok = false;
    std::string messages;
};

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << "'" << from << "' not in the text";
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

// An XPM of one colour line per entry of `colours` (the text after the
// pixel character), drawn by `pixel` (the index of the colour at x, y).
std::string xpm(int width, int height, const std::vector<std::string>& colours,
                const std::function<int(int, int)>& pixel = [](int, int) { return 0; }, const std::string& extra = "")
{
    std::string text = "/* XPM */\nstatic char *t[] = {\n\"" + std::to_string(width) + " " + std::to_string(height) +
                       " " + std::to_string(colours.size()) + " 1" + extra + "\",\n";
    for (std::size_t i = 0; i < colours.size(); ++i)
        text += "\"" + std::string(1, char('a' + i)) + " " + colours[i] + "\",\n";
    for (int y = 0; y < height; ++y) {
        text += "\"";
        for (int x = 0; x < width; ++x) text += char('a' + pixel(x, y));
        text += "\",\n";
    }
    return text + "};\n";
}

int ring(int x, int y) { return (x - 14) * (x - 14) + (y - 14) * (y - 14) < 80 ? 1 : 0; }

void put_le(std::string& bytes, std::size_t offset, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i) bytes[offset + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

ToolRun run_tool(const std::vector<std::string>& args, const std::string& cwd, const std::string& output_dir)
{
    GameOptions options;
    options.program = E2E_THEME_TOOL;
    options.args = args;
    options.cwd = cwd;
    options.display = "";  // the tool must not need one
    GameProcess tool;
    ToolRun run;
    if (tool.start(options, output_dir) != 0) return run;
    run.status = tool.wait_exit(60s);
    run.out = tool.stdout_text();
    return run;
}

// The verdicts of a check, by set name, in order.
std::vector<std::pair<std::string, Verdict>> verdicts_of(const std::string& report)
{
    std::vector<std::pair<std::string, Verdict>> verdicts;
    std::istringstream in(report);
    std::string line;
    std::string messages;
    while (std::getline(in, line)) {
        if (line.starts_with("  note: ")) continue;
        const bool ok = line.starts_with("ok ");
        if (ok || line.starts_with("FAILED ")) {
            const std::size_t start = ok ? 3 : 7;
            verdicts.push_back({line.substr(start, line.find(": ", start) - start), Verdict{ok, messages}});
            messages.clear();
        } else {
            messages += line + "\n";
        }
    }
    return verdicts;
}

// A PNG written by the tool, as 0x00RRGGBB pixels; empty when unreadable.
Image read_png(const std::string& path)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&png, path.c_str()) == 0) return {};
    png.format = PNG_FORMAT_RGB;
    std::vector<png_byte> bytes(PNG_IMAGE_SIZE(png));
    if (png_image_finish_read(&png, nullptr, bytes.data(), 0, nullptr) == 0) return {};
    Image image;
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    for (std::size_t i = 0; i + 2 < bytes.size(); i += 3)
        image.pixels.push_back(static_cast<std::uint32_t>(bytes[i]) << 16 |
                               static_cast<std::uint32_t>(bytes[i + 1]) << 8 | bytes[i + 2]);
    return image;
}

class ThemeToolTest : public E2eTest {
protected:
    std::string data(const std::string& name) const { return data_path(name); }
    void write(const std::string& name, const std::string& bytes) const { write_file(data(name), bytes); }

    // Starts the game on Pictures number `pictures`, waits until it is up,
    // and quits it. Returns whether the set stayed chosen; `messages` gets
    // its standard error.
    bool game_keeps(int pictures, std::string& messages)
    {
        write_settings(15, 8, pictures);
        start_game();
        messages = game.stderr_text();
        EXPECT_EQ(quit_with_button3(windows.main.id), 0);
        driver.move_to_root(screen_width - 1, screen_height - 1);
        return settings_text().find("Pictures " + std::to_string(pictures) + "\n") != std::string::npos;
    }

    // Every set of the corpus, as (catalogue name, file); the files are in
    // the data directory.
    std::vector<std::pair<std::string, std::string>> make_corpus();
};

std::vector<std::pair<std::string, std::string>> ThemeToolTest::make_corpus()
{
    fs::copy(E2E_THEMES_DIR, E2E_DATA_DIR, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    const std::string dice = slurp(data("dice.dat"));
    const std::string gems = slurp(data("gems.dat"));
    std::vector<std::pair<std::string, std::string>> sets = {
        {"Gems", "gems.dat"},   {"Dice", "dice.dat"},   {"Mono", "mono.bmp"},
        {"Retro", "retro.bmp"}, {"Glass", "glass.bmp"},
        {"Missing", "missing.dat"}, {"MissingSheet", "missing.bmp"}, {"Folder", "dice"},
    };
    const auto dice_variant = [&](const std::string& name, const std::string& text) {
        write(name + ".dat", text);
        sets.push_back({name, name + ".dat"});
    };
    // A dice set whose "two" image is `image`.
    const auto dice_image = [&](const std::string& name, const std::string& image) {
        write("dice/" + name + ".xpm", image);
        dice_variant(name, replaced(dice, "dice/two.xpm", "dice/" + name + ".xpm"));
    };

    // Description files: every refusal of the parser and the image reader,
    // and what both tolerate.
    dice_variant("NegativeWidth", replaced(dice, "width 28", "width -28"));
    dice_variant("EndsEarly", dice.substr(0, dice.find("dice/four.xpm")));
    dice_variant("Widths", replaced(dice, "width 28", "widths 28"));
    dice_variant("BoxAlone", replaced(dice, "box yellow", "box"));
    dice_variant("DefaultInline", replaced(dice, "default\n", "default dice/one.xpm\n"));
    dice_variant("NoBackground", replaced(dice, "background\ndice/felt.xpm\n", ""));
    dice_variant("NoFrame", replaced(dice, "frame\ndice/tray.xpm\n", ""));
    dice_variant("MissingImage", replaced(dice, "dice/two.xpm", "dice/nothere.xpm"));
    dice_variant("FolderImage", replaced(dice, "dice/two.xpm", "dice"));
    dice_variant("NoSize", replaced(replaced(dice, "width 28\n", ""), "height 28\n", ""));
    dice_variant("ZeroWidth", replaced(dice, "width 28", "width 0"));
    dice_variant("WordWidth", replaced(dice, "width 28", "width wide"));
    dice_variant("BoxUnknown", replaced(dice, "box yellow", "box blurple"));
    dice_variant("BoxBlack", replaced(dice, "box yellow", "box black"));
    dice_variant("BoxHex", replaced(dice, "box yellow", "box #000001"));
    dice_variant("BoxRgb", replaced(dice, "box yellow", "box RGB:f/8/0"));
    dice_variant("Capitals", replaced(replaced(dice, "width 28", "WIDTH 28"), "default", "DeFault"));
    dice_variant("LongLine", replaced(dice, "default\n", "#" + std::string(300, '=') + "\nbogus\ndefault\n"));
    dice_variant("IdenticalTiles", replaced(dice, "dice/two.xpm", "dice/one.xpm"));
    dice_variant("Empty", "");
    dice_variant("PushedOnly", replaced(dice, "background", "pushed\ndice/one.xpm\ndice/two.xpm\ndice/three.xpm\n"
                                                            "dice/four.xpm\ndice/five.xpm\nbackground"));
    dice_variant("SelectedFour", replaced(dice, "background", "selected\ndice/one.xpm\ndice/two.xpm\ndice/three.xpm\n"
                                                              "dice/four.xpm\nbackground"));
    dice_variant("PushedMissing", replaced(dice, "background", "pushed\ndice/one.xpm\ndice/two.xpm\ndice/three.xpm\n"
                                                               "dice/four.xpm\ndice/none.xpm\nbackground"));
    sets.push_back({"GemsPushedOnly", "gems_pushed_only.dat"});
    write("gems_pushed_only.dat", replaced(gems, "selected", "#"));

    // XPM images, each standing in for the "two" of the dice.
    dice_image("NotXpm", "this is not an image\n");
    dice_image("TruncatedXpm", xpm(28, 28, {"c red"}).substr(0, 300));
    dice_image("UnknownColour", xpm(28, 28, {"c blurple"}));
    dice_image("SpacedColour", xpm(28, 28, {"c light blue", "c Dark Slate Gray"}, ring));
    dice_image("SpacesInColour", xpm(28, 28, {"c light   blue"}));
    dice_image("NoneColour", xpm(28, 28, {"c None", "c red"}, ring));
    dice_image("BadHex", xpm(28, 28, {"c #ggg"}));
    dice_image("ShortHex", xpm(28, 28, {"c #12345"}));
    dice_image("LongHex", xpm(28, 28, {"c #123456789ABC", "c #fff"}, ring));
    dice_image("RgbColour", xpm(28, 28, {"c rgb:f/8/0", "c rgb:1234/5/67"}, ring));
    dice_image("MonoOnly", xpm(28, 28, {"m black", "m white"}, ring));
    dice_image("GreyFirst", xpm(28, 28, {"g gray50 m white"}));
    dice_image("ColourUnknownMonoKnown", xpm(28, 28, {"c blurple m white"}));
    dice_image("DebianRed", xpm(28, 28, {"c DebianRed"}));
    dice_image("WrongSize", xpm(20, 24, {"c red"}));
    dice_image("ZeroSize", xpm(0, 0, {"c red"}));
    dice_image("ZeroWide", xpm(0, 28, {"c red"}));
    std::string two_chars = "/* XPM */\nstatic char *t[] = {\n\"28 28 2 2\",\n\"aa c red\",\n\"bb c blue\",\n";
    for (int y = 0; y < 28; ++y) two_chars += "\"" + std::string(28, 'a') + std::string(28, 'b') + "\",\n";
    dice_image("TwoChars", two_chars + "};\n");
    dice_image("Hotspot", xpm(28, 28, {"c red"}, [](int, int) { return 0; }, " 3 4"));
    dice_image("Extension", replaced(xpm(28, 28, {"c red"}, [](int, int) { return 0; }, " XPMEXT"), "};\n",
                                     "\"XPMEXT note hello\",\n\"XPMENDEXT\"\n};\n"));
    dice_image("Comments", replaced(xpm(28, 28, {"c red"}), "\"a c red\",\n", "/* the colours */\n\"a c red\",\n"));
    dice_image("TooFewColours", replaced(xpm(28, 28, {"c red", "c blue"}, ring), "\"b c blue\",\n", ""));
    write("dice/gradient.xpm", xpm(28, 28, {"c #000000", "c #202020", "c #404040", "c #606060", "c #808080",
                                            "c #a0a0a0", "c #c0c0c0", "c #e0e0e0"},
                                   [](int x, int) { return x * 8 / 28; }));
    dice_variant("SeamedBackground", replaced(dice, "dice/felt.xpm", "dice/gradient.xpm"));

    // BMP sheets: every refusal of the decoder, both suffixes, and the
    // templates the tool makes.
    const std::string retro = slurp(data("retro.bmp"));
    const auto sheet = [&](const std::string& name, const std::function<void(std::string&)>& change) {
        std::string bytes = retro;
        change(bytes);
        write(name, bytes);
        sets.push_back({name.substr(0, name.find('.')), name});
    };
    sheet("upper.BMP", [](std::string&) {});
    sheet("signature.bmp", [](std::string& b) { b[1] = 'X'; });
    sheet("narrow.bmp", [](std::string& b) { put_le(b, 18, 191, 4); });
    sheet("tall.bmp", [](std::string& b) { put_le(b, 22, 65, 4); });
    sheet("topdown.bmp", [](std::string& b) { put_le(b, 22, static_cast<std::uint32_t>(-64), 4); });
    sheet("planes.bmp", [](std::string& b) { put_le(b, 26, 2, 2); });
    sheet("deep.bmp", [](std::string& b) { put_le(b, 28, 24, 2); });
    sheet("compressed.bmp", [](std::string& b) { put_le(b, 30, 1, 4); });
    sheet("truncated.bmp", [](std::string& b) { b.resize(b.size() / 2); });
    sheet("shortpalette.bmp", [](std::string& b) { put_le(b, 46, 2, 4); });
    sheet("toomanycolours.bmp", [](std::string& b) { put_le(b, 46, 4096, 4); });
    sheet("longheader.bmp", [](std::string& b) {
        put_le(b, 14, 56, 4);
        b.insert(54, std::string(16, '\0'));
    });
    // Names that only look like sheets are description files.
    write(".bmp", retro);
    sets.push_back({"DotBmp", ".bmp"});
    write("retro.Bmp", retro);
    sets.push_back({"MixedCase", "retro.Bmp"});
    for (const char* bits : {"1", "4", "8"}) {
        const std::string name = std::string("template") + bits + ".bmp";
        const ToolRun made = run_tool({"template", "--bits", bits, "-o", data(name)}, cwd, temp_dir);
        EXPECT_EQ(made.status, 0) << name;
        sets.push_back({std::string("Template") + bits, name});
    }

    std::string catalogue;
    for (const auto& [name, file] : sets) catalogue += name + " " + file + "\n";
    write(CATALOGUE_NAME, catalogue);
    return sets;
}

TEST_F(ThemeToolTest, CheckSaysOkExactlyWhenTheGameKeepsTheSetWithTheGamesMessages)
{
    const auto sets = make_corpus();
    ASSERT_GE(sets.size(), 50u);
    const ToolRun check = run_tool({"check", "--data-dir", E2E_DATA_DIR, data(CATALOGUE_NAME)}, cwd, temp_dir);
    const auto verdicts = verdicts_of(check.out);
    ASSERT_EQ(verdicts.size(), sets.size()) << check.out;

    int refused = 0;
    for (std::size_t k = 0; k < sets.size(); ++k) {
        SCOPED_TRACE(sets[k].first + " " + sets[k].second);
        std::string messages;
        const bool kept = game_keeps(static_cast<int>(k) + 3, messages);
        ASSERT_EQ(verdicts[k].first, sets[k].first);
        EXPECT_EQ(verdicts[k].second.ok, kept);
        EXPECT_EQ(verdicts[k].second.messages, messages);
        refused += kept ? 0 : 1;
    }
    EXPECT_EQ(check.status, refused > 0 ? 1 : 0);
    EXPECT_GE(refused, 20) << "the corpus should hold many broken sets";
    EXPECT_GE(static_cast<int>(sets.size()) - refused, 20) << "and many good ones";
}

// The picture sets of the fuzz corpus, hostile ones among them, loaded by
// the game and checked by the tool in a small address space: each is
// refused or loads, and neither program ever ends by a crash. (A set is
// "S" and a sheet, or a description file, 0x01 and the XPM file that its
// every image name "a.xpm" reads.)
TEST_F(ThemeToolTest, CorpusSetsAreRefusedOrLoadedInASmallAddressSpace)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit";
#endif
    std::vector<fs::path> inputs;
    for (const auto& entry : fs::directory_iterator(E2E_FUZZ_CORPUS_DIR "/theme_check")) inputs.push_back(entry.path());
    std::sort(inputs.begin(), inputs.end());
    std::vector<std::string> files;
    std::string catalogue;
    for (std::size_t k = 0; k < inputs.size(); ++k) {
        const std::string bytes = slurp(inputs[k]), name = "hostile" + std::to_string(k);
        const std::size_t split = bytes.find('\x01');
        if (bytes.starts_with("S")) {
            files.push_back(name + ".bmp");
            write(files.back(), bytes.substr(1));
        } else {
            files.push_back(name + ".dat");
            std::string description = bytes.substr(0, split);
            for (std::size_t at; (at = description.find("a.xpm")) != std::string::npos;)
                description.replace(at, 5, name + ".xpm");
            write(files.back(), description);
            write(name + ".xpm", split == std::string::npos ? "" : bytes.substr(split + 1));
        }
        catalogue += name + " " + files.back() + "\n";
    }
    write(CATALOGUE_NAME, catalogue);
    const std::string limit = "--as=" + std::to_string(256 << 20);
    for (std::size_t k = 0; k < files.size(); ++k) {
        SCOPED_TRACE(inputs[k].filename().string());
        GameOptions tool;
        tool.program = "/usr/bin/prlimit";
        tool.args = {limit, E2E_THEME_TOOL, "check", "--data-dir", E2E_DATA_DIR, data(files[k])};
        tool.cwd = cwd;
        tool.display = "";
        GameProcess checked;
        ASSERT_EQ(checked.start(tool, temp_dir), 0);
        const int status = checked.wait_exit(60s);
        EXPECT_TRUE(status == 0 || status == 1) << "clumpout-theme ended with " << status;

        write_settings(15, 8, static_cast<int>(k) + 3);
        GameOptions options = game_options();
        options.program = "/usr/bin/prlimit";
        options.args = {limit, E2E_GAME_BINARY};
        start_game(options);
        EXPECT_TRUE(windows.complete) << game.stderr_text();
        EXPECT_EQ(quit_with_button3(windows.main.id), 0);
    }
}

// The preview's cells against the game's board. The board is read back at
// rest, with a cluster of each colour under the pointer, and, for sets with
// pushed images, with the button held on it.
TEST_F(ThemeToolTest, PreviewCellsAreTheGamesCellsForEveryShippedAndBuiltInSet)
{
    fs::copy(E2E_THEMES_DIR, E2E_DATA_DIR, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    const std::vector<std::pair<std::string, int>> sets = {
        {"builtin:Marble", 0}, {"builtin:Head", 1}, {"builtin:Face", 2}, {"gems.dat", 3},
        {"dice.dat", 4},       {"mono.bmp", 5},     {"retro.bmp", 6},    {"glass.bmp", 7}};
    for (const auto& [file, pictures] : sets) {
        SCOPED_TRACE(file);
        const std::string png = temp_dir + "/preview.png";
        const ToolRun preview = run_tool({"preview", "--data-dir", E2E_DATA_DIR, file, "-o", png}, cwd, temp_dir);
        ASSERT_EQ(preview.status, 0) << preview.out;
        const ToolRun check = run_tool({"check", "--data-dir", E2E_DATA_DIR, file}, cwd, temp_dir);
        const bool pushed = check.out.find("pushed yes") != std::string::npos;
        const Image picture = read_png(png);
        ASSERT_FALSE(picture.empty());
        const int width = (picture.width - 32) / 5;
        const int height = (picture.height - 32) / 3;
        // expected[state][colour - 1]
        std::array<std::array<Image, 5>, 3> expected;
        for (int state = 0; state < 3; ++state)
            for (int c = 0; c < 5; ++c)
                expected[state][c] = picture.crop(16 + c * width, 16 + state * height, width, height);
        if (!pushed) {
            EXPECT_EQ(expected[2], expected[0]) << "a set without pushed images shows its default ones";
        }

        write_settings(15, 8, pictures);
        GameOptions options = game_options();
        options.environment = {"CLUMPOUT_DEAL=7"};  // a deal with a cluster of every colour
        start_game(options);
        ASSERT_EQ(windows.board.width, 15 * width);
        ASSERT_EQ(windows.board.height, 8 * height);
        const auto cell = [&](const Image& board, int column, int row) {
            return board.crop(column * width, row * height, width, height);
        };
        // Every cell at rest is one of the five previewed tiles.
        BoardCells cells;
        cells.columns = 15;
        cells.rows = 8;
        const Image dealt = driver.read(windows.board.id);
        for (int column = 0; column < 15; ++column)
            for (int row = 0; row < 8; ++row) {
                cells.colour[column][row] = 0;
                for (int c = 0; c < 5; ++c)
                    if (cell(dealt, column, row) == expected[0][c]) cells.colour[column][row] = c + 1;
                ASSERT_NE(cells.colour[column][row], 0) << "cell " << column << "," << row << " is no previewed tile";
            }
        for (int c = 1; c <= 5; ++c) {
            // The first cluster of colour c with two tiles or more.
            std::set<Cell> cluster;
            Cell pointed{-1, -1};
            for (int column = 0; column < 15 && cluster.size() < 2; ++column)
                for (int row = 0; row < 8 && cluster.size() < 2; ++row)
                    if (cells.colour[column][row] == c) {
                        pointed = {column, row};
                        cluster = cluster_of(cells, pointed);
                    }
            ASSERT_GE(cluster.size(), 2u) << "the deal has no cluster of colour " << c;
            driver.move_to(windows.board.id, pointed.first * width + width / 2, pointed.second * height + height / 2);
            settle();
            const Image lit = driver.read(windows.board.id);
            for (const Cell& at : cluster)
                EXPECT_EQ(cell(lit, at.first, at.second), expected[1][c - 1]) << "colour " << c << " highlighted";
            if (pushed) {
                press_board();
                const Image held = driver.read(windows.board.id);
                for (const Cell& at : cluster)
                    EXPECT_EQ(cell(held, at.first, at.second), expected[2][c - 1]) << "colour " << c << " pushed";
                point_outside_board();  // leaving the board drops the press
                release_board();
            }
            point_outside_board();
            EXPECT_EQ(driver.read(windows.board.id), dealt) << "the board is back at rest";
        }
        EXPECT_EQ(quit_with_button3(windows.main.id), 0);
        driver.move_to_root(screen_width - 1, screen_height - 1);
    }
}

// Every name of the colour database file, in its own spelling, lower case
// and capitals, and the numeric colour forms, as the test server parses them.
TEST_F(ThemeToolTest, ColourNamesAndNumericFormsMeanWhatTheServerSays)
{
    const ColourDatabase database = ColourDatabase::load_system();
    ASSERT_GT(database.size(), 700u);
    std::vector<std::string> specs = {"#f00", "#F0a", "#ff8000", "#fff000000", "#123456789abc", "#12345", "#", "#ggg",
                                      " red", "red ", "light  blue", "rgb:f/8/0", "RGB:F/8/0", "rgb:1234/5/67",
                                      "rgb:f/0/0/", "rgb:/0/0", "rgb:fffff/0/0", "rgb:f/0/0 ", "none", ""};
    std::istringstream file(slurp(COLOUR_DATABASE_PATHS[0]).empty() ? slurp(COLOUR_DATABASE_PATHS[1])
                                                                    : slurp(COLOUR_DATABASE_PATHS[0]));
    std::string line;
    while (std::getline(file, line)) {
        int red, green, blue, used = 0;
        if (line.starts_with("!") || std::sscanf(line.c_str(), "%d %d %d %n", &red, &green, &blue, &used) != 3)
            continue;
        std::string name = line.substr(static_cast<std::size_t>(used));
        std::string upper = name;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        specs.insert(specs.end(), {name, upper});
    }
    Display* display = driver.display();
    int differing = 0;
    for (const std::string& spec : specs) {
        XColor server{};
        const bool known = XParseColor(display, DefaultColormap(display, 0), spec.c_str(), &server) != 0;
        const std::optional<Rgb16> ours = parse_colour(spec, database);
        const bool same = known == ours.has_value() &&
                          (!known || *ours == Rgb16{server.red, server.green, server.blue});
        if (!same && ++differing <= 10)
            ADD_FAILURE() << "'" << spec << "': the server " << (known ? "knows" : "does not know") << " it";
    }
    EXPECT_EQ(differing, 0);
}

// The usual conventions, and the catalogue named as the game names it and
// found where the game finds it: not here, so in the data directory.
TEST_F(ThemeToolTest, AnswersHelpAndVersionAndFindsTheCatalogueInTheDataDirectory)
{
    const ToolRun help = run_tool({"--help"}, cwd, temp_dir);
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: clumpout-theme check ")) << help.out;
    const ToolRun version = run_tool({"--version"}, cwd, temp_dir);
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.starts_with("clumpout-theme (Clumpout) version ")) << version.out;

    fs::copy_file(std::string(E2E_THEMES_DIR) + "/mono.bmp", data("mono.bmp"), fs::copy_options::overwrite_existing);
    write(CATALOGUE_NAME, "Mono mono.bmp\n");
    ASSERT_FALSE(fs::exists(cwd + "/" + CATALOGUE_NAME));
    const ToolRun check = run_tool({"check", "--data-dir", E2E_DATA_DIR, CATALOGUE_NAME}, cwd, temp_dir);
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.out, "ok Mono: 32x32 tiles, selected yes, pushed no, box none\n");
}

}  // namespace
