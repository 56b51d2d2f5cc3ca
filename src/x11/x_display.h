// x_display.h: the display connection and the X helpers every drawing file
// uses: the screen's root and colormap, the three named pixels, colour
// allocation, XPM images and the pointer. Opened once; kept until exit.
// Knows nothing of the game's windows.
#pragma once

#include <X11/Xlib.h>
#include <X11/xpm.h>

struct DisplayRecord {
    Display* display;
    Window root;                    // of screen 0
    Colormap colormap;              // its default colormap
    unsigned long black_pixel;
    unsigned long white_pixel;
    unsigned long gray_pixel;
    XpmAttributes xpm_attributes;   // shared by every XPM call
};

extern DisplayRecord x_display;

// Opens the display named `name` (nullptr: the environment's) and fills
// x_display but for the three pixels. False when it cannot be opened.
bool open_x_display(const char* name);

// Fills the black, white and gray pixels of x_display by name.
void allocate_named_pixels();

// XAllocColor, but worked out without a round trip on a TrueColor default
// colormap, where the pixel follows from the colour alone. Returns nonzero
// on success, like XAllocColor.
int allocate_colour(Display* display, Colormap colormap, XColor* colour);

// XpmCreatePixmapFromData on the root window, no shape mask. Returns the
// libXpm status; `pixmap` is set only on XpmSuccess.
int make_pixmap_from_xpm(const char* const* data, Pixmap* pixmap);

// XpmReadFileToPixmap on the root window, no shape mask, but an image whose
// own size X cannot carry is refused (XpmFileInvalid) before any request.
// Returns the libXpm status; `pixmap` may be set with a non-fatal status.
// `width` and `height` get the file's own size once it has been read.
int make_pixmap_from_xpm_file(const char* path, Pixmap* pixmap, int* width, int* height);

// libXpm hands back a fresh list of allocated pixels on every call and never
// frees the previous one; callers of other XPM calls drop it with this at
// once, since nothing in the program reads it.
void forget_returned_pixels();

// Where the pointer is, relative to `window`, at scale 1 (read now, not
// taken from an event).
struct PointerPosition {
    int x;
    int y;
};
PointerPosition query_pointer(Window window);
