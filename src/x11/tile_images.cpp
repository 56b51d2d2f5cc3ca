// tile_images.cpp: the one TileImages, and handing a loaded set over to it.
#include "x11/tile_images.h"

#include "x11/draw_scale.h"
#include "x11/x_display.h"

TileImages tile_images = {};

int commit_tile_images(LoadedSet& set, TileImages& target) {
    // Scaled once here, so painting a cell is one copy at any scale.
    if (!tiles_fit_board_at_scale(set.tile_width, set.tile_height, board.columns, board.rows)) return -1;
    for (std::size_t state = 0; state < NUM_TILE_STATES; ++state) {
        if (set.state_enabled[state] != 1) continue;
        for (PixmapHandle& image : set.images[state])
            if (!scale_pixmap(image)) return -1;
    }
    if (!scale_pixmap(set.background) || !scale_pixmap(set.frame)) return -1;
    target.tile_width = set.tile_width;
    target.tile_height = set.tile_height;
    target.box = set.box;
    if (set.box == 1) target.box_pixel = set.box_pixel;
    for (std::size_t state = 0; state < NUM_TILE_STATES; ++state) {
        target.state_enabled[state] = set.state_enabled[state];
        for (std::size_t colour = 0; colour < NUM_COLOURS; ++colour) {
            PixmapHandle& image = set.images[state][colour];
            if (set.state_enabled[state] != 1) image.reset();
            target.images[state][colour] = image.release();
        }
    }
    target.background = set.background.release();
    target.frame = set.frame.release();
    return 0;
}

void free_tile_images() {
    Display* display = x_display.display;
    for (int state = 0; state < NUM_TILE_STATES; ++state) {
        if (tile_images.state_enabled[state] != 1) continue;
        for (Pixmap image : tile_images.images[state]) {
            if (image != 0) XFreePixmap(display, image);
        }
    }
    // Tested although a loaded set always has both: freeing pixmap 0 is a
    // protocol error, which would end the program.
    if (tile_images.background != 0) XFreePixmap(display, tile_images.background);
    if (tile_images.frame != 0) XFreePixmap(display, tile_images.frame);
}
