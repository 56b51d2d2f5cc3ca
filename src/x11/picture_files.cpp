// picture_files.cpp: loading a catalogue entry's picture set: a BMP tile
// sheet (handed to bmp_pixmaps) or a description file whose XPM images are
// read here. Every pixmap is held in a LoadedSet until the whole set
// exists, so a failed load frees what it made and leaves TileImages as it was.
#include "x11/picture_files.h"

#include <X11/xpm.h>
#include <string>

#include "base/report.h"
#include "board/board.h"
#include "pictures/bmp_sheet.h"
#include "pictures/description_file.h"
#include "pictures/set_loading.h"
#include "x11/bmp_pixmaps.h"
#include "x11/picture_loader.h"
#include "x11/tile_images.h"
#include "x11/x_display.h"
#include "x11/x_error_trap.h"

namespace {

// Reads the XPM file at `path` into `out`. 0 / -1; read_set_images reports.
int read_image(const std::string& path, PixmapHandle& out, ImageSize& size) {
    Pixmap pixmap = None;
    const int status = make_pixmap_from_xpm_file(path.c_str(), &pixmap, &size.width, &size.height);
    forget_returned_pixels();
    // A pixmap made with a non-fatal status (an inexact colour), or one the
    // server refused to make, is still refused.
    out = PixmapHandle(x_display.display, pixmap);
    if (status != XpmSuccess || out.get() == None || x_request_refused()) {
        out.reset();
        return -1;
    }
    return 0;
}

PixmapHandle& slot_pixmap(LoadedSet& set, const ImageSlot& slot) {
    if (slot.role == ImageRole::BACKGROUND) return set.background;
    if (slot.role == ImageRole::FRAME) return set.frame;
    return set.images[static_cast<std::size_t>(slot.state)][static_cast<std::size_t>(slot.colour)];
}

int load_description_file(const char* name, const char* data_dir) {
    PictureSet set;
    Messages messages;
    const int parsed = parse_picture_file(set, name, data_dir, messages);
    report_all(messages);
    if (parsed == -1) return -1;

    LoadedSet loaded;
    if (set.box == 1) loaded.box_pixel = static_cast<std::uint32_t>(box_pixel_for(set.box_color));

    messages.clear();
    const auto read_into_loaded = [&loaded](const ImageSlot& slot, const std::string& path, ImageSize& size) {
        return read_image(path, slot_pixmap(loaded, slot), size);
    };
    const int read = read_set_images(set, name, board.columns, board.rows, data_dir, read_into_loaded, messages);
    report_all(messages);
    if (read == -1) return -1;
    copy_set_header(set, loaded);  // after the images: they may give the tile size
    if (commit_tile_images(loaded) != 0) {
        report(format_message("Error: can't create pixmap from '%s'.\n", name));
        return -1;
    }
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
