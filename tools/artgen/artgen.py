#!/usr/bin/env python3
"""Builds Pakico's bitmaps, icons and window outline from the text pixel maps in res/art.

The maps are the source of every picture the program shows; this script only
packs them into the formats the resources want. Standard library only, so the
build needs nothing but a Python 3 interpreter.

Map file format (UTF-8 text):
    # comment lines and blank lines are ignored outside [pixels]
    [palette]
    .  transparent          one character, then a colour name or "transparent"
    k  black
    [pixels]
    ..kkkk..                one line per row, one palette character per pixel
"""

import argparse
import struct
import sys
import zlib
from pathlib import Path

# The standard 16-colour palette, in the order of its indices in a 4-bit bitmap.
PALETTE = [
    ("black", (0, 0, 0)), ("maroon", (128, 0, 0)), ("green", (0, 128, 0)),
    ("olive", (128, 128, 0)), ("navy", (0, 0, 128)), ("purple", (128, 0, 128)),
    ("teal", (0, 128, 128)), ("silver", (192, 192, 192)), ("grey", (128, 128, 128)),
    ("red", (255, 0, 0)), ("lime", (0, 255, 0)), ("yellow", (255, 255, 0)),
    ("blue", (0, 0, 255)), ("fuchsia", (255, 0, 255)), ("aqua", (0, 255, 255)),
    ("white", (255, 255, 255)),
]
COLOUR_INDEX = {name: i for i, (name, _) in enumerate(PALETTE)}

# Transparent pixels are stored as fuchsia, which no picture uses, so the image
# list can key its mask on it and a stray pixel outside the region is obvious.
KEY = COLOUR_INDEX["fuchsia"]

WINDOW_PICTURES = ["window_ready", "window_resting", "window_compress", "window_extract"]
WINDOW_SIZE = (58, 59)
MENU_IMAGES = [
    "menu00_door", "menu01_run", "menu02_compress", "menu03_extract",
    "menu04_settings", "menu05_cancel", "menu06_reopen", "menu07_watch",
    "menu08_cat", "menu09_help", "menu10_view", "menu11_openfolder",
]
CAT_FACE = "catface32"
# The settings dialog's archive type pictures: fifteen places, the unused ones left empty.
ARCHIVE_IMAGES = {
    7: "archive07_lha", 8: "archive08_zip", 9: "archive09_cab", 10: "archive10_tar",
    12: "archive12_sfx", 13: "archive13_lhasfx", 14: "archive14_cabsfx",
}
ARCHIVE_IMAGE_COUNT = 15


class ArtError(Exception):
    pass


class PixelMap:
    """A picture as rows of palette indices; None marks a transparent pixel."""

    def __init__(self, name, rows):
        self.name = name
        self.rows = rows
        self.height = len(rows)
        self.width = len(rows[0]) if rows else 0

    def opaque(self, x, y):
        return self.rows[y][x] is not None

    def index(self, x, y):
        """Palette index of a pixel, transparent ones as the key colour."""
        i = self.rows[y][x]
        return KEY if i is None else i


def load_map(path, size):
    """Reads one map and checks it is size (width, height) pixels."""
    palette, rows, section = {}, [], None
    for number, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = raw.rstrip()
        where = f"{path}:{number}"
        if section != "pixels" and (not line.strip() or line.lstrip().startswith("#")):
            continue
        if line in ("[palette]", "[pixels]"):
            section = line[1:-1]
            continue
        if section == "palette":
            parts = line.split()
            if len(parts) != 2 or len(parts[0]) != 1 or parts[0] == "#":
                raise ArtError(f"{where}: expected '<char> <colour>'")
            char, colour = parts
            if colour == "transparent":
                palette[char] = None
            elif colour == "fuchsia":
                raise ArtError(f"{where}: fuchsia is reserved for transparent pixels")
            elif colour in COLOUR_INDEX:
                palette[char] = COLOUR_INDEX[colour]
            else:
                raise ArtError(f"{where}: unknown colour '{colour}'")
        elif section == "pixels":
            if not line:
                continue
            try:
                rows.append([palette[c] for c in line])
            except KeyError as e:
                raise ArtError(f"{where}: character {e} is not in the palette") from None
        else:
            raise ArtError(f"{where}: text outside [palette] and [pixels]")
    picture = PixelMap(path.stem, rows)
    widths = {len(r) for r in rows}
    if (picture.width, picture.height) != size or widths != {size[0]}:
        raise ArtError(f"{path}: must be {size[0]} x {size[1]} pixels, "
                       f"found {sorted(widths)} wide and {len(rows)} rows")
    return picture


# --- Bitmaps and icons -------------------------------------------------------

def palette_bytes():
    return b"".join(bytes((b, g, r, 0)) for _, (r, g, b) in PALETTE)


def pack_4bit_rows(picture):
    """Bottom-up 4-bit rows, each padded to a multiple of four bytes."""
    stride = ((picture.width * 4 + 31) // 32) * 4
    out = bytearray()
    for y in reversed(range(picture.height)):
        row = bytearray(stride)
        for x in range(picture.width):
            row[x // 2] |= picture.index(x, y) << (4 if x % 2 == 0 else 0)
        out += row
    return bytes(out)


def pack_and_mask(picture):
    """Bottom-up 1-bit AND mask: set where the icon lets the background through."""
    stride = ((picture.width + 31) // 32) * 4
    out = bytearray()
    for y in reversed(range(picture.height)):
        row = bytearray(stride)
        for x in range(picture.width):
            if not picture.opaque(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def info_header(width, height, bits, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size,
                       0, 0, 16, 0)


def bmp_bytes(picture):
    pixels = pack_4bit_rows(picture)
    offset = 14 + 40 + 64
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info_header(picture.width, picture.height, 4, len(pixels)) \
        + palette_bytes() + pixels


def ico_bytes(pictures):
    """An icon with one 4-bit image per picture; transparent pixels are black
    in the colour part and set in the AND mask, as the shell expects."""
    images = []
    for p in pictures:
        colour = PixelMap(p.name, [[0 if i is None else i for i in r] for r in p.rows])
        xor, mask = pack_4bit_rows(colour), pack_and_mask(p)
        images.append(info_header(p.width, 2 * p.height, 4, len(xor) + len(mask))
                      + palette_bytes() + xor + mask)
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for p, data in zip(pictures, images):
        out += struct.pack("<BBBBHHII", p.width % 256, p.height % 256, 16, 0, 1, 4,
                           len(data), offset)
        offset += len(data)
    return bytes(out + b"".join(images))


def strip(name, pictures):
    """Pictures of equal height side by side, as an image list loads them."""
    rows = [sum((p.rows[y] for p in pictures), []) for y in range(pictures[0].height)]
    return PixelMap(name, rows)


# --- Window outline ----------------------------------------------------------

def outline_rects(pictures):
    """The opaque area as a y-x banded rectangle list, the form GetRegionData
    returns: each band is a run of rows with identical spans, spans sorted by x,
    right and bottom exclusive."""
    first = pictures[0]
    for p in pictures[1:]:
        for y in range(first.height):
            for x in range(first.width):
                if p.opaque(x, y) != first.opaque(x, y):
                    raise ArtError(f"{p.name} and {first.name} differ in outline "
                                   f"at ({x}, {y}); the window has only one region")

    def spans(y):
        found, x = [], 0
        while x < first.width:
            if first.opaque(x, y):
                start = x
                while x < first.width and first.opaque(x, y):
                    x += 1
                found.append((start, x))
            else:
                x += 1
        return found

    rects, y = [], 0
    while y < first.height:
        row = spans(y)
        bottom = y + 1
        while bottom < first.height and spans(bottom) == row:
            bottom += 1
        rects += [(left, y, right, bottom) for left, right in row]
        y = bottom
    return rects


def outline_bytes(rects):
    """The stored outline: a 32-bit byte count, then RGNDATA (header and rects)."""
    if not rects:
        return struct.pack("<I", 0)
    bound = (min(r[0] for r in rects), min(r[1] for r in rects),
             max(r[2] for r in rects), max(r[3] for r in rects))
    body = struct.pack("<IIII4i", 32, 1, len(rects), 16 * len(rects), *bound)
    body += b"".join(struct.pack("<4i", *r) for r in rects)
    return struct.pack("<I", len(body)) + body


# --- Previews ----------------------------------------------------------------

def png_bytes(width, height, rgb_rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data \
            + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in rgb_rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def preview(pictures, scale, background):
    """Pictures side by side with a gap, scaled up; transparent pixels show the
    background (a checkerboard when background is None, to make the outline plain)."""
    gap = 4
    width = sum(p.width for p in pictures) + gap * (len(pictures) + 1)
    height = max(p.height for p in pictures) + 2 * gap
    canvas = [[background or ((204, 204, 204) if (x // 4 + y // 4) % 2 else (255, 255, 255))
               for x in range(width)] for y in range(height)]
    left = gap
    for p in pictures:
        for y in range(p.height):
            for x in range(p.width):
                if p.opaque(x, y):
                    canvas[gap + y][left + x] = PALETTE[p.rows[y][x]][1]
        left += p.width + gap
    rows = [[px for px in row for _ in range(scale)] for row in canvas for _ in range(scale)]
    return png_bytes(width * scale, height * scale, rows)


# --- Main --------------------------------------------------------------------

def build(maps, out):
    windows = [load_map(maps / f"{n}.txt", WINDOW_SIZE) for n in WINDOW_PICTURES]
    menu = [load_map(maps / f"{n}.txt", (16, 16)) for n in MENU_IMAGES]
    face = load_map(maps / f"{CAT_FACE}.txt", (32, 32))
    rects = outline_rects(windows)
    image_list = strip("ImageList1", menu)
    blank = PixelMap("blank", [[None] * 16 for _ in range(16)])
    archive = [load_map(maps / f"{ARCHIVE_IMAGES[i]}.txt", (16, 16)) if i in ARCHIVE_IMAGES
               else blank for i in range(ARCHIVE_IMAGE_COUNT)]

    files = {f"CoolForm{i}.bmp": bmp_bytes(p) for i, p in enumerate(windows, 1)}
    files["ImageList1.bmp"] = bmp_bytes(image_list)
    files["ArchiveIcons.bmp"] = bmp_bytes(strip("ArchiveIcons", archive))
    files["AboutCat.bmp"] = bmp_bytes(face)
    files["AboutCat.ico"] = ico_bytes([face])
    files["Pakico.ico"] = ico_bytes([face, menu[8]])
    files["CatOutline.bin"] = outline_bytes(rects)

    # Previews for review: each picture four times its size, and everything at
    # its real size over the classic teal desktop, as a user would see it.
    desktop = PALETTE[COLOUR_INDEX["teal"]][1]
    files["preview_window.png"] = preview(windows, 4, None)
    files["preview_menu.png"] = preview(menu, 4, None)
    files["preview_archive.png"] = preview(archive, 4, None)
    files["preview_icon.png"] = preview([face, menu[8]], 4, None)
    files["preview_actual.png"] = preview(windows + [face] + menu, 1, desktop)

    out.mkdir(parents=True, exist_ok=True)
    for name, data in files.items():
        (out / name).write_bytes(data)
    return rects


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--maps", type=Path, required=True, help="folder of the pixel maps")
    parser.add_argument("--out", type=Path, required=True, help="folder for the results")
    parser.add_argument("--verbose", action="store_true", help="print the outline")
    args = parser.parse_args()
    try:
        rects = build(args.maps, args.out)
    except (ArtError, OSError) as e:
        print(f"artgen: {e}", file=sys.stderr)
        return 1
    if args.verbose:
        print(f"outline: {len(rects)} rectangles")
        for r in rects:
            print("  ({}, {})-({}, {})".format(*r))
    return 0


if __name__ == "__main__":
    sys.exit(main())
