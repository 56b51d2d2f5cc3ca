// x_test_support.h: what the picture loaders' X tests share: pointing
// x_display at a private server the way start-up does, reading pixmaps back as
// colours, and catching the messages the loaders report.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/xpm.h>
#include <array>
#include <cstdint>
#include <string>

#include "base/report.h"
#include "x11/x_display.h"

inline Messages* caught_messages = nullptr;
inline void catch_message(std::string_view message) {
    if (caught_messages != nullptr) caught_messages->emplace_back(message);
}

inline void use_display(Display* display) {
    x_display.display = display;
    x_display.root = RootWindow(display, 0);
    x_display.colormap = DefaultColormap(display, 0);
    x_display.black_pixel = BlackPixel(display, 0);
    x_display.white_pixel = WhitePixel(display, 0);
    x_display.xpm_attributes = {};
    x_display.xpm_attributes.valuemask = XpmColormap | XpmSize | XpmReturnPixels;
    x_display.xpm_attributes.colormap = x_display.colormap;
}

using Rgb = std::array<int, 3>;

// The colour of every pixel of a drawable, as 8-bit red, green, blue.
class ReadBack {
public:
    ReadBack(Display* display, Drawable drawable) : display_(display) {
        Window root;
        int x, y;
        unsigned border, depth;
        XGetGeometry(display, drawable, &root, &x, &y, &width_, &height_, &border, &depth);
        image_ = XGetImage(display, drawable, 0, 0, width_, height_, AllPlanes, ZPixmap);
    }
    ~ReadBack() {
        if (image_ != nullptr) XDestroyImage(image_);
    }
    ReadBack(const ReadBack&) = delete;
    ReadBack& operator=(const ReadBack&) = delete;

    int width() const { return static_cast<int>(width_); }
    int height() const { return static_cast<int>(height_); }
    unsigned long pixel(int x, int y) const { return XGetPixel(image_, x, y); }
    Rgb rgb(int x, int y) const {
        XColor cell{};
        cell.pixel = pixel(x, y);
        XQueryColor(display_, DefaultColormap(display_, 0), &cell);
        return {cell.red >> 8, cell.green >> 8, cell.blue >> 8};
    }

private:
    Display* display_;
    unsigned width_ = 0;
    unsigned height_ = 0;
    XImage* image_ = nullptr;
};
