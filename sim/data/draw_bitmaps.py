#!/usr/bin/env python3
"""Draws the demo's bitmaps: one picture per sample agent, an image that an
agent carries, the help pages' picture, the applet's wallpaper and its cover
picture, all as 24-bit Windows bitmaps.

usage: draw_bitmaps.py OUTPUT_DIR
"""
import math
import struct
import sys
from pathlib import Path

# Agent pictures use this colour in the top-left corner, which makes it their
# transparent colour.
BACKDROP = (255, 0, 255)
WHITE = (255, 255, 255)


def write_bmp(path, width, height, pixel):
    """Writes a bottom-up 24-bit bitmap; pixel(x, y) gives (r, g, b), y = 0 at the top."""
    row_size = (width * 3 + 3) & ~3
    image_size = row_size * height
    header = struct.pack("<2sIHHI", b"BM", 54 + image_size, 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, image_size, 2835, 2835, 0, 0)
    rows = []
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(row_size - len(row))
        rows.append(bytes(row))
    Path(path).write_bytes(header + info + b"".join(rows))


def disc(cx, cy, radius, colour, rim=None, backdrop=BACKDROP):
    """A filled circle, optionally with a darker rim, on the transparent backdrop."""
    def pixel(x, y):
        d = math.hypot(x - cx, y - cy)
        if d > radius:
            return backdrop
        if rim and d > radius - 2:
            return rim
        return colour
    return pixel


def stripes(width, height, colours):
    """Horizontal bands inside a rounded box."""
    def pixel(x, y):
        if min(x, width - 1 - x) + min(y, height - 1 - y) < 4:
            return BACKDROP
        return colours[(y * len(colours)) // height]
    return pixel


def ring_pattern(width, height):
    """Concentric rings: the picture wider and taller than the display."""
    cx, cy = width / 2, height / 2
    def pixel(x, y):
        d = math.hypot(x - cx, y - cy)
        shade = int(127 + 120 * math.sin(d / 6))
        return (shade, 255 - shade, 90) if x and y else BACKDROP
    return pixel


PICTURES = {
    "sunbeetle": (48, 48, disc(24, 24, 20, (250, 200, 40), rim=(120, 80, 0))),
    "honeypot": (40, 48, stripes(40, 48, [(200, 140, 20), (240, 190, 60), (160, 100, 10)])),
    "lantern": (32, 56, stripes(32, 56, [(60, 60, 60), (250, 230, 120), (60, 60, 60)])),
    "raincloud": (64, 40, disc(32, 20, 18, (180, 190, 210), rim=(90, 100, 130))),
    "stoneidol": (40, 64, stripes(40, 64, [(130, 125, 120), (100, 95, 90)])),
    "nighthunter": (56, 40, disc(28, 20, 18, (40, 20, 60), rim=(200, 0, 0))),
    "thoughtseed": (36, 36, disc(18, 18, 15, (120, 220, 120), rim=(20, 90, 20))),
    "herbgarden": (64, 48, stripes(64, 48, [(60, 160, 60), (90, 200, 80), (110, 70, 30)])),
    "musicbox": (48, 40, stripes(48, 40, [(150, 60, 30), (220, 180, 90), (150, 60, 30)])),
    "giantkite": (360, 280, ring_pattern(360, 280)),
}


def wallpaper(x, y):
    """Middle grey (128) with a soft weave, so the applet's tint shows."""
    return (128 + int(12 * math.sin(x / 9) * math.cos(y / 7)),) * 3


def cover(x, y):
    """A dusk sky over a marsh with the applet's name drawn as a band of light."""
    if y < 140:
        return (40 + y // 2, 60 + y // 3, 140 + y // 3)
    if abs(y - 150) < 4:
        return (250, 220, 130)
    return (30 + (x * 7 + y * 3) % 40, 80 + (x + y) % 30, 40)


def main():
    out = Path(sys.argv[1])
    (out / "pictures").mkdir(parents=True, exist_ok=True)
    for name, (width, height, pixel) in PICTURES.items():
        write_bmp(out / "pictures" / f"{name}.bmp", width, height, pixel)
    # An image an agent carries into the game's Images folder.
    (out / "carried").mkdir(exist_ok=True)
    write_bmp(out / "carried" / "mbox.bmp", 16, 16, disc(8, 8, 7, (200, 120, 60)))
    # The help pages' picture sits on their white page.
    write_bmp(out / "helpicon.bmp", 48, 48, disc(24, 24, 20, (250, 200, 40), (120, 80, 0), WHITE))
    write_bmp(out / "wallpaper.bmp", 256, 256, wallpaper)
    write_bmp(out / "Injector.bmp", 320, 240, cover)


if __name__ == "__main__":
    main()
