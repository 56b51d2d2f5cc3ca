"""Small raster toolkit shared by the artwork generators (standard library only).

Pictures are drawn into a Canvas of abstract values (tone levels or role
names), sampled at pixel centres, and only at the end mapped to the
characters of an XPM palette or the indexes of a BMP palette.  Nothing here
knows which picture set it is drawing.
"""

import math
import random

# 4 x 4 ordered-dither thresholds in [0, 1): spreads a tone between two
# palette entries without the noise of random dithering.
BAYER4 = [[0, 8, 2, 10],
          [12, 4, 14, 6],
          [3, 11, 1, 9],
          [15, 7, 13, 5]]


def bayer(x, y):
    return (BAYER4[y % 4][x % 4] + 0.5) / 16.0


class Canvas:
    """A width x height grid of arbitrary values, row 0 at the top."""

    def __init__(self, width, height, fill):
        self.width = width
        self.height = height
        self.px = [[fill] * width for _ in range(height)]

    def inside(self, x, y):
        return 0 <= x < self.width and 0 <= y < self.height

    def get(self, x, y):
        return self.px[y][x]

    def set(self, x, y, value):
        if self.inside(x, y):
            self.px[y][x] = value

    def fill(self, predicate, value):
        """Sets every pixel whose centre satisfies predicate(cx, cy)."""
        for y in range(self.height):
            for x in range(self.width):
                if predicate(x + 0.5, y + 0.5):
                    self.px[y][x] = value

    def paint(self, function):
        """Replaces every pixel by function(x, y, old) unless it returns None."""
        for y in range(self.height):
            for x in range(self.width):
                value = function(x, y, self.px[y][x])
                if value is not None:
                    self.px[y][x] = value

    def shifted(self, dx, dy, fill):
        other = Canvas(self.width, self.height, fill)
        for y in range(self.height):
            for x in range(self.width):
                sx, sy = x - dx, y - dy
                if self.inside(sx, sy):
                    other.px[y][x] = self.px[sy][sx]
        return other

    def mapped(self, table):
        other = Canvas(self.width, self.height, None)
        other.px = [[table[v] for v in row] for row in self.px]
        return other

    def rows(self):
        return ["".join(row) for row in self.px]


# ---------------------------------------------------------------- shapes
# Each returns a predicate over pixel-centre coordinates.

def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ellipse(cx, cy, rx, ry, angle=0.0):
    c, s = math.cos(angle), math.sin(angle)

    def inside(x, y):
        dx, dy = x - cx, y - cy
        u, v = dx * c + dy * s, -dx * s + dy * c
        return (u / rx) ** 2 + (v / ry) ** 2 <= 1.0
    return inside


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        dx = max(x0 + r - x, 0, x - (x1 - r))
        dy = max(y0 + r - y, 0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r
    return inside


def polygon(points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            x0, y0 = points[i]
            x1, y1 = points[(i + 1) % n]
            if (y0 > y) != (y1 > y):
                t = (y - y0) / (y1 - y0)
                if x < x0 + t * (x1 - x0):
                    hit = not hit
        return hit
    return inside


def segment_distance(px, py, x0, y0, x1, y1):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - x0) * dx + (py - y0) * dy) / length2))
    return math.hypot(px - (x0 + t * dx), py - (y0 + t * dy))


def stroke(points, width):
    """A polyline of the given width."""
    half = width / 2.0

    def inside(x, y):
        for i in range(len(points) - 1):
            if segment_distance(x, y, *points[i], *points[i + 1]) <= half:
                return True
        return False
    return inside


def arc(cx, cy, r, start, end, width):
    """A circular arc from angle start to end (radians, y downward), given width."""
    half = width / 2.0

    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if abs(d - r) > half:
            return False
        a = math.atan2(y - cy, x - cx)
        for k in (-2, 0, 2):
            if start <= a + k * math.pi <= end:
                return True
        return False
    return inside


def union(*predicates):
    return lambda x, y: any(p(x, y) for p in predicates)


def outline_of(canvas, value, outline, background):
    """Pixels equal to `background` that touch `value` (4-neighbours) become `outline`."""
    marks = []
    for y in range(canvas.height):
        for x in range(canvas.width):
            if canvas.px[y][x] != background:
                continue
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                nx, ny = x + dx, y + dy
                if canvas.inside(nx, ny) and canvas.px[ny][nx] in value:
                    marks.append((x, y))
                    break
    for x, y in marks:
        canvas.px[y][x] = outline


# ---------------------------------------------------------------- shading

def normalise(v):
    length = math.sqrt(sum(c * c for c in v))
    return tuple(c / length for c in v)


LIGHT = normalise((-0.5, -0.62, 0.6))   # from the upper left, towards the viewer


def sphere_light(x, y, cx, cy, r, light=LIGHT):
    """(diffuse, specular) of a sphere of radius r at pixel centre (x, y), or None outside."""
    dx, dy = (x - cx) / r, (y - cy) / r
    d2 = dx * dx + dy * dy
    if d2 > 1.0:
        return None
    nz = math.sqrt(1.0 - d2)
    diffuse = max(0.0, dx * light[0] + dy * light[1] + nz * light[2])
    half = normalise((light[0], light[1], light[2] + 1.0))
    specular = max(0.0, dx * half[0] + dy * half[1] + nz * half[2]) ** 40
    return diffuse, specular


def level(value, count, x, y, dither=1.0):
    """Maps value in [0, 1] to an index 0..count-1, ordered-dithered by `dither` steps."""
    v = value * (count - 1) + (bayer(x, y) - 0.5) * dither
    return max(0, min(count - 1, int(math.floor(v + 0.5))))


# ---------------------------------------------------------------- noise

class TileNoise:
    """Value noise on a lattice that wraps every `period` cells, so textures tile."""

    def __init__(self, period, seed):
        rng = random.Random(seed)
        self.period = period
        self.grid = [[rng.random() for _ in range(period)] for _ in range(period)]

    def at(self, u, v):
        p = self.period
        x0, y0 = math.floor(u), math.floor(v)
        fx, fy = u - x0, v - y0
        sx, sy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
        g = self.grid
        a = g[y0 % p][x0 % p]
        b = g[y0 % p][(x0 + 1) % p]
        c = g[(y0 + 1) % p][x0 % p]
        d = g[(y0 + 1) % p][(x0 + 1) % p]
        top = a + (b - a) * sx
        bottom = c + (d - c) * sx
        return top + (bottom - top) * sy


def fbm(x, y, size, octaves, seed, base_cells=4):
    """Fractal noise in [0, 1] that tiles with period `size` pixels."""
    total, weight, norm = 0.0, 1.0, 0.0
    cells = base_cells
    for octave in range(octaves):
        noise = _noise_cache(cells, seed + 101 * octave)
        total += weight * noise.at(x * cells / size, y * cells / size)
        norm += weight
        weight *= 0.5
        cells *= 2
    return total / norm


_NOISES = {}


def _noise_cache(period, seed):
    key = (period, seed)
    if key not in _NOISES:
        _NOISES[key] = TileNoise(period, seed)
    return _NOISES[key]


def voronoi(points, x, y, width, height, wrap=True):
    """(nearest distance, second distance, index of nearest) with optional wrap-around."""
    best, second, index = 1e9, 1e9, -1
    for i, (px, py) in enumerate(points):
        dx, dy = abs(x - px), abs(y - py)
        if wrap:
            dx, dy = min(dx, width - dx), min(dy, height - dy)
        d = math.hypot(dx, dy)
        if d < best:
            best, second, index = d, best, i
        elif d < second:
            second = d
    return best, second, index


# ---------------------------------------------------------------- colour

def parse_colour(text):
    """'#RRRRGGGGBBBB' or '#RRGGBB' -> (r, g, b) in 0..255."""
    digits = text.lstrip("#")
    n = len(digits) // 3
    return tuple(int(digits[i * n:(i + 1) * n], 16) * 255 // (16 ** n - 1) for i in range(3))


def luminance(rgb):
    r, g, b = rgb
    return 0.299 * r + 0.587 * g + 0.114 * b


def by_luminance(palette, exclude=()):
    """Characters of an XPM palette [(char, '#...'), ...] from darkest to lightest."""
    entries = [(luminance(parse_colour(c)), ch) for ch, c in palette if ch not in exclude]
    return [ch for _, ch in sorted(entries)]


def nearest(palette_rgb, rgb):
    r, g, b = rgb
    best, best_d = 0, 1e18
    for i, (pr, pg, pb) in enumerate(palette_rgb):
        d = 2 * (r - pr) ** 2 + 4 * (g - pg) ** 2 + 3 * (b - pb) ** 2
        if d < best_d:
            best, best_d = i, d
    return best


def hex6(rgb):
    return "#%02X%02X%02X" % tuple(max(0, min(255, int(round(c)))) for c in rgb)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


# ---------------------------------------------------------------- files

def xpm_file_text(name, palette, rows):
    """An XPM 3 file: palette [(char, colour)], rows of single-character pixels."""
    height, width = len(rows), len(rows[0])
    lines = ['"%d %d %d 1",' % (width, height, len(palette))]
    lines += ['"%s\tc %s",' % (ch, colour) for ch, colour in palette]
    lines += ['"%s",' % row for row in rows]
    lines[-1] = lines[-1].rstrip(",")
    return "/* XPM */\nstatic char *%s[] = {\n%s\n};\n" % (name, "\n".join(lines))


def check_image(palette, rows, width, height):
    chars = {ch for ch, _ in palette}
    assert len(chars) == len(palette), "duplicate palette character"
    assert len(rows) == height, "wrong number of rows"
    for row in rows:
        assert len(row) == width, "wrong row width"
        assert set(row) <= chars, "undeclared pixel character: %r" % (set(row) - chars)
