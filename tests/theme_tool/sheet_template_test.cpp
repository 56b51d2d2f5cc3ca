// sheet_template_test.cpp: the template sheet is a sheet the game's decoder
// takes at every depth, with each tile outlined and told apart by its label.
#include "theme_tool/sheet_template.h"

#include <gtest/gtest.h>

#include "pictures/bmp_sheet.h"

namespace {

TEST(SheetTemplate, DecodesAtEveryDepthWithEveryTileOutlinedAndLabelled) {
    for (int bits : {1, 4, 8}) {
        SCOPED_TRACE(bits);
        const std::vector<std::uint8_t> bytes = make_template_sheet(bits);
        BmpSheet sheet;
        Messages messages;
        ASSERT_EQ(decode_bmp_sheet(bytes, "template.bmp", sheet, messages), 0) << messages.front();
        EXPECT_EQ(sheet.bits_per_pixel, bits);
        EXPECT_EQ(sheet.palette_length, 1 << bits);
        std::vector<std::vector<int>> tiles;
        for (const SheetTile& tile : SHEET_TILES) {
            std::vector<int> indexes;
            for (int y = 0; y < SHEET_TILE_SIDE; ++y)
                for (int x = 0; x < SHEET_TILE_SIDE; ++x) {
                    const int index = sheet.index_at(tile.x + x, tile.y + y);
                    indexes.push_back(index);
                    if (x == 0 || y == 0 || x == SHEET_TILE_SIDE - 1 || y == SHEET_TILE_SIDE - 1) {
                        ASSERT_EQ(index, 1) << "outline of the tile at " << tile.x << "," << tile.y;
                    }
                }
            for (const std::vector<int>& other : tiles)
                EXPECT_NE(indexes, other) << "tile at " << tile.x << "," << tile.y;
            tiles.push_back(indexes);
        }
        const PaletteColour ink = sheet.palette[1];
        EXPECT_EQ(ink.red + ink.green + ink.blue, 0) << "outlines and labels are black";
    }
}

}  // namespace
