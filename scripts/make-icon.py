#!/usr/bin/env python3
"""Draws Vigilon's icon, three stacked grey discs circled by two blue arrows, and writes it as a
Windows .ico with an image for every size Windows asks for at every DPI: 16, 20, 24, 32, 40, 48
and 64 pixels as 32-bit images with alpha (soft edges on any background), and 256 pixels as a
PNG. Also writes the same artwork as the 70 x 75 logo bitmap of the editor and the About dialog,
on a background of RGB 192,192,192 that the program maps to the button-face colour when it loads
it.

Usage: scripts/make-icon.py [folder]   (default: src/ui/res; writes vigilon.ico and logo.bmp)
Needs only Python 3. The drawing is supersampled and the result is deterministic, so the
committed icon can be checked against a fresh run.
"""
import math
import struct
import sys
import zlib
from pathlib import Path

SUPERSAMPLE = 8
BLUE = (30, 100, 220)
BLUE_DARK = (15, 60, 150)
GREY_TOP = (200, 200, 205)
GREY_SIDE = (140, 140, 148)
GREY_EDGE = (70, 70, 78)


def in_ellipse(x, y, cx, cy, rx, ry):
    return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def disc_colour(x, y):
    colour = None
    for k in range(3):
        cy = 0.68 - k * 0.15
        rx, ry, h = 0.24, 0.07, 0.06
        side = abs(x - 0.5) <= rx and cy <= y <= cy + h or in_ellipse(x, y, 0.5, cy + h, rx, ry)
        top = in_ellipse(x, y, 0.5, cy, rx, ry)
        edge_top = top and not in_ellipse(x, y, 0.5, cy, rx - 0.03, ry - 0.025)
        if side:
            colour = GREY_SIDE
            if not in_ellipse(x, y, 0.5, cy + h, rx - 0.03, ry - 0.02) and y > cy + h - 0.01:
                colour = GREY_EDGE
            if abs(x - 0.5) > rx - 0.03 and y <= cy + h:
                colour = GREY_EDGE
        if top:
            colour = GREY_EDGE if edge_top else GREY_TOP
    return colour


def arrow_colour(x, y):
    """Two arcs on a circle round the discs, each ending in an arrowhead, turning clockwise."""
    cx, cy, r, w = 0.5, 0.5, 0.42, 0.055
    dx, dy = x - cx, y - cy
    dist = math.hypot(dx, dy)
    ang = math.degrees(math.atan2(dy, dx)) % 360
    for start, end in ((200, 330), (20, 150)):
        if abs(dist - r) <= w and start <= ang <= end:
            return BLUE if dist < r + w * 0.4 else BLUE_DARK
        # arrowhead at the arc's end, pointing along the turn
        t = math.radians(end)
        hx, hy = cx + r * math.cos(t), cy + r * math.sin(t)
        tx, ty = -math.sin(t), math.cos(t)  # direction of travel
        nx, ny = math.cos(t), math.sin(t)
        px, py = x - hx, y - hy
        along = px * tx + py * ty
        across = px * nx + py * ny
        if 0 <= along <= 0.16 and abs(across) <= 0.11 * (1 - along / 0.16):
            return BLUE
    return None


def render(size, height=None, coverage=False, supersample=SUPERSAMPLE):
    """RGBA rows, top row first. With `coverage`, a pixel's alpha is the share of it the drawing
    covers; otherwise a pixel is drawn, opaque, when the drawing covers half of it."""
    height = height or size
    rows = []
    n = supersample
    for py in range(height):
        row = []
        for px in range(size):
            acc = [0, 0, 0]
            hits = 0
            for sy in range(n):
                for sx in range(n):
                    x = (px + (sx + 0.5) / n) / size
                    y = (py + (sy + 0.5) / n) / height
                    c = arrow_colour(x, y) or disc_colour(x, y)
                    if c:
                        hits += 1
                        for i in range(3):
                            acc[i] += c[i]
            if coverage and hits:
                row.append(tuple(a // hits for a in acc) + ((255 * hits + n * n // 2) // (n * n),))
            elif not coverage and hits * 2 >= n * n:
                row.append(tuple(a // hits for a in acc) + (255,))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def and_mask(rows, size):
    stride = ((size + 31) // 32) * 4
    data = b""
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if not p[3]:
                bits[x // 8] |= 0x80 >> (x % 8)
        data += bytes(bits)
    return data


def dib32(rows, size):
    """A 32-bit image with alpha, rows from the bottom, and its mask of the clear pixels."""
    pixels = b"".join(bytes((p[2], p[1], p[0], p[3])) for row in reversed(rows) for p in row)
    mask = and_mask(rows, size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def png(rows, size):
    """A PNG of the rows, 8-bit RGBA: Windows takes the 256-pixel image of an icon in this form."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in rows)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


ICON_SIZES = (16, 20, 24, 32, 40, 48, 64)


LOGO_BACKGROUND = (192, 192, 192)


def bitmap(rows, width, height):
    """A 24-bit .bmp file of the rows on the logo background."""
    stride = ((width * 3 + 3) // 4) * 4
    pixels = b""
    for row in reversed(rows):
        line = bytearray(stride)
        for x, p in enumerate(row):
            r, g, b = p[:3] if p[3] else LOGO_BACKGROUND
            line[x * 3:x * 3 + 3] = bytes((b, g, r))
        pixels += bytes(line)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else \
        Path(__file__).resolve().parent.parent / "src" / "ui" / "res"
    out = folder / "vigilon.ico"
    (folder / "logo.bmp").write_bytes(bitmap(render(70, 75), 70, 75))
    images = [(size, dib32(render(size, coverage=True), size)) for size in ICON_SIZES]
    images.append((256, png(render(256, coverage=True, supersample=4), 256)))
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in images:
        # The directory writes 256 as 0.
        data += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    data += b"".join(image for _, image in images)
    out.write_bytes(data)
    print(f"wrote {out} ({len(data)} bytes)")


if __name__ == "__main__":
    main()
