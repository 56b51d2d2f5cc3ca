// picture_files.cpp: loading a catalogue entry's picture set: a BMP tile
// sheet (handed to bmp_pixmaps) or a description file whose XPM images are
// read here. Every pixmap is held in a LoadedSet until the whole set
// exists, so a failed load frees what it made and leaves TileImages as it was.
#include "x11/picture_files.h"

#include <X11/xpm.h>
#include <array>
#include <string>
#include <string_view>
#include <unistd.h>

#include "base/data_lookup.h"
#include "base/line_reader.h"
#include "base/report.h"
#include "board/board.h"
#include "pictures/bmp_sheet.h"
#include "pictures/description_file.h"
#include "pictures/picture_limits.h"
#include "x11/bmp_pixmaps.h"
#include "x11/picture_loader.h"
#include "x11/tile_images.h"
#include "x11/x_display.h"
#include "x11/x_error_trap.h"

namespace {

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
    std::string path;
    const LookupResult found = look_up_data_file(name.c_str(), data_dir, path, [](const std::string& candidate) {
        return is_readable_regular_file(candidate.c_str());
    });
    if (found == LookupResult::TOO_LONG) return cannot_create(std::string_view(path).substr(0, PATH_MAX_CHARS));
    Pixmap pixmap = None;
    const int status = make_pixmap_from_xpm_file(path.c_str(), &pixmap);
    forget_returned_pixels();
    // A pixmap made with a non-fatal status (an inexact colour), or one the
    // server refused to make, is still refused.
    out = PixmapHandle(x_display.display, pixmap);
    if (status != XpmSuccess || out.get() == None || x_request_refused()) {
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
    XGetGeometry(x_display.display, pixmap, &root, &x, &y, &w, &h, &border, &depth);
    width = static_cast<int>(w);
    height = static_cast<int>(h);
}

int load_description_file(const char* name, const char* data_dir) {
    PictureSet set;
    Messages messages;
    const int parsed = parse_picture_file(set, name, data_dir, messages);
    report_all(messages);
    if (parsed == -1) return -1;

    LoadedSet loaded;
    loaded.box = set.box;
    if (set.box == 1) loaded.box_pixel = static_cast<std::uint32_t>(box_pixel_for(set.box_color));
    loaded.state_enabled = {1, set.selected, set.pushed};
    loaded.tile_width = set.tile_width;
    loaded.tile_height = set.tile_height;
    // Refused before any image is read when the file gives both sides.
    const auto too_large = [&loaded, name] {
        if (tile_size_fits_board(loaded.tile_width, loaded.tile_height, board.columns, board.rows)) return false;
        report(tile_size_refusal(name, loaded.tile_width, loaded.tile_height, board.columns, board.rows));
        return true;
    };
    if (loaded.tile_width != 0 && loaded.tile_height != 0 && too_large()) return -1;

    const std::array<const std::array<ImageSource, NUM_COLOURS>*, NUM_TILE_STATES> sources = {
        &set.default_images, &set.selected_images, &set.pushed_images};
    for (std::size_t state = 0; state < NUM_TILE_STATES; ++state) {
        if (loaded.state_enabled[state] != 1) continue;
        for (std::size_t colour = 0; colour < NUM_COLOURS; ++colour) {
            if (read_image((*sources[state])[colour], data_dir, loaded.images[state][colour]) == -1) return -1;
            // A missing or zero tile size is taken from the first image: the
            // board and the windows divide and multiply by it.
            if (state == 0 && colour == 0 && (loaded.tile_width == 0 || loaded.tile_height == 0)) {
                int width = 0, height = 0;
                pixmap_size(loaded.images[0][0].get(), width, height);
                if (loaded.tile_width == 0) loaded.tile_width = width;
                if (loaded.tile_height == 0) loaded.tile_height = height;
                if (too_large()) return -1;
            }
        }
    }
    if (read_image(set.background_image, data_dir, loaded.background) == -1) return -1;
    if (read_image(set.frame_image, data_dir, loaded.frame) == -1) return -1;
    commit_tile_images(loaded);
    return 0;
}

}  // namespace

int load_picture_files(const char* name, const char* data_dir) {
    // What the server refuses while the set is made fails the set; the
    // pixmaps made so far are freed inside the span, so errors about those
    // that never existed are caught as well.
    XErrorTrap trap(x_display.display);
    if (is_sheet_name(name)) return load_bmp_picture_set(name, data_dir);
    return load_description_file(name, data_dir);
}
