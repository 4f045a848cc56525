#!/usr/bin/env python3
"""Draws the program's two icons and writes them as .ico files.

    scripts/make_icons.py            writes src/app/lumeno.ico and src/app/settings.ico

The program icon is a green gauge needle on a blue tile; the settings icon is
a grey gear. Images up to 48 px are BMP entries, which every Windows
version since XP reads, and XP never asks for a larger one: the windows load
their icons at the system's icon sizes (32 or 48 px, and 16). The settings
icon's 128 px image is a PNG entry, as Windows Vista and later read it:
4.7 KB where the same image as a BMP entry takes 66 KB, most of the program.
8-bit images take their colours from a fixed 6x6x6 colour cube plus grey ramp
and store only the colours they use; their transparency comes from the AND
mask alone.
"""
import math
import os
import struct
import sys
import zlib

SUPERSAMPLE = 4


def render(shade, size):
    """shade(x, y) -> (r, g, b, a) for x, y in [0, 1); returns rows top-down of RGBA tuples."""
    rows = []
    n = SUPERSAMPLE
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(n):
                for sx in range(n):
                    r, g, b, a = shade((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            alpha = acc[3] / (n * n)
            if acc[3] > 0:
                row.append((acc[0] / acc[3], acc[1] / acc[3], acc[2] / acc[3], alpha))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def gauge_shade(x, y):
    """Blue rounded tile with a white dial arc and a green needle."""
    cx, cy = x - 0.5, y - 0.5
    margin, radius = 0.06, 0.16
    qx = max(abs(cx) - (0.5 - margin - radius), 0)
    qy = max(abs(cy) - (0.5 - margin - radius), 0)
    if math.hypot(qx, qy) > radius:
        return (0, 0, 0, 0)
    top = (40, 110, 215)
    bottom = (20, 60, 150)
    t = y
    base = tuple(top[i] * (1 - t) + bottom[i] * t for i in range(3))
    dx, dy = x - 0.5, y - 0.62
    d = math.hypot(dx, dy)
    angle = math.atan2(-dy, dx)
    if 0.28 < d < 0.36 and -0.25 < angle < math.pi + 0.25:
        return (255, 255, 255, 1)
    # The needle points up and to the right.
    nx, ny = math.cos(math.radians(50)), -math.sin(math.radians(50))
    along = dx * nx + dy * ny
    across = abs(dx * ny - dy * nx)
    if -0.04 < along < 0.30 and across < 0.045 * (1 - along / 0.34):
        return (90, 220, 90, 1)
    if d < 0.07:
        return (90, 220, 90, 1)
    return base + (1,)


def gear_shade(x, y):
    """Grey gear with eight teeth and a hole."""
    dx, dy = x - 0.5, y - 0.5
    d = math.hypot(dx, dy)
    angle = math.atan2(dy, dx)
    teeth = 8
    phase = (angle * teeth / (2 * math.pi)) % 1.0
    outer = 0.47 if 0.25 < phase < 0.75 else 0.37
    if d > outer or d < 0.13:
        return (0, 0, 0, 0)
    edge = min(outer - d, d - 0.13)
    if d > 0.37 - 0.035:
        # Flanks of a tooth: distance to the nearest tooth side.
        flank = min(abs(phase - 0.25), abs(phase - 0.75)) * 2 * math.pi / teeth * d
        edge = min(edge, flank)
    light = 0.5 + 0.5 * (-(dx + dy) / max(d, 1e-6)) * 0.6
    grey = 120 + 90 * light
    if edge < 0.035:
        return (60, 60, 70, 1)
    return (grey, grey, grey + 12, 1)


def palette():
    colours = []
    for r in range(6):
        for g in range(6):
            for b in range(6):
                colours.append((r * 51, g * 51, b * 51))
    for i in range(256 - len(colours)):
        v = int(255 * (i + 1) / (256 - 216 + 1))
        colours.append((v, v, v))
    return colours


def nearest(colours, rgb):
    best, best_d = 0, None
    for i, c in enumerate(colours):
        d = sum((c[k] - rgb[k]) ** 2 for k in range(3))
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


def and_mask(rows, size):
    stride = ((size + 31) // 32) * 4
    out = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 0.5:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def image_32(rows, size):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((round(b), round(g), round(r), round(a * 255)))
    return header + bytes(pixels) + and_mask(rows, size)


def image_png(rows, size):
    """RGBA, 8 bits a channel (32 bits a pixel), no row filter: the flat
    picture compresses best unfiltered."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for r, g, b, a in row:
            raw += bytes((round(r), round(g), round(b), round(a * 255)))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def image_8(rows, size):
    """Each pixel takes its nearest colour of the fixed palette; the image's
    own colour table then lists only the colours it uses (biClrUsed), which
    shows the same pixels and leaves out up to 1 KB of unused entries."""
    colours = palette()
    cache = {}
    used = {}  # fixed-palette index -> index in the image's own table
    indices = []
    for row in reversed(rows):
        line = []
        for r, g, b, a in row:
            key = (round(r), round(g), round(b)) if a >= 0.5 else (0, 0, 0)
            if key not in cache:
                cache[key] = nearest(colours, key)
            line.append(used.setdefault(cache[key], len(used)))
        indices.append(line)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, len(used), 0)
    table = b"".join(bytes((colours[i][2], colours[i][1], colours[i][0], 0)) for i in used)
    stride = (size + 3) // 4 * 4
    pixels = b"".join(bytes(line) + bytes(stride - size) for line in indices)
    return header + table + pixels + and_mask(rows, size)


def write_ico(path, shade, entries):
    images = []
    for size, bits in entries:
        rows = render(shade, size)
        if bits == 8:
            data = image_8(rows, size)
        else:
            data = image_png(rows, size) if size > 48 else image_32(rows, size)
        images.append((size, bits, data))
    offset = 6 + 16 * len(images)
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    for size, bits, data in images:
        dim = size if size < 256 else 0
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "app")
    write_ico(os.path.join(root, "lumeno.ico"), gauge_shade, [(32, 8), (16, 8), (48, 32), (32, 32), (16, 32)])
    write_ico(os.path.join(root, "settings.ico"), gear_shade,
              [(48, 8), (32, 8), (16, 8), (128, 32), (48, 32), (32, 32), (16, 32)])
    return 0


if __name__ == "__main__":
    sys.exit(main())
