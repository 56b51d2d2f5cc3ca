#!/usr/bin/env python3
"""make_themes.py: draws the picture sets that ship beside the game into themes/:
two description-file sets with their XPM images, BMP tile sheets of 1, 4 and 8
bits per pixel, and the catalogue clumpout.dat. Names in the description files
are relative to the data directory the themes are installed into."""

# Standard library only:  python3 tools/make_themes.py [OUTPUT_DIR]
# (OUTPUT_DIR defaults to themes/ in the source tree).

import math
import os
import struct
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from pixel_art import (Canvas, check_image, fbm, hex6, mix, nearest,  # noqa: E402
                       outline_of, polygon, rounded_rect, segment_distance,
                       xpm_file_text)

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Characters for XPM pixels: printable, never a quote or a backslash, and no '/' so that
# a row can never hold something that looks like a comment.
XPM_CHARS = (" .XoO+@#$%&*=-;:>,<1234567890qwertyuipasdfghjklzxcvbnmMNBVCZASDFGHJKLPIUYTREWQ!~^()_`'][{}|")


# ====================================================================== colour reduction

def median_cut(pixels, limit):
    """At most `limit` representative colours for a list of (r, g, b) ints."""
    distinct = sorted(set(pixels))
    if len(distinct) <= limit:
        return distinct
    boxes = [pixels[:]]
    while len(boxes) < limit:
        def spread(box):
            return max(max(p[c] for p in box) - min(p[c] for p in box) for c in range(3)) \
                if len(set(box)) > 1 else -1
        box = max(boxes, key=lambda b: (spread(b), len(b)))
        if spread(box) <= 0:
            break
        channel = max(range(3), key=lambda c: max(p[c] for p in box) - min(p[c] for p in box))
        box.sort(key=lambda p: p[channel])
        half = len(box) // 2
        boxes.remove(box)
        boxes += [box[:half], box[half:]]
    return sorted({tuple(int(round(sum(p[c] for p in box) / len(box))) for c in range(3))
                   for box in boxes})


def refine(palette, pixels, rounds):
    """Lloyd rounds: moves each palette colour to the mean of the pixels nearest
    to it, which removes the stray blotches a plain median cut leaves."""
    counts = {}
    for p in pixels:
        counts[p] = counts.get(p, 0) + 1
    for _ in range(rounds):
        sums = [[0, 0, 0, 0] for _ in palette]
        for colour, count in counts.items():
            s = sums[nearest(palette, colour)]
            for c in range(3):
                s[c] += colour[c] * count
            s[3] += count
        palette = sorted({tuple(int(round(s[c] / s[3])) for c in range(3)) for s in sums if s[3]})
    return palette


def shared_palette(images, limit, rounds=4):
    """At most `limit` colours that serve every image of the list together, so
    a whole set costs no more colormap cells than that on a display with few."""
    pixels = [tuple(max(0, min(255, int(round(c)))) for c in rgb)
              for image in images for row in image for rgb in row]
    palette = median_cut(pixels, limit)
    if len(set(pixels)) > limit:
        palette = refine(palette, pixels, rounds)
    return palette


def index_image(image, palette):
    """Rows of palette indexes: each pixel takes its nearest palette colour."""
    cache = {}
    rows = []
    for row in image:
        indexes = []
        for rgb in row:
            key = tuple(max(0, min(255, int(round(c)))) for c in rgb)
            if key not in cache:
                cache[key] = nearest(palette, key)
            indexes.append(cache[key])
        rows.append(indexes)
    return rows


def write_xpm_set(folder, images, limit):
    """Writes {file name: image} as XPM files drawn from one shared palette."""
    palette = shared_palette(list(images.values()), limit)
    for name, image in images.items():
        write_xpm(os.path.join(folder, name), image, palette)


def write_xpm(path, image, palette):
    rows = index_image(image, palette)
    used = sorted({i for row in rows for i in row})
    chars = {index: XPM_CHARS[n] for n, index in enumerate(used)}
    xpm_palette = [(chars[i], hex6(palette[i])) for i in used]
    xpm_rows = ["".join(chars[i] for i in row) for row in rows]
    check_image(xpm_palette, xpm_rows, len(image[0]), len(image))
    name = os.path.splitext(os.path.basename(path))[0].replace("-", "_") + "_xpm"
    with open(path, "w") as out:
        out.write(xpm_file_text(name, xpm_palette, xpm_rows))


def supersample(width, height, shade, n=4):
    """Renders shade(x, y) -> rgb at n x n points per pixel and averages them."""
    image = []
    for y in range(height):
        row = []
        for x in range(width):
            total = [0.0, 0.0, 0.0]
            for sy in range(n):
                for sx in range(n):
                    rgb = shade(x + (sx + 0.5) / n, y + (sy + 0.5) / n)
                    for c in range(3):
                        total[c] += rgb[c]
            row.append(tuple(t / (n * n) for t in total))
        image.append(row)
    return image


def scale(rgb, k):
    return tuple(c * k for c in rgb)


def tone(hue, b):
    """A colour of the hue's family: 0 near black, 0.5 the hue, 1 near white."""
    b = max(0.0, min(1.0, b))
    if b < 0.5:
        return mix(scale(hue, 0.12), hue, b / 0.5)
    return mix(hue, (255, 255, 255), (b - 0.5) / 0.5 * 0.9)


LIGHT_2D = (-0.7071, -0.7071)   # light comes from the upper left


# ====================================================================== Gems (24 x 24)

GEM_SIZE = 24
GEM_HUES = [(215, 20, 55), (35, 80, 235), (20, 175, 85), (250, 185, 25), (165, 65, 225)]
GEM_NAMES = ["ruby", "sapphire", "emerald", "topaz", "amethyst"]


def regular(n, r, rotation, cx=12.0, cy=12.0, stretch=1.0):
    return [(cx + r * math.cos(rotation + 2 * math.pi * k / n),
             cy + stretch * r * math.sin(rotation + 2 * math.pi * k / n)) for k in range(n)]


GEM_OUTLINES = [
    regular(12, 9.6, math.pi / 12),                                     # round brilliant
    [(3.5, 3.5), (20.5, 3.5), (20.5, 20.5), (3.5, 20.5)],                # princess square
    [(8.0, 2.5), (16.0, 2.5), (19.5, 6.0), (19.5, 18.0), (16.0, 21.5),   # step-cut octagon
     (8.0, 21.5), (4.5, 18.0), (4.5, 6.0)],
    [(12.0, 2.5), (22.0, 20.5), (2.0, 20.5)],                            # trillion
    regular(6, 10.0, -math.pi / 2, stretch=1.0),                          # hexagon
]


def velvet(x, y, size, seed):
    """The dark board cloth the gems rest on; tiles with period `size`."""
    n = fbm(x, y, size, 3, seed, 3)
    return (22 + 14 * n, 24 + 14 * n, 44 + 22 * n)


def point_in_convex(points, x, y):
    sign = 0
    for i in range(len(points)):
        x0, y0 = points[i]
        x1, y1 = points[(i + 1) % len(points)]
        cross = (x1 - x0) * (y - y0) - (y1 - y0) * (x - x0)
        if cross != 0:
            if sign == 0:
                sign = 1 if cross > 0 else -1
            elif (cross > 0) != (sign > 0):
                return False
    return True


def gem_shade(outline, hue, x, y, lift):
    """The colour of a faceted gem at (x, y), or None outside it."""
    if not point_in_convex(outline, x, y):
        return None
    n = len(outline)
    cx = sum(p[0] for p in outline) / n
    cy = sum(p[1] for p in outline) / n
    table = [(cx + 0.52 * (px - cx), cy + 0.52 * (py - cy)) for px, py in outline]
    edge = min(_edge_distance(outline, x, y))
    if edge < 0.7:
        return tone(hue, 0.12 + lift * 0.5)
    if point_in_convex(table, x, y):
        b = 0.62 + 0.1 * ((cx - x) + (cy - y)) / 10.0
        return tone(hue, b + lift)
    angle = math.atan2(y - cy, x - cx)
    best = 0
    for i in range(n):               # the crown facet whose sector holds the point
        a0 = math.atan2(outline[i][1] - cy, outline[i][0] - cx)
        a1 = math.atan2(outline[(i + 1) % n][1] - cy, outline[(i + 1) % n][0] - cx)
        span = (a1 - a0) % (2 * math.pi)
        if (angle - a0) % (2 * math.pi) <= span:
            best = i
            break
    (x0, y0), (x1, y1) = outline[best], outline[(best + 1) % n]
    nx, ny = (y1 - y0), -(x1 - x0)
    length = math.hypot(nx, ny)
    facing = (nx * LIGHT_2D[0] + ny * LIGHT_2D[1]) / length
    if (nx * (cx - x0) + ny * (cy - y0)) > 0:
        facing = -facing
    mx, my = (x0 + x1) / 2, (y0 + y1) / 2
    side = (mx - cx) * (y - cy) - (my - cy) * (x - cx)
    b = max(0.2, 0.48 + 0.4 * facing + (0.1 if side > 0 else -0.1))
    return tone(hue, b + lift)


def _edge_distance(points, x, y):
    for i in range(len(points)):
        yield segment_distance(x, y, *points[i], *points[(i + 1) % len(points)])


def sparkle(x, y, cx, cy, size):
    """Strength 0..1 of a four-pointed glint centred at (cx, cy)."""
    dx, dy = abs(x - cx), abs(y - cy)
    arm = max(0.0, 1.0 - dx / size) * (1.0 if dy < 0.55 else 0.0) + \
        max(0.0, 1.0 - dy / size) * (1.0 if dx < 0.55 else 0.0)
    return min(1.0, 1.6 * arm)


def draw_gem(colour, state):
    hue = GEM_HUES[colour]
    outline = GEM_OUTLINES[colour]
    lift, shrink, shift = {"default": (0.0, 1.0, 0.0),
                           "selected": (0.12, 1.0, 0.0),
                           "pushed": (-0.14, 0.88, 1.0)}[state]
    n = len(outline)
    cx = sum(p[0] for p in outline) / n
    cy = sum(p[1] for p in outline) / n
    shape = [(cx + shift + shrink * (px - cx), cy + shift + shrink * (py - cy)) for px, py in outline]
    top_left = min(shape, key=lambda p: p[0] + p[1])
    glint = (math.floor(cx + 0.5 * (top_left[0] - cx)) + 0.5,    # on a pixel centre, so it stays crisp
             math.floor(cy + 0.5 * (top_left[1] - cy)) + 0.5)

    def shade(x, y):
        back = velvet(x, y, GEM_SIZE, 5)
        if state == "selected":          # a glow of the gem's colour behind it
            r = math.hypot(x - cx, y - cy)
            back = mix(back, hue, 0.75 * max(0.0, 1.0 - r / 14.0) ** 0.7)
        if state == "pushed":            # sunk into the cloth
            back = scale(back, 0.7)
            if x < 1.0 or y < 1.0:
                back = (4, 4, 10)
            elif x > GEM_SIZE - 1 or y > GEM_SIZE - 1:
                back = (90, 92, 120)
        gem = gem_shade(shape, hue, x, y, lift)
        rgb = back if gem is None else gem
        if state != "pushed":
            s = sparkle(x, y, glint[0], glint[1], 4.5 if state == "selected" else 3.0)
            rgb = mix(rgb, (255, 255, 255), s)
        return rgb
    return supersample(GEM_SIZE, GEM_SIZE, shade)


def draw_gem_frame():
    """16 x 16 gold lattice on dark cloth, bevelled, tiling without seams."""
    gold = (215, 170, 55)

    def shade(x, y):
        u = (x + y) % 16.0
        v = (x - y) % 16.0
        du, dv = min(u, 16 - u), min(v, 16 - v)
        if min(du, dv) < 2.2:
            along_u = du < dv
            d = du if along_u else dv
            raw = u if along_u else v
            lit = raw < 8          # the side of the bar that faces the upper left
            b = 0.5 + (0.22 if lit else -0.2) * (d / 2.2) + 0.05
            if d > 1.8:
                b -= 0.25
            return tone(gold, b)
        return scale(velvet(x, y, 16, 9), 0.8)
    return supersample(16, 16, shade)


def make_gems(out_dir):
    folder = os.path.join(out_dir, "gems")
    os.makedirs(folder, exist_ok=True)
    suffix = {"default": "", "selected": "_lit", "pushed": "_down"}
    names, images = {}, {}
    for state in ("default", "selected", "pushed"):
        names[state] = []
        for colour in range(5):
            name = "%s%s.xpm" % (GEM_NAMES[colour], suffix[state])
            images[name] = draw_gem(colour, state)
            names[state].append("gems/" + name)
    images["cloth.xpm"] = supersample(GEM_SIZE, GEM_SIZE, lambda x, y: velvet(x, y, GEM_SIZE, 5), 2)
    images["lattice.xpm"] = draw_gem_frame()
    write_xpm_set(folder, images, 96)
    lines = ["# Gems: cut stones on dark cloth, 24 pixels.",
             "# Each colour has its own cut, so the stones differ by shape as well.",
             "width 24",
             "height 24",
             "box gold",
             "default"] + names["default"] + ["selected   # lit up, on a glow of their own colour"] + \
        names["selected"] + ["pushed     # smaller and sunk into the cloth"] + names["pushed"] + \
        ["background", "gems/cloth.xpm", "frame", "gems/lattice.xpm"]
    with open(os.path.join(out_dir, "gems.dat"), "w") as out:
        out.write("\n".join(lines) + "\n")


# ====================================================================== Dice (28 x 28)

DICE_SIZE = 28
DICE = [  # body, pips
    ((200, 35, 45), (250, 245, 240)),
    ((35, 85, 200), (250, 245, 240)),
    ((240, 236, 222), (25, 25, 30)),
    ((245, 195, 40), (25, 25, 30)),
    ((130, 55, 170), (250, 245, 240)),
]
DICE_NAMES = ["one", "two", "three", "four", "five"]
PIPS = {1: [(0, 0)], 2: [(-1, -1), (1, 1)], 3: [(-1, -1), (0, 0), (1, 1)],
        4: [(-1, -1), (1, -1), (-1, 1), (1, 1)], 5: [(-1, -1), (1, -1), (0, 0), (-1, 1), (1, 1)]}


def felt(x, y):
    n = fbm(x, y, DICE_SIZE, 3, 17, 7)
    fine = fbm(x, y, DICE_SIZE, 1, 18, 14)
    return (28 + 20 * n + 8 * fine, 100 + 34 * n + 10 * fine, 52 + 20 * n)


def draw_die(colour):
    body, pip = DICE[colour]
    count = colour + 1
    x0, y0, x1, y1, radius = 2.5, 2.5, 25.0, 25.0, 5.0
    face = rounded_rect(x0, y0, x1, y1, radius)
    shadow = rounded_rect(x0 + 1.6, y0 + 1.6, x1 + 1.6, y1 + 1.6, radius)
    inner = rounded_rect(x0 + 1.6, y0 + 1.6, x1 - 1.6, y1 - 1.6, radius - 1.4)
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2

    def shade(x, y):
        if not face(x, y):
            back = felt(x, y)
            return scale(back, 0.55) if shadow(x, y) else back
        if not inner(x, y):                 # the rounded edge: lit upper left, dark lower right
            lit = (cx - x) + (cy - y)
            rgb = mix(body, (255, 255, 255), 0.35) if lit > 0 else scale(body, 0.62)
        else:
            rgb = mix(body, (255, 255, 255), 0.06 * ((cx - x) + (cy - y)) / 10.0) \
                if sum(body) > 600 else scale(body, 1.0 + 0.05 * ((cx - x) + (cy - y)) / 10.0)
        for px, py in PIPS[count]:
            qx, qy = cx + 6.4 * px, cy + 6.4 * py
            d = math.hypot(x - qx, y - qy)
            if d < 2.7:
                # a hollow pip: its upper-left rim is in shadow
                rim = (x - qx) + (y - qy) < -1.6 and d > 1.5
                rgb = scale(pip, 0.55) if rim and sum(pip) > 300 else pip
        return rgb
    return supersample(DICE_SIZE, DICE_SIZE, shade)


def draw_dice_frame():
    """64 x 16 mahogany boards, two courses with staggered joints, tiling without seams."""
    wood = (118, 50, 28)

    def shade(x, y):
        board = int(y // 8)
        joint = (x + (40 if board % 2 else 0)) % 64.0
        yy = y % 8.0
        warp = fbm(x, y, 64, 3, 27 + board, 4) * 5.0
        streak = 0.5 + 0.5 * math.sin(yy * 1.9 + warp + board * 2.0)
        rgb = scale(wood, 0.78 + 0.32 * streak)
        if yy < 1.0 or joint < 1.0:
            rgb = mix(rgb, (255, 214, 170), 0.22)
        elif yy > 7.0 or joint > 63.0:
            rgb = scale(rgb, 0.42)
        return rgb
    return supersample(64, 16, shade, 3)


def make_dice(out_dir):
    folder = os.path.join(out_dir, "dice")
    os.makedirs(folder, exist_ok=True)
    names, images = [], {}
    for colour in range(5):
        name = DICE_NAMES[colour] + ".xpm"
        images[name] = draw_die(colour)
        names.append("dice/" + name)
    images["felt.xpm"] = supersample(DICE_SIZE, DICE_SIZE, felt, 2)
    images["tray.xpm"] = draw_dice_frame()
    write_xpm_set(folder, images, 64)
    lines = ["# Dice: coloured dice on green felt, 28 pixels. Colour n shows n pips.",
             "# No selected or pushed pictures: highlighted dice get a yellow outline.",
             "width 28",
             "height 28",
             "box yellow",
             "default"] + names + ["background", "dice/felt.xpm", "frame", "dice/tray.xpm"]
    with open(os.path.join(out_dir, "dice.dat"), "w") as out:
        out.write("\n".join(lines) + "\n")


# ====================================================================== BMP sheets

SHEET_WIDTH, SHEET_HEIGHT, TILE = 192, 64, 32


def write_bmp(path, bits, palette, pixels):
    """A 192 x 64 sheet: 40-byte info header, a palette of 2^bits entries right
    after it, rows bottom-up with no filler, no compression."""
    colours = 1 << bits
    assert len(palette) <= colours
    palette = list(palette) + [(0, 0, 0)] * (colours - len(palette))
    row_bytes = SHEET_WIDTH * bits // 8
    offset = 14 + 40 + 4 * colours
    size = offset + row_bytes * SHEET_HEIGHT
    data = bytearray()
    data += b"BM" + struct.pack("<IHHI", size, 0, 0, offset)
    data += struct.pack("<IiiHHIIiiII", 40, SHEET_WIDTH, SHEET_HEIGHT, 1, bits, 0,
                        row_bytes * SHEET_HEIGHT, 2835, 2835, colours, 0)
    for r, g, b in palette:
        data += bytes((b, g, r, 0))
    for y in range(SHEET_HEIGHT - 1, -1, -1):
        row = pixels[y]
        assert len(row) == SHEET_WIDTH and max(row) < colours
        if bits == 8:
            data += bytes(row)
        elif bits == 4:
            data += bytes((row[x] << 4) | row[x + 1] for x in range(0, SHEET_WIDTH, 2))
        else:
            data += bytes(sum(row[x + i] << (7 - i) for i in range(8)) for x in range(0, SHEET_WIDTH, 8))
    assert len(data) == size
    with open(path, "wb") as out:
        out.write(data)


def sheet_from_tiles(background, defaults, selected, spare):
    """Lays 32 x 32 tiles (rows of values) out as the sheet expects them."""
    sheet = [[0] * SHEET_WIDTH for _ in range(SHEET_HEIGHT)]

    def put(tile, tx, ty):
        for y in range(TILE):
            for x in range(TILE):
                sheet[ty + y][tx + x] = tile[y][x]
    put(background, 0, 0)
    put(spare, 0, TILE)
    for colour in range(5):
        put(defaults[colour], TILE * (colour + 1), 0)
        put(selected[colour], TILE * (colour + 1), TILE)
    return sheet


# ---------------------------------------------------------------- Mono (1 bit)
# Index 0 white, 1 black.  The five tiles differ by shape and by fill pattern.

MONO_SHAPES = [
    lambda x, y: math.hypot(x - 16, y - 16) <= 10.0,                             # circle
    lambda x, y: 7.0 <= x <= 25.0 and 7.0 <= y <= 25.0,                          # square
    polygon([(16.0, 5.0), (27.5, 26.0), (4.5, 26.0)]),                           # triangle
    lambda x, y: abs(x - 16) + abs(y - 16) <= 12.0,                              # diamond
    lambda x, y: (abs(x - 16) <= 3.6 and abs(y - 16) <= 11.0) or
                 (abs(y - 16) <= 3.6 and abs(x - 16) <= 11.0),                   # cross
]
MONO_FILLS = [
    lambda x, y: True,                               # solid
    lambda x, y: (x + y) % 4 == 0,                   # diagonal hatching
    lambda x, y: x % 3 == 1 and y % 3 == 1,          # dots
    lambda x, y: (x + y) % 2 == 0,                   # checkerboard
    lambda x, y: y % 3 == 0,                         # stripes
]


def mono_tile(colour, selected):
    canvas = Canvas(TILE, TILE, 0)
    canvas.fill(rounded_rect(1.0, 1.0, 31.0, 31.0, 5.0), 1)
    canvas.fill(rounded_rect(2.0, 2.0, 30.0, 30.0, 4.0), 0)
    shape = MONO_SHAPES[colour]
    inner = Canvas(TILE, TILE, 0)
    inner.fill(shape, 2)
    outline_of(inner, {2}, 1, 0)
    for y in range(TILE):
        for x in range(TILE):
            v = inner.get(x, y)
            if v == 1:
                canvas.set(x, y, 1)
            elif v == 2:
                on_edge = any(inner.inside(x + dx, y + dy) and inner.get(x + dx, y + dy) != 2
                              for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                canvas.set(x, y, 1 if on_edge or MONO_FILLS[colour](x, y) else 0)
    if selected:      # the whole tile in negative
        canvas.paint(lambda x, y, v: 1 - v)
    return canvas.px


def mono_background():
    return [[1 if (x % 4 == 1 and y % 4 == 1) else 0 for x in range(TILE)] for y in range(TILE)]


def make_mono(out_dir):
    defaults = [mono_tile(c, False) for c in range(5)]
    selected = [mono_tile(c, True) for c in range(5)]
    sheet = sheet_from_tiles(mono_background(), defaults, selected, mono_background())
    write_bmp(os.path.join(out_dir, "mono.bmp"), 1, [(255, 255, 255), (0, 0, 0)], sheet)


# ---------------------------------------------------------------- Retro (4 bits)
# Chunky blocks drawn on a 16 x 16 grid and doubled, in a 16-colour palette.

RETRO_PALETTE = [
    (0, 0, 0), (26, 28, 58), (46, 52, 96), (244, 244, 244),       # 0 black, 1-2 night, 3 white
    (144, 152, 168),                                              # 4 gray
    (140, 28, 40), (224, 56, 60),                                 # 5-6 reds
    (255, 156, 156),                                              # 7 pink
    (32, 60, 156), (60, 140, 240),                                # 8-9 blues
    (28, 116, 48), (72, 200, 80),                                 # 10-11 greens
    (176, 120, 24), (248, 216, 56),                               # 12-13 yellows
    (124, 40, 144), (192, 80, 224),                               # 14-15 purples
]
RETRO_HUES = [(5, 6, 7), (8, 9, 3), (10, 11, 3), (12, 13, 3), (14, 15, 3)]   # dark, main, light
RETRO_EMBLEMS = [
    [".XXX..XXX.",
     "XXXXXXXXXX",
     "XXXXXXXXXX",
     "XXXXXXXXXX",
     ".XXXXXXXX.",
     "..XXXXXX..",
     "...XXXX...",
     "....XX....",
     "..........",
     ".........."],
    ["....XX....",
     "....XX....",
     "...XXXX...",
     "...XXXX...",
     "..XXXXXX..",
     ".XXXXXXXX.",
     ".XXXXXXXX.",
     ".XXXXXXXX.",
     "..XXXXXX..",
     "...XXXX..."],
    ["...XXXX...",
     "..XXXXXX..",
     "..XXXXXX..",
     "XXX.XX.XXX",
     "XXXXXXXXXX",
     "XXXXXXXXXX",
     ".XXX..XXX.",
     "....XX....",
     "....XX....",
     "...XX....."],
    ["....XX....",
     "...XXXX...",
     "...XXXX...",
     "XXXXXXXXXX",
     ".XXXXXXXX.",
     "..XXXXXX..",
     "..XXXXXX..",
     ".XXXXXXXX.",
     ".XXX..XXX.",
     ".XX....XX."],
    ["....XX....",
     "...XXXX...",
     "..XXXXXX..",
     ".XXXXXXXX.",
     "XXXXXXXXXX",
     "XXXXXXXXXX",
     ".XXXXXXXX.",
     "..XXXXXX..",
     "...XXXX...",
     "....XX...."],
]


def retro_block(colour, selected):
    dark, main, light = RETRO_HUES[colour]
    grid = Canvas(16, 16, main)
    for i in range(16):
        grid.set(i, 0, light)
        grid.set(0, i, light)
        grid.set(i, 15, 0)
        grid.set(15, i, 0)
    for i in range(1, 15):
        grid.set(i, 14, dark)
        grid.set(14, i, dark)
    grid.set(15, 0, dark)
    grid.set(0, 15, dark)
    if selected:                       # the block goes dark and its emblem lights up
        grid.paint(lambda x, y, v: dark if v == main else 3 if v == light else v)
    emblem = Canvas(16, 16, None)
    for y, line in enumerate(RETRO_EMBLEMS[colour]):
        for x, ch in enumerate(line):
            if ch == "X":
                emblem.set(3 + x, 3 + y, "in")
    outline_of(emblem, {"in"}, "edge", None)
    fill, edge = (3, dark) if not selected else (main, 3)
    for y in range(16):
        for x in range(16):
            v = emblem.get(x, y)
            if v == "in":
                grid.set(x, y, fill)
            elif v == "edge" and 0 < x < 15 and 0 < y < 15:
                grid.set(x, y, edge)
    first = next((x, y) for y in range(16) for x in range(16) if emblem.get(x, y) == "in")
    grid.set(first[0], first[1] + 1, light if selected else 4)
    return [[grid.get(x // 2, y // 2) for x in range(TILE)] for y in range(TILE)]


def retro_background():
    def cell(x, y):
        gx, gy = x // 2, y // 2
        if gx == 15 or gy == 15:
            return 2
        return 2 if (gx % 4 == 1 and gy % 4 == 1) else 1
    return [[cell(x, y) for x in range(TILE)] for y in range(TILE)]


def make_retro(out_dir):
    defaults = [retro_block(c, False) for c in range(5)]
    selected = [retro_block(c, True) for c in range(5)]
    sheet = sheet_from_tiles(retro_background(), defaults, selected, retro_background())
    write_bmp(os.path.join(out_dir, "retro.bmp"), 4, RETRO_PALETTE, sheet)


# ---------------------------------------------------------------- Glass (8 bits)
# Smoothly shaded glass orbs, rendered in full colour and reduced to one
# 256-colour palette for the whole sheet.

GLASS_HUES = [(235, 40, 60), (40, 110, 245), (40, 205, 110), (250, 200, 40), (190, 80, 240)]


def glass_back(x, y):
    n = fbm(x, y, TILE, 3, 33, 4)
    return (10 + 12 * n, 14 + 14 * n, 26 + 22 * n)


def glass_orb(colour, selected):
    hue = GLASS_HUES[colour]
    cx, cy, r = 16.0, 16.0, 13.2

    def shade(x, y):
        back = glass_back(x, y)
        d = math.hypot(x - cx, y - cy)
        if selected:
            back = mix(back, hue, 0.55 * max(0.0, 1.0 - max(0.0, d - r) / 3.0))
        if d > r:
            shadow = math.hypot(x - cx - 1.5, y - cy - 2.0) < r
            return scale(back, 0.6) if shadow and not selected else back
        nx, ny = (x - cx) / r, (y - cy) / r
        nz = math.sqrt(max(0.0, 1.0 - nx * nx - ny * ny))
        rim = (1.0 - nz) ** 2.2                      # glass darkens and tints towards the rim
        body = mix(scale(hue, 0.72 + (0.2 if selected else 0)), scale(hue, 0.22), rim)
        glow = math.exp(-((nx - 0.38) ** 2 + (ny - 0.42) ** 2) / 0.14)   # light gathered low right
        body = mix(body, mix(hue, (255, 255, 255), 0.3), 0.75 * glow)
        shine = math.exp(-((nx + 0.36) ** 2 + (ny + 0.42) ** 2) / 0.02)
        sheen = math.exp(-((nx + 0.1) ** 2 / 0.25 + (ny + 0.62) ** 2 / 0.02))
        body = mix(body, (255, 255, 255), min(1.0, shine * 1.2 + sheen * 0.35))
        if d > r - 0.9:
            body = mix(body, mix(hue, (255, 255, 255), 0.5), 0.5)
        return body
    return supersample(TILE, TILE, shade, 3)


def make_glass(out_dir):
    tiles = [supersample(TILE, TILE, glass_back, 2)]
    tiles += [glass_orb(c, False) for c in range(5)]
    tiles += [glass_orb(c, True) for c in range(5)]
    image = [[(0, 0, 0)] * SHEET_WIDTH for _ in range(SHEET_HEIGHT)]
    places = [(0, 0)] + [(TILE * (c + 1), 0) for c in range(5)] + [(TILE * (c + 1), TILE) for c in range(5)]
    for tile, (tx, ty) in zip(tiles, places):
        for y in range(TILE):
            for x in range(TILE):
                image[ty + y][tx + x] = tile[y][x]
    for y in range(TILE):
        for x in range(TILE):
            image[TILE + y][x] = tiles[0][y][x]
    palette = shared_palette([image], 256)
    rows = index_image(image, palette)
    write_bmp(os.path.join(out_dir, "glass.bmp"), 8, palette, rows)


# ====================================================================== catalogue

CATALOGUE = """\
# clumpout.dat: the picture sets beyond the three built-in ones.
# One set per line: the name shown in the chooser, then its description file
# or BMP tile sheet, looked for as written and then in the data directory.
# The Pictures number of the first line is 3, of the next 4, and so on.
Gems    gems.dat
Dice    dice.dat
Mono    mono.bmp
Retro   retro.bmp
Glass   glass.bmp
"""


def main(argv):
    out_dir = argv[1] if len(argv) > 1 else os.path.join(ROOT, "themes")
    os.makedirs(out_dir, exist_ok=True)
    make_gems(out_dir)
    make_dice(out_dir)
    make_mono(out_dir)
    make_retro(out_dir)
    make_glass(out_dir)
    with open(os.path.join(out_dir, "clumpout.dat"), "w") as out:
        out.write(CATALOGUE)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
