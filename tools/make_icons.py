#!/usr/bin/env python3
"""make_icons.py: draws the application icon, the board of make_builtin_images.py's
48 x 48 window icon, afresh at every size a desktop asks for, in full colour
with smooth edges: the hicolor PNGs under desktop/icons/ and the ARGB pixels
that the game hands the window manager, src/pictures/app_icon.{h,cpp}."""

# Standard library only:  python3 tools/make_icons.py

import math
import os
import struct
import sys
import zlib

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from make_builtin_images import ICON, ICON_CLUSTER, ICON_LAYOUT  # noqa: E402
from pixel_art import parse_colour, sphere_light  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ICON_NAME = "org.clumpout.Clumpout"
PNG_SIZES = [16, 32, 48, 64, 128, 256]
WINDOW_SIZES = [16, 32, 48, 64, 128]     # what the game offers the window manager

COLOURS = dict((ch, parse_colour(colour)) for ch, colour in ICON)
BOARD = COLOURS["o"]
BALL = {"p": COLOURS["X"], "c": COLOURS[" "]}
WHITE = (255, 255, 255)


# ====================================================================== drawing

class Geometry:
    """Where things lie at one size, in pixels (floats)."""

    def __init__(self, size):
        self.size = size
        # Small icons use every pixel; larger ones leave the desktop's usual margin.
        self.margin = 0.0 if size <= 16 else size / 32.0
        self.corner = size * (0.12 if size <= 16 else 0.16)
        self.pad = 0.5 if size <= 16 else size * 0.07
        inner = size - 2 * (self.margin + self.pad)
        self.cell = inner / 3.0
        self.origin = self.margin + self.pad
        self.radius = self.cell * (0.5 if size <= 16 else 0.42)
        # The cluster's box, never thinner than a pixel; at 16 pixels a line would
        # eat the balls, so the cluster's cells are lit instead.
        self.line = 0.0 if size <= 16 else max(1.0, size / 36.0)


def in_rounded_square(g, x, y):
    lo, hi = g.margin, g.size - g.margin
    if not (lo <= x <= hi and lo <= y <= hi):
        return False
    cx = min(max(x, lo + g.corner), hi - g.corner)
    cy = min(max(y, lo + g.corner), hi - g.corner)
    return (x - cx) ** 2 + (y - cy) ** 2 <= g.corner ** 2


def board_colour(g, y):
    """The board, a touch lighter at the top."""
    t = (y - g.margin) / max(1.0, g.size - 2 * g.margin)
    lift = 0.25 * (1.0 - t)
    return tuple(c + (255 - c) * lift * 0.5 for c in BOARD)


def ball_colour(kind, lit):
    diffuse, specular = lit
    base = BALL[kind]
    shade = 0.30 + 0.85 * diffuse
    rgb = tuple(min(255.0, c * shade) for c in base)
    glint = min(1.0, specular * 1.2)
    return tuple(c + (255 - c) * glint for c in rgb)


def in_cluster_box(g, x, y):
    """Within the line width inside the outline of the purple cluster."""
    col = int(math.floor((x - g.origin) / g.cell))
    row = int(math.floor((y - g.origin) / g.cell))
    if (col, row) not in ICON_CLUSTER:
        return False
    x0, y0 = g.origin + col * g.cell, g.origin + row * g.cell
    x1, y1 = x0 + g.cell, y0 + g.cell
    w = g.line
    for (dc, dr, distance) in ((-1, 0, x - x0), (1, 0, x1 - x), (0, -1, y - y0), (0, 1, y1 - y)):
        if (col + dc, row + dr) not in ICON_CLUSTER and distance < w:
            return True
    # inner corners, where both sides continue but the diagonal cell does not
    for (dc, dr, cx, cy) in ((-1, -1, x0, y0), (1, -1, x1, y0), (-1, 1, x0, y1), (1, 1, x1, y1)):
        if ((col + dc, row) in ICON_CLUSTER and (col, row + dr) in ICON_CLUSTER and
                (col + dc, row + dr) not in ICON_CLUSTER and abs(x - cx) < w and abs(y - cy) < w):
            return True
    return False


def sample(g, x, y):
    """(r, g, b, a) of the icon at the point (x, y); a is 0 or 1."""
    if not in_rounded_square(g, x, y):
        return (0.0, 0.0, 0.0, 0.0)
    if g.line > 0 and in_cluster_box(g, x, y):
        return WHITE + (1.0,)
    col = int(math.floor((x - g.origin) / g.cell))
    row = int(math.floor((y - g.origin) / g.cell))
    board = board_colour(g, y)
    if g.line == 0 and (col, row) in ICON_CLUSTER:
        board = tuple(c + (255 - c) * 0.55 for c in board)
    if 0 <= col < 3 and 0 <= row < 3:
        cx = g.origin + (col + 0.5) * g.cell
        cy = g.origin + (row + 0.5) * g.cell
        lit = sphere_light(x, y, cx, cy, g.radius)
        if lit is not None:
            return ball_colour(ICON_LAYOUT[row][col], lit) + (1.0,)
        # a soft shadow below and right of the ball
        d = math.hypot(x - cx - g.radius * 0.12, y - cy - g.radius * 0.16) / g.radius
        if g.line > 0 and d < 1.08:
            return tuple(c * 0.72 for c in board) + (1.0,)
    return board + (1.0,)


def draw(size):
    """size x size pixels, each (r, g, b, a) in 0..255, row by row from the top."""
    g = Geometry(size)
    n = 8 if size <= 32 else 4          # samples per pixel side
    pixels = []
    for py in range(size):
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(n):
                for sx in range(n):
                    r, gr, b, a = sample(g, px + (sx + 0.5) / n, py + (sy + 0.5) / n)
                    acc[0] += r * a
                    acc[1] += gr * a
                    acc[2] += b * a
                    acc[3] += a
            if acc[3] == 0:
                pixels.append((0, 0, 0, 0))
                continue
            rgb = tuple(int(round(c / acc[3])) for c in acc[:3])
            pixels.append(rgb + (int(round(255 * acc[3] / (n * n))),))
    return pixels


# ====================================================================== output

def png_bytes(size, pixels):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = bytearray()
    for y in range(size):
        raw.append(0)
        for p in pixels[y * size:(y + 1) * size]:
            raw.extend(p)
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
            chunk(b"IEND", b""))


HEADER = """\
// app_icon.h: the application icon at the sizes a window manager picks from,
// each as _NET_WM_ICON carries it. Pure data, written by tools/make_icons.py.
#pragma once

#include <cstdint>

struct AppIcon {
    int size;                 // width and height in pixels
    const char* const* rows;  // size rows from the top, each pixel eight hex digits AARRGGBB
};

inline constexpr int APP_ICON_COUNT = %d;
extern const AppIcon APP_ICONS[APP_ICON_COUNT];  // smallest first

// The pixel at column x, row y of an icon as 0xAARRGGBB.
std::uint32_t app_icon_pixel(const AppIcon& icon, int x, int y);
"""

SOURCE_HEAD = """\
// app_icon.cpp: written by tools/make_icons.py from the icon's drawing; do not edit.
// A row a line, so the largest icon stays readable as a picture of text.
#include "pictures/app_icon.h"

#include "base/line_reader.h"

namespace {
"""

SOURCE_TAIL = """\
std::uint32_t app_icon_pixel(const AppIcon& icon, int x, int y) {
    const char* digits = icon.rows[y] + 8 * x;
    std::uint32_t value = 0;
    for (int i = 0; i < 8; ++i) value = value << 4 | static_cast<std::uint32_t>(hex_digit_value(digits[i]));
    return value;
}
"""


def argb_rows(size, pixels):
    values = ["%02X%02X%02X%02X" % (a, r, g, b) for r, g, b, a in pixels]
    lines = ['    "' + "".join(values[i:i + size]) + '",' for i in range(0, len(values), size)]
    return "const char* const icon_%d[%d] = {\n%s\n};\n" % (size, size, "\n".join(lines))


def main():
    drawn = {size: draw(size) for size in sorted(set(PNG_SIZES) | set(WINDOW_SIZES))}
    for size in PNG_SIZES:
        folder = os.path.join(ROOT, "desktop", "icons", "hicolor", "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, ICON_NAME + ".png"), "wb") as out:
            out.write(png_bytes(size, drawn[size]))
    with open(os.path.join(ROOT, "src", "pictures", "app_icon.h"), "w") as out:
        out.write(HEADER % len(WINDOW_SIZES))
    entries = ",\n".join("    {%d, icon_%d}" % (s, s) for s in WINDOW_SIZES)
    with open(os.path.join(ROOT, "src", "pictures", "app_icon.cpp"), "w") as out:
        out.write(SOURCE_HEAD + "\n".join(argb_rows(s, drawn[s]) for s in WINDOW_SIZES) +
                  "}  // namespace\n\nconst AppIcon APP_ICONS[APP_ICON_COUNT] = {\n" + entries + ",\n};\n\n" +
                  SOURCE_TAIL)
    return 0


if __name__ == "__main__":
    sys.exit(main())
