// set_loading.h: the display-free half of loading a picture set from a file:
// the order a description file's images are read in, where each is looked
// for and what its failure says, and the tile size of a file that gives
// none. The X loader and clumpout-theme both read a set through
// read_set_images, so the game and the tool cannot disagree about one.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/report.h"
#include "pictures/picture_set.h"

// Where one image of a set goes.
enum class ImageRole { TILE, BACKGROUND, FRAME };
struct ImageSlot {
    ImageRole role;
    int state;   // TileState of a tile
    int colour;  // 0..4 for colours 1..5, of a tile
};

struct ImageSize {
    int width = 0;
    int height = 0;
};

// Reads the image file at `path` for `slot` and gives its size. Returns 0,
// or -1 when the file is no image the game can use; reports nothing.
using ReadImage = std::function<int(const ImageSlot& slot, const std::string& path, ImageSize& size)>;

// Reads every image `set` requires through `read`, in the game's order:
// default colours 1 to 5, selected 1 to 5 when the set has them, pushed 1 to
// 5 when it has them, the background, the frame. A name is used as written
// when that file is readable, else under data_dir. Stops at the first image
// that fails, with "Error: can't create pixmap from '%s'.\n" (the path
// tried) in `messages`, and returns -1; else returns 0. A tile width or
// height the file left at 0 is taken from the first default image. Tiles
// too large for a board of `columns` x `rows` refuse the set of description
// file `name` (tile_size_refusal): before any image is read when the file
// gives both sides, else once the first image gives them.
int read_set_images(PictureSet& set, const char* name, int columns, int rows, const char* data_dir,
                    const ReadImage& read, Messages& messages);

// Copies the header of a parsed set into what a loader fills (the game's
// LoadedSet, the theme tool's SetPictures): the tile size, the box and the
// states the set has. The box's pixel is each loader's own to find.
template <class Loaded>
void copy_set_header(const PictureSet& set, Loaded& loaded) {
    loaded.tile_width = set.tile_width;
    loaded.tile_height = set.tile_height;
    loaded.box = set.box;
    loaded.state_enabled = {1, set.selected, set.pushed};
}

// The message of an image that cannot be read from `path`.
std::string cannot_create_message(std::string_view path);
