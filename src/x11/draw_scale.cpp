// draw_scale.cpp: the scale applied to windows, drawing, text and pictures.
// At scale 1 every helper is the plain X call, so the game draws exactly as
// it does without a scale.
#include "x11/draw_scale.h"

#include <X11/Xutil.h>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "pictures/picture_limits.h"
#include "x11/x_display.h"

int draw_scale = 1;

namespace {

struct ImageDestroyer {
    void operator()(XImage* image) const { XDestroyImage(image); }
};
using ImagePtr = std::unique_ptr<XImage, ImageDestroyer>;

unsigned dimension(int v) { return static_cast<unsigned>(scaled(v)); }

bool fits_short(int v) { return v >= std::numeric_limits<short>::min() && v <= std::numeric_limits<short>::max(); }

// Every glyph of character codes 0..255 as its rows' runs of set pixels, at
// scale 1 and relative to the glyph's top left corner: a string at any scale
// is then one fill of rectangles, foreground only, as XDrawString draws.
struct ScaledFont {
    std::vector<XRectangle> runs;
    std::array<std::size_t, 257> first{};  // code c's runs are [first[c], first[c + 1])
    int char_width = 0;
    int ascent = 0;
    int height = 0;  // ascent + descent
    bool ready = false;
};
ScaledFont scaled_font;

void fill(Window window, GC gc, int x, int y, int width, int height) {
    XFillRectangle(x_display.display, window, gc, scaled(x), scaled(y), dimension(width), dimension(height));
}

}  // namespace

int unscaled(int v) {
    const int s = draw_scale;
    return v >= 0 ? v / s : -((-v + s - 1) / s);
}

Window create_scaled_window(Window parent, int x, int y, int width, int height, int border) {
    return XCreateSimpleWindow(x_display.display, parent, scaled(x), scaled(y), dimension(width), dimension(height),
                               dimension(border), x_display.black_pixel, x_display.white_pixel);
}

void resize_scaled_window(Window window, int width, int height) {
    XResizeWindow(x_display.display, window, dimension(width), dimension(height));
}

void scaled_window_size(Window window, int& width, int& height) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(x_display.display, window, &attributes);
    width = attributes.width / draw_scale;
    height = attributes.height / draw_scale;
}

void clear_scaled_area(Window window, int x, int y, int width, int height) {
    XClearArea(x_display.display, window, scaled(x), scaled(y), dimension(width), dimension(height), False);
}

void copy_scaled_area(Drawable source, Window target, GC gc, int width, int height, int x, int y) {
    XCopyArea(x_display.display, source, target, gc, 0, 0, dimension(width), dimension(height), scaled(x),
              scaled(y));
}

void draw_scaled_rectangle(Window window, GC gc, int x, int y, int width, int height) {
    if (draw_scale == 1) {
        XDrawRectangle(x_display.display, window, gc, x, y, static_cast<unsigned>(width),
                       static_cast<unsigned>(height));
        return;
    }
    fill(window, gc, x, y, width + 1, 1);
    fill(window, gc, x, y + height, width + 1, 1);
    fill(window, gc, x, y, 1, height + 1);
    fill(window, gc, x + width, y, 1, height + 1);
}

void draw_scaled_hline(Window window, GC gc, int x1, int x2, int y) {
    if (draw_scale == 1) {
        XDrawLine(x_display.display, window, gc, x1, y, x2, y);
        return;
    }
    const int left = x1 < x2 ? x1 : x2;
    fill(window, gc, left, y, (x1 < x2 ? x2 - x1 : x1 - x2) + 1, 1);
}

void prepare_scaled_text(XFontStruct* font, int char_width) {
    if (draw_scale == 1 || scaled_font.ready) return;
    Display* display = x_display.display;
    const int width = 256 * char_width;
    const int ascent = font->ascent;
    const int height = font->ascent + font->descent;
    if (char_width <= 0 || char_width > 255 || height <= 0 || height > 255 || !pixmap_size_fits(width, height)) return;
    // Drawn once at scale 1 with the font itself, pixel 1 on pixel 0, and
    // only that plane read back. A pixmap of the screen's depth: the first
    // one-bit pixmap of a connection costs the server milliseconds.
    const unsigned depth = static_cast<unsigned>(DefaultDepth(display, DefaultScreen(display)));
    PixmapHandle plain(display, XCreatePixmap(display, x_display.root, static_cast<unsigned>(width),
                                              static_cast<unsigned>(height), depth));
    GcHandle gc(display, XCreateGC(display, plain.get(), 0, nullptr));
    XSetForeground(display, gc.get(), 0);
    XFillRectangle(display, plain.get(), gc.get(), 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSetForeground(display, gc.get(), 1);
    XSetFont(display, gc.get(), font->fid);
    // Every code in one request: each item moves the pen from where the
    // previous glyph left it (a code the font lacks has no width) to its
    // own column.
    std::array<char, 255> codes{};
    std::array<XTextItem, 255> items{};
    int pen = 0;
    for (int code = 1; code < 256; ++code) {
        char& c = codes[static_cast<std::size_t>(code - 1)];
        c = static_cast<char>(code);
        items[static_cast<std::size_t>(code - 1)] = {&c, 1, code * char_width - pen, None};
        pen = code * char_width + XTextWidth(font, &c, 1);
    }
    XDrawText(display, plain.get(), gc.get(), 0, ascent, items.data(), static_cast<int>(items.size()));
    ImagePtr image(XGetImage(display, plain.get(), 0, 0, static_cast<unsigned>(width),
                             static_cast<unsigned>(height), 1, XYPixmap));
    if (!image) return;
    const auto lit = [&image](int x, int y) { return XGetPixel(image.get(), x, y) != 0; };
    ScaledFont made;
    for (int code = 0; code < 256; ++code) {
        made.first[static_cast<std::size_t>(code)] = made.runs.size();
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < char_width;) {
                if (!lit(code * char_width + x, y)) {
                    ++x;
                    continue;
                }
                const int start = x;
                while (x < char_width && lit(code * char_width + x, y)) ++x;
                made.runs.push_back({static_cast<short>(start), static_cast<short>(y),
                                     static_cast<unsigned short>(x - start), 1});
            }
        }
    }
    made.first[256] = made.runs.size();
    made.char_width = char_width;
    made.ascent = ascent;
    made.height = height;
    made.ready = true;
    scaled_font = std::move(made);
}

void draw_scaled_string(Window window, GC gc, int x, int y, std::string_view text) {
    Display* display = x_display.display;
    if (draw_scale == 1 || !scaled_font.ready) {
        XDrawString(display, window, gc, x, y, text.data(), static_cast<int>(text.size()));
        return;
    }
    const int s = draw_scale;
    const int top = scaled(y - scaled_font.ascent);
    std::vector<XRectangle> blocks;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto code = static_cast<unsigned char>(text[i]);
        const int left = scaled(x + static_cast<int>(i) * scaled_font.char_width);
        for (std::size_t r = scaled_font.first[code]; r < scaled_font.first[code + 1u]; ++r) {
            const XRectangle& run = scaled_font.runs[r];
            const int block_x = left + run.x * s;
            const int block_y = top + run.y * s;
            // Past what an XRectangle carries: nothing of it could show.
            if (!fits_short(block_x) || !fits_short(block_y)) continue;
            blocks.push_back({static_cast<short>(block_x), static_cast<short>(block_y),
                              static_cast<unsigned short>(run.width * s), static_cast<unsigned short>(s)});
        }
    }
    XFillRectangles(display, window, gc, blocks.data(), static_cast<int>(blocks.size()));
}

void draw_scaled_image_string(Window window, GC gc, int x, int y, std::string_view text) {
    Display* display = x_display.display;
    if (draw_scale == 1 || !scaled_font.ready) {
        XDrawImageString(display, window, gc, x, y, text.data(), static_cast<int>(text.size()));
        return;
    }
    // The text's box in the background colour first, as XDrawImageString
    // fills it.
    XGCValues colours{};
    XGetGCValues(display, gc, GCForeground | GCBackground, &colours);
    XSetForeground(display, gc, colours.background);
    fill(window, gc, x, y - scaled_font.ascent, static_cast<int>(text.size()) * scaled_font.char_width,
         scaled_font.height);
    XSetForeground(display, gc, colours.foreground);
    draw_scaled_string(window, gc, x, y, text);
}

bool tiles_fit_board_at_scale(int tile_width, int tile_height, int columns, int rows) {
    const long long s = draw_scale;
    return tile_size_fits_board(tile_width, tile_height, columns, rows) &&
           (static_cast<long long>(columns) * tile_width + FRAME_EXTRA_WIDTH) * s <= X_SIDE_MAX &&
           (static_cast<long long>(rows) * tile_height + FRAME_EXTRA_HEIGHT) * s <= X_SIDE_MAX;
}

bool scale_pixmap(PixmapHandle& pixmap) {
    if (draw_scale == 1 || pixmap.get() == None) return true;
    Display* display = x_display.display;
    Window root = None;
    int x = 0;
    int y = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned border = 0;
    unsigned depth = 0;
    if (XGetGeometry(display, pixmap.get(), &root, &x, &y, &width, &height, &border, &depth) == 0) return false;
    const int s = draw_scale;
    const long long big_width = static_cast<long long>(width) * s;
    const long long big_height = static_cast<long long>(height) * s;
    if (!pixmap_size_fits(big_width, big_height)) return false;
    ImagePtr source(XGetImage(display, pixmap.get(), 0, 0, width, height, AllPlanes, ZPixmap));
    if (!source) return false;
    ImagePtr target(XCreateImage(display, DefaultVisual(display, 0), depth, ZPixmap, 0, nullptr,
                                 static_cast<unsigned>(big_width), static_cast<unsigned>(big_height), 32, 0));
    if (!target) return false;
    target->data = static_cast<char*>(std::malloc(static_cast<std::size_t>(target->bytes_per_line) *
                                                  static_cast<std::size_t>(big_height)));
    if (target->data == nullptr) return false;
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    const bool words = source->bits_per_pixel == 32 && target->bits_per_pixel == 32 &&
                       source->byte_order == target->byte_order;
    for (int row = 0; row < h; ++row) {
        char* first = target->data + static_cast<std::ptrdiff_t>(row * s) * target->bytes_per_line;
        if (words) {
            const char* in = source->data + static_cast<std::ptrdiff_t>(row) * source->bytes_per_line;
            for (int column = 0; column < w; ++column) {
                std::uint32_t pixel = 0;
                std::memcpy(&pixel, in + 4 * column, 4);
                for (int k = 0; k < s; ++k) std::memcpy(first + 4 * (column * s + k), &pixel, 4);
            }
        } else {
            for (int column = 0; column < w; ++column) {
                const unsigned long pixel = XGetPixel(source.get(), column, row);
                for (int k = 0; k < s; ++k) XPutPixel(target.get(), column * s + k, row * s, pixel);
            }
        }
        // The other rows of the block are copies of its first.
        for (int k = 1; k < s; ++k)
            std::memcpy(first + static_cast<std::ptrdiff_t>(k) * target->bytes_per_line, first,
                        static_cast<std::size_t>(target->bytes_per_line));
    }
    PixmapHandle big(display, XCreatePixmap(display, x_display.root, static_cast<unsigned>(big_width),
                                            static_cast<unsigned>(big_height), depth));
    GcHandle gc(display, XCreateGC(display, big.get(), 0, nullptr));
    XPutImage(display, big.get(), gc.get(), target.get(), 0, 0, 0, 0, static_cast<unsigned>(big_width),
              static_cast<unsigned>(big_height));
    pixmap = std::move(big);
    return true;
}
