// app_icon.h: the application icon at the sizes a window manager picks from,
// each as _NET_WM_ICON carries it. Pure data, written by tools/make_icons.py.
#pragma once

#include <cstdint>

struct AppIcon {
    int size;                   // width and height in pixels
    const std::uint32_t* argb;  // size * size pixels, 0xAARRGGBB, row by row from the top
};

inline constexpr int APP_ICON_COUNT = 5;
extern const AppIcon APP_ICONS[APP_ICON_COUNT];  // smallest first
