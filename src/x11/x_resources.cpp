// x_resources.cpp: the resource database of the display, read once.
#include "x11/x_resources.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <cstring>

#include "x11/x_display.h"

namespace {

// Kept for the whole run, like the connection it came from.
XrmDatabase database = nullptr;

}  // namespace

void load_x_resources() {
    XrmInitialize();
    const char* text = XResourceManagerString(x_display.display);
    if (text != nullptr) database = XrmGetStringDatabase(text);
}

bool x_resource(const char* name, const char* class_name, std::string& value) {
    if (database == nullptr) return false;
    char* type = nullptr;
    XrmValue found{};
    if (XrmGetResource(database, name, class_name, &type, &found) == False || found.addr == nullptr) return false;
    // An XrmValue of a string holds its terminating NUL in its size.
    value.assign(found.addr, strnlen(found.addr, found.size));
    return true;
}
