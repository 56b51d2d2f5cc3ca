// description_file_fuzz.cpp: any bytes read as a picture description file.
// Whatever the text, the parser ends with 0 or -1, every message is one
// whole line, an error is the last message, and what it stores is in range:
// tile sides from 0 to MAX_TILE_SIDE, flags 0 or 1, names of one word.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "pictures/description_file.h"

namespace {

bool is_word(const std::string& name) {
    if (name.size() > 255) return false;
    for (char c : name)
        if (c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '#' || c == '\0')
            return false;
    return true;
}

bool names_ok(const std::array<ImageSource, 5>& sources) {
    for (const ImageSource& source : sources)
        if (source.xpm != nullptr || !is_word(source.file)) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    PictureSet set;
    Messages messages;
    const int result = parse_picture_text(text, "fuzz.dat", set, messages);
    if (result != 0 && result != -1) std::abort();
    for (const std::string& message : messages) {
        if (message.empty() || message.back() != '\n') std::abort();
        if (message.find('\n') != message.size() - 1) std::abort();
    }
    if (result == -1 && (messages.empty() || messages.back().rfind("Error: ", 0) != 0)) std::abort();
    if (set.tile_width < 0 || set.tile_width > MAX_TILE_SIDE) std::abort();
    if (set.tile_height < 0 || set.tile_height > MAX_TILE_SIDE) std::abort();
    if ((set.box != 0 && set.box != 1) || (set.selected != 0 && set.selected != 1) ||
        (set.pushed != 0 && set.pushed != 1))
        std::abort();
    if (set.box == 1 && (set.box_color.empty() || !is_word(set.box_color))) std::abort();
    if (!names_ok(set.default_images) || !names_ok(set.selected_images) || !names_ok(set.pushed_images))
        std::abort();
    if (!is_word(set.background_image.file) || !is_word(set.frame_image.file)) std::abort();
    return 0;
}
