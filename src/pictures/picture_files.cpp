// picture_files.cpp: loading a catalogue entry's picture set: a BMP tile
// sheet (handed to bmp_pixmaps) or a description file whose XPM images are
// read here. Every pixmap is held by a handle until the whole set exists, so
// a failed load frees what it made and leaves TileImages as it was.
#include "pictures/picture_files.h"

#include <X11/xpm.h>
#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <unistd.h>

#include "base/report.h"
#include "pictures/bmp_pixmaps.h"
#include "pictures/description_file.h"
#include "pictures/picture_set.h"
#include "pictures/pixmap_handle.h"
#include "pictures/tile_images.h"
#include "ui/game_ui.h"
#include "ui/xpm_pixmap.h"

namespace {

constexpr std::size_t PATH_MAX_CHARS = 1023;  // paths are formed in 1024-byte buffers

int cannot_create(std::string_view path) {
    report(format_message("Error: can't create pixmap from '%.*s'.\n", static_cast<int>(path.size()), path.data()));
    return -1;
}

// Reads the XPM file named by `source` into `out`: as written when that is
// readable, else from the data directory. 0 / -1 after reporting.
int read_image(const ImageSource& source, const char* data_dir, PixmapHandle& out) {
    const std::string& name = source.file;
    // An image the file never named has no path to try; the message shows
    // the empty name so the player sees that a line is missing.
    if (name.empty()) return cannot_create("");
    std::string path = name;
    if (access(name.c_str(), R_OK) != 0) {
        path = std::string(data_dir) + "/" + name;
        if (path.size() > PATH_MAX_CHARS) return cannot_create(std::string_view(path).substr(0, PATH_MAX_CHARS));
    }
    Pixmap pixmap = None;
    const int status = XpmReadFileToPixmap(game_ui.display, game_ui.root, path.c_str(), &pixmap, nullptr,
                                           &game_ui.xpm_attributes);
    forget_returned_pixels();
    // A pixmap made with a non-fatal status (an inexact colour) is still refused.
    out = PixmapHandle(game_ui.display, pixmap);
    if (status != XpmSuccess || out.get() == None) {
        out.reset();
        return cannot_create(path);
    }
    return 0;
}

// The size of a pixmap, for a description file that gives no tile size.
void pixmap_size(Pixmap pixmap, int& width, int& height) {
    Window root;
    int x, y;
    unsigned w = 0, h = 0, border, depth;
    XGetGeometry(game_ui.display, pixmap, &root, &x, &y, &w, &h, &border, &depth);
    width = static_cast<int>(w);
    height = static_cast<int>(h);
}

int load_description_file(const char* name, const char* data_dir) {
    PictureSet set;
    Messages messages;
    const int parsed = parse_picture_file(set, name, data_dir, messages);
    report_all(messages);
    if (parsed == -1) return -1;

    const int box = set.box;
    const unsigned long box_pixel = box == 1 ? box_pixel_for(set.box_color) : 0;

    const std::array<int, 3> enabled = {1, set.selected, set.pushed};
    const std::array<const std::array<ImageSource, 5>*, 3> sources = {&set.default_images, &set.selected_images,
                                                                      &set.pushed_images};
    std::array<std::array<PixmapHandle, 5>, 3> tiles;
    int tile_width = set.tile_width;
    int tile_height = set.tile_height;
    for (std::size_t state = 0; state < 3; ++state) {
        if (enabled[state] != 1) continue;
        for (std::size_t colour = 0; colour < 5; ++colour) {
            if (read_image((*sources[state])[colour], data_dir, tiles[state][colour]) == -1) return -1;
            // A missing or zero tile size is taken from the first image: the
            // board and the windows divide and multiply by it.
            if (state == 0 && colour == 0 && (tile_width == 0 || tile_height == 0)) {
                int width = 0, height = 0;
                pixmap_size(tiles[0][0].get(), width, height);
                if (tile_width == 0) tile_width = width;
                if (tile_height == 0) tile_height = height;
            }
        }
    }
    PixmapHandle background;
    PixmapHandle frame;
    if (read_image(set.background_image, data_dir, background) == -1) return -1;
    if (read_image(set.frame_image, data_dir, frame) == -1) return -1;

    tile_images.tile_width = tile_width;
    tile_images.tile_height = tile_height;
    tile_images.box = box;
    if (box == 1) tile_images.box_pixel = static_cast<std::uint32_t>(box_pixel);
    for (std::size_t state = 0; state < 3; ++state) {
        tile_images.state_enabled[state] = enabled[state];
        for (std::size_t colour = 0; colour < 5; ++colour) tile_images.images[state][colour] = tiles[state][colour].release();
    }
    tile_images.background = background.release();
    tile_images.frame = frame.release();
    return 0;
}

}  // namespace

int load_picture_files(const char* name, const char* data_dir) {
    if (is_sheet_name(name)) return load_bmp_picture_set(name, data_dir);
    return load_description_file(name, data_dir);
}
