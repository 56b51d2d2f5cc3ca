// window_properties.h: what the window manager and the desktop read from
// the main window: its names, the machine and process it belongs to, its
// icons, and its fixed size. Set before the window is first mapped.
#pragma once

#include <X11/Xlib.h>
#include <span>

#include "pictures/app_icon.h"

// WM_NAME and _NET_WM_NAME (UTF-8) `title`, WM_CLASS `instance` / `class_name`,
// WM_CLIENT_MACHINE, _NET_WM_PID, and _NET_WM_ICON with every image of
// `icons`.
void set_window_names(Window window, const char* title, const char* instance, const char* class_name,
                      std::span<const AppIcon> icons);

// Width and height fixed: the window manager is asked to keep exactly this
// size (in screen pixels).
void set_fixed_size(Window window, int width, int height);
