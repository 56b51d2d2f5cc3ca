// bmp_pixmaps.cpp: the X half of BMP tile sheets. The sheet is decoded by
// bmp_sheet first, so every refusal happens before a colour or a pixmap is
// made; TileImages is written only once every tile exists.
#include "x11/bmp_pixmaps.h"

#include <X11/Xutil.h>
#include <X11/xpm.h>
#include <cstdlib>
#include <memory>
#include <vector>

#include "base/report.h"
#include "pictures/picture_set.h"
#include "x11/pixmap_handle.h"
#include "x11/x_display.h"
#include "x11/x_error_trap.h"

namespace {

// Cells compared per XQueryColors round trip while looking for a near colour.
constexpr int QUERY_BATCH = 256;
// Deeper visuals never run out of colours; the cap keeps 1 << depth sane.
constexpr int MAX_SEARCH_DEPTH = 24;

struct ImageDestroyer {
    void operator()(XImage* image) const { XDestroyImage(image); }
};
using ImagePtr = std::unique_ptr<XImage, ImageDestroyer>;

long colour_distance(const PaletteColour& colour, const XColor& cell) {
    const long red = colour.red - (cell.red >> 8);
    const long green = colour.green - (cell.green >> 8);
    const long blue = colour.blue - (cell.blue >> 8);
    return red * red + green * green + blue * blue;
}

unsigned long nearest_cell(Display* display, Colormap colormap, const PaletteColour& colour) {
    const int depth = std::min(DefaultDepth(display, 0), MAX_SEARCH_DEPTH);
    const unsigned long cells = 1ul << depth;
    unsigned long best = 0;
    long best_distance = -1;
    std::vector<XColor> batch(QUERY_BATCH);
    for (unsigned long first = 0; first < cells; first += QUERY_BATCH) {
        const int count = static_cast<int>(std::min<unsigned long>(QUERY_BATCH, cells - first));
        for (int i = 0; i < count; ++i) batch[static_cast<std::size_t>(i)].pixel = first + static_cast<unsigned long>(i);
        XQueryColors(display, colormap, batch.data(), count);
        for (int i = 0; i < count; ++i) {
            const long distance = colour_distance(colour, batch[static_cast<std::size_t>(i)]);
            if (best_distance < 0 || distance < best_distance) {
                best = batch[static_cast<std::size_t>(i)].pixel;
                best_distance = distance;
                if (distance == 0) return best;
            }
        }
    }
    return best;
}

// The frame of a sheet set, as sheet_frame chooses it.
PixmapHandle make_sheet_frame(int colour_count) {
    Display* display = x_display.display;
    if (sheet_frame(colour_count) == SheetFrame::MARBLE) {
        Pixmap frame = None;
        if (make_pixmap_from_xpm(BUILTIN_SETS[0].frame_image.xpm, &frame) == XpmSuccess) return {display, frame};
    }
    return {display, XCreatePixmapFromBitmapData(display, x_display.root,
                                                 reinterpret_cast<char*>(const_cast<unsigned char*>(FRAME_PATTERN.data())),
                                                 8, 8, x_display.black_pixel, x_display.white_pixel,
                                                 static_cast<unsigned>(DefaultDepth(display, 0)))};
}

}  // namespace

SheetPalette make_sheet_palette(const BmpSheet& sheet) {
    SheetPalette palette;
    for (int i = 0; i < sheet.palette_length; ++i)
        palette.slots[static_cast<std::size_t>(i)] = {sheet.palette[static_cast<std::size_t>(i)], false, 0};
    return palette;
}

unsigned long palette_pixel(Display* display, Colormap colormap, SheetPalette& palette, int index) {
    SheetPalette::Slot& slot = palette.slots[static_cast<std::size_t>(index)];
    if (slot.allocated) return slot.pixel;
    XColor wanted{};
    wanted.red = static_cast<unsigned short>(slot.colour.red * 256);
    wanted.green = static_cast<unsigned short>(slot.colour.green * 256);
    wanted.blue = static_cast<unsigned short>(slot.colour.blue * 256);
    wanted.flags = DoRed | DoGreen | DoBlue;
    if (allocate_colour(display, colormap, &wanted) != 0) {
        slot.pixel = wanted.pixel;
    } else {
        if (!palette.color_warning_given) {
            report("Warning: can't allocate color.\n");
            report("(use similar colors...)\n");
        }
        palette.color_warning_given = true;
        // The cell is borrowed, not allocated: its owner may change it later.
        slot.pixel = nearest_cell(display, colormap, slot.colour);
    }
    slot.allocated = true;
    return slot.pixel;
}

int load_bmp_sheet(Display* display, Colormap colormap, LoadedSet& set, const char* name, const char* data_dir) {
    BmpSheet sheet;
    Messages messages;
    const int decoded = read_bmp_sheet(name, data_dir, sheet, messages);
    report_all(messages);
    if (decoded == -1) return -1;

    const Window root = RootWindow(display, 0);
    const int depth = DefaultDepth(display, 0);
    ImagePtr image(XCreateImage(display, DefaultVisual(display, 0), static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                                SHEET_WIDTH, SHEET_HEIGHT, 32, 0));
    if (image) {
        image->data = static_cast<char*>(std::calloc(static_cast<std::size_t>(image->bytes_per_line), SHEET_HEIGHT));
        if (image->data == nullptr) image.reset();
    }
    if (!image) {
        report("Error: can't allocate memory.\n");
        return -1;
    }

    // Colours are asked for in the order of the file's rows, bottom row
    // first, so the same entries get the scarce cells as when the sheet was
    // drawn point by point.
    SheetPalette palette = make_sheet_palette(sheet);
    for (int y = SHEET_HEIGHT - 1; y >= 0; --y) {
        for (int x = 0; x < SHEET_WIDTH; ++x)
            XPutPixel(image.get(), x, y, palette_pixel(display, colormap, palette, sheet.index_at(x, y)));
    }

    PixmapHandle sheet_pixmap(display, XCreatePixmap(display, root, SHEET_WIDTH, SHEET_HEIGHT,
                                                     static_cast<unsigned>(depth)));
    GcHandle gc(display, XCreateGC(display, sheet_pixmap.get(), 0, nullptr));
    XSetFunction(display, gc.get(), GXcopy);
    XPutImage(display, sheet_pixmap.get(), gc.get(), image.get(), 0, 0, 0, 0, SHEET_WIDTH, SHEET_HEIGHT);

    std::array<PixmapHandle, SHEET_TILES.size()> tiles;
    for (std::size_t i = 0; i < SHEET_TILES.size(); ++i) {
        tiles[i] = PixmapHandle(display, XCreatePixmap(display, root, SHEET_TILE_SIDE, SHEET_TILE_SIDE,
                                                       static_cast<unsigned>(depth)));
        XCopyArea(display, sheet_pixmap.get(), tiles[i].get(), gc.get(), SHEET_TILES[i].x, SHEET_TILES[i].y,
                  SHEET_TILE_SIDE, SHEET_TILE_SIDE, 0, 0);
    }

    set.tile_width = SHEET_TILE_SIDE;
    set.tile_height = SHEET_TILE_SIDE;
    set.box = 0;
    set.state_enabled = SHEET_STATES;
    for (std::size_t i = 0; i < SHEET_TILES.size(); ++i) {
        const SheetTile& tile = SHEET_TILES[i];
        if (tile.state < 0)
            set.background = std::move(tiles[i]);
        else
            set.images[static_cast<std::size_t>(tile.state)][static_cast<std::size_t>(tile.colour)] = std::move(tiles[i]);
    }
    return sheet.colour_count;
}

int load_bmp_picture_set(const char* name, const char* data_dir) {
    LoadedSet set;
    const int colour_count = load_bmp_sheet(x_display.display, x_display.colormap, set, name, data_dir);
    if (colour_count == -1) return -1;
    set.frame = make_sheet_frame(colour_count);
    // The sheet is small, but a server short of memory may still refuse it.
    if (x_request_refused()) {
        report(format_message("Error: can't create pixmap from '%s'.\n", name));
        return -1;
    }
    if (commit_tile_images(set) != 0) {
        report(format_message("Error: can't create pixmap from '%s'.\n", name));
        return -1;
    }
    return 0;
}
