#!/usr/bin/env python3
"""Draws Taplore's icon (a red response curve over a green grid on black) as 16-colour
palette PNGs of 16 x 16 and 32 x 32 pixels, as the same two images in a Windows icon file
(taplore.ico, for the Windows dialog's resources) and as the same drawing in SVG, for
software centres and large sizes. Run it in this folder to regenerate taplore-16/32.png,
taplore.ico and taplore.svg; taplore-64/128.png are the SVG rendered:
    rsvg-convert -w 64 taplore.svg -o taplore-64.png
    rsvg-convert -w 128 taplore.svg -o taplore-128.png"""
import struct
import zlib

# The 16-colour palette of classic desktop icons.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_GREEN, GREY, RED, WHITE = 0, 2, 8, 9, 15


def response(f):
    """Magnitude of a band-pass shape between 0.25 and 0.6 of the width, 0 ... 1."""
    centre, half = 0.425, 0.175
    return 1.0 / (1.0 + ((f - centre) / half) ** 8)


def draw(size):
    px = [[BLACK] * size for _ in range(size)]
    step = size // 4
    for i in range(0, size, step):
        for j in range(0, size, 2):
            px[j][i] = DARK_GREEN
            px[i][j] = DARK_GREEN
    top, bottom = size // 8, size - 2
    previous = None
    for x in range(1, size - 1):
        y = round(bottom - (bottom - top) * response(x / (size - 1)))
        span = range(min(y, previous), max(y, previous) + 1) if previous is not None else [y]
        for yy in span:
            px[yy][x] = RED
        previous = y
    for i in range(size):
        px[0][i] = px[size - 1][i] = px[i][0] = px[i][size - 1] = GREY
    return px


def png(pixels):
    size = len(pixels)
    rows = b""
    for row in pixels:
        packed = bytes((row[i] << 4) | row[i + 1] for i in range(0, size, 2))
        rows += b"\x00" + packed

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 4, 3, 0, 0, 0)
    palette = b"".join(bytes(c) for c in PALETTE)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"PLTE", palette)
            + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def ico_image(pixels):
    """One image of an icon file: a 4-bit device-independent bitmap, rows bottom up, followed
    by the transparency mask (all opaque), each row padded to four bytes."""
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    colour_row, mask_row = size // 2, (size // 8 + 3) // 4 * 4
    colour = b"".join(bytes((row[i] << 4) | row[i + 1] for i in range(0, size, 2)).ljust(
        (colour_row + 3) // 4 * 4, b"\0") for row in reversed(pixels))
    return header + palette + colour + b"\0" * mask_row * size


def ico(images):
    """An icon file holding the images, largest first."""
    entries, data = b"", b""
    offset = 6 + 16 * len(images)
    for pixels in images:
        image = ico_image(pixels)
        size = len(pixels)
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset + len(data))
        data += image
    return struct.pack("<HHH", 0, 1, len(images)) + entries + data


def hex_colour(index):
    return "#%02x%02x%02x" % PALETTE[index]


def svg():
    """The 32-pixel drawing in vectors: pixel (x, y) is the unit square at (x, y)."""
    size = 32
    step = size // 4
    top, bottom = size // 8, size - 2
    grid = "".join(f'M{i + 0.5} 1V{size - 1}M1 {i + 0.5}H{size - 1}' for i in range(step, size, step))
    points = " ".join(
        f"{x / 4 + 0.5:g},{bottom - (bottom - top) * response(x / 4 / (size - 1)) + 0.5:.2f}"
        for x in range(4, 4 * (size - 2) + 1))
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" viewBox="0 0 {size} {size}">
  <title>Taplore</title>
  <rect width="{size}" height="{size}" fill="{hex_colour(BLACK)}"/>
  <path d="{grid}" stroke="{hex_colour(DARK_GREEN)}" stroke-width="1" stroke-dasharray="1 1"/>
  <polyline points="{points}" fill="none" stroke="{hex_colour(RED)}" stroke-width="1.5"
            stroke-linejoin="round" stroke-linecap="round"/>
  <rect x="0.5" y="0.5" width="{size - 1}" height="{size - 1}" fill="none"
        stroke="{hex_colour(GREY)}" stroke-width="1"/>
</svg>
"""


if __name__ == "__main__":
    for size in (16, 32):
        with open(f"taplore-{size}.png", "wb") as out:
            out.write(png(draw(size)))
    with open("taplore.ico", "wb") as out:
        out.write(ico([draw(32), draw(16)]))
    with open("taplore.svg", "w") as out:
        out.write(svg())
