// set_loading.cpp: reading a description file's images in order, with the
// lookup, the failure message and the tile size rule. No X here: the reader
// of one image is the caller's.
#include "pictures/set_loading.h"

#include <array>

#include "base/data_lookup.h"
#include "base/line_reader.h"
#include "pictures/picture_limits.h"

namespace {

// Looks `name` up and reads it through `read`. 0 / -1 with the message.
int read_one(const ImageSlot& slot, const ImageSource& source, const char* data_dir, const ReadImage& read,
             ImageSize& size, Messages& messages) {
    const std::string& name = source.file;
    // An image the file never named has no path to try; the message shows
    // the empty name so the player sees that a line is missing.
    if (name.empty()) {
        messages.push_back(cannot_create_message(""));
        return -1;
    }
    std::string path;
    const LookupResult found = look_up_data_file(name.c_str(), data_dir, path, [](const std::string& candidate) {
        return is_readable_regular_file(candidate.c_str());
    });
    if (found == LookupResult::TOO_LONG) {
        messages.push_back(cannot_create_message(std::string_view(path).substr(0, PATH_MAX_CHARS)));
        return -1;
    }
    if (read(slot, path, size) == -1) {
        messages.push_back(cannot_create_message(path));
        return -1;
    }
    return 0;
}

}  // namespace

std::string cannot_create_message(std::string_view path) {
    return format_message("Error: can't create pixmap from '%.*s'.\n", static_cast<int>(path.size()), path.data());
}

int read_set_images(PictureSet& set, const char* name, int columns, int rows, const char* data_dir,
                    const ReadImage& read, Messages& messages) {
    const auto too_large = [&] {
        if (tile_size_fits_board(set.tile_width, set.tile_height, columns, rows)) return false;
        messages.push_back(tile_size_refusal(name, set.tile_width, set.tile_height, columns, rows));
        return true;
    };
    if (set.tile_width != 0 && set.tile_height != 0 && too_large()) return -1;
    const std::array<const std::array<ImageSource, NUM_COLOURS>*, NUM_TILE_STATES> tiles = {
        &set.default_images, &set.selected_images, &set.pushed_images};
    const std::array<int, NUM_TILE_STATES> wanted = {1, set.selected, set.pushed};
    ImageSize size;
    for (int state = 0; state < NUM_TILE_STATES; ++state) {
        if (wanted[static_cast<std::size_t>(state)] != 1) continue;
        for (int colour = 0; colour < NUM_COLOURS; ++colour) {
            const ImageSource& source = (*tiles[static_cast<std::size_t>(state)])[static_cast<std::size_t>(colour)];
            if (read_one({ImageRole::TILE, state, colour}, source, data_dir, read, size, messages) == -1) return -1;
            // A missing or zero tile size is taken from the first image: the
            // board and the windows divide and multiply by it.
            if (state == TILE_DEFAULT && colour == 0 && (set.tile_width == 0 || set.tile_height == 0)) {
                if (set.tile_width == 0) set.tile_width = size.width;
                if (set.tile_height == 0) set.tile_height = size.height;
                if (too_large()) return -1;
            }
        }
    }
    if (read_one({ImageRole::BACKGROUND, 0, 0}, set.background_image, data_dir, read, size, messages) == -1) return -1;
    return read_one({ImageRole::FRAME, 0, 0}, set.frame_image, data_dir, read, size, messages);
}
