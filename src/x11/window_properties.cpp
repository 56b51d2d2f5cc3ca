// window_properties.cpp: the properties of the main window that name it to
// the window manager, the taskbar and the desktop entry.
#include "x11/window_properties.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <climits>
#include <cstring>
#include <unistd.h>
#include <vector>

#include "x11/x_display.h"

namespace {

void set_cardinals(Window window, const char* property, const std::vector<long>& values) {
    Display* display = x_display.display;
    // Format 32 data travels as longs on the client side, whatever their size.
    XChangeProperty(display, window, XInternAtom(display, property, False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(values.data()), static_cast<int>(values.size()));
}

}  // namespace

void set_window_names(Window window, const char* title, const char* instance, const char* class_name,
                      std::span<const AppIcon> icons) {
    Display* display = x_display.display;
    XStoreName(display, window, title);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title), static_cast<int>(std::strlen(title)));

    // XSetClassHint's prototype is not const-correct; it only reads them.
    XClassHint class_hint{const_cast<char*>(instance), const_cast<char*>(class_name)};
    XSetClassHint(display, window, &class_hint);

    char host[HOST_NAME_MAX + 1] = {};
    if (gethostname(host, sizeof host - 1) == 0) {
        char* names[] = {host};
        XTextProperty machine{};
        if (XStringListToTextProperty(names, 1, &machine) != 0) {
            XSetWMClientMachine(display, window, &machine);
            XFree(machine.value);
        }
    }
    set_cardinals(window, "_NET_WM_PID", {static_cast<long>(getpid())});

    std::vector<long> icon_data;
    for (const AppIcon& icon : icons) {
        icon_data.push_back(icon.size);
        icon_data.push_back(icon.size);
        for (int y = 0; y < icon.size; ++y)
            for (int x = 0; x < icon.size; ++x) icon_data.push_back(static_cast<long>(app_icon_pixel(icon, x, y)));
    }
    if (!icon_data.empty()) set_cardinals(window, "_NET_WM_ICON", icon_data);
}

void set_fixed_size(Window window, int width, int height) {
    XSizeHints hints = {};
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = hints.max_width = width;
    hints.min_height = hints.max_height = height;
    XSetNormalHints(x_display.display, window, &hints);
}
