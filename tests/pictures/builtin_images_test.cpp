// builtin_images_test.cpp: the generated built-in pictures are well-formed
// XPM data of the sizes their sets promise, with the fixed colour lines.
// A broken row here would only show up as "can't create pixmap from data"
// at run time, and then the fallback set itself could be the broken one.
#include "pictures/picture_set.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct Found {
    std::string name;
    const char* const* rows;
    int width, height;
};

// Every image of the three sets, with the size it must have.
std::vector<Found> all_images() {
    std::vector<Found> images;
    const char* state_names[] = {"default", "selected", "pushed"};
    for (int s = 0; s < NUM_BUILTIN_SETS; ++s) {
        const PictureSet& set = BUILTIN_SETS[s];
        const std::array<ImageSource, 5>* states[] = {&set.default_images, &set.selected_images,
                                                      &set.pushed_images};
        for (int state = 0; state < 3; ++state) {
            for (int colour = 0; colour < 5; ++colour) {
                const ImageSource& source = (*states[state])[colour];
                if (source.xpm != nullptr) {
                    images.push_back({"set " + std::to_string(s) + " " + state_names[state] + " " +
                                          std::to_string(colour + 1),
                                      source.xpm, set.tile_width, set.tile_height});
                }
            }
        }
        const int background = s == 0 ? 20 : 32;
        images.push_back({"set " + std::to_string(s) + " background", set.background_image.xpm,
                          background, background});
        images.push_back({"set " + std::to_string(s) + " frame", set.frame_image.xpm, s == 2 ? 40 : 8,
                          s == 2 ? 20 : 8});
    }
    images.push_back({"icon", icon_xpm, 48, 48});
    return images;
}

bool is_colour_line(std::string_view line) {
    // one character, a tab, "c #" and twelve hexadecimal digits
    if (line.size() != 17 || line[1] != '\t' || line.substr(2, 3) != "c #") return false;
    for (char c : line.substr(5)) {
        if (!std::isxdigit(static_cast<unsigned char>(c)) || std::islower(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

void expect_well_formed(const Found& image) {
    SCOPED_TRACE(image.name);
    ASSERT_NE(image.rows, nullptr);
    int width = 0, height = 0, colours = 0, chars = 0;
    char extra = 0;
    ASSERT_EQ(std::sscanf(image.rows[0], "%d %d %d %d%c", &width, &height, &colours, &chars, &extra), 4)
        << image.rows[0];
    EXPECT_EQ(width, image.width);
    EXPECT_EQ(height, image.height);
    ASSERT_EQ(chars, 1);
    std::set<char> declared;
    for (int i = 1; i <= colours; ++i) {
        const std::string_view line = image.rows[i];
        EXPECT_TRUE(is_colour_line(line)) << "colour line " << i << ": " << line;
        EXPECT_TRUE(declared.insert(line[0]).second) << "character declared twice: " << line[0];
    }
    for (int y = 0; y < height; ++y) {
        const std::string_view row = image.rows[1 + colours + y];
        ASSERT_EQ(static_cast<int>(row.size()), width) << "row " << y;
        for (char c : row) ASSERT_TRUE(declared.count(c)) << "row " << y << " uses undeclared '" << c << "'";
    }
}

// The colour line of `character`, or "" when the image does not declare it.
std::string colour_line(const char* const* rows, char character) {
    int width = 0, height = 0, colours = 0;
    std::sscanf(rows[0], "%d %d %d", &width, &height, &colours);
    for (int i = 1; i <= colours; ++i) {
        if (rows[i][0] == character) return rows[i];
    }
    return "";
}

std::vector<std::string> colour_lines(const char* const* rows) {
    int width = 0, height = 0, colours = 0;
    std::sscanf(rows[0], "%d %d %d", &width, &height, &colours);
    return std::vector<std::string>(rows + 1, rows + 1 + colours);
}

TEST(BuiltinImagesTest, EveryImageIsWellFormedXpmOfItsSetsSize) {
    const std::vector<Found> images = all_images();
    for (const Found& image : images) expect_well_formed(image);
    std::set<const char* const*> distinct;
    for (const Found& image : images) distinct.insert(image.rows);
    EXPECT_EQ(distinct.size(), 31u);   // 30 set images (F1 is shared) and the icon
}

TEST(BuiltinImagesTest, SetsHaveTheirFlagsAndExactlyTheImagesTheyPromise) {
    const int selected[] = {0, 1, 0}, pushed[] = {0, 1, 0}, tile[] = {20, 32, 64};
    for (int s = 0; s < NUM_BUILTIN_SETS; ++s) {
        SCOPED_TRACE(s);
        const PictureSet& set = BUILTIN_SETS[s];
        EXPECT_EQ(set.box, 1);
        EXPECT_EQ(set.box_color, "white");
        EXPECT_EQ(set.selected, selected[s]);
        EXPECT_EQ(set.pushed, pushed[s]);
        EXPECT_EQ(set.tile_width, tile[s]);
        EXPECT_EQ(set.tile_height, tile[s]);
        for (int colour = 0; colour < 5; ++colour) {
            EXPECT_TRUE(set.default_images[colour].present());
            EXPECT_EQ(set.selected_images[colour].present(), set.selected == 1);
            EXPECT_EQ(set.pushed_images[colour].present(), set.pushed == 1);
        }
    }
    EXPECT_EQ(BUILTIN_SETS[0].frame_image.xpm, BUILTIN_SETS[1].frame_image.xpm);
}

TEST(BuiltinImagesTest, ValuesAndColourLinesAreTheFixedOnes) {
    const PictureSet& marble = BUILTIN_SETS[0];
    const PictureSet& head = BUILTIN_SETS[1];
    const PictureSet& face = BUILTIN_SETS[2];
    EXPECT_STREQ(marble.default_images[3].xpm[0], "20 20 4 1");
    EXPECT_EQ(colour_lines(marble.default_images[3].xpm),
              (std::vector<std::string>{" \tc #00007DF77DF7", ".\tc #FFFFFFFF0000", "X\tc #FFFFFFFFFFFF",
                                        "o\tc #B2CAB2CA0000"}));
    EXPECT_EQ(colour_lines(marble.frame_image.xpm),
              (std::vector<std::string>{" \tc #FFFFFFFFFFFF", ".\tc #0000FFFFFFFF", "X\tc #0000CF3CCF3C",
                                        "o\tc #00009A699A69", "O\tc #000065956595"}));
    EXPECT_STREQ(head.default_images[1].xpm[0], "32 32 7 1");
    EXPECT_STREQ(head.pushed_images[1].xpm[0], "32 32 8 1");
    EXPECT_EQ(colour_line(head.pushed_images[4].xpm, '@'), "@\tc #000000000000");
    EXPECT_EQ(colour_line(head.pushed_images[4].xpm, 'X'), "X\tc #FFFFFFFFB6DA");
    EXPECT_EQ(colour_line(head.pushed_images[2].xpm, '$'), "$\tc #000000000000");
    EXPECT_STREQ(head.background_image.xpm[0], "32 32 1 1");
    EXPECT_STREQ(face.frame_image.xpm[0], "40 20 10 1");
    EXPECT_EQ(colour_line(face.frame_image.xpm, '%'), "%\tc #CF3CBAEA9A69");
    EXPECT_EQ(colour_line(face.default_images[4].xpm, '$'), "$\tc #FFFF92485144");
    EXPECT_EQ(colour_lines(icon_xpm),
              (std::vector<std::string>{" \tc #0000CF3CCF3C", ".\tc #0000FFFFFFFF", "X\tc #CB2B0000FFFF",
                                        "o\tc #00006595AAAA"}));
}

TEST(BuiltinImagesTest, HeadSelectedImagesShareTheDefaultColoursButOne) {
    const PictureSet& head = BUILTIN_SETS[1];
    for (int colour = 0; colour < 5; ++colour) {
        SCOPED_TRACE(colour + 1);
        EXPECT_STREQ(head.selected_images[colour].xpm[0], head.default_images[colour].xpm[0]);
        std::vector<std::string> expected = colour_lines(head.default_images[colour].xpm);
        if (colour == 0) {
            for (std::string& line : expected) {
                if (line[0] == 'X') line = "X\tc #659579E7FFFF";
            }
        }
        EXPECT_EQ(colour_lines(head.selected_images[colour].xpm), expected);
    }
}

}  // namespace
