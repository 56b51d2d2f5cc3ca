// preview.cpp: the painter's rules (pictures/cell_look.h) applied to pixels.
// XCopyArea copies no more than the source holds, so a tile image smaller
// than the tile leaves the rest of the cell as it was: here, the board's
// background, which a freshly exposed board shows.
#include "theme_tool/preview.h"

#include "pictures/cell_look.h"

namespace {

// `pattern` tiled over `target`, starting at the pattern's origin at
// (origin_x, origin_y) of the target, as a window background is.
void tile_over(RgbImage& target, const RgbImage& pattern, int origin_x, int origin_y) {
    if (pattern.width <= 0 || pattern.height <= 0) return;
    for (int y = 0; y < target.height; ++y) {
        const int py = ((y - origin_y) % pattern.height + pattern.height) % pattern.height;
        for (int x = 0; x < target.width; ++x) {
            const int px = ((x - origin_x) % pattern.width + pattern.width) % pattern.width;
            target.set(x, y, pattern.at(px, py));
        }
    }
}

// XCopyArea of the whole source at (x, y), clipped to the source and target.
void copy_image(RgbImage& target, const RgbImage& source, int x, int y, int width, int height) {
    for (int dy = 0; dy < std::min(height, source.height); ++dy) {
        for (int dx = 0; dx < std::min(width, source.width); ++dx) {
            const int tx = x + dx;
            const int ty = y + dy;
            if (tx >= 0 && ty >= 0 && tx < target.width && ty < target.height) target.set(tx, ty, source.at(dx, dy));
        }
    }
}

// XDrawRectangle with a thin line: both vertical and both horizontal edges.
void draw_outline(RgbImage& target, const CellOutline& outline, std::uint32_t pixel) {
    const auto put = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < target.width && y < target.height) target.set(x, y, pixel);
    };
    for (int x = outline.x; x <= outline.x + outline.width; ++x) {
        put(x, outline.y);
        put(x, outline.y + outline.height);
    }
    for (int y = outline.y; y <= outline.y + outline.height; ++y) {
        put(outline.x, y);
        put(outline.x + outline.width, y);
    }
}

// paint_cell, and for the highlighted state paint_cell_boxed, on `board`.
void paint(RgbImage& board, const SetPictures& set, int colour, int state, int x, int y) {
    const int drawn = drawn_state(set.state_enabled.data(), state);
    copy_image(board, set.images[static_cast<std::size_t>(drawn)][static_cast<std::size_t>(colour - 1)], x, y,
               set.tile_width, set.tile_height);
    if (state == TILE_SELECTED && set.box == 1)
        draw_outline(board, cell_outline(x, y, set.tile_width, set.tile_height), set.box_pixel);
}

}  // namespace

RgbImage render_cell(const SetPictures& set, int colour, int state, int cell_x, int cell_y) {
    RgbImage cell(set.tile_width, set.tile_height);
    tile_over(cell, set.background, -cell_x, -cell_y);
    paint(cell, set, colour, state, 0, 0);
    return cell;
}

RgbImage render_preview(const SetPictures& set) {
    const int board_width = PREVIEW_COLUMNS * set.tile_width;
    const int board_height = PREVIEW_ROWS * set.tile_height;
    RgbImage picture(board_width + 2 * PREVIEW_MARGIN, board_height + 2 * PREVIEW_MARGIN);
    tile_over(picture, set.frame, 0, 0);
    RgbImage board(board_width, board_height);
    tile_over(board, set.background, 0, 0);
    for (int row = 0; row < PREVIEW_ROWS; ++row) {
        for (int column = 0; column < PREVIEW_COLUMNS; ++column)
            paint(board, set, column + 1, row, column * set.tile_width, row * set.tile_height);
    }
    copy_image(picture, board, PREVIEW_MARGIN, PREVIEW_MARGIN, board_width, board_height);
    return picture;
}
