// theme_check_test.cpp: the notes a check adds on what the game tolerates.
#include "theme_tool/theme_check.h"

#include <gtest/gtest.h>

#include "theme_tool/xpm_pictures.h"

namespace {

bool mentions(const Messages& notes, const std::string& text) {
    for (const std::string& note : notes)
        if (note.find(text) != std::string::npos) return true;
    return false;
}

TEST(ThemeCheck, AGradientHasSeamsWhereAPlainFieldAndABevelledFrameHaveNone) {
    RgbImage gradient(32, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) gradient.set(x, y, static_cast<std::uint32_t>(x * 8) * 0x010101);
    EXPECT_TRUE(find_seams(gradient).across);
    EXPECT_FALSE(find_seams(gradient).down);
    EXPECT_FALSE(find_seams(RgbImage(8, 8, 0x336699)).across);

    RgbImage marble_frame;
    Messages notes;
    ASSERT_EQ(decode_xpm_rows(BUILTIN_SETS[0].frame_image.xpm, "frame", ColourDatabase{}, marble_frame, notes), 0);
    EXPECT_FALSE(find_seams(marble_frame).across);
    EXPECT_FALSE(find_seams(marble_frame).down);
}

TEST(ThemeCheck, NotesTilesOfAnotherSizeAndIdenticalTilesOfOneState) {
    SetPictures set;
    set.tile_width = set.tile_height = 4;
    set.state_enabled = {1, 0, 0};
    for (int colour = 0; colour < NUM_COLOURS; ++colour)
        set.images[0][static_cast<std::size_t>(colour)] = RgbImage(4, 4, static_cast<std::uint32_t>(colour));
    set.images[0][4] = RgbImage(4, 4, 1);
    set.images[0][2] = RgbImage(3, 4, 2);
    set.image_names[0][2] = "small.xpm";
    set.images[1][0] = RgbImage(9, 9);  // a disabled state is never drawn
    set.background = set.frame = RgbImage(4, 4);
    Messages notes;
    add_oddity_notes(set, notes);
    EXPECT_TRUE(mentions(notes, "default tile of colour 3 (small.xpm) is 3x4, not the tile size 4x4"));
    EXPECT_TRUE(mentions(notes, "default tiles of colours 2 and 5 are identical"));
    EXPECT_EQ(notes.size(), 2u);
}

}  // namespace
