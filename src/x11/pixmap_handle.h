// pixmap_handle.h: owning handles for the X resources a picture loader makes
// and may have to give back on a failure path: pixmaps and graphics contexts.
// Moved, never copied, so nothing is freed twice.
#pragma once

#include <X11/Xlib.h>
#include <utility>

class PixmapHandle {
public:
    PixmapHandle() = default;
    PixmapHandle(Display* display, Pixmap pixmap) : display_(display), pixmap_(pixmap) {}
    PixmapHandle(const PixmapHandle&) = delete;
    PixmapHandle& operator=(const PixmapHandle&) = delete;
    PixmapHandle(PixmapHandle&& other) noexcept
        : display_(other.display_), pixmap_(std::exchange(other.pixmap_, None)) {}
    PixmapHandle& operator=(PixmapHandle&& other) noexcept {
        if (this != &other) {
            reset();
            display_ = other.display_;
            pixmap_ = std::exchange(other.pixmap_, None);
        }
        return *this;
    }
    ~PixmapHandle() { reset(); }

    Pixmap get() const { return pixmap_; }
    Pixmap release() { return std::exchange(pixmap_, None); }
    void reset() {
        if (pixmap_ != None) XFreePixmap(display_, pixmap_);
        pixmap_ = None;
    }

private:
    Display* display_ = nullptr;
    Pixmap pixmap_ = None;
};

class GcHandle {
public:
    GcHandle(Display* display, GC gc) : display_(display), gc_(gc) {}
    GcHandle(const GcHandle&) = delete;
    GcHandle& operator=(const GcHandle&) = delete;
    ~GcHandle() {
        if (gc_ != nullptr) XFreeGC(display_, gc_);
    }
    GC get() const { return gc_; }

private:
    Display* display_;
    GC gc_;
};
