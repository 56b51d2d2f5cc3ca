// app_icon.h: the application icon at the sizes a window manager picks from,
// each as _NET_WM_ICON carries it. Pure data, written by tools/make_icons.py.
#pragma once

#include <cstdint>

struct AppIcon {
    int size;                 // width and height in pixels
    const char* const* rows;  // size rows from the top, each pixel eight hex digits AARRGGBB
};

inline constexpr int APP_ICON_COUNT = 5;
extern const AppIcon APP_ICONS[APP_ICON_COUNT];  // smallest first

// The pixel at column x, row y of an icon as 0xAARRGGBB.
std::uint32_t app_icon_pixel(const AppIcon& icon, int x, int y);
