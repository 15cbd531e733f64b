#!/usr/bin/env python3
"""Draws the window backgrounds of the skin frame (and the default background) as PNG files,
with a thumbnail of each for the frame's buttons. Plain Python, no imaging library:
    scripts/make_skin_backgrounds.py [skin folder]
"""
import math
import os
import struct
import sys
import zlib

WIDTH, HEIGHT = 1600, 1000
THUMB_STEP = 8  # thumbnails are 200 x 125, the average of 8 x 8 pixels each


def write_png(path, width, height, rows):
    raw = b"".join(b"\x00" + bytes(row) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        out.write(chunk(b"IEND", b""))


def thumbnail(rows, step=THUMB_STEP, left=0, top=0):
    """The average of step x step pixels for each thumbnail pixel, starting at (left, top)."""
    out = []
    for ty in range(HEIGHT // THUMB_STEP):
        row = bytearray()
        for tx in range(WIDTH // THUMB_STEP):
            total = [0, 0, 0]
            for y in range(top + ty * step, top + (ty + 1) * step):
                src = rows[y]
                for x in range(left + tx * step, left + (tx + 1) * step):
                    total[0] += src[3 * x]
                    total[1] += src[3 * x + 1]
                    total[2] += src[3 * x + 2]
            n = step * step
            row += bytes((total[0] // n, total[1] // n, total[2] // n))
        out.append(row)
    return out


def clamp(v):
    return 0 if v < 0 else 255 if v > 255 else int(v + 0.5)


def render(shade):
    rows = []
    for y in range(HEIGHT):
        row = bytearray(3 * WIDTH)
        for x in range(WIDTH):
            r, g, b = shade(x, y)
            # A little ordered dither keeps the dark gradients free of bands.
            d = ((x * 7 + y * 13) % 4 - 1.5) * 0.35
            row[3 * x] = clamp(r + d)
            row[3 * x + 1] = clamp(g + d)
            row[3 * x + 2] = clamp(b + d)
        rows.append(row)
    return rows


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def glow(x, y, cx, cy, radius):
    d = math.hypot(x - cx, y - cy) / radius
    return math.exp(-d * d)


def default_background(x, y):
    base = mix((0x14, 0x18, 0x1F), (0x0E, 0x10, 0x15), y / HEIGHT)
    g = 0.10 * glow(x, y, WIDTH * 0.92, -80, 700)
    return mix(base, (0x19, 0xC3, 0xFF), g)


def aurora(x, y):
    base = mix((0x08, 0x0D, 0x1A), (0x05, 0x07, 0x0E), y / HEIGHT)
    u = x / WIDTH
    band1 = HEIGHT * (0.38 + 0.10 * math.sin(u * 5.2 + 0.6) + 0.04 * math.sin(u * 13.0))
    band2 = HEIGHT * (0.58 + 0.08 * math.sin(u * 4.1 + 2.4))
    i1 = math.exp(-((y - band1) / 90.0) ** 2) * (0.55 + 0.45 * math.sin(u * 3.0 + 1.0) ** 2)
    i2 = math.exp(-((y - band2) / 120.0) ** 2) * 0.6
    c = mix(base, (0x19, 0xC3, 0xFF), 0.42 * i1)
    return mix(c, (0x7B, 0x4D, 0xFF), 0.30 * i2)


HEX_SIZE = 34.0


def hex_distance(x, y):
    # Distance to the nearest edge of a pointy-top hexagon grid, in pixels.
    q = (math.sqrt(3) / 3 * x - y / 3) / HEX_SIZE
    r = (2.0 / 3 * y) / HEX_SIZE
    s = -q - r
    rq, rr, rs = round(q), round(r), round(s)
    dq, dr, ds = abs(rq - q), abs(rr - r), abs(rs - s)
    if dq > dr and dq > ds:
        rq = -rr - rs
    elif dr > ds:
        rr = -rq - rs
    cx = HEX_SIZE * math.sqrt(3) * (rq + rr / 2)
    cy = HEX_SIZE * 1.5 * rr
    px, py = abs(x - cx), abs(y - cy)
    inner = HEX_SIZE * math.sqrt(3) / 2
    edge = max(px, px * 0.5 + py * math.sqrt(3) / 2)
    return inner - edge


def hexagons(x, y):
    base = mix((0x0D, 0x11, 0x17), (0x0A, 0x0C, 0x10), x / WIDTH)
    light = 0.15 + 0.85 * glow(x, y, WIDTH * 0.15, HEIGHT * 0.95, 900)
    line = max(0.0, 1.0 - abs(hex_distance(x, y)) / 1.6)
    c = mix(base, (0x19, 0xC3, 0xFF), 0.30 * line * light)
    return mix(c, (0x19, 0xC3, 0xFF), 0.06 * light)


def carbon(x, y):
    cell = 12
    cx, cy = x // cell, y // cell
    fx, fy = (x % cell) / cell, (y % cell) / cell
    horizontal = ((cx + cy) // 2) % 2 == 0
    t = fy if horizontal else fx
    shade = 0.55 + 0.45 * math.sin(t * math.pi)
    lit = 1.0 - 0.5 * (y / HEIGHT)
    v = 16 + 16 * shade * lit
    return (v, v + 1, v + 4)


def ember(x, y):
    base = mix((0x12, 0x0C, 0x0E), (0x08, 0x06, 0x08), 1 - y / HEIGHT)
    g = glow(x, y, WIDTH * 0.75, HEIGHT * 1.05, 750)
    streak = max(0.0, 1.0 - abs(((x + y * 0.6) % 140) - 70) / 2.0) * 0.12
    c = mix(base, (0xFF, 0x3B, 0x2F), 0.38 * g + streak * g)
    return mix(c, (0xFF, 0x9A, 0x2F), 0.12 * g * g)


# (file, drawing, thumbnail): a fine texture would average away in a whole-picture
# thumbnail, so those show a part of the picture at half size instead.
WHOLE = (THUMB_STEP, 0, 0)
IMAGES = [
    ("common/background.png", default_background, WHOLE),
    ("backgrounds/aurora.png", aurora, WHOLE),
    ("backgrounds/hexagons.png", hexagons, (2, 0, HEIGHT - 250)),
    ("backgrounds/carbon.png", carbon, (2, 0, 0)),
    ("backgrounds/ember.png", ember, WHOLE),
]


def main():
    skin = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "skin")
    for name, shade, (step, left, top) in IMAGES:
        rows = render(shade)
        path = os.path.join(skin, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        write_png(path, WIDTH, HEIGHT, rows)
        thumb = thumbnail(rows, step, left, top)
        write_png(path[:-4] + "_thumb.png", WIDTH // THUMB_STEP, HEIGHT // THUMB_STEP, thumb)
        print("wrote", path)


if __name__ == "__main__":
    main()
