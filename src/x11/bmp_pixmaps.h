// bmp_pixmaps.h: turning a decoded BMP tile sheet into the tile pixmaps of
// TileImages: colour allocation with the nearest-colour fallback, the tile
// cut-out, and the frame a sheet does not hold. The decoding is bmp_sheet's.
#pragma once

#include <X11/Xlib.h>
#include <array>

#include "pictures/bmp_sheet.h"
#include "x11/tile_images.h"

// The palette of one load: each entry is allocated, or matched, at most
// once, and the colour warning is printed at most once.
struct SheetPalette {
    struct Slot {
        PaletteColour colour;
        bool allocated;
        unsigned long pixel;
    };
    std::array<Slot, 256> slots{};
    bool color_warning_given = false;
};

SheetPalette make_sheet_palette(const BmpSheet& sheet);

// The pixel to draw palette entry `index` with: its allocated colour, or the
// nearest cell of the colormap when it is full (first of equals wins).
unsigned long palette_pixel(Display* display, Colormap colormap, SheetPalette& palette, int index);

// Reads sheet `name` (as written, then under data_dir) and fills the tiles
// and background of `set`. Returns 2 ^ bits per pixel, or -1 with `set`
// unchanged after reporting why.
int load_bmp_sheet(Display* display, Colormap colormap, LoadedSet& set, const char* name, const char* data_dir);

// The BMP branch of load_picture_files: the sheet, then the frame. 0 / -1.
int load_bmp_picture_set(const char* name, const char* data_dir);
