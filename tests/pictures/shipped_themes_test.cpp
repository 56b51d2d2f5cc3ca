// shipped_themes_test.cpp: the picture sets in themes/ load through the same
// parsers the game uses, name only files that exist, and have tiles of the
// size they claim. A shipped set that the game refuses would only show up as
// a gray chooser entry, so it is caught here. Reads themes/ from the source tree.
#include "pictures/bmp_sheet.h"
#include "pictures/catalogue.h"
#include "pictures/description_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

const fs::path THEMES = fs::path(__FILE__).parent_path().parent_path().parent_path() / "themes";

std::string read_text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Width and height from the values line of an XPM file, or {0, 0}.
std::pair<int, int> xpm_size(const fs::path& path) {
    const std::string text = read_text(path);
    const std::size_t quote = text.find('"');
    int width = 0, height = 0;
    if (quote == std::string::npos || std::sscanf(text.c_str() + quote + 1, "%d %d", &width, &height) != 2)
        return {0, 0};
    return {width, height};
}

std::vector<CatalogEntry> shipped_catalogue() {
    return parse_catalogue(read_text(THEMES / "clumpout.dat"));
}

TEST(ShippedThemesTest, CatalogueListsEachKindOfSetWithShortNames) {
    const std::vector<CatalogEntry> entries = shipped_catalogue();
    ASSERT_GE(entries.size(), 5u);
    int sheets = 0;
    std::set<std::string> names;
    for (const CatalogEntry& entry : entries) {
        EXPECT_LE(entry.name.size(), 10u) << entry.name;
        EXPECT_TRUE(names.insert(entry.name).second) << "listed twice: " << entry.name;
        EXPECT_TRUE(fs::exists(THEMES / entry.file)) << entry.file;
        sheets += is_sheet_name(entry.file) ? 1 : 0;
    }
    EXPECT_EQ(sheets, 3);
}

TEST(ShippedThemesTest, DescriptionFilesParseAndNameImagesOfTheTileSize) {
    int with_states = 0, without_states = 0;
    for (const CatalogEntry& entry : shipped_catalogue()) {
        if (is_sheet_name(entry.file)) continue;
        SCOPED_TRACE(entry.file);
        PictureSet set;
        Messages messages;
        ASSERT_EQ(parse_picture_file(set, entry.file.c_str(), THEMES.c_str(), messages), 0);
        EXPECT_TRUE(messages.empty()) << messages.front();
        ASSERT_GT(set.tile_width, 0);
        ASSERT_GT(set.tile_height, 0);
        EXPECT_EQ(set.box, 1);
        const std::array<ImageSource, 5>* states[] = {&set.default_images, &set.selected_images,
                                                      &set.pushed_images};
        const int enabled[] = {1, set.selected, set.pushed};
        for (int state = 0; state < 3; ++state) {
            for (const ImageSource& source : *states[state]) {
                EXPECT_EQ(source.present(), enabled[state] == 1);
                if (!source.present()) continue;
                EXPECT_EQ(xpm_size(THEMES / source.file), std::make_pair(set.tile_width, set.tile_height))
                    << source.file;
            }
        }
        for (const ImageSource* other : {&set.background_image, &set.frame_image}) {
            ASSERT_TRUE(other->present());
            EXPECT_NE(xpm_size(THEMES / other->file).first, 0) << other->file;
        }
        (set.selected && set.pushed ? with_states : without_states) += 1;
    }
    EXPECT_GE(with_states, 1);
    EXPECT_GE(without_states, 1);
}

TEST(ShippedThemesTest, SheetsDecodeWithEveryTileDistinct) {
    std::set<int> depths;
    for (const CatalogEntry& entry : shipped_catalogue()) {
        if (!is_sheet_name(entry.file)) continue;
        SCOPED_TRACE(entry.file);
        BmpSheet sheet;
        Messages messages;
        ASSERT_EQ(read_bmp_sheet(entry.file.c_str(), THEMES.c_str(), sheet, messages), 0)
            << (messages.empty() ? "" : messages.front());
        EXPECT_TRUE(messages.empty());
        depths.insert(sheet.bits_per_pixel);
        // Eleven used tiles: a repeated one would make two colours (or a
        // colour and its highlight) look the same on the board.
        std::set<std::vector<int>> seen;
        for (const SheetTile& tile : SHEET_TILES) {
            std::vector<int> pixels;
            for (int y = 0; y < SHEET_TILE_SIDE; ++y) {
                for (int x = 0; x < SHEET_TILE_SIDE; ++x) pixels.push_back(sheet.index_at(tile.x + x, tile.y + y));
            }
            EXPECT_TRUE(seen.insert(pixels).second) << "tile at " << tile.x << "," << tile.y << " repeats";
        }
    }
    EXPECT_EQ(depths, (std::set<int>{1, 4, 8}));
}

}  // namespace
