#!/usr/bin/env python3
"""Draws Vigilon's icon, three stacked grey discs circled by two blue arrows, and writes it as a
Windows .ico: 32 x 32 at 16 colours, 256 colours and 24-bit colour, plus 16 x 16 for the tray.
Also writes the same artwork as the 70 x 75 logo bitmap of the editor and the About dialog, on a
background of RGB 192,192,192 that the program maps to the button-face colour when it loads it.

Usage: scripts/make-icon.py [folder]   (default: src/ui/res; writes vigilon.ico and logo.bmp)
Needs only Python 3. The drawing is supersampled and the result is deterministic, so the
committed icon can be checked against a fresh run.
"""
import math
import struct
import sys
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


def render(size, height=None):
    """RGBA rows, top row first."""
    height = height or size
    rows = []
    n = SUPERSAMPLE
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
            if hits * 2 >= n * n:
                row.append(tuple(a // hits for a in acc) + (255,))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def nearest(colour, palette):
    return min(range(len(palette)),
               key=lambda i: sum((colour[k] - palette[i][k]) ** 2 for k in range(3)))


def palette_256(rows):
    colours = sorted({p[:3] for row in rows for p in row if p[3]})
    palette = colours[:255]
    return [(0, 0, 0)] + palette


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


def dib(rows, size, bpp):
    stride = ((size * bpp + 31) // 32) * 4
    palette = []
    if bpp == 4:
        palette = VGA16
    elif bpp == 8:
        palette = palette_256(rows)
        palette += [(0, 0, 0)] * (256 - len(palette))
    pixels = b""
    for row in reversed(rows):
        line = bytearray(stride)
        for x, p in enumerate(row):
            if bpp == 24:
                line[x * 3:x * 3 + 3] = bytes((p[2], p[1], p[0])) if p[3] else b"\0\0\0"
            else:
                index = nearest(p[:3], palette) if p[3] else 0
                if bpp == 8:
                    line[x] = index
                else:
                    line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        pixels += bytes(line)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0,
                         len(pixels) + len(and_mask(rows, size)), 0, 0,
                         len(palette) if bpp <= 8 else 0, 0)
    colour_table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    return header + colour_table + pixels + and_mask(rows, size)


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
    big, small = render(32), render(16)
    images = [(32, 4, dib(big, 32, 4)), (32, 8, dib(big, 32, 8)), (32, 24, dib(big, 32, 24)),
              (16, 24, dib(small, 16, 24))]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bpp, image in images:
        colours = 16 if bpp == 4 else 0
        data += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bpp, len(image), offset)
        offset += len(image)
    data += b"".join(image for _, _, image in images)
    out.write_bytes(data)
    print(f"wrote {out} ({len(data)} bytes)")


if __name__ == "__main__":
    main()
