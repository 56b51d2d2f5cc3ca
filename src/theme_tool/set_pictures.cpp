// set_pictures.cpp: description files, BMP sheets and built-in sets made
// into pixels. Reads a set through the same shared steps as the game's X
// loaders (read_set_images, copy_set_header, the sheet's tile table).
#include "theme_tool/set_pictures.h"

#include "pictures/bmp_sheet.h"
#include "pictures/cell_look.h"
#include "pictures/description_file.h"
#include "pictures/set_loading.h"
#include "theme_tool/xpm_pictures.h"

namespace {

RgbImage& slot_image(SetPictures& set, const ImageSlot& slot) {
    if (slot.role == ImageRole::BACKGROUND) return set.background;
    if (slot.role == ImageRole::FRAME) return set.frame;
    return set.images[static_cast<std::size_t>(slot.state)][static_cast<std::size_t>(slot.colour)];
}

RgbImage pattern_frame() {
    RgbImage frame(8, 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
            frame.set(x, y, (FRAME_PATTERN[static_cast<std::size_t>(y)] >> x & 1) != 0 ? BLACK_PIXEL : WHITE_PIXEL);
    }
    return frame;
}

int load_description(const char* name, const char* data_dir, const ColourDatabase& database, SetPictures& out,
                     LoadFindings& findings) {
    PictureSet set;
    if (parse_picture_file(set, name, data_dir, findings.messages) == -1) return -1;

    SetPictures loaded;
    if (set.box == 1) {
        loaded.box_colour = set.box_color;
        loaded.box_pixel = box_pixel_of(set.box_color, database, findings.notes);
    }
    const auto read_into_loaded = [&](const ImageSlot& slot, const std::string& path, ImageSize& size) {
        RgbImage& image = slot_image(loaded, slot);
        if (read_xpm_file(path, database, image, findings.notes) == -1) return -1;
        if (slot.role == ImageRole::TILE)
            loaded.image_names[static_cast<std::size_t>(slot.state)][static_cast<std::size_t>(slot.colour)] = path;
        size = {image.width, image.height};
        return 0;
    };
    // A set must fit every board the game offers, so it is held against the largest.
    if (read_set_images(set, name, MAX_COLUMNS, MAX_ROWS, data_dir, read_into_loaded, findings.messages) == -1)
        return -1;
    copy_set_header(set, loaded);  // after the images: they may give the tile size
    out = std::move(loaded);
    return 0;
}

int load_sheet(const char* name, const char* data_dir, const ColourDatabase& database, SetPictures& out,
               LoadFindings& findings) {
    BmpSheet sheet;
    if (read_bmp_sheet(name, data_dir, sheet, findings.messages) == -1) return -1;

    SetPictures loaded;
    loaded.tile_width = SHEET_TILE_SIDE;
    loaded.tile_height = SHEET_TILE_SIDE;
    loaded.state_enabled = SHEET_STATES;
    // On TrueColor every palette entry gets its own colour: byte x 256 has
    // the byte as its top byte.
    for (const SheetTile& tile : SHEET_TILES) {
        RgbImage image(SHEET_TILE_SIDE, SHEET_TILE_SIDE);
        for (int y = 0; y < SHEET_TILE_SIDE; ++y) {
            for (int x = 0; x < SHEET_TILE_SIDE; ++x) {
                const int index = sheet.index_at(tile.x + x, tile.y + y);
                const PaletteColour& colour = sheet.palette[static_cast<std::size_t>(index)];
                image.set(x, y, static_cast<std::uint32_t>(colour.red) << 16 |
                                    static_cast<std::uint32_t>(colour.green) << 8 | colour.blue);
            }
        }
        if (tile.state < 0)
            loaded.background = std::move(image);
        else
            loaded.images[static_cast<std::size_t>(tile.state)][static_cast<std::size_t>(tile.colour)] =
                std::move(image);
    }
    for (const SheetTile& tile : SHEET_TILES) {
        if (tile.state >= 0)
            loaded.image_names[static_cast<std::size_t>(tile.state)][static_cast<std::size_t>(tile.colour)] =
                format_message("%s at (%d, %d)", name, tile.x, tile.y);
    }
    loaded.frame = pattern_frame();
    if (sheet_frame(sheet.colour_count) == SheetFrame::MARBLE) {
        Messages ignored;
        RgbImage marble;
        if (decode_xpm_rows(BUILTIN_SETS[0].frame_image.xpm, "frame", database, marble, ignored) == 0)
            loaded.frame = std::move(marble);
    }
    out = std::move(loaded);
    return 0;
}

}  // namespace

std::uint32_t box_pixel_of(const std::string& colour, const ColourDatabase& database, Messages& notes) {
    const std::optional<Rgb16> rgb = parse_colour(colour, database);
    const std::uint32_t pixel = rgb ? truecolor_pixel(*rgb) : 0;
    if (!rgb)
        notes.push_back(format_message("box colour '%s' is not in the colour database: the outline is white",
                                       colour.c_str()));
    else if (pixel == 0)
        notes.push_back(format_message("box colour '%s' has pixel 0: the outline is white", colour.c_str()));
    return static_cast<std::uint32_t>(outline_pixel(rgb.has_value(), pixel, WHITE_PIXEL));
}

int load_set_pictures(const char* name, const char* data_dir, const ColourDatabase& database, SetPictures& out,
                      LoadFindings& findings) {
    if (is_sheet_name(name)) return load_sheet(name, data_dir, database, out, findings);
    return load_description(name, data_dir, database, out, findings);
}

int load_builtin_pictures(const PictureSet& set, const ColourDatabase& database, SetPictures& out,
                          LoadFindings& findings) {
    SetPictures loaded;
    copy_set_header(set, loaded);
    if (set.box == 1) {
        loaded.box_colour = set.box_color;
        loaded.box_pixel = box_pixel_of(set.box_color, database, findings.notes);
    }
    const std::array<const std::array<ImageSource, NUM_COLOURS>*, NUM_TILE_STATES> per_state = {
        &set.default_images, &set.selected_images, &set.pushed_images};
    bool made = true;
    for (std::size_t state = 0; state < NUM_TILE_STATES && made; ++state) {
        for (std::size_t colour = 0; colour < NUM_COLOURS && made; ++colour) {
            const ImageSource& source = (*per_state[state])[colour];
            if (source.xpm == nullptr) continue;
            made = decode_xpm_rows(source.xpm, "built-in image", database, loaded.images[state][colour],
                                   findings.notes) == 0;
        }
    }
    if (made && set.background_image.xpm != nullptr)
        made = decode_xpm_rows(set.background_image.xpm, "background", database, loaded.background,
                               findings.notes) == 0;
    if (made && set.frame_image.xpm != nullptr)
        made = decode_xpm_rows(set.frame_image.xpm, "frame", database, loaded.frame, findings.notes) == 0;
    if (!made) {
        findings.messages.push_back("Error: can't create pixmap from data.\n");
        return -1;
    }
    out = std::move(loaded);
    return 0;
}
