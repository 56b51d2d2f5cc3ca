// text_render.cpp: drawing the expected texts with Xlib on a pixmap of our
// own; the server draws glyphs identically for both connections.
#include "e2e/text_render.h"

#include <X11/Xutil.h>

namespace {

unsigned long named_pixel(Display* d, const char* name)
{
    XColor screen, exact;
    if (!XAllocNamedColor(d, DefaultColormap(d, 0), name, &screen, &exact)) return 0;
    return screen.pixel;
}

}  // namespace

TextRenderer::~TextRenderer()
{
    if (display_ == nullptr) return;
    if (gc_ != nullptr) XFreeGC(display_, gc_);
    if (font_ != None) XUnloadFont(display_, font_);
}

int TextRenderer::open(Display* display)
{
    display_ = display;
    font_ = XLoadFont(display, "7x14");
    black_ = named_pixel(display, "black");
    white_ = named_pixel(display, "white");
    gray_ = named_pixel(display, "gray");
    gc_ = XCreateGC(display, DefaultRootWindow(display), 0, nullptr);
    XSync(display, False);
    return font_ != None && gc_ != nullptr ? 0 : -1;
}

Image TextRenderer::render(int width, int height, const std::vector<DrawOp>& ops, unsigned long fill) const
{
    Pixmap p = XCreatePixmap(display_, DefaultRootWindow(display_), static_cast<unsigned>(width),
                             static_cast<unsigned>(height), static_cast<unsigned>(DefaultDepth(display_, 0)));
    XSetForeground(display_, gc_, fill);
    XFillRectangle(display_, p, gc_, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSetFont(display_, gc_, font_);
    for (const DrawOp& op : ops) {
        XSetForeground(display_, gc_, op.foreground);
        XSetBackground(display_, gc_, op.background);
        switch (op.kind) {
        case DrawOp::IMAGE_TEXT:
            XDrawImageString(display_, p, gc_, op.x, op.y, op.text.data(), static_cast<int>(op.text.size()));
            break;
        case DrawOp::TEXT:
            XDrawString(display_, p, gc_, op.x, op.y, op.text.data(), static_cast<int>(op.text.size()));
            break;
        case DrawOp::LINE:
            XDrawLine(display_, p, gc_, op.x, op.y, op.x2, op.y2);
            break;
        case DrawOp::RECTANGLE:
            XDrawRectangle(display_, p, gc_, op.x, op.y, static_cast<unsigned>(op.x2), static_cast<unsigned>(op.y2));
            break;
        }
    }
    XImage* xi = XGetImage(display_, p, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes,
                           ZPixmap);
    Image image;
    if (xi != nullptr) {
        image.width = width;
        image.height = height;
        image.pixels.resize(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image.pixels[static_cast<size_t>(y) * width + x] =
                    static_cast<std::uint32_t>(XGetPixel(xi, x, y)) & 0xFFFFFFu;
        XDestroyImage(xi);
    }
    XFreePixmap(display_, p);
    return image;
}
