#!/usr/bin/env python3
"""make_builtin_images.py: draws the built-in picture sets "Marble", "Head" and
"Face" and the window icon into src/pictures/builtin_*.cpp (one file of
XPM rows per group of images, the header builtin_xpm.h that declares them,
and builtin_images.cpp that makes the sets of them) and desktop/clumpout.xpm. The values and colour lines are fixed by the game and
copied byte for byte; only the pixel rows are drawn here."""

# Standard library only:  python3 tools/make_builtin_images.py [--preview DIR]
# --preview also writes every image as DIR/<name>.xpm for looking at.

import math
import os
import random
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from pixel_art import (Canvas, arc, bayer, by_luminance, check_image, disc,  # noqa: E402
                       ellipse, fbm, level, luminance, outline_of, parse_colour,
                       polygon, sphere_light, stroke, union, voronoi,
                       xpm_file_text)

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# ====================================================================== palettes
# (character, colour) in the order of the image's colour lines.

MARBLE_BOARD = "#00007DF77DF7"
MARBLE_TILES = [("#FFFF00000000", "#B2CA00000000"),
                ("#00000000FFFF", "#00000000B2CA"),
                ("#0000FFFF0000", "#0000B2CA0000"),
                ("#FFFFFFFF0000", "#B2CAB2CA0000"),
                ("#FFFF0000FFFF", "#B2CA0000B2CA")]


def marble_palette(colour):
    tile, shade = MARBLE_TILES[colour]
    return [(" ", MARBLE_BOARD), (".", tile), ("X", "#FFFFFFFFFFFF"), ("o", shade)]


MARBLE_BACKGROUND = [(" ", MARBLE_BOARD)]

FRAME_F1 = [(" ", "#FFFFFFFFFFFF"), (".", "#0000FFFFFFFF"), ("X", "#0000CF3CCF3C"),
            ("o", "#00009A699A69"), ("O", "#000065956595")]

HEAD_BOARD = (" ", "#00005D756595")
HEAD_DEFAULT = [
    [(".", "#00000000FFFF"), ("X", "#65956595FFFF"), ("o", "#00000000CF3C"),
     ("O", "#000000009A69"), ("+", "#000000006595")],
    [(".", "#FFFF00000000"), ("X", "#9A6900000000"), ("o", "#FFFF82078207"),
     ("O", "#CF3C00000000"), ("+", "#659500000000"), ("@", "#CF3C00000000")],
    [(".", "#FFFF0000FFFF"), ("X", "#CF3C0000CF3C"), ("o", "#9A6900009A69"),
     ("O", "#659500006595"), ("+", "#FFFFB6DAFFFF"), ("@", "#CF3C0000CF3C")],
    [(".", "#0000CF3C0000"), ("X", "#000065950000"), ("o", "#0000FFFF0000"),
     ("O", "#00009A690000"), ("+", "#B6DAFFFFB6DA")],
    [(".", "#FFFFFFFF0000"), ("X", "#CF3CCF3C0000"), ("o", "#FFFFFFFFB6DA"),
     ("O", "#9A699A690000"), ("+", "#659565950000"), ("@", "#CF3CCF3C0000")],
]
HEAD_PUSHED = [
    HEAD_DEFAULT[0] + [("@", "#FFFFFFFFFFFF"), ("#", "#000000000000"), ("$", "#CF3CCF3CCF3C")],
    [(".", "#FFFF00000000"), ("X", "#9A6900000000"), ("o", "#FFFF82078207"),
     ("O", "#CF3C00000000"), ("+", "#659500000000"), ("@", "#FFFFFFFFFFFF"),
     ("#", "#000000000000")],
    [(".", "#FFFF0000FFFF"), ("X", "#CF3C0000CF3C"), ("o", "#9A6900009A69"),
     ("O", "#659500006595"), ("+", "#FFFFB6DAFFFF"), ("@", "#FFFFFFFFFFFF"),
     ("#", "#CF3CCF3CCF3C"), ("$", "#000000000000")],
    [(".", "#0000CF3C0000"), ("X", "#000065950000"), ("o", "#0000FFFF0000"),
     ("O", "#00009A690000"), ("+", "#B6DAFFFFB6DA"), ("@", "#FFFFFFFFFFFF"),
     ("#", "#CF3CCF3CCF3C"), ("$", "#000000000000")],
    [(".", "#FFFFFFFF0000"), ("X", "#FFFFFFFFB6DA"), ("o", "#CF3CCF3C0000"),
     ("O", "#9A699A690000"), ("+", "#659565950000"), ("@", "#000000000000"),
     ("#", "#FFFFFFFFFFFF"), ("$", "#CF3CCF3CCF3C")],
]


def head_palette(state, colour):
    if state == "pushed":
        return [HEAD_BOARD] + HEAD_PUSHED[colour]
    palette = [HEAD_BOARD] + HEAD_DEFAULT[colour]
    if state == "selected" and colour == 0:
        palette = [(ch, "#659579E7FFFF" if ch == "X" else c) for ch, c in palette]
    return palette


HEAD_BACKGROUND = [HEAD_BOARD]

FACE_TILES = [
    [(" ", "#AAAA75D64514"), (".", "#8A2855552081"), ("X", "#9A69659530C2"),
     ("o", "#BAEA8A285555"), ("O", "#659530C21040"), ("+", "#CF3C9A696595"),
     ("@", "#DF7DAAAA75D6"), ("#", "#000000000000")],
    [(" ", "#30C255556595"), (".", "#104030C24514"), ("X", "#208145145555"),
     ("o", "#4514659575D6"), ("O", "#555575D68A28"), ("+", "#75D69A69AAAA"),
     ("@", "#65958A289A69"), ("#", "#8A28AAAABAEA"), ("$", "#9A69BAEACF3C")],
    [(" ", "#208155554514"), (".", "#55558A2875D6"), ("X", "#1040451430C2"),
     ("o", "#30C265955555"), ("O", "#65959A698A28"), ("+", "#451475D66595"),
     ("@", "#75D6AAAA9A69"), ("#", "#8A28BAEAAAAA"), ("$", "#9A69CF3CBAEA")],
    [(" ", "#9A6971C68A28"), (".", "#8207618575D6"), ("X", "#B2CA8207A289"),
     ("o", "#CF3C9658BAEA"), ("O", "#69A651446185"), ("+", "#DB6C9E79C30B"),
     ("@", "#E79DA699CF3C"), ("#", "#F3CEAEBADB6C")],
    [(" ", "#820741030C30"), (".", "#659534D30C30"), ("X", "#CF3C65950C30"),
     ("o", "#9A694D340C30"), ("O", "#B2CA59650C30"), ("+", "#4D3428A20C30"),
     ("@", "#F3CE75D60820"), ("#", "#E79D6DB60C30"), ("$", "#FFFF92485144")],
]
FACE_BACKGROUND = [(" ", "#659520814514"), (".", "#7DF728A25555"), ("X", "#4D34186134D3"),
                   ("o", "#9A6930C269A6"), ("O", "#B2CA34D379E7"), ("+", "#CF3C38E38A28")]
FRAME_F2 = [(" ", "#75D665954514"), (".", "#6595555530C2"), ("X", "#555545142081"),
            ("o", "#451430C21040"), ("O", "#9A698A286595"), ("+", "#BAEAAAAA8A28"),
            ("@", "#000000000000"), ("#", "#8A2875D65555"), ("$", "#AAAA9A6975D6"),
            ("%", "#CF3CBAEA9A69")]

ICON = [(" ", "#0000CF3CCF3C"), (".", "#0000FFFFFFFF"), ("X", "#CB2B0000FFFF"),
        ("o", "#00006595AAAA")]


# ====================================================================== Marble

MARBLE_GLINT = ["..XX",
                ".XXX",
                "XXX.",
                "XX.."]


def draw_marble(colour):
    """A shaded ball with a glint; 1 px of board colour all round."""
    canvas = Canvas(20, 20, " ")
    cx, cy, r = 10.0, 10.0, 9.0

    def shade(x, y, _old):
        lit = sphere_light(x + 0.5, y + 0.5, cx, cy, r)
        if lit is None:
            return None
        diffuse = lit[0]
        return "." if diffuse + (bayer(x, y) - 0.5) * 0.22 > 0.42 else "o"
    canvas.paint(shade)
    for dy, line in enumerate(MARBLE_GLINT):
        for dx, ch in enumerate(line):
            if ch == "X":
                canvas.set(5 + dx, 4 + dy, "X")
    return canvas


def draw_frame_f1():
    """An 8 x 8 raised stud: lit from the upper left, so a run of them reads as
    a studded plate with no seam between repeats."""
    canvas = Canvas(8, 8, "X")
    for y in range(8):
        for x in range(8):
            top_left = min(x, y)
            bottom_right = min(7 - x, 7 - y)
            ring = min(top_left, bottom_right)
            if ring >= 2:
                continue
            lit = top_left < bottom_right or (top_left == bottom_right and x < y)
            if ring == 0:
                canvas.set(x, y, " " if lit else "O")
            else:
                canvas.set(x, y, "." if lit else "o")
    canvas.set(3, 3, ".")
    return canvas


# ====================================================================== Head
# Heads are drawn in roles: "B" board, 0..4 the colour family from darkest to
# palest, "W" white, "K" black, "G" gray; head_roles() maps them to each
# image's own characters, which differ between colours and states.

def head_roles(palette):
    roles = {"B": palette[0][0]}
    family, seen = [], set()
    for ch, colour in palette[1:]:
        r, g, b = parse_colour(colour)
        if colour == "#FFFFFFFFFFFF":
            roles["W"] = ch
        elif colour == "#000000000000":
            roles["K"] = ch
        elif r == g == b:
            roles["G"] = ch
        elif colour not in seen:
            seen.add(colour)
            family.append((luminance((r, g, b)), ch))
    family.sort()
    assert len(family) == 5, palette
    for i, (_, ch) in enumerate(family):
        roles[i] = ch
    roles.setdefault("G", roles["B"])   # pushed colour 2 has no gray
    return roles


def shade_shape(canvas, inside, cx, cy, r, bright, lift=0):
    """Fills a shape with the family tones of a sphere (cx, cy, r) lit from the
    upper left; lift moves every tone that many steps paler."""
    for y in range(canvas.height):
        for x in range(canvas.width):
            px, py = x + 0.5, y + 0.5
            if not inside(px, py):
                continue
            dx, dy = (px - cx) / r, (py - cy) / r
            d2 = min(dx * dx + dy * dy, 1.0)
            nz = math.sqrt(1.0 - d2)
            diffuse = -0.5 * dx - 0.6 * dy + 0.62 * nz + bright
            t = diffuse + (bayer(x, y) - 0.5) * 0.1
            canvas.px[y][x] = min(4, lift + (3 if t > 0.42 else 2 if t > -0.05 else 1))


def mirror_x(points, width=32.0):
    return [(width - x, y) for x, y in points]


def draw_head(kind, mood):
    """One head. kind 0..4 (the colour), mood "rest", "glad" or "squeeze"."""
    canvas = Canvas(32, 32, "B")
    bright = {"rest": 0.0, "glad": 0.2, "squeeze": -0.32}[mood]
    glad, squeeze = mood == "glad", mood == "squeeze"
    HEADS[kind](canvas, bright, glad, squeeze)
    outline_of(canvas, {0, 1, 2, 3, 4}, 0, "B")
    if glad:
        outline_of(canvas, {0}, 4, "B")     # a pale glow round the pointed-at heads
    return canvas


def highlight(canvas, cx, cy, rx, ry, glad):
    canvas.fill(ellipse(cx, cy, rx + (0.8 if glad else 0), ry + (0.4 if glad else 0), -0.7), 4)


# Eyes are stamped from little bitmaps: sampled ellipses this small come out
# lopsided.  "0" darkest tone, "4" palest, "." leaves the pixel alone.
EYE_REST = ["0000",
            "0400",
            "0000",
            ".00."]
EYE_GLAD = [".00.",
            "0440",
            "0400",
            "0000",
            "0000",
            ".00."]
EYE_SHUT_LEFT = ["0...",
                 ".00.",
                 "...0",
                 ".00.",
                 "0..."]


def stamp(canvas, x0, y0, bitmap, mirror=False):
    for dy, line in enumerate(bitmap):
        if mirror:
            line = line[::-1]
        for dx, ch in enumerate(line):
            if ch != ".":
                canvas.set(x0 + dx, y0 + dy, int(ch))


def round_eyes(canvas, lx, rx, y, glad, squeeze):
    """A pair of eyes whose upper-left pixels are at (lx, y) and (rx, y)."""
    if squeeze:
        stamp(canvas, lx, y, EYE_SHUT_LEFT)
        stamp(canvas, rx, y, EYE_SHUT_LEFT, mirror=True)
    elif glad:
        stamp(canvas, lx, y - 1, EYE_GLAD)
        stamp(canvas, rx, y - 1, EYE_GLAD)
    else:
        stamp(canvas, lx, y, EYE_REST)
        stamp(canvas, rx, y, EYE_REST)


def open_mouth(canvas, cx, cy, w, h, tongue=True):
    shape = lambda x, y: y >= cy and ellipse(cx, cy, w, h)(x, y)   # noqa: E731
    canvas.fill(shape, 0)
    if tongue:
        canvas.fill(lambda x, y: shape(x, y) and ellipse(cx, cy + h, w * 0.55, h * 0.55)(x, y), 2)


def head_boy(canvas, bright, glad, squeeze):
    """Blue: a round face under a wavy fringe with a quiff."""
    cx, cy, r = 16.0, 17.0, 12.0
    head = disc(cx, cy, r)
    shade_shape(canvas, head, cx, cy, r, bright + 0.25, lift=1)

    def fringe(x, y):
        return head(x, y) and y < 10.5 + 1.8 * abs(math.sin((x - 3.0) * 0.62))
    quiff = union(ellipse(18.0, 5.6, 4.2, 2.3, -0.45), ellipse(20.5, 3.8, 2.0, 1.4, -0.3))
    hair = union(fringe, quiff)
    shade_shape(canvas, hair, cx, cy, r, bright - 0.2)
    canvas.fill(union(stroke([(7.5, 8.0), (11.5, 5.6)], 1.0), stroke([(15.5, 5.0), (19.5, 3.4)], 1.0)), 3)
    round_eyes(canvas, 10, 18, 15, glad, squeeze)
    if glad:
        open_mouth(canvas, 16.0, 21.0, 4.5, 4.6)
    elif squeeze:
        canvas.fill(stroke([(13.0, 24.0), (15.0, 23.0), (17.0, 24.0), (19.0, 23.0)], 1.1), 0)
    else:
        canvas.fill(arc(16.0, 18.5, 5.0, 0.25 * math.pi, 0.75 * math.pi, 1.3), 0)


def head_devil(canvas, bright, glad, squeeze):
    """Red: horns, hard brows, a fanged grin and a pointed beard."""
    cx, cy, r = 16.0, 17.0, 12.0
    horn = [(6.5, 11.0), (4.6, 6.0), (4.2, 1.6), (7.6, 4.6), (12.0, 7.0)]
    for points in (horn, mirror_x(horn)):
        canvas.fill(polygon(points), 4)
    canvas.fill(polygon([(13.0, 27.0), (19.0, 27.0), (16.0, 31.6)]), 1)
    head = disc(cx, cy, r)
    shade_shape(canvas, head, cx, cy, r, bright)
    highlight(canvas, 10.5, 11.5, 2.0, 1.1, glad)
    brow = [(8.2, 11.6), (14.0, 13.8)]
    lift = -1.2 if glad else 0.0
    for points in (brow, mirror_x(brow)):
        canvas.fill(stroke([(points[0][0], points[0][1] + lift), points[1]], 1.7), 0)
    if squeeze:
        for x in (11.5, 20.5):
            canvas.fill(stroke([(x - 2.0, 16.5), (x + 2.0, 16.5)], 1.2), 0)
        canvas.fill(stroke([(12.0, 23.5), (20.0, 23.5)], 1.3), 0)
        canvas.fill(polygon([(13.0, 23.8), (14.6, 23.8), (13.8, 25.6)]), 4)
        return
    for x in (11.5, 20.5):
        canvas.fill(ellipse(x, 16.5, 2.4, 1.8 if glad else 1.5), 4)
        canvas.fill(disc(x + (0.8 if x < 16 else -0.8), 16.7, 1.2 if glad else 1.0), 0)
    top = 20.5
    depth = 6.0 if glad else 4.2
    mouth = lambda x, y: y >= top and ellipse(16.0, top, 7.0, depth)(x, y)   # noqa: E731
    canvas.fill(mouth, 0)
    for fang_x in (11.8, 20.2):
        canvas.fill(polygon([(fang_x - 1.4, top), (fang_x + 1.4, top), (fang_x, top + 2.8)]), 4)
    if glad:
        canvas.fill(lambda x, y: mouth(x, y) and y > top + 3.6, 2)


def head_cat(canvas, bright, glad, squeeze):
    """Magenta: a cat with pointed ears, slit eyes and whiskers."""
    ear = [(4.6, 14.0), (5.4, 2.2), (14.0, 7.2)]
    inner = [(6.8, 11.0), (7.2, 5.4), (11.6, 8.0)]
    for points in (ear, mirror_x(ear)):
        shade_shape(canvas, polygon(points), 16.0, 17.0, 14.0, bright)
    for points in (inner, mirror_x(inner)):
        canvas.fill(polygon(points), 4)
    cx, cy = 16.0, 18.0
    head = ellipse(cx, cy, 13.0, 11.3)
    shade_shape(canvas, head, cx, cy, 12.5, bright)
    highlight(canvas, 10.0, 12.5, 2.0, 1.1, glad)
    if squeeze:
        for x in (11.0, 21.0):
            canvas.fill(arc(x, 18.5, 2.4, 1.15 * math.pi, 1.85 * math.pi, 1.1), 0)
    else:
        for x in (11.0, 21.0):
            canvas.fill(ellipse(x, 16.5, 2.8, 2.6 if glad else 2.0), 4)
            canvas.fill(ellipse(x, 16.5, 0.9 if not glad else 1.4, 2.6 if glad else 2.0), 0)
    canvas.fill(polygon([(14.2, 20.2), (17.8, 20.2), (16.0, 22.0)]), 0)
    if glad:
        open_mouth(canvas, 16.0, 22.6, 3.2, 3.6)
    else:
        canvas.fill(stroke([(12.6, 22.8), (14.3, 24.0), (16.0, 22.4), (17.7, 24.0), (19.4, 22.8)], 1.1), 0)
    for y0, y1 in ((20.5, 19.5), (22.5, 23.5)):
        canvas.fill(stroke([(9.0, y0), (3.4, y1)], 0.9), 1)
        canvas.fill(stroke([(23.0, y0), (28.6, y1)], 0.9), 1)


def head_frog(canvas, bright, glad, squeeze):
    """Green: a frog, wide and flat, with eyes on top and a long smile."""
    cx, cy = 16.0, 20.0
    for ex in (9.3, 22.7):
        shade_shape(canvas, disc(ex, 10.8, 5.0), ex, 10.8, 5.0, bright)
    head = ellipse(cx, cy, 13.6, 9.6)
    shade_shape(canvas, head, cx, cy, 13.0, bright)
    for ex in (9.3, 22.7):      # the eye bumps sit in front of the head's outline
        canvas.fill(disc(ex, 10.8, 5.0), 3 if bright > -0.1 else 2)
    for ex in (9.3, 22.7):
        if squeeze:
            canvas.fill(arc(ex, 9.0, 3.0, 0.15 * math.pi, 0.85 * math.pi, 1.2), 0)
            continue
        canvas.fill(disc(ex, 10.6, 3.4), 4)
        if glad:
            canvas.fill(disc(ex + 0.4, 10.8, 2.2), 0)
            canvas.fill(disc(ex - 0.6, 9.8, 0.7), 4)
        else:
            canvas.fill(ellipse(ex + 0.5, 11.0, 2.2, 1.2), 0)
    canvas.fill(disc(14.0, 17.5, 0.7), 0)
    canvas.fill(disc(18.0, 17.5, 0.7), 0)
    if glad:
        canvas.fill(lambda x, y: y >= 21.0 and ellipse(16.0, 21.0, 9.5, 5.2)(x, y), 0)
        canvas.fill(lambda x, y: y >= 23.0 and ellipse(16.0, 25.8, 4.6, 2.0)(x, y), 2)
    elif squeeze:
        canvas.fill(stroke([(9.0, 23.0), (23.0, 23.0)], 1.3), 0)
    else:
        canvas.fill(arc(16.0, 12.0, 11.0, 0.24 * math.pi, 0.76 * math.pi, 1.3), 0)


def head_sun(canvas, bright, glad, squeeze):
    """Yellow: a sun with pointed rays and a broad grin."""
    cx, cy = 16.0, 16.5
    rays = []
    for k in range(8):
        a = k * math.pi / 4 + math.pi / 8
        tip = 15.2
        side = 0.32
        rays.append(polygon([(cx + 9.0 * math.cos(a - side), cy + 9.0 * math.sin(a - side)),
                             (cx + tip * math.cos(a), cy + tip * math.sin(a)),
                             (cx + 9.0 * math.cos(a + side), cy + 9.0 * math.sin(a + side))]))
    canvas.fill(union(*rays), 2)
    head = disc(cx, cy, 10.6)
    shade_shape(canvas, head, cx, cy, 10.6, bright + 0.1)
    highlight(canvas, 11.2, 11.6, 1.8, 1.0, glad)
    if squeeze:
        for x in (12.2, 19.8):
            canvas.fill(stroke([(x - 2.0, 15.5), (x + 2.0, 15.5)], 1.2), 0)
        canvas.fill(disc(16.0, 21.0, 1.6), 0)
        return
    if glad:
        round_eyes(canvas, 10, 18, 13, True, False)
    else:
        for x in (12.2, 19.8):
            canvas.fill(arc(x, 16.6, 2.2, 1.05 * math.pi, 1.95 * math.pi, 1.2), 0)
    open_mouth(canvas, 16.0, 18.8, 5.6 if glad else 5.0, 5.4 if glad else 4.0, tongue=glad)
    canvas.fill(lambda x, y: 18.8 <= y < 20.0 and ellipse(16.0, 18.8, 4.2, 4.0)(x, y), 4)


HEADS = [head_boy, head_devil, head_cat, head_frog, head_sun]


def sink(canvas):
    """Pushed look: the head one pixel down and right inside a sunken bevel."""
    out = canvas.shifted(1, 1, "B")
    for i in range(32):
        out.set(i, 0, "K")
        out.set(0, i, "K")
        out.set(i, 31, "W")
        out.set(31, i, "W")
    for i in range(1, 31):
        out.set(i, 30, "G")
        out.set(30, i, "G")
    out.set(31, 0, "G")
    out.set(0, 31, "G")
    return out


# ====================================================================== Face
# 64 x 64 textures.  Each is a field of tones 0..1 mapped onto the palette
# sorted by brightness, then framed by a two-pixel bevel so neighbours read
# as separate tiles.

def bevel(tones, lift):
    """Raises tones near the top/left edges and lowers them near the bottom/right."""
    size = len(tones)
    for y in range(size):
        for x in range(size):
            top_left, bottom_right = min(x, y), min(size - 1 - x, size - 1 - y)
            if top_left < 2 and top_left <= bottom_right:
                tones[y][x] += lift[top_left]
            elif bottom_right < 2:
                tones[y][x] -= lift[bottom_right] * 1.2


def tones_to_rows(tones, ramp, dither=0.9):
    rows = []
    for y, line in enumerate(tones):
        rows.append("".join(ramp[level(max(0.0, min(1.0, t)), len(ramp), x, y, dither)]
                            for x, t in enumerate(line)))
    return rows


def field(size, function):
    return [[function(x + 0.5, y + 0.5) for x in range(size)] for y in range(size)]


def texture_wood(size=64):
    """Colour 1: a plank with the grain flowing round a knot."""
    kx, ky = 43.0, 22.0

    def tone(x, y):
        r2 = ((x - kx) / 1.3) ** 2 + ((y - ky) / 2.2) ** 2
        bulge = 7.0 * math.exp(-r2 / 30.0) * (1 if x > kx else -1)
        warp = fbm(x, y, size, 3, 11, 3) * 7.0
        rings = (x * 0.8 + warp + bulge) / 5.0
        if r2 < 9.0:                       # the knot itself: tight dark rings
            rings = math.sqrt(r2) / 1.6
        ring = rings - math.floor(rings)
        fibre = fbm(x * 4, y * 0.5, size * 4, 2, 12, 8)
        grain = 0.55 + 0.25 * math.cos(ring * 2 * math.pi) + 0.18 * (fibre - 0.5)
        if r2 < 9.0:
            grain -= 0.25 * (1 - r2 / 9.0)
        return grain * 0.9 + 0.04
    tones = field(size, tone)
    bevel(tones, [0.35, 0.18])
    ramp = by_luminance(FACE_TILES[0], exclude=("#",))
    rows = tones_to_rows(tones, ramp)
    for y in (int(ky) - 1, int(ky)):      # the pith of the knot, the one use of black
        rows[y] = rows[y][:int(kx)] + "#" + rows[y][int(kx) + 1:]
    return rows


def texture_water(size=64):
    """Colour 2: water rings spreading over a rippled surface."""
    def tone(x, y):
        t = 0.42 + 0.18 * (fbm(x, y, size, 3, 21, 4) - 0.5)
        for (px, py, phase, amp) in ((22, 24, 0.0, 0.32), (46, 44, 1.6, 0.22)):
            r = math.hypot(x - px, y - py)
            t += amp * math.cos(r * 0.78 - phase) * math.exp(-r / 16.0)
        caustic = abs(math.sin(x * 0.21 + 3 * fbm(x, y, size, 2, 23, 4)) +
                      math.sin(y * 0.27 + 3 * fbm(x, y, size, 2, 24, 4)))
        t += 0.16 * max(0.0, 0.35 - caustic)
        return t
    tones = field(size, tone)
    bevel(tones, [0.4, 0.2])
    return tones_to_rows(tones, by_luminance(FACE_TILES[1]))


def texture_leaves(size=64):
    """Colour 3: overlapping leaves with their midribs."""
    leaves = [(14, 14, 0.7, 15), (46, 12, 2.3, 14), (30, 34, -0.4, 17),
              (12, 48, 2.0, 14), (50, 48, 0.9, 15), (32, 4, 1.4, 10),
              (62, 30, 2.9, 12), (2, 30, -0.2, 11), (34, 62, 0.2, 12)]
    tones = [[0.1 + 0.12 * fbm(x, y, size, 2, 31, 4) for x in range(size)] for y in range(size)]
    for (lx, ly, angle, length) in leaves:
        c, s = math.cos(angle), math.sin(angle)
        for y in range(size):
            for x in range(size):
                dx, dy = x + 0.5 - lx, y + 0.5 - ly
                u, v = dx * c + dy * s, -dx * s + dy * c
                t = u / length
                if abs(t) >= 1.0:
                    continue
                half_width = 0.42 * length * (1 - t * t) * (1.0 - 0.25 * t)
                if abs(v) > half_width:
                    continue
                across = v / half_width
                lit = 0.62 - 0.22 * across + 0.1 * (1 - abs(t))
                vein = (u * 0.55 + abs(v) * 0.9) % 4.0
                if abs(v) < 0.6:
                    lit = 0.95
                elif vein < 0.7 and abs(across) < 0.85:
                    lit += 0.18
                if abs(across) > 0.86:
                    lit -= 0.3
                tones[y][x] = lit
    bevel(tones, [0.3, 0.15])
    return tones_to_rows(tones, by_luminance(FACE_TILES[2]))


def texture_stone(size=64):
    """Colour 4: a mosaic of rounded pebbles with dark joints."""
    rng = random.Random(41)
    points = []
    for gy in range(4):
        for gx in range(4):
            points.append((gx * 16 + 3 + rng.random() * 10, gy * 16 + 3 + rng.random() * 10))
    shades = [0.45 + rng.random() * 0.25 for _ in points]

    def tone(x, y):
        d1, d2, index = voronoi(points, x, y, size, size, wrap=False)
        edge = d2 - d1
        if edge < 1.6:
            return 0.05
        # light from the upper left on a domed pebble
        px, py = points[index]
        dome = max(0.0, 1.0 - edge / 9.0)
        gx, gy = (x - px), (y - py)
        norm = math.hypot(gx, gy) or 1.0
        slope = -(gx + gy) / norm * 0.7071 * dome * 0.45
        grain = 0.12 * (fbm(x, y, size, 3, 43, 8) - 0.5)
        return shades[index] + slope + grain
    tones = field(size, tone)
    bevel(tones, [0.3, 0.15])
    return tones_to_rows(tones, by_luminance(FACE_TILES[3]))


def texture_lava(size=64):
    """Colour 5: dark crust plates floating on glowing lava."""
    rng = random.Random(57)
    points = [(rng.random() * size, rng.random() * size) for _ in range(11)]

    def tone(x, y):
        d1, d2, index = voronoi(points, x, y, size, size, wrap=False)
        edge = d2 - d1
        heat = fbm(x, y, size, 3, 59, 4)
        if edge < 2.6:
            return 0.7 + 0.3 * (1.0 - edge / 2.6) + 0.1 * heat
        crust = 0.12 + 0.22 * heat + 0.25 * math.exp(-(edge - 2.6) / 2.0)
        return crust
    tones = field(size, tone)
    bevel(tones, [0.25, 0.12])
    return tones_to_rows(tones, by_luminance(FACE_TILES[4]))


def draw_face_background():
    """32 x 32 quilted velvet: one padded diamond per repeat, lit from the
    upper left, with a button where the seams cross."""
    ramp = by_luminance(FACE_BACKGROUND)
    size = 32
    rows = []
    for y in range(size):
        row = ""
        for x in range(size):
            fu = ((x + y + 1) % size) / size     # across the seams running down-left
            fv = ((x - y) % size) / size         # across the seams running down-right
            tone = 0.36 + 0.26 * math.cos(math.pi * fu) * math.sin(math.pi * fv) \
                + 0.12 * math.sin(math.pi * fu) * math.cos(math.pi * fv)
            seam = min(fu, 1 - fu, fv, 1 - fv) * size
            if seam < 0.8:
                tone = 0.06
            if min(fu, 1 - fu) * size < 1.6 and min(fv, 1 - fv) * size < 1.6:
                tone = 0.95
            row += ramp[level(max(0.0, min(1.0, tone)), len(ramp), x, y, 0.7)]
        rows.append(row)
    return rows


def draw_frame_f2():
    """40 x 20 sandstone bricks in running bond; the offset row wraps round."""
    ramp = by_luminance(FRAME_F2, exclude=("@",))
    width, height = 40, 20
    rows = []
    for y in range(height):
        row = ""
        course = y // 10
        offset = 10 if course else 0
        for x in range(width):
            bx = (x + offset) % 20
            by = y % 10
            if by == 9 and bx == 19:
                ch = "@"                # the deepest point, where joints meet
            elif by == 9 or bx == 19:
                ch = ramp[1] if (bx + by) % 5 else ramp[0]
            else:
                t = 0.55 + 0.22 * (fbm(x, y, 40, 3, 81 + course, 4) - 0.5) * 2
                if by == 0 or bx == 0:
                    t += 0.28
                elif by == 8 or bx == 18:
                    t -= 0.25
                t = max(0.0, min(1.0, t))
                ch = ramp[level(t, len(ramp), x, y, 0.8)]
            row += ch
        rows.append(row)
    return rows


# ====================================================================== icon

# The icon's board: p purple, c cyan; the purple cells form one cluster,
# boxed as if pointed at. make_icons.py draws the same board at any size.
ICON_LAYOUT = ["ppc",
               "pcc",
               "ppc"]
ICON_CLUSTER = {(c, r) for r, text in enumerate(ICON_LAYOUT)
                for c, kind in enumerate(text) if kind == "p"}


def draw_icon():
    """48 x 48: a little board of balls with one purple cluster boxed as if pointed at."""
    canvas = Canvas(48, 48, "o")
    for row, text in enumerate(ICON_LAYOUT):
        for col, kind in enumerate(text):
            cx, cy = col * 16 + 8.0, row * 16 + 8.0
            for y in range(row * 16, row * 16 + 16):
                for x in range(col * 16, col * 16 + 16):
                    lit = sphere_light(x + 0.5, y + 0.5, cx, cy, 6.8)
                    if lit is None:
                        continue
                    diffuse, specular = lit
                    body = "X" if kind == "p" else " "
                    if specular > 0.3:
                        value = "."
                    elif diffuse > 0.3:
                        value = body
                    else:
                        value = "o" if bayer(x, y) < 0.5 else body
                    canvas.set(x, y, value)
    # the outline of the purple cluster
    cells = ICON_CLUSTER
    for (c, r) in cells:
        x0, y0 = c * 16, r * 16
        for i in range(16):
            for (x, y, nc, nr) in ((x0 + i, y0, c, r - 1), (x0 + i, y0 + 15, c, r + 1),
                                   (x0, y0 + i, c - 1, r), (x0 + 15, y0 + i, c + 1, r)):
                if (nc, nr) not in cells:
                    canvas.set(x, y, ".")
    return canvas


# ====================================================================== output

class Image:
    def __init__(self, name, palette, rows, width, height):
        check_image(palette, rows, width, height)
        self.name, self.palette, self.rows = name, palette, rows


def build_images():
    images = {}

    def add(name, palette, rows, width, height):
        images[name] = Image(name, palette, rows, width, height)

    for colour in range(5):
        add("marble_%d" % (colour + 1), marble_palette(colour), draw_marble(colour).rows(), 20, 20)
    add("marble_background", MARBLE_BACKGROUND, [" " * 20] * 20, 20, 20)
    add("frame_f1", FRAME_F1, draw_frame_f1().rows(), 8, 8)

    for colour in range(5):
        for state, mood in (("default", "rest"), ("selected", "glad"), ("pushed", "squeeze")):
            palette = head_palette(state, colour)
            drawing = draw_head(colour, mood)
            if state == "pushed":
                drawing = sink(drawing)
            rows = drawing.mapped(head_roles(palette)).rows()
            add("head_%s_%d" % (state, colour + 1), palette, rows, 32, 32)
    add("head_background", HEAD_BACKGROUND, [" " * 32] * 32, 32, 32)

    textures = [texture_wood, texture_water, texture_leaves, texture_stone, texture_lava]
    for colour, texture in enumerate(textures):
        add("face_%d" % (colour + 1), FACE_TILES[colour], texture(), 64, 64)
    add("face_background", FACE_BACKGROUND, draw_face_background(), 32, 32)
    add("frame_f2", FRAME_F2, draw_frame_f2(), 40, 20)

    add("icon", ICON, draw_icon().rows(), 48, 48)
    return images


def values_line(image):
    return "%d %d %d 1" % (len(image.rows[0]), len(image.rows), len(image.palette))


def c_array(image):
    lines = ['    "%s",' % values_line(image)]
    lines += ['    "%s\\tc %s",' % (ch, colour) for ch, colour in image.palette]
    lines += ['    "%s",' % row for row in image.rows]
    return "const char* const %s[] = {\n%s\n};\n" % (image.name, "\n".join(lines))


# The generated sources: each file of images, in src/pictures, with what it
# holds. No source file may pass MAX_FILE_LINES; when a group outgrows it,
# split the group here and name the new file in src/pictures/CMakeLists.txt.
MAX_FILE_LINES = 400
IMAGE_FILES = [
    ("builtin_marble.cpp", "the built-in set \"Marble\" and the frame it shares with \"Head\"",
     ["marble_%d" % i for i in range(1, 6)] + ["marble_background", "frame_f1"]),
    ("builtin_head_default.cpp", "the tiles of the built-in set \"Head\" at rest, and its background",
     ["head_default_%d" % i for i in range(1, 6)] + ["head_background"]),
    ("builtin_head_selected.cpp", "the selected tiles of the built-in set \"Head\"",
     ["head_selected_%d" % i for i in range(1, 6)]),
    ("builtin_head_pushed.cpp", "the pushed tiles of the built-in set \"Head\"",
     ["head_pushed_%d" % i for i in range(1, 6)]),
    ("builtin_face_tiles.cpp", "the tiles of the built-in set \"Face\"",
     ["face_%d" % i for i in range(1, 6)]),
    ("builtin_face_frame.cpp", "the background and frame of the built-in set \"Face\"",
     ["face_background", "frame_f2"]),
    ("builtin_icon.cpp", "the window icon", ["icon"]),
]

GENERATED = """\
// Generated by tools/make_builtin_images.py: do not edit by hand; change the
// script and run it again."""

XPM_HEAD = """\
// builtin_xpm.h: the XPM rows of the built-in picture sets and the window
// icon, one array per image, for builtin_images.cpp to gather.
%s
#pragma once

namespace builtin_xpm {

%s
}  // namespace builtin_xpm
"""

IMAGE_FILE_HEAD = """\
// %s: the XPM rows of
// %s.
%s
// The values and colour lines are fixed; the rows are drawn by the script.
#include "pictures/builtin_xpm.h"

namespace builtin_xpm {

"""

CPP_HEAD = """\
// builtin_images.cpp: the three built-in picture sets and the window icon,
// made of the XPM rows in the builtin_*.cpp files. Knows nothing of X.
%s
#include "pictures/builtin_xpm.h"
#include "pictures/picture_set.h"

using namespace builtin_xpm;

"""

CPP_TAIL = """\
static ImageSource xpm(const char* const* rows) {
    ImageSource source;
    source.xpm = rows;
    return source;
}

const PictureSet BUILTIN_SETS[NUM_BUILTIN_SETS] = {
    {.box = 1,
     .box_color = "white",
     .selected = 0,
     .pushed = 0,
     .tile_width = 20,
     .tile_height = 20,
     .default_images = {xpm(marble_1), xpm(marble_2), xpm(marble_3), xpm(marble_4), xpm(marble_5)},
     .selected_images = {},
     .pushed_images = {},
     .background_image = xpm(marble_background),
     .frame_image = xpm(frame_f1)},
    {.box = 1,
     .box_color = "white",
     .selected = 1,
     .pushed = 1,
     .tile_width = 32,
     .tile_height = 32,
     .default_images = {xpm(head_default_1), xpm(head_default_2), xpm(head_default_3),
                        xpm(head_default_4), xpm(head_default_5)},
     .selected_images = {xpm(head_selected_1), xpm(head_selected_2), xpm(head_selected_3),
                         xpm(head_selected_4), xpm(head_selected_5)},
     .pushed_images = {xpm(head_pushed_1), xpm(head_pushed_2), xpm(head_pushed_3),
                       xpm(head_pushed_4), xpm(head_pushed_5)},
     .background_image = xpm(head_background),
     .frame_image = xpm(frame_f1)},
    {.box = 1,
     .box_color = "white",
     .selected = 0,
     .pushed = 0,
     .tile_width = 64,
     .tile_height = 64,
     .default_images = {xpm(face_1), xpm(face_2), xpm(face_3), xpm(face_4), xpm(face_5)},
     .selected_images = {},
     .pushed_images = {},
     .background_image = xpm(face_background),
     .frame_image = xpm(frame_f2)},
};

const char* const* const icon_xpm = icon;
"""


def write_source(name, text):
    lines = text.count("\n")
    assert lines <= MAX_FILE_LINES, "%s has %d lines: split its group in IMAGE_FILES" % (name, lines)
    with open(os.path.join(ROOT, "src", "pictures", name), "w") as out:
        out.write(text)


def main(argv):
    images = build_images()
    order = [name for _, _, names in IMAGE_FILES for name in names]
    assert sorted(order) == sorted(images)
    declarations = "".join("extern const char* const %s[];\n" % name for name in order)
    write_source("builtin_xpm.h", XPM_HEAD % (GENERATED, declarations))
    for file_name, what, names in IMAGE_FILES:
        text = (IMAGE_FILE_HEAD % (file_name, what, GENERATED) +
                "\n".join(c_array(images[name]) for name in names) + "\n}  // namespace builtin_xpm\n")
        write_source(file_name, text)
    write_source("builtin_images.cpp", CPP_HEAD % GENERATED + CPP_TAIL)
    os.makedirs(os.path.join(ROOT, "desktop"), exist_ok=True)
    icon = images["icon"]
    with open(os.path.join(ROOT, "desktop", "clumpout.xpm"), "w") as out:
        out.write(xpm_file_text("clumpout_xpm", icon.palette, icon.rows))
    if len(argv) == 3 and argv[1] == "--preview":
        os.makedirs(argv[2], exist_ok=True)
        for name, image in images.items():
            with open(os.path.join(argv[2], name + ".xpm"), "w") as out:
                out.write(xpm_file_text(name, image.palette, image.rows))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
