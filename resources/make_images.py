#!/usr/bin/env python3
"""Writes the mascot bitmap (mascot.bmp), the tray icon (tray.ico) and the same icon as a PNG for
Linux desktops (mascot-icon.png) next to this script.

The first two are 4-bit images with the standard 16-colour palette. Run it after changing the tables below;
the generated files are committed, so building needs no Python.
"""
import math
import pathlib
import struct
import zlib

# The standard 16-colour palette, (red, green, blue), by index.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, BLUE, WHITE = 0, 4, 12, 15

IMAGE_SIZE = 40
# Row by row from the top: (left rim), (blue), (right rim) as inclusive column ranges.
MASCOT_ROWS = [
    ((18, 21), None, None),
    ((13, 17), (18, 21), (22, 26)),
    ((11, 12), (13, 26), (27, 28)),
    ((10, 10), (11, 28), (29, 29)),
    ((8, 9), (10, 29), (30, 31)),
    ((7, 7), (8, 31), (32, 32)),
    ((6, 6), (7, 32), (33, 33)),
    ((5, 5), (6, 33), (34, 34)),
    ((4, 4), (5, 34), (35, 35)),
    ((3, 3), (4, 35), (36, 36)),
    ((3, 3), (4, 35), (36, 36)),
    ((2, 2), (3, 36), (37, 37)),
    ((1, 1), (2, 37), (38, 38)),
    ((1, 1), (2, 37), (38, 38)),
    ((1, 1), (2, 37), (38, 38)),
    ((1, 1), (2, 37), (38, 38)),
    ((1, 1), (2, 37), (38, 38)),
    ((0, 0), (1, 38), (39, 39)),
    ((0, 0), (1, 38), (39, 39)),
    ((0, 0), (1, 38), (39, 39)),
    ((0, 0), (1, 38), (39, 39)),
    ((0, 0), (1, 38), (39, 39)),
    ((0, 0), (1, 38), (39, 39)),
    ((1, 1), (2, 37), (38, 38)),
    ((1, 1), (2, 37), (38, 38)),
    ((1, 1), (2, 37), (38, 38)),
    ((1, 1), (2, 37), (38, 38)),
    ((1, 1), (2, 37), (38, 38)),
    ((2, 2), (3, 36), (37, 37)),
    ((3, 3), (4, 35), (36, 36)),
    ((3, 3), (4, 35), (36, 36)),
    ((4, 4), (5, 34), (35, 35)),
    ((5, 5), (6, 33), (34, 34)),
    ((5, 5), (6, 33), (34, 34)),
    ((6, 7), (8, 31), (32, 33)),
    ((8, 8), (9, 30), (31, 31)),
    ((9, 10), (11, 28), (29, 30)),
    ((11, 12), (13, 26), (27, 28)),
    ((13, 17), (18, 21), (22, 26)),
    ((18, 21), None, None),
]

ICON_SIZE = 32
ICON_CENTRE = 16.0   # the disc is centred on the image
ICON_RADIUS = 15.0   # pixels whose centres lie within this distance belong to the disc
ICON_RIM = 1.5       # width of the dark blue rim


def mascot_pixels():
    """Palette indices, top row first."""
    rows = []
    for left, blue, right in MASCOT_ROWS:
        row = [WHITE] * IMAGE_SIZE
        for span, colour in ((left, BLACK), (blue, BLUE), (right, BLACK)):
            if span is not None:
                for x in range(span[0], span[1] + 1):
                    row[x] = colour
        rows.append(row)
    return rows


def icon_pixels():
    """(palette index, transparent) pairs, top row first."""
    rows = []
    for y in range(ICON_SIZE):
        row = []
        for x in range(ICON_SIZE):
            distance = math.hypot(x + 0.5 - ICON_CENTRE, y + 0.5 - ICON_CENTRE)
            if distance > ICON_RADIUS:
                row.append((BLACK, True))
            elif distance > ICON_RADIUS - ICON_RIM:
                row.append((NAVY, False))
            else:
                row.append((BLUE, False))
        rows.append(row)
    return rows


def pack_4bit(indices):
    """One row of 4-bit pixels, padded to a multiple of four bytes."""
    data = bytearray()
    for i in range(0, len(indices), 2):
        low = indices[i + 1] if i + 1 < len(indices) else 0
        data.append((indices[i] << 4) | low)
    while len(data) % 4:
        data.append(0)
    return bytes(data)


def pack_mask(flags):
    """One row of a 1-bit mask (1 = transparent), padded to a multiple of four bytes."""
    data = bytearray((len(flags) + 7) // 8)
    for x, transparent in enumerate(flags):
        if transparent:
            data[x // 8] |= 0x80 >> (x % 8)
    while len(data) % 4:
        data.append(0)
    return bytes(data)


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size, 0, 0, 16, 0)


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def bitmap_file(rows):
    pixels = b"".join(pack_4bit(row) for row in reversed(rows))  # bottom-up
    header = info_header(len(rows[0]), len(rows), len(pixels)) + palette_bytes()
    offset = 14 + len(header)
    return struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset) + header + pixels


def icon_file(rows):
    colours = b"".join(pack_4bit([index for index, _ in row]) for row in reversed(rows))
    mask = b"".join(pack_mask([transparent for _, transparent in row]) for row in reversed(rows))
    # An icon image stores twice the height: the colour rows, then the mask rows.
    image = info_header(ICON_SIZE, 2 * ICON_SIZE, len(colours) + len(mask)) + palette_bytes()
    image += colours + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", ICON_SIZE, ICON_SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def png_file(rows):
    """The icon as an 8-bit RGBA PNG, transparent where the icon's mask is."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = bytearray()
    for row in rows:
        raw.append(0)  # no filter
        for index, transparent in row:
            raw.extend(PALETTE[index] + ((0,) if transparent else (255,)))
    header = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def main():
    here = pathlib.Path(__file__).resolve().parent
    (here / "mascot.bmp").write_bytes(bitmap_file(mascot_pixels()))
    (here / "tray.ico").write_bytes(icon_file(icon_pixels()))
    (here / "mascot-icon.png").write_bytes(png_file(icon_pixels()))


if __name__ == "__main__":
    main()
