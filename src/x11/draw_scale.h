// draw_scale.h: the one integer scale of the whole game and the X calls that
// apply it. Everything above this file works in scale-1 pixels; these
// helpers multiply positions and sizes on the way to the server and divide
// pointer positions on the way back, and the pictures are scaled once when
// a set loads. Knows no window of the game.
#pragma once

#include <X11/Xlib.h>
#include <string_view>

#include "x11/pixmap_handle.h"

constexpr int MIN_SCALE = 1;
constexpr int MAX_SCALE = 4;

// Set once at start-up, before any window or picture is made.
extern int draw_scale;

// v pixels at scale 1, on the screen.
inline int scaled(int v) { return v * draw_scale; }
// A screen position back to scale 1, rounding toward minus infinity so a
// position left of or above a window stays negative.
int unscaled(int v);

Window create_scaled_window(Window parent, int x, int y, int width, int height, int border);
void resize_scaled_window(Window window, int width, int height);
// A window's size at scale 1 (a round trip).
void scaled_window_size(Window window, int& width, int& height);

void clear_scaled_area(Window window, int x, int y, int width, int height);
void copy_scaled_area(Drawable source, Window target, GC gc, int width, int height, int x, int y);
// XDrawRectangle's outline (width + 1 by height + 1 pixels) in the GC's
// foreground, each of its pixels a scale-by-scale block.
void draw_scaled_rectangle(Window window, GC gc, int x, int y, int width, int height);
// A horizontal line from x1 to x2, both ends drawn.
void draw_scaled_hline(Window window, GC gc, int x1, int x2, int y);

// The font's glyphs drawn scale times as tall and wide, each pixel a block,
// from runs of pixels read once here. Call before drawing text at a scale
// above 1.
void prepare_scaled_text(XFontStruct* font, int char_width);
// XDrawString and XDrawImageString at the baseline (x, y), in the GC's
// colours.
void draw_scaled_string(Window window, GC gc, int x, int y, std::string_view text);
void draw_scaled_image_string(Window window, GC gc, int x, int y, std::string_view text);

// Tiles of this size at scale 1 give a board of columns x rows, and the
// main window around it, that X can carry at the game's scale.
bool tiles_fit_board_at_scale(int tile_width, int tile_height, int columns, int rows);

// `pixmap` made scale times as wide and tall, each pixel a block
// (nearest neighbour). False, leaving it as it was, when the result would be
// larger than X carries or the server cannot make it.
bool scale_pixmap(PixmapHandle& pixmap);
