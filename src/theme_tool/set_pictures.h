// set_pictures.h: a picture set loaded the way the game loads it, into the
// pixels the game's TileImages would hold on a 24-bit TrueColor screen, with
// the messages the game would print on the way. The decisions are the
// game's own (the description file parser, read_set_images, the sheet
// decoder and its frame choice); only the images are made here, without a
// display.
#pragma once

#include <array>
#include <string>

#include "base/report.h"
#include "board/board.h"
#include "pictures/picture_set.h"
#include "theme_tool/colour_names.h"
#include "theme_tool/theme_image.h"

struct SetPictures {
    int tile_width = 0;
    int tile_height = 0;
    int box = 0;
    std::string box_colour;              // as the set names it
    std::uint32_t box_pixel = WHITE_PIXEL;
    std::array<int, NUM_TILE_STATES> state_enabled = {1, 0, 0};
    std::array<std::array<RgbImage, NUM_COLOURS>, NUM_TILE_STATES> images;  // [TileState][colour - 1]
    // Where each tile came from, for notes.
    std::array<std::array<std::string, NUM_COLOURS>, NUM_TILE_STATES> image_names;
    RgbImage background;
    RgbImage frame;
};

// What loading one set found: the game's messages, byte for byte, and the
// tool's own notes on what the game silently tolerates.
struct LoadFindings {
    Messages messages;
    Messages notes;
};

// Loads catalogue file `name` (a description file, or a BMP sheet when the
// game would take it for one) as load_picture_files does. 0 / -1.
int load_set_pictures(const char* name, const char* data_dir, const ColourDatabase& database, SetPictures& out,
                      LoadFindings& findings);

// Loads a built-in set as load_builtin_set does. 0 / -1.
int load_builtin_pictures(const PictureSet& set, const ColourDatabase& database, SetPictures& out,
                          LoadFindings& findings);

// The outline's pixel for a box colour, as box_pixel_for finds it; adds a
// note when the outline will be white instead.
std::uint32_t box_pixel_of(const std::string& colour, const ColourDatabase& database, Messages& notes);
