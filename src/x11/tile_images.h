// tile_images.h: the images of the picture set in use, read by the window
// layout and the cell painter, and the one way a loader fills them: every
// pixmap is held in a LoadedSet until the whole set exists, then committed,
// so a load that fails part-way frees what it made and changes nothing.
#pragma once

#include <X11/X.h>
#include <array>
#include <cstdint>

#include "board/board.h"
#include "x11/pixmap_handle.h"

struct TileImages {
    int tile_width;
    int tile_height;
    int box;                            // 1 = outline highlighted tiles
    int state_enabled[NUM_TILE_STATES]; // per TileState; always 1 for TILE_DEFAULT
    Pixmap images[NUM_TILE_STATES][NUM_COLOURS];      // [TileState][colour - 1]
    Pixmap background;                  // board window background
    Pixmap frame;                       // main window background, score panel border
    std::uint32_t box_pixel;            // outline colour
};

extern TileImages tile_images;

// A set being loaded.
struct LoadedSet {
    int tile_width = 0;
    int tile_height = 0;
    int box = 0;
    std::uint32_t box_pixel = 0;        // read only when box is 1
    std::array<int, NUM_TILE_STATES> state_enabled = {1, 0, 0};
    std::array<std::array<PixmapHandle, NUM_COLOURS>, NUM_TILE_STATES> images;
    PixmapHandle background;
    PixmapHandle frame;
};

// Hands every pixmap of `set` to `target`, scaled to the game's scale. The
// slots of a disabled state are set to None; box_pixel keeps its old value
// when the set has no box. -1, changing nothing, when the scaled pictures
// are more than X carries; the loader then refuses the set.
int commit_tile_images(LoadedSet& set, TileImages& target = tile_images);

// Frees the pixmaps of the set in use (those of enabled states only).
void free_tile_images();
