#!/usr/bin/env python3
"""Draws the program's pictures: the application icon and the strip of status images.

Run it from anywhere; it rewrites the files beside it: icons/app-<size>.png, the scalable
icons/app.svg, and images/status.png with images/status@2x.png at twice the resolution. Only the standard library is used: every shape is a signed distance
function, and a pixel's cover is read off the distance, which gives smooth edges at any size.
"""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

ICON_SIZES = (16, 32, 48, 64, 128, 256)
SVG_SIZE = 256
STATUS_CELL = 20
STATUS_COUNT = 4
GROUND = (192, 192, 192)  # the strip's ground, keyed out by the program

NAVY = (0, 64, 128)  # the program's own dark blue


# --- PNG output -------------------------------------------------------------------------

def write_png(path, width, height, rows, alpha):
    """Writes 8-bit RGB or RGBA rows (lists of channel values) as a PNG file."""
    raw = bytearray()
    for row in rows:
        raw.append(0)  # no filter
        raw.extend(row)
    colour_type = 6 if alpha else 2

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
           chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(png)


# --- Shapes: signed distances (negative inside, in pixels) that also write themselves as SVG

def fmt(v):
    return ("%.3f" % v).rstrip("0").rstrip(".")


def segment_distance(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length = dx * dx + dy * dy
    t = 0.0 if length == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length))
    return math.hypot(x - ax - t * dx, y - ay - t * dy)


class Circle:
    def __init__(self, cx, cy, r):
        self.cx, self.cy, self.r = cx, cy, r

    def __call__(self, x, y):
        return math.hypot(x - self.cx, y - self.cy) - self.r

    def svg(self, paint, extra=0.0):
        return ['<circle cx="%s" cy="%s" r="%s" fill="%s"/>' %
                (fmt(self.cx), fmt(self.cy), fmt(self.r + extra), paint)]


class Ellipse:
    def __init__(self, cx, cy, rx, ry, angle=0.0):
        self.cx, self.cy, self.rx, self.ry, self.angle = cx, cy, rx, ry, angle

    def __call__(self, x, y):
        ca, sa = math.cos(self.angle), math.sin(self.angle)
        dx, dy = x - self.cx, y - self.cy
        u, v = dx * ca + dy * sa, -dx * sa + dy * ca
        k = math.hypot(u / self.rx, v / self.ry)
        return (k - 1.0) * min(self.rx, self.ry)

    def svg(self, paint, extra=0.0):
        turn = ""
        if self.angle:
            turn = ' transform="rotate(%s %s %s)"' % (
                fmt(math.degrees(self.angle)), fmt(self.cx), fmt(self.cy))
        return ['<ellipse cx="%s" cy="%s" rx="%s" ry="%s"%s fill="%s"/>' %
                (fmt(self.cx), fmt(self.cy), fmt(self.rx + extra), fmt(self.ry + extra), turn,
                 paint)]


class Capsule:
    """A line of radius r with round ends."""

    def __init__(self, ax, ay, bx, by, r):
        self.ax, self.ay, self.bx, self.by, self.r = ax, ay, bx, by, r

    def __call__(self, x, y):
        return segment_distance(x, y, self.ax, self.ay, self.bx, self.by) - self.r

    def svg(self, paint, extra=0.0):
        return ['<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="%s" stroke-width="%s" '
                'stroke-linecap="round"/>' %
                (fmt(self.ax), fmt(self.ay), fmt(self.bx), fmt(self.by), paint,
                 fmt(2 * (self.r + extra)))]


class Polygon:
    def __init__(self, points):
        self.points = points

    def __call__(self, x, y):
        best = float("inf")
        inside = False
        n = len(self.points)
        for i in range(n):
            ax, ay = self.points[i]
            bx, by = self.points[(i + 1) % n]
            best = min(best, segment_distance(x, y, ax, ay, bx, by))
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return -best if inside else best

    def svg(self, paint, extra=0.0):
        points = " ".join("%s,%s" % (fmt(x), fmt(y)) for x, y in self.points)
        stroke = ""
        if extra:
            stroke = ' stroke="%s" stroke-width="%s" stroke-linejoin="round"' % (
                paint, fmt(2 * extra))
        return ['<polygon points="%s" fill="%s"%s/>' % (points, paint, stroke)]


class Union:
    def __init__(self, *shapes):
        self.shapes = shapes

    def __call__(self, x, y):
        return min(s(x, y) for s in self.shapes)

    def svg(self, paint, extra=0.0):
        return [element for s in self.shapes for element in s.svg(paint, extra)]


class Grown:
    """The shape widened by amount on every side."""

    def __init__(self, shape, amount):
        self.shape, self.amount = shape, amount

    def __call__(self, x, y):
        return self.shape(x, y) - self.amount

    def svg(self, paint, extra=0.0):
        return self.shape.svg(paint, extra + self.amount)


class VerticalGradient:
    def __init__(self, top_colour, bottom_colour, y0, y1):
        self.top, self.bottom, self.y0, self.y1 = top_colour, bottom_colour, y0, y1

    def __call__(self, _x, y):
        t = max(0.0, min(1.0, (y - self.y0) / (self.y1 - self.y0)))
        return tuple(a + (b - a) * t for a, b in zip(self.top, self.bottom))


# --- Canvases: pixels, or SVG elements --------------------------------------------------

class Canvas:
    """Pixels of a picture drawn in units of 1/scale pixel, so that scale 2 draws the same
    picture at twice the resolution."""

    def __init__(self, width, height, ground=None, scale=1):
        self.scale = scale
        self.width, self.height = width * scale, height * scale
        opaque = ground is not None
        base = (ground if opaque else (0, 0, 0)) + ((1.0,) if opaque else (0.0,))
        self.pixels = [[list(base) for _ in range(self.width)] for _ in range(self.height)]
        self.touched = [[False] * self.width for _ in range(self.height)]

    def fill(self, shape, colour, box=None, opacity=1.0):
        """Lays a shape over what is there; colour is a tuple or a function of x, y."""
        k = self.scale
        x0, y0, x1, y1 = (v * k for v in box) if box else (0, 0, self.width, self.height)
        for py in range(max(0, int(y0)), min(self.height, int(math.ceil(y1)))):
            for px in range(max(0, int(x0)), min(self.width, int(math.ceil(x1)))):
                x, y = (px + 0.5) / k, (py + 0.5) / k
                cover = max(0.0, min(1.0, 0.5 - shape(x, y) * k)) * opacity
                if cover <= 0.0:
                    continue
                c = colour(x, y) if callable(colour) else colour
                dst = self.pixels[py][px]
                out_a = cover + dst[3] * (1.0 - cover)
                for i in range(3):
                    dst[i] = (c[i] * cover + dst[i] * dst[3] * (1.0 - cover)) / out_a
                dst[3] = out_a
                self.touched[py][px] = True

    def rows(self, alpha, avoid=None):
        result = []
        for py in range(self.height):
            row = []
            for px in range(self.width):
                r, g, b, a = self.pixels[py][px]
                rgb = [int(round(max(0.0, min(255.0, v)))) for v in (r, g, b)]
                # A drawn pixel must never take the keyed ground colour by chance.
                if avoid and self.touched[py][px] and tuple(rgb) == avoid:
                    rgb[0] += 1
                row.extend(rgb)
                if alpha:
                    row.append(int(round(a * 255)))
            result.append(row)
        return result


def hex_colour(c):
    return "#%02x%02x%02x" % tuple(int(round(max(0.0, min(255.0, v)))) for v in c)


class SvgCanvas:
    """The same drawing as SVG elements, for the scalable icon."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.defs = []
        self.elements = []

    def fill(self, shape, colour, box=None, opacity=1.0):
        del box, opacity  # every drawing here fits its box and is opaque
        if isinstance(colour, VerticalGradient):
            name = "g%d" % (len(self.defs) + 1)
            self.defs.append(
                '<linearGradient id="%s" gradientUnits="userSpaceOnUse" x1="0" y1="%s" x2="0" '
                'y2="%s"><stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/>'
                '</linearGradient>' % (name, fmt(colour.y0), fmt(colour.y1),
                                       hex_colour(colour.top), hex_colour(colour.bottom)))
            paint = "url(#%s)" % name
        else:
            paint = hex_colour(colour)
        self.elements.extend(shape.svg(paint))

    def text(self):
        lines = ['<?xml version="1.0" encoding="UTF-8"?>',
                 '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" '
                 'viewBox="0 0 %d %d">' % (self.width, self.height, self.width, self.height),
                 "<defs>"] + ["  " + d for d in self.defs] + ["</defs>"]
        lines += ["  " + e for e in self.elements]
        lines.append("</svg>")
        return "\n".join(lines) + "\n"


# --- The application icon: a marmoset peeking over a clock ------------------------------

def draw_icon(size, canvas=None):
    """Draws the icon at size pixels, on a new Canvas unless given another canvas."""
    if canvas is None:
        canvas = Canvas(size, size)
    s = float(size)
    small = size <= 16
    # Thin lines stay at least this wide so that they survive at small sizes.
    min_line = 0.55 if small else 0.45
    outline = max(s * 0.022, min_line)
    dark_line = (38, 28, 20)

    def line(v):
        return max(s * v, min_line)

    # Ear tufts: white fans of fur either side of the head, the marmoset's mark.
    tufts = []
    for side in (-1, 1):
        ox, oy = s * (0.5 + side * 0.15), s * 0.29
        for degrees in (-55, -35, -15, 5):
            a = math.radians(degrees)
            length = s * (0.13 if degrees in (-35, -15) else 0.11)
            tufts.append(Ellipse(ox + side * math.cos(a) * length, oy + math.sin(a) * length,
                                 length, s * 0.045, angle=side * a))
    fan = Union(*tufts)
    canvas.fill(Grown(fan, outline), (110, 100, 92))
    canvas.fill(fan, VerticalGradient((255, 255, 255), (218, 214, 206), s * 0.1, s * 0.36))

    # Head.
    head = Circle(s * 0.5, s * 0.3, s * 0.2)
    canvas.fill(Grown(head, outline), dark_line)
    canvas.fill(head, VerticalGradient((128, 100, 72), (80, 60, 42), s * 0.1, s * 0.5))
    # Light face and the white blaze on the forehead.
    canvas.fill(Ellipse(s * 0.5, s * 0.315, s * 0.145, s * 0.1), (214, 186, 146))
    if not small:
        canvas.fill(Ellipse(s * 0.5, s * 0.155, s * 0.035, s * 0.045), (250, 248, 240))
    # Eyes with a catch light.
    eye_r = max(s * 0.04, 0.8)
    for ex in (0.42, 0.58):
        canvas.fill(Circle(s * ex, s * 0.29, eye_r), (24, 16, 10))
        if size >= 32:
            canvas.fill(Circle(s * (ex + 0.013), s * 0.277, eye_r * 0.38), (255, 255, 255))

    # The clock it holds.
    cx, cy, r = s * 0.5, s * 0.69, s * 0.29
    clock = Circle(cx, cy, r)
    canvas.fill(Grown(clock, outline), (0, 30, 60))
    canvas.fill(clock, VerticalGradient((30, 100, 170), NAVY, cy - r, cy + r))
    face_r = r - max(s * 0.05, 1.1)
    canvas.fill(Circle(cx, cy, face_r),
                VerticalGradient((255, 252, 240), (236, 228, 204), cy - face_r, cy + face_r))
    if size >= 32:
        for hour in range(12):
            a = math.radians(hour * 30)
            long_tick = hour % 3 == 0
            if not long_tick and size < 64:
                continue
            r0 = face_r * (0.72 if long_tick else 0.8)
            r1 = face_r * 0.9
            canvas.fill(Capsule(cx + r0 * math.sin(a), cy - r0 * math.cos(a),
                                cx + r1 * math.sin(a), cy - r1 * math.cos(a),
                                line(0.012 if long_tick else 0.007)), NAVY)
    # Ten past ten: the hands open like arms.
    for minutes, length, width in ((50, 0.5, 0.028), (10, 0.75, 0.02)):
        a = math.radians(minutes * 6)
        canvas.fill(Capsule(cx, cy, cx + face_r * length * math.sin(a),
                            cy - face_r * length * math.cos(a), line(width)), (20, 24, 40))
    canvas.fill(Circle(cx, cy, max(s * 0.03, 0.6)), (20, 24, 40) if small else (200, 40, 30))

    # Paws over the clock's rim.
    if size >= 32:
        for px_ in (0.34, 0.66):
            paw = Circle(s * px_, s * 0.415, s * 0.05)
            canvas.fill(Grown(paw, outline), dark_line)
            canvas.fill(paw, (110, 86, 62))
    return canvas


# --- Status images ----------------------------------------------------------------------

def draw_badge(canvas, ox, flag_colour, flag_edge):
    cx, cy = ox + 10.0, 10.0
    box = (ox, 0, ox + STATUS_CELL, STATUS_CELL)
    disc = Circle(cx, cy, 8.6)
    canvas.fill(disc, (20, 40, 80), box)
    canvas.fill(Circle(cx, cy, 7.6), VerticalGradient((96, 146, 210), (28, 70, 140), 2.5, 17.5),
                box)
    # The pole, light against the blue.
    canvas.fill(Capsule(ox + 7.0, 4.2, ox + 7.0, 16.0, 0.75), (40, 30, 20), box)
    canvas.fill(Capsule(ox + 7.0, 4.4, ox + 7.0, 15.8, 0.45), (244, 236, 214), box)
    # A flag waving to the right of the pole.
    top = [(ox + 7.6 + i * 0.75, 4.3 + 0.7 * math.sin(i * 0.75 * 0.9)) for i in range(10)]
    bottom = [(x, y + 5.4) for x, y in reversed(top)]
    flag = Polygon(top + bottom)
    canvas.fill(Grown(flag, 0.55), flag_edge, box)
    canvas.fill(flag, flag_colour, box)


def draw_cross(canvas, ox):
    cx, cy = ox + 10.0, 10.0
    box = (ox, 0, ox + STATUS_CELL, STATUS_CELL)
    canvas.fill(Circle(cx, cy, 8.6), (6, 60, 64), box)
    canvas.fill(Circle(cx, cy, 7.6), VerticalGradient((40, 176, 172), (8, 112, 118), 2.5, 17.5),
                box)
    d = 3.6
    cross = Union(Capsule(cx - d, cy - d, cx + d, cy + d, 1.45),
                  Capsule(cx + d, cy - d, cx - d, cy + d, 1.45))
    canvas.fill(Grown(cross, 0.6), (90, 70, 0), box)
    canvas.fill(cross, VerticalGradient((255, 236, 90), (246, 196, 0), cy - d, cy + d), box)


def draw_status_strip(scale):
    canvas = Canvas(STATUS_CELL * STATUS_COUNT, STATUS_CELL, ground=GROUND, scale=scale)
    draw_badge(canvas, 0, (222, 40, 32), (90, 10, 6))        # 0: red flag
    draw_badge(canvas, 20, (40, 180, 60), (8, 70, 16))       # 1: green flag
    draw_badge(canvas, 40, (255, 255, 255), (40, 40, 48))    # 2: white flag
    draw_cross(canvas, 60)                                    # 3: yellow cross on teal
    return canvas


def main():
    for size in ICON_SIZES:
        canvas = draw_icon(size)
        write_png(os.path.join(HERE, "icons", "app-%d.png" % size), size, size,
                  canvas.rows(alpha=True), alpha=True)
    # The scalable icon is the largest drawing, with all of its detail.
    svg = draw_icon(SVG_SIZE, SvgCanvas(SVG_SIZE, SVG_SIZE))
    with open(os.path.join(HERE, "icons", "app.svg"), "w", encoding="ascii") as out:
        out.write(svg.text())
    # The status images at their size and at twice it, for screens scaled by 2.
    for scale, name in ((1, "status.png"), (2, "status@2x.png")):
        strip = draw_status_strip(scale)
        write_png(os.path.join(HERE, "images", name), strip.width, strip.height,
                  strip.rows(alpha=False, avoid=GROUND), alpha=False)


if __name__ == "__main__":
    main()
