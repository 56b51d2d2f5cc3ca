// themes_test.cpp: every picture set shipped in themes/ loads from the data
// directory without a message, is remembered by its Pictures number, and
// (for sets of XPM files) draws every tile with the images its description
// file names, in play as well as at rest.
#include "e2e/e2e_fixture.h"

#include "pictures/description_file.h"

#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct ShippedEntry {
    std::string name;
    std::string file;
};

std::vector<ShippedEntry> shipped_catalogue(const std::string& text)
{
    std::vector<ShippedEntry> entries;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        ShippedEntry e;
        if (words >> e.name >> e.file) entries.push_back(e);
    }
    return entries;
}

class ShippedThemesTest : public E2eTest {};

TEST_F(ShippedThemesTest, EveryEntryLoadsAndDraws)
{
    std::string catalogue = read_file(std::string(E2E_THEMES_DIR) + "/clumpout.dat");
    if (catalogue.empty()) GTEST_SKIP() << "no themes/clumpout.dat";
    fs::copy(E2E_THEMES_DIR, E2E_DATA_DIR, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    std::vector<ShippedEntry> entries = shipped_catalogue(catalogue);
    ASSERT_FALSE(entries.empty());

    for (size_t k = 0; k < entries.size(); ++k) {
        const ShippedEntry& entry = entries[k];
        SCOPED_TRACE(entry.name + " " + entry.file);
        write_settings(20, 10, static_cast<int>(k) + 3);
        // Away from where the window opens: a window mapped under the pointer
        // lights the cluster there, and only sometimes before its first paint.
        driver.move_to_root(screen_width - 1, screen_height - 1);
        start_game();
        if (!windows.complete) return;
        EXPECT_EQ(game.stderr_text(), "") << "loading " << entry.file;

        bool sheet = entry.file.size() > 4 && (entry.file.ends_with(".bmp") || entry.file.ends_with(".BMP"));
        if (!sheet) {
            PictureSet set;
            Messages messages;
            ASSERT_EQ(parse_picture_text(read_file(data_path(entry.file)), entry.file.c_str(), set, messages), 0);
            for (auto* images : {&set.default_images, &set.selected_images, &set.pushed_images})
                for (ImageSource& s : *images)
                    if (!s.file.empty()) s.file = data_path(s.file);
            set.background_image.file = data_path(set.background_image.file);
            set.frame_image.file = data_path(set.frame_image.file);
            ASSERT_EQ(oracle.build(driver.display(), set), 0);
            EXPECT_EQ(windows.board.width, 20 * set.tile_width);
            EXPECT_EQ(windows.board.height, 10 * set.tile_height);
            BoardCells cells = read_board();
            EXPECT_TRUE(cells.all_known()) << cells.text();
            for (int c = 0; c < 20; ++c)
                for (int r = 0; r < 10; ++r) EXPECT_TRUE(cells.colour[c][r] >= 1 && cells.look[c][r].plain);
            Score score{0, 200};
            if (cells.all_known()) play_cluster(cells, biggest_cluster(cells), score);
        }
        // A failed load would fall back to "Head" and save 1.
        EXPECT_EQ(quit_with_button3(windows.board.id), 0);
        EXPECT_NE(settings_text().find("Pictures " + std::to_string(k + 3) + "\n"), std::string::npos)
            << settings_text();
    }
}

}  // namespace
