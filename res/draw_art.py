#!/usr/bin/env python3
"""Draws Kelvara's pictures into res/: the board background, the two piece pictures, the
window icon and the two turn cursors. Standard library only (PNG written with zlib).

    python3 res/draw_art.py          # rewrites the PNGs next to this script

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


def wood(x, y):
    """Fine horizontal grain, periodic over the whole picture."""
    u = x / CLIENT_W
    v = y / CLIENT_H
    wave = math.sin(2 * math.pi * (9 * v + 0.35 * math.sin(2 * math.pi * 2 * u)))
    fine = math.sin(2 * math.pi * (41 * v + 0.6 * math.sin(2 * math.pi * 5 * u + 1.3)))
    shade = 4.0 * wave + 2.0 * fine + 1.2 * noise(x, y)
    return tuple(c + shade for c in PANEL_BASE)


def paper(x, y):
    u = x / CLIENT_W
    v = y / CLIENT_H
    shade = 1.5 * math.sin(2 * math.pi * (3 * u + 2 * v)) + 1.6 * noise(x, y)
    return tuple(c + shade for c in TABLE_BASE)


def on_grid_line(x, y):
    """Two-pixel lines centred between pixels 14|15 for a point at 15, and so on."""
    x0, x1 = POINT_X[0], POINT_X[-1]
    y0, y1 = POINT_Y[0], POINT_Y[-1]
    for px in POINT_X:
        if px - 1 <= x <= px and y0 - 1 <= y <= y1:
            return True
    for py in POINT_Y:
        if py - 1 <= y <= py and x0 - 1 <= x <= x1:
            return True
    return False


def point_mark(x, y):
    """Coverage of the round mark on each point (centre at px - 0.5, py - 0.5), 0..1."""
    best = 0.0
    for px in POINT_X:
        for py in POINT_Y:
            d = math.hypot(x + 0.5 - px, y + 0.5 - py)
            best = max(best, min(1.0, max(0.0, 4.5 - d)))
    return best


def background():
    left, top, right, bottom = PANEL
    rows = []
    for y in range(CLIENT_H):
        row = []
        for x in range(CLIENT_W):
            inside = left <= x < right and top <= y < bottom
            if inside:
                c = wood(x, y)
                edge = min(x - left, right - 1 - x, y - top, bottom - 1 - y)
                if edge < 2:
                    c = mix(c, (140, 96, 54), 0.85)
                elif edge < 4:
                    c = mix(c, (255, 236, 200), 0.25)
                if on_grid_line(x, y):
                    c = LINE
                m = point_mark(x, y)
                if m > 0:
                    c = mix(c, LINE, m)
            else:
                c = paper(x, y)
                # Soft shadow of the panel towards the bottom right.
                if left + 3 <= x < right + 3 and top + 3 <= y < bottom + 3:
                    c = mix(c, (120, 100, 80), 0.35)
            row.append(tuple(clamp(v) for v in c))
        rows.append(row)
    return rows


def piece(dark):
    """20x20 round stone, shaded, on the panel colour (plain copy: no transparency)."""
    size, sub = 20, 4
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
                    fx = x + (sx + 0.5) / sub
                    fy = y + (sy + 0.5) / sub
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


def cursor(fill, outline):
    """32x32 pointing hand, hot spot (6, 0) at the fingertip's outline."""
    inside = [[HAND[y][x] == "#" for x in range(32)] for y in range(32)]
    rows = []
    for y in range(32):
        row = []
        for x in range(32):
            if inside[y][x]:
                row.append(fill + (255,))
                continue
            near = any(
                0 <= y + dy < 32 and 0 <= x + dx < 32 and inside[y + dy][x + dx]
                for dy in (-1, 0, 1) for dx in (-1, 0, 1))
            row.append(outline + (255,) if near else (0, 0, 0, 0))
        rows.append(row)
    return rows


def icon():
    """32x32: a small board with one black and one white stone."""
    rows = []
    for y in range(32):
        row = []
        for x in range(32):
            rx = min(x, 31 - x)
            ry = min(y, 31 - y)
            corner = rx < 3 and ry < 3 and math.hypot(3 - rx - 0.5, 3 - ry - 0.5) > 3.2
            if corner:
                row.append((0, 0, 0, 0))
                continue
            c = PANEL_BASE
            if rx < 2 or ry < 2:
                c = (140, 96, 54)
            if (x in (8, 23) and 8 <= y <= 23) or (y in (8, 23) and 8 <= x <= 23):
                c = LINE
            for (sx, sy, dark) in ((8.5, 8.5, True), (23.5, 23.5, False)):
                d = math.hypot(x + 0.5 - sx, y + 0.5 - sy)
                if d < 6.0:
                    hl = max(0.0, 1.0 - math.hypot(x + 0.5 - sx + 2, y + 0.5 - sy + 2) / 5)
                    c = (30 + 110 * hl,) * 3 if dark else (200 + 55 * hl,) * 3
                    if d > 5.0:
                        c = mix(c, (60, 40, 20), 0.5)
            row.append(tuple(clamp(v) for v in c) + (255,))
        rows.append(row)
    return rows


def main():
    write_png(os.path.join(HERE, "background.png"), CLIENT_W, CLIENT_H, background(), False)
    write_png(os.path.join(HERE, "black.png"), 20, 20, piece(True), False)
    write_png(os.path.join(HERE, "white.png"), 20, 20, piece(False), False)
    write_png(os.path.join(HERE, "icon.png"), 32, 32, icon(), True)
    write_png(os.path.join(HERE, "cursor_black.png"), 32, 32,
              cursor((0, 0, 0), (255, 255, 255)), True)
    write_png(os.path.join(HERE, "cursor_white.png"), 32, 32,
              cursor((255, 255, 255), (0, 0, 0)), True)


if __name__ == "__main__":
    main()
