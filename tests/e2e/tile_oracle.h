// tile_oracle.h: what each board cell must look like. Makes the tile images
// of a picture set on our own connection (from the same XPM data or files the
// game uses) and tells, for a cell of a read-back board, which colour and
// which tile states its pixels are. Knows nothing of the game's code beyond
// the picture set description.
#pragma once

#include "e2e/driver.h"
#include "pictures/picture_set.h"

#include <array>

struct CellLook {
    int colour = -1;         // 1..5 a tile, 0 empty (background), -1 unknown
    bool plain = false;      // drawn with the default image
    bool boxed = false;      // drawn selected, with the outline when the set has one
    bool pushed = false;     // drawn with the pushed image
};

class TileOracle {
public:
    // Returns 0, or -1 when an image could not be made.
    int build(Display* display, const PictureSet& set);
    int tile_width() const { return tile_width_; }
    int tile_height() const { return tile_height_; }
    bool has_state(int state) const { return state_enabled_[state]; }
    const Image& frame() const { return frame_; }
    const Image& background() const { return background_; }

    // The pixels a cell shows: colour 0 is the board background, which tiles
    // the window from its origin; state 1 is a highlighted (boxed) tile.
    Image expected_cell(int colour, int state, int column, int row) const;
    CellLook classify(const Image& board, int column, int row) const;
    // The expected look of a whole tiled area, as a window background shows it.
    static Image tiled(const Image& pattern, int width, int height, int origin_x = 0, int origin_y = 0);

private:
    bool cell_equals(const Image& board, int column, int row, const Image& tile) const;
    bool cell_is_background(const Image& board, int column, int row) const;

    int tile_width_ = 0;
    int tile_height_ = 0;
    int box_ = 0;
    std::uint32_t box_pixel_ = 0xFFFFFF;
    std::array<bool, 3> state_enabled_{};
    std::array<std::array<Image, 5>, 3> images_;  // [state][colour - 1], as drawn
    std::array<Image, 5> boxed_;                  // selected look with the outline
    Image background_;
    Image frame_;
};

// The cells of a read-back board: [column][row] colour codes (-1 unknown).
struct BoardCells {
    int columns = 0;
    int rows = 0;
    std::array<std::array<int, 20>, 30> colour{};
    std::array<std::array<CellLook, 20>, 30> look{};
    bool all_known() const;
    // Rows as text, top first: "." empty, "1".."5", "?" unknown, "#" hidden.
    std::string text() const;
};

BoardCells classify_board(const TileOracle& oracle, const Image& board_image, int columns, int rows);
