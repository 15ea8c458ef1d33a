#!/usr/bin/env python3
"""Draws Kelvara's pictures into res/: the board background, the two piece pictures, the
window icon and the two turn cursors. Standard library only (PNG written with zlib).

    python3 res/draw_art.py          # rewrites the PNGs next to this script

Each scene picture also comes drawn for 1.5, 2 and 3 device pixels per pixel (the pieces for
4 and 6 as well), named with the usual "@2x" suffix, so that the board stays sharp on dense
screens and in large windows. res/icons/ gets the icon in the usual theme sizes and as SVG.

The background is exactly the window's client area (542 x 400): the board panel with its grid
(points at x = 15, 110, 205, 300 and y = 95, 190, 285, 380) on a paper-coloured table. Every
texture term has a whole number of periods across the picture, so tiling it shows no seam.
"""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

CLIENT_W, CLIENT_H = 542, 400
POINT_X = (15, 110, 205, 300)
POINT_Y = (95, 190, 285, 380)

# The board panel holds every 20x20 piece square (5..310, 85..390) with a small margin.
PANEL = (1, 80, 314, 395)  # left, top, right, bottom (exclusive)
PANEL_BASE = (222, 182, 122)
TABLE_BASE = (236, 226, 204)
LINE = (78, 50, 28)


def write_png(path, width, height, pixels, alpha):
    """pixels: list of rows, each a list of (r, g, b) or (r, g, b, a) tuples."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for px in row:
            raw.extend(px[:4] if alpha else px[:3])
    color_type = 6 if alpha else 2

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, color_type, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def clamp(v):
    return max(0, min(255, int(round(v))))


def noise(x, y):
    """Small deterministic per-pixel noise in [-1, 1]."""
    h = (x * 374761393 + y * 668265263) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((h ^ (h >> 16)) & 0xFFFF) / 32767.5 - 1.0


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def wood(x, y, nx, ny):
    """Fine horizontal grain, periodic over the whole picture; (nx, ny) picks the noise."""
    u = x / CLIENT_W
    v = y / CLIENT_H
    wave = math.sin(2 * math.pi * (9 * v + 0.35 * math.sin(2 * math.pi * 2 * u)))
    fine = math.sin(2 * math.pi * (41 * v + 0.6 * math.sin(2 * math.pi * 5 * u + 1.3)))
    shade = 4.0 * wave + 2.0 * fine + 1.2 * noise(nx, ny)
    return tuple(c + shade for c in PANEL_BASE)


def paper(x, y, nx, ny):
    u = x / CLIENT_W
    v = y / CLIENT_H
    shade = 1.5 * math.sin(2 * math.pi * (3 * u + 2 * v)) + 1.6 * noise(nx, ny)
    return tuple(c + shade for c in TABLE_BASE)


def on_grid_line(x, y, k):
    """Two-pixel lines centred between pixels 14|15 for a point at 15, and so on; (x, y) is a
    device pixel at k device pixels per picture pixel."""
    x0, x1 = POINT_X[0], POINT_X[-1]
    y0, y1 = POINT_Y[0], POINT_Y[-1]
    for px in POINT_X:
        if (px - 1) * k <= x < (px + 1) * k and (y0 - 1) * k <= y < (y1 + 1) * k:
            return True
    for py in POINT_Y:
        if (py - 1) * k <= y < (py + 1) * k and (x0 - 1) * k <= x < (x1 + 1) * k:
            return True
    return False


def point_mark(x, y, k):
    """Coverage of the round mark on each point (centre at px - 0.5, py - 0.5), 0..1."""
    best = 0.0
    cx, cy = (x + 0.5) / k, (y + 0.5) / k
    for px in POINT_X:
        for py in POINT_Y:
            d = math.hypot(cx - px, cy - py)
            best = max(best, min(1.0, max(0.0, (4.5 - d) * k)))
    return best


def background(k=1):
    """The client area at k device pixels per pixel (k = 1 is the plain picture)."""
    left, top, right, bottom = PANEL
    width, height = round(CLIENT_W * k), round(CLIENT_H * k)
    rows = []
    for y in range(height):
        row = []
        fy = y / k
        for x in range(width):
            fx = x / k
            inside = left * k <= x < right * k and top * k <= y < bottom * k
            if inside:
                c = wood(fx, fy, x, y)
                edge = min(fx - left, (right * k - 1 - x) / k, fy - top, (bottom * k - 1 - y) / k)
                if edge < 2:
                    c = mix(c, (140, 96, 54), 0.85)
                elif edge < 4:
                    c = mix(c, (255, 236, 200), 0.25)
                if on_grid_line(x, y, k):
                    c = LINE
                m = point_mark(x, y, k)
                if m > 0:
                    c = mix(c, LINE, m)
            else:
                c = paper(fx, fy, x, y)
                # Soft shadow of the panel below it. None falls to its right: the move
                # lists begin a pixel past the panel, and a shadow there would run into them.
                if (left + 3) * k <= x < right * k and bottom * k <= y < (bottom + 3) * k:
                    c = mix(c, (120, 100, 80), 0.35)
            row.append(tuple(clamp(v) for v in c))
        rows.append(row)
    return rows


def piece(dark, k=1):
    """A round stone drawn into 20x20 pixels at k device pixels per pixel, shaded, on the
    panel colour (plain copy: no transparency)."""
    size, sub = round(20 * k), 4
    cx = cy = 10.0
    radius = 9.4
    light = (-0.45, -0.55)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0]
            for sy in range(sub):
                for sx in range(sub):
                    fx = (x + (sx + 0.5) / sub) / k
                    fy = (y + (sy + 0.5) / sub) / k
                    dx, dy = (fx - cx) / radius, (fy - cy) / radius
                    r2 = dx * dx + dy * dy
                    if r2 <= 1.0:
                        z = math.sqrt(1.0 - r2)
                        lit = max(0.0, dx * light[0] + dy * light[1] + z * 0.69)
                        spec = max(0.0, 1.0 - math.hypot(dx + 0.38, dy + 0.42) / 0.38)
                        if dark:
                            base = 18 + 70 * lit ** 2
                            col = (base + 120 * spec ** 2,) * 3
                        else:
                            base = 176 + 72 * lit
                            col = (min(255, base + 30 * spec), min(255, base + 30 * spec),
                                   min(255, base - 6 + 30 * spec))
                    else:
                        # Panel colour, a little darker where the stone casts its shadow.
                        sh = max(0.0, 1.0 - math.hypot(fx - cx - 1.2, fy - cy - 1.4) / 11.0)
                        col = mix(PANEL_BASE, (90, 60, 30), 0.6 * sh)
                    for i in range(3):
                        acc[i] += col[i]
            row.append(tuple(clamp(v / (sub * sub)) for v in acc))
        rows.append(row)
    return rows


HAND = [
    "................................",
    "......##........................",
    ".....####.......................",
    ".....####.......................",
    ".....####.......................",
    ".....####.......................",
    ".....####.......................",
    ".....####.###...................",
    ".....####.####.##...............",
    ".....####.####.####.............",
    ".....####.####.####.##..........",
    ".##..####.####.####.###.........",
    ".###.####.####.####.###.........",
    ".####.#################.........",
    "..####.################.........",
    "...###.################.........",
    "...####################.........",
    "....###################.........",
    "....###################.........",
    ".....#################..........",
    ".....#################..........",
    "......###############...........",
    "......###############...........",
    ".......#############............",
    ".......#############............",
    ".......#############............",
] + ["." * 32] * 6


def cursor(fill, outline, k=1):
    """32x32 pointing hand at k device pixels per pixel, hot spot (6, 0) at the fingertip's
    outline. Two colours at every scale: each device pixel takes the cell it lies in, and the
    outline is round(k) device pixels wide."""
    n = round(32 * k)
    ring = max(1, round(k))
    inside = [[HAND[int(y / k)][int(x / k)] == "#" for x in range(n)] for y in range(n)]
    rows = []
    for y in range(n):
        row = []
        for x in range(n):
            if inside[y][x]:
                row.append(fill + (255,))
                continue
            near = any(
                0 <= y + dy < n and 0 <= x + dx < n and inside[y + dy][x + dx]
                for dy in range(-ring, ring + 1) for dx in range(-ring, ring + 1))
            row.append(outline + (255,) if near else (0, 0, 0, 0))
        rows.append(row)
    return rows


def icon(n=32):
    """n x n: a small board with one black and one white stone, drawn on a 32-unit grid."""
    sub = 1 if n == 32 else 4
    rows = []
    for y in range(n):
        row = []
        for x in range(n):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(sub):
                for sx in range(sub):
                    lx = (x + (sx + 0.5) / sub) * 32 / n
                    ly = (y + (sy + 0.5) / sub) * 32 / n
                    px = icon_sample(lx, ly)
                    a = px[3] / 255
                    for i in range(3):
                        acc[i] += px[i] * a
                    acc[3] += a
            if acc[3] == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(clamp(acc[i] / acc[3]) for i in range(3)) +
                           (clamp(255 * acc[3] / (sub * sub)),))
        rows.append(row)
    return rows


def icon_sample(lx, ly):
    """Colour of the icon at (lx, ly) on its 32-unit grid."""
    rx = min(lx, 32 - lx)
    ry = min(ly, 32 - ly)
    if rx < 3.5 and ry < 3.5 and math.hypot(3 - rx, 3 - ry) > 3.2:
        return (0, 0, 0, 0)
    c = PANEL_BASE
    if rx < 2.5 or ry < 2.5:
        c = (140, 96, 54)
    if ((8 <= lx < 9 or 23 <= lx < 24) and 8 <= ly < 24) or \
            ((8 <= ly < 9 or 23 <= ly < 24) and 8 <= lx < 24):
        c = LINE
    for (sx, sy, dark) in ((8.5, 8.5, True), (23.5, 23.5, False)):
        d = math.hypot(lx - sx, ly - sy)
        if d < 6.0:
            hl = max(0.0, 1.0 - math.hypot(lx - sx + 2, ly - sy + 2) / 5)
            c = (30 + 110 * hl,) * 3 if dark else (200 + 55 * hl,) * 3
            if d > 5.0:
                c = mix(c, (60, 40, 20), 0.5)
    return tuple(clamp(v) for v in c) + (255,)


ICON_SVG = """<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">
  <defs>
    <radialGradient id="black" cx="0.33" cy="0.33" r="0.75">
      <stop offset="0" stop-color="#8c8c8c"/><stop offset="1" stop-color="#1e1e1e"/>
    </radialGradient>
    <radialGradient id="white" cx="0.33" cy="0.33" r="0.75">
      <stop offset="0" stop-color="#ffffff"/><stop offset="1" stop-color="#c8c8c8"/>
    </radialGradient>
  </defs>
  <rect x="0" y="0" width="32" height="32" rx="3.2" fill="#8c6036"/>
  <rect x="2.5" y="2.5" width="27" height="27" rx="1" fill="#deb67a"/>
  <path d="M8.5 8.5H23.5V23.5H8.5Z" fill="none" stroke="#4e321c" stroke-width="1"/>
  <circle cx="8.5" cy="8.5" r="5.5" fill="url(#black)" stroke="#3c2814" stroke-width="1"/>
  <circle cx="23.5" cy="23.5" r="5.5" fill="url(#white)" stroke="#3c2814" stroke-width="1"/>
</svg>
"""

ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def scale_suffix(k):
    return "" if k == 1 else "@%gx" % k


def main():
    for k in (1, 1.5, 2, 3):
        sfx = scale_suffix(k)
        write_png(os.path.join(HERE, "background%s.png" % sfx), round(CLIENT_W * k),
                  round(CLIENT_H * k), background(k), False)
        write_png(os.path.join(HERE, "cursor_black%s.png" % sfx), round(32 * k), round(32 * k),
                  cursor((0, 0, 0), (255, 255, 255), k), True)
        write_png(os.path.join(HERE, "cursor_white%s.png" % sfx), round(32 * k), round(32 * k),
                  cursor((255, 255, 255), (0, 0, 0), k), True)
    for k in (1, 1.5, 2, 3, 4, 6):
        sfx = scale_suffix(k)
        write_png(os.path.join(HERE, "black%s.png" % sfx), round(20 * k), round(20 * k),
                  piece(True, k), False)
        write_png(os.path.join(HERE, "white%s.png" % sfx), round(20 * k), round(20 * k),
                  piece(False, k), False)
    write_png(os.path.join(HERE, "icon.png"), 32, 32, icon(), True)
    icons = os.path.join(HERE, "icons")
    os.makedirs(icons, exist_ok=True)
    for n in ICON_SIZES:
        write_png(os.path.join(icons, "kelvara-%d.png" % n), n, n, icon(n), True)
    with open(os.path.join(icons, "kelvara.svg"), "w") as f:
        f.write(ICON_SVG)


if __name__ == "__main__":
    main()
