// picture_loader.cpp: a picture set made into TileImages, from a built-in
// set or, through load_picture_files, from a catalogue entry. Which set,
// and what replaces one that fails, is the picture choice's decision; the
// windows that show the images are not this file's business.
#include "x11/picture_loader.h"

#include "base/report.h"
#include "pictures/cell_look.h"
#include "pictures/picture_choice.h"
#include "pictures/set_loading.h"
#include "x11/picture_files.h"
#include "x11/tile_images.h"
#include "x11/x_display.h"
#include "x11/x_error_trap.h"

namespace {

// Makes one image; an absent source leaves the handle empty. False on failure.
bool make_image(const ImageSource& source, PixmapHandle& slot) {
    if (source.xpm == nullptr) return true;
    Pixmap pixmap = None;
    if (make_pixmap_from_xpm(source.xpm, &pixmap) != XpmSuccess) return false;
    slot = PixmapHandle(x_display.display, pixmap);
    return true;
}

}  // namespace

int load_builtin_set(const PictureSet& set) {
    XErrorTrap trap(x_display.display);  // declared first: the set is freed inside it
    LoadedSet loaded;
    copy_set_header(set, loaded);
    if (set.box == 1) loaded.box_pixel = static_cast<std::uint32_t>(box_pixel_for(set.box_color));

    const std::array<const std::array<ImageSource, NUM_COLOURS>*, NUM_TILE_STATES> per_state = {
        &set.default_images, &set.selected_images, &set.pushed_images};
    bool made = true;
    for (std::size_t state = 0; state < NUM_TILE_STATES && made; ++state) {
        for (std::size_t colour = 0; colour < NUM_COLOURS && made; ++colour)
            made = make_image((*per_state[state])[colour], loaded.images[state][colour]);
    }
    if (made) made = make_image(set.background_image, loaded.background);
    if (made) made = make_image(set.frame_image, loaded.frame);
    if (!made || x_request_refused() || commit_tile_images(loaded) != 0) {
        report("Error: can't create pixmap from data.\n");
        return -1;
    }
    return 0;
}

int load_picture_set(const char* data_dir) {
    return load_chosen_set({load_builtin_set, load_picture_files}, data_dir);
}

unsigned long box_pixel_for(const std::string& colour_name) {
    XColor screen = {};
    XColor exact = {};
    const Status allocated =
        XAllocNamedColor(x_display.display, x_display.colormap, colour_name.c_str(), &screen, &exact);
    return outline_pixel(allocated != 0, screen.pixel, x_display.white_pixel);
}
