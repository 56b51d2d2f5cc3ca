// cell_look.h: how a board cell looks in each tile state, the one rule the
// game's painter and clumpout-theme's preview both follow: the image a state
// is drawn with, the outline of a highlighted tile, and the outline's colour.
// No X here: the outline is given as the arguments of XDrawRectangle.
#pragma once

// The state whose image a cell in `state` shows: its own when the set has
// images for it, else the default one.
inline int drawn_state(const int* state_enabled, int state) {
    return state_enabled[state] == 1 ? state : 0;
}

// A highlighted tile with a box is outlined on its outermost pixels: a
// one-pixel rectangle from (x, y) to (x + width, y + height) inclusive.
struct CellOutline {
    int x;
    int y;
    int width;
    int height;
};
inline CellOutline cell_outline(int cell_x, int cell_y, int tile_width, int tile_height) {
    return {cell_x, cell_y, tile_width - 1, tile_height - 1};
}

// The outline's pixel: the box colour's, or white when the colour is not
// known or its pixel is 0 (black on most screens).
inline unsigned long outline_pixel(bool known, unsigned long pixel, unsigned long white_pixel) {
    return !known || pixel == 0 ? white_pixel : pixel;
}
