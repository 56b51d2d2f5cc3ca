// x_display.cpp: the display record and the helpers that draw on it. Owns
// the colour rule for TrueColor screens; knows no window of the game.
#include "x11/x_display.h"

#include "pictures/picture_limits.h"
#include "pictures/xpm_values.h"
#include "x11/draw_scale.h"

DisplayRecord x_display = {};

namespace {

// The colour allocator of every XPM call: a picture set has a hundred or so
// colours, and a round trip for each was most of the start-up time.
int allocate_xpm_colour(Display* display, Colormap colormap, char* name, XColor* colour, void*) {
    if (name != nullptr && XParseColor(display, colormap, name, colour) == 0) return -1;
    return allocate_colour(display, colormap, colour) != 0 ? 1 : 0;
}

unsigned long named_pixel(const char* name, unsigned long fallback) {
    XColor screen = {};
    XColor exact = {};
    if (XAllocNamedColor(x_display.display, x_display.colormap, name, &screen, &exact) == 0) return fallback;
    return screen.pixel;
}

}  // namespace

bool open_x_display(const char* name) {
    Display* display = XOpenDisplay(name);
    if (display == nullptr) return false;
    x_display.display = display;
    x_display.root = RootWindow(display, 0);
    x_display.colormap = DefaultColormap(display, 0);
    x_display.xpm_attributes = {};
    x_display.xpm_attributes.valuemask = XpmColormap | XpmSize | XpmReturnPixels | XpmAllocColor;
    x_display.xpm_attributes.alloc_color = allocate_xpm_colour;
    x_display.xpm_attributes.colormap = x_display.colormap;
    return true;
}

void allocate_named_pixels() {
    Display* display = x_display.display;
    x_display.black_pixel = named_pixel("black", BlackPixel(display, 0));
    x_display.white_pixel = named_pixel("white", WhitePixel(display, 0));
    x_display.gray_pixel = named_pixel("gray", x_display.black_pixel);
}

int make_pixmap_from_xpm(const char* const* data, Pixmap* pixmap) {
    Pixmap made = None;
    // libXpm's prototype is not const-correct; it only reads the rows.
    const int status = XpmCreatePixmapFromData(x_display.display, x_display.root, const_cast<char**>(data),
                                               &made, nullptr, &x_display.xpm_attributes);
    forget_returned_pixels();
    if (status != XpmSuccess) {
        // A warning status still made a pixmap; it is not used.
        if (made != None) XFreePixmap(x_display.display, made);
        return status;
    }
    *pixmap = made;
    return status;
}

int make_pixmap_from_xpm_file(const char* path, Pixmap* pixmap, int* width, int* height) {
    // libXpm would size its tables from the values line alone.
    if (!xpm_file_fits(path)) return XpmFileInvalid;
    XpmImage image{};
    int status = XpmReadFileToXpmImage(path, &image, nullptr);
    if (status != XpmSuccess) return status;
    *width = static_cast<int>(image.width);
    *height = static_cast<int>(image.height);
    // The file's own size is checked here, before the server sees it: a side
    // over 16 bits would wrap into some other size on the way.
    if (!pixmap_size_fits(image.width, image.height)) {
        XpmFreeXpmImage(&image);
        return XpmFileInvalid;
    }
    status = XpmCreatePixmapFromXpmImage(x_display.display, x_display.root, &image, pixmap, nullptr,
                                         &x_display.xpm_attributes);
    XpmFreeXpmImage(&image);
    return status;
}

void forget_returned_pixels() {
    XpmAttributes& attributes = x_display.xpm_attributes;
    if (attributes.pixels != nullptr) XpmFree(attributes.pixels);
    attributes.pixels = nullptr;
    attributes.npixels = 0;
}

PointerPosition query_pointer(Window window) {
    Window root_return = None;
    Window child_return = None;
    int root_x = 0;
    int root_y = 0;
    PointerPosition position{0, 0};
    unsigned mask = 0;
    XQueryPointer(x_display.display, window, &root_return, &child_return, &root_x, &root_y, &position.x,
                  &position.y, &mask);
    return {unscaled(position.x), unscaled(position.y)};
}

int allocate_colour(Display* display, Colormap colormap, XColor* colour) {
    const int screen = 0;
    const Visual* visual = DefaultVisual(display, screen);
    // Only the common 8-bit-per-component TrueColor screen is worked out
    // here; there a cell's pixel is the top byte of each 16-bit component,
    // shifted into the place of its mask, exactly as the server makes it.
    const auto byte_shift = [](unsigned long mask) {
        for (int shift = 0; shift <= 24; shift += 8) {
            if (mask == 0xffUL << shift) return shift;
        }
        return -1;
    };
    const int red_shift = byte_shift(visual->red_mask);
    const int green_shift = byte_shift(visual->green_mask);
    const int blue_shift = byte_shift(visual->blue_mask);
    if (visual->c_class != TrueColor || colormap != DefaultColormap(display, screen) ||
        DefaultDepth(display, screen) != 24 || red_shift < 0 || green_shift < 0 || blue_shift < 0) {
        return XAllocColor(display, colormap, colour);
    }
    colour->pixel = (static_cast<unsigned long>(colour->red >> 8) << red_shift) |
                    (static_cast<unsigned long>(colour->green >> 8) << green_shift) |
                    (static_cast<unsigned long>(colour->blue >> 8) << blue_shift);
    return 1;
}
