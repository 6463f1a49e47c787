#!/usr/bin/env python3
"""Draws the two icon strips of the applet from the character grids below.

131.bmp: the tab images (pure green is transparent).
133.bmp: the pictures of the analysis results tree (cyan is transparent).
Each strip is 128 x 16 pixels, 24-bit, eight 16 x 16 pictures side by side.
Run it from anywhere; it writes both files next to itself.
"""

import os
import struct

SIZE = 16
COUNT = 8

# Colours shared by both strips, as (red, green, blue).
PALETTE = {
    "K": (32, 32, 48),     # outline
    "W": (255, 255, 255),  # white
    "w": (220, 220, 210),  # light grey
    "g": (128, 128, 136),  # grey
    "B": (32, 72, 176),    # dark blue
    "b": (96, 152, 232),   # light blue
    "c": (200, 232, 255),  # glass
    "R": (208, 24, 24),    # red
    "r": (255, 120, 110),  # light red
    "G": (24, 144, 48),    # dark green
    "l": (110, 210, 90),   # light green
    "Y": (240, 192, 32),   # gold
    "y": (255, 236, 140),  # light gold
    "O": (236, 128, 32),   # orange
    "o": (255, 190, 110),  # light orange
    "D": (120, 72, 32),    # brown
    "d": (176, 120, 64),   # light brown
    "P": (236, 214, 160),  # parchment
    "p": (210, 180, 120),  # parchment shade
}

TAB_IMAGES = [
    # 0: a closed book, the cover page
    [
        "................",
        "...KKKKKKKKKKK..",
        "..KDBBBBBBBBBBK.",
        "..KDBbbbbbbbbBK.",
        "..KDBbYYYYYYbBK.",
        "..KDBbbbbbbbbBK.",
        "..KDBbYYYYYbbBK.",
        "..KDBbbbbbbbbBK.",
        "..KDBbbbbbbbbBK.",
        "..KDBbbbbbbbbBK.",
        "..KDBbbbbbbbbBK.",
        "..KDBBBBBBBBBBK.",
        "..KDWwWwWwWwWwK.",
        "..KDKKKKKKKKKKK.",
        "...KK...........",
        "................",
    ],
    # 1: a small creature, the agents
    [
        "....K......K....",
        ".....K....K.....",
        ".....KKKKKK.....",
        "....KOOOOOOK....",
        "...KOOOOOOOOK...",
        "..KOWWOOOOWWOK..",
        "..KOWKOOOOWKOK..",
        "..KOOOOOOOOOOK..",
        "..KOoOOOOOOoOK..",
        "..KOOKOOOOKOOK..",
        "...KOOKKKKOOK...",
        "....KOOOOOOK....",
        "....KKOOOOKK....",
        "...KOK.KK.KOK...",
        "...KKK....KKK...",
        "................",
    ],
    # 2: a magnifying glass, the analysis
    [
        "................",
        "....KKKKK.......",
        "...KccccbK......",
        "..KcWccccbK.....",
        "..KcWcccccK.....",
        "..KccccccbK.....",
        "..KccccccbK.....",
        "..KbcccccbK.....",
        "...KbbbbbK......",
        "....KKKKKDD.....",
        "..........DdD...",
        "...........DdD..",
        "............DdD.",
        ".............DD.",
        "................",
        "................",
    ],
    # 3: a star
    [
        "................",
        ".......KK.......",
        ".......KK.......",
        "......KYYK......",
        "......KYYK......",
        ".KKKKKYyyYKKKKK.",
        "..KYYYYyyYYYYK..",
        "...KYYYYYYYYK...",
        "....KYYYYYYK....",
        "....KYYYYYYK....",
        "...KYYYKKYYYK...",
        "...KYYK..KYYK...",
        "..KYYK....KYYK..",
        "..KKK......KKK..",
        "................",
        "................",
    ],
    # 4: a heart
    [
        "................",
        "................",
        "..KKKK....KKKK..",
        ".KRrrRK..KRRRRK.",
        "KRrWRRRKKRRRRRRK",
        "KRrRRRRRRRRRRRRK",
        "KRRRRRRRRRRRRRRK",
        ".KRRRRRRRRRRRRK.",
        "..KRRRRRRRRRRK..",
        "...KRRRRRRRRK...",
        "....KRRRRRRK....",
        ".....KRRRRK.....",
        "......KRRK......",
        ".......KK.......",
        "................",
        "................",
    ],
    # 5: a leaf
    [
        "................",
        "..........KKKK..",
        ".......KKKllllK.",
        ".....KKllllllGK.",
        "....KlllllllGGK.",
        "...KlllllllGlGK.",
        "...KllllllGllGK.",
        "..KlllllGGlllK..",
        "..KllllGlllllK..",
        "..KlllGllllGK...",
        "..KllGlllGGK....",
        "...KGlGGGKK.....",
        "..KGKKKKK.......",
        ".KGK............",
        ".KK.............",
        "................",
    ],
    # 6: a folder
    [
        "................",
        "................",
        "..KKKKK.........",
        ".KyyyyyK........",
        ".KyyyyyyKKKKKKK.",
        ".KYYYYYYYYYYYYK.",
        ".KYKKKKKKKKKKKKK",
        ".KYKyyyyyyyyyyyK",
        ".KYKyyyyyyyyyyK.",
        ".KKyyyyyyyyyyyK.",
        ".KKyyyyyyyyyyK..",
        ".KyyyyyyyyyyyK..",
        ".KKKKKKKKKKKKK..",
        "................",
        "................",
        "................",
    ],
    # 7: a gear
    [
        "................",
        ".......KK.......",
        "...KK.KggK.KK...",
        "...KgKKggKKgK...",
        "....KggggggK....",
        "..KKggwwwwggKK..",
        ".KgggwKKKKwgggK.",
        ".KgggwK..KwgggK.",
        "..KKgwK..KwgKK..",
        "....KgwKKwgK....",
        "...KggwwwwggK...",
        "...KgKggggKgK...",
        "...KK.KggK.KK...",
        ".......KK.......",
        "................",
        "................",
    ],
]

TREE_PICTURES = [
    # 0: an information sign
    [
        "................",
        ".....KKKKKK.....",
        "...KKBBBBBBKK...",
        "..KBBBBWWBBBBK..",
        "..KBBBBWWBBBBK..",
        ".KBBBBBBBBBBBBK.",
        ".KBBBBWWWBBBBBK.",
        ".KBBBBBWWBBBBBK.",
        ".KBBBBBWWBBBBBK.",
        ".KBBBBBWWBBBBBK.",
        ".KBBBBBWWBBBBBK.",
        "..KBBBWWWWBBBK..",
        "..KBBBBBBBBBBK..",
        "...KKBBBBBBKK...",
        ".....KKKKKK.....",
        "................",
    ],
    # 1: a red exclamation mark
    [
        "................",
        "......KKKK......",
        ".....KRrrRK.....",
        ".....KRrRRK.....",
        ".....KRRRRK.....",
        ".....KRRRRK.....",
        "......KRRK......",
        "......KRRK......",
        "......KRRK......",
        ".......KK.......",
        "................",
        "......KKKK......",
        "......KRRK......",
        "......KRRK......",
        "......KKKK......",
        "................",
    ],
    # 2: a molecule of three coloured balls
    [
        "................",
        ".KKKK......KKKK.",
        "KRrRRK....KBbBBK",
        "KrRRRKgggKgBBBBK",
        "KRRRRKgggKgBBBBK",
        "KRRRRK....KBBBBK",
        ".KKKKg....gKKKK.",
        "....gg....gg....",
        ".....gg..gg.....",
        "......gKKg......",
        ".....KKllKK.....",
        ".....KlWllK.....",
        ".....KllllK.....",
        ".....KGllGK.....",
        "......KKKK......",
        "................",
    ],
    # 3: a scroll
    [
        "................",
        "..KKKKKKKKKKK...",
        ".KdPPPPPPPPPdK..",
        ".KpKKKKKKKKKpK..",
        "..KPPPPPPPPPK...",
        "..KPgggggggPK...",
        "..KPPPPPPPPPK...",
        "..KPgggggPPPK...",
        "..KPPPPPPPPPK...",
        "..KPggggggPPK...",
        "..KPPPPPPPPPK...",
        "..KPgggPPPPPK...",
        "..KPPPPPPPPPK...",
        ".KpKKKKKKKKKpK..",
        ".KdPPPPPPPPPdK..",
        "..KKKKKKKKKKK...",
    ],
    # 4: a green tick
    [
        "................",
        "................",
        "............KK..",
        "...........KlGK.",
        "..........KlGK..",
        ".........KlGK...",
        "..KK....KlGK....",
        ".KlGK..KlGK.....",
        "..KlGKKlGK......",
        "...KlGlGK.......",
        "....KlGK........",
        ".....KK.........",
        "................",
        "................",
        "................",
        "................",
    ],
    # 5: a question mark
    [
        "................",
        ".....KKKKKK.....",
        "....KBbbbbBK....",
        "...KBBKKKKBBK...",
        "...KKK....KBBK..",
        "..........KBBK..",
        ".........KBBK...",
        "........KBBK....",
        ".......KBBK.....",
        ".......KBBK.....",
        "........KK......",
        "................",
        ".......KKKK.....",
        ".......KBBK.....",
        ".......KKKK.....",
        "................",
    ],
    # 6: a flask
    [
        "................",
        "......KKKK......",
        "......KwwK......",
        "......KccK......",
        "......KccK......",
        ".....KccccK.....",
        "....KccccccK....",
        "....KccccccK....",
        "...KlllllllK....",
        "...KlWllllllK...",
        "..KlllllllllK...",
        "..KllllllllllK..",
        "..KGGGGGGGGGGK..",
        "...KKKKKKKKKK...",
        "................",
        "................",
    ],
    # 7: a red cross
    [
        "................",
        "................",
        "..KK.......KK...",
        ".KRRK.....KRRK..",
        "..KRRK...KRRK...",
        "...KRRK.KRRK....",
        "....KRRKRRK.....",
        ".....KRRRK......",
        "....KRRKRRK.....",
        "...KRRK.KRRK....",
        "..KRRK...KRRK...",
        ".KRRK.....KRRK..",
        "..KK.......KK...",
        "................",
        "................",
        "................",
    ],
]


def strip_pixels(pictures, transparent):
    """Rows of (red, green, blue) for the whole strip, top row first."""
    assert len(pictures) == COUNT
    rows = []
    for y in range(SIZE):
        row = []
        for index, picture in enumerate(pictures):
            assert len(picture) == SIZE, f"picture {index} has {len(picture)} rows"
            line = picture[y]
            assert len(line) == SIZE, f"picture {index} row {y} is {len(line)} wide"
            row.extend(transparent if ch == "." else PALETTE[ch] for ch in line)
        rows.append(row)
    return rows


def write_bmp(path, rows):
    """A bottom-up 24-bit Windows bitmap without compression."""
    width, height = len(rows[0]), len(rows)
    row_size = (width * 3 + 3) // 4 * 4
    pixel_bytes = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for red, green, blue in row:
            line += bytes((blue, green, red))
        line += bytes(row_size - len(line))
        pixel_bytes += line
    file_header_size, info_header_size = 14, 40
    offset = file_header_size + info_header_size
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixel_bytes), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", info_header_size, width, height, 1, 24, 0,
                       len(pixel_bytes), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + pixel_bytes)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    write_bmp(os.path.join(here, "131.bmp"), strip_pixels(TAB_IMAGES, (0, 255, 0)))
    write_bmp(os.path.join(here, "133.bmp"), strip_pixels(TREE_PICTURES, (0, 255, 255)))


if __name__ == "__main__":
    main()
