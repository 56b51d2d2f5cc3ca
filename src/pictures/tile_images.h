// tile_images.h: the images of the picture set in use, filled by the
// picture loaders and read by the window layout and the cell painter.
#pragma once

#include <X11/X.h>
#include <cstdint>

struct TileImages {
    int tile_width;
    int tile_height;
    int box;                  // 1 = outline highlighted tiles
    int state_enabled[3];     // per TileState; always 1 for TILE_DEFAULT
    Pixmap images[3][5];      // [TileState][colour - 1]
    Pixmap background;        // board window background
    Pixmap frame;             // main window background, score panel border
    std::uint32_t box_pixel;  // outline colour
};

extern TileImages tile_images;
