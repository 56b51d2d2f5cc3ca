// picture_set.cpp: the one TileImages, filled from a built-in set or, through
// load_picture_files, from a catalogue entry, with "Head" as the fallback.
// Knows the picture choice and the catalogue; the window layout that uses
// the images is not its business.
#include "pictures/picture_set.h"

#include "base/report.h"
#include "board/board.h"
#include "pictures/catalogue.h"
#include "pictures/picture_choice.h"
#include "pictures/picture_files.h"
#include "pictures/tile_images.h"
#include "ui/game_ui.h"
#include "ui/xpm_pixmap.h"

TileImages tile_images = {};

namespace {

// Makes one image; an absent source leaves 0. Returns false on failure.
bool make_image(const ImageSource& source, Pixmap* slot) {
    *slot = 0;
    if (source.xpm == nullptr) return true;
    return make_pixmap_from_xpm(source.xpm, slot) == XpmSuccess;
}

// Frees what a failed load made, so a fallback load can write over the
// slots without leaving pixmaps behind on the server.
void free_partial_images() {
    Display* display = game_ui.display;
    for (auto& state_images : tile_images.images) {
        for (Pixmap& image : state_images) {
            if (image != 0) XFreePixmap(display, image);
            image = 0;
        }
    }
    if (tile_images.background != 0) XFreePixmap(display, tile_images.background);
    if (tile_images.frame != 0) XFreePixmap(display, tile_images.frame);
    tile_images.background = 0;
    tile_images.frame = 0;
}

int load_fallback_set() { return load_builtin_set(BUILTIN_SETS[FALLBACK_SET]); }

}  // namespace

int load_builtin_set(const PictureSet& set) {
    tile_images.box = set.box;
    tile_images.state_enabled[TILE_DEFAULT] = 1;
    tile_images.state_enabled[TILE_SELECTED] = set.selected;
    tile_images.state_enabled[TILE_PUSHED] = set.pushed;
    tile_images.tile_width = set.tile_width;
    tile_images.tile_height = set.tile_height;
    if (set.box == 1) tile_images.box_pixel = static_cast<std::uint32_t>(box_pixel_for(set.box_color));

    // Every slot is reset before anything is made, so a failure part-way
    // leaves only pixmaps of this load to free.
    for (auto& state_images : tile_images.images) {
        for (Pixmap& image : state_images) image = 0;
    }
    tile_images.background = 0;
    tile_images.frame = 0;

    const std::array<ImageSource, 5>* per_state[3] = {&set.default_images, &set.selected_images,
                                                      &set.pushed_images};
    bool made = true;
    for (int state = 0; state < 3 && made; ++state) {
        for (int colour = 0; colour < NUM_COLOURS && made; ++colour) {
            made = make_image((*per_state[state])[static_cast<std::size_t>(colour)],
                              &tile_images.images[state][colour]);
        }
    }
    if (made) made = make_image(set.background_image, &tile_images.background);
    if (made) made = make_image(set.frame_image, &tile_images.frame);
    if (!made) {
        report("Error: can't create pixmap from data.\n");
        free_partial_images();
        return -1;
    }
    return 0;
}

int load_picture_set(const char* data_dir) {
    if (catalogue_index != -1) {
        picture_index = -1;
        const auto index = static_cast<std::size_t>(catalogue_index);
        if (index < catalogue.size()) {
            CatalogEntry& entry = catalogue[index];
            if (load_picture_files(entry.file.c_str(), data_dir) == 0) return 0;
            entry.disabled = 1;
        }
        picture_index = FALLBACK_SET;
        return load_fallback_set();
    }
    if (load_builtin_set(BUILTIN_SETS[picture_index]) == 0) return 0;
    // picture_index keeps the failed set's number: the menu marks it and
    // the settings keep it.
    return load_fallback_set();
}

unsigned long box_pixel_for(const std::string& colour_name) {
    XColor screen = {};
    XColor exact = {};
    const Status allocated =
        XAllocNamedColor(game_ui.display, game_ui.colormap, colour_name.c_str(), &screen, &exact);
    // A pixel of 0 is taken as "no colour" and outlined in white.
    if (allocated == 0 || screen.pixel == 0) return game_ui.white_pixel;
    return screen.pixel;
}

void free_tile_images() {
    Display* display = game_ui.display;
    for (int state = 0; state < 3; ++state) {
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
