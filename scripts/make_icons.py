#!/usr/bin/env python3
"""Draws Tarvolk's two pictures as 32 x 32, 16-colour PNG files (no image library needed).

    python3 scripts/make_icons.py window/resources [desktop/icons]

With a second folder, the mailbox is also written there as the desktop's program icon in the
usual sizes (tarvolk-16.png ... tarvolk-256.png), each pixel scaled as a block so it stays crisp,
and as tarvolk.svg, the same shapes as lines and areas for any other size.

mailbox.png: a mailbox on its post with the red flag raised (the window icon).
paperclip.png: an upright paper clip (the attachment sign); it is drawn in the left 25 columns
because the picture box beside the header rows shows only those.
"""
import math
import struct
import sys
import zlib

# The classic 16-colour palette; index 0 is made transparent.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
CLEAR, BROWN, SILVER, GREY, RED, WHITE = 0, 3, 7, 8, 9, 15
SIZE = 32


def write_png(path, pixels, black_index):
    # Index 0 is the transparent one, so black moves to the slot that the picture does not use.
    palette = list(PALETTE)
    palette[black_index] = (0, 0, 0)
    size = len(pixels)
    raw = bytearray()
    for row in pixels:
        raw.append(0)  # no filter
        for x in range(0, size, 2):
            raw.append((row[x] << 4) | row[x + 1])

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 4, 3, 0, 0, 0)))
        out.write(chunk(b"PLTE", b"".join(bytes(c) for c in palette)))
        out.write(chunk(b"tRNS", b"\x00"))
        out.write(chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
        out.write(chunk(b"IEND", b""))


def scaled(pixels, size):
    """Nearest-neighbour scaling: each target pixel takes the source pixel under its centre."""
    return [[pixels[(y * SIZE + SIZE // 2) // size][(x * SIZE + SIZE // 2) // size]
             for x in range(size)] for y in range(size)]


def blank():
    return [[CLEAR] * SIZE for _ in range(SIZE)]


def fill(pixels, colour, inside):
    for y in range(SIZE):
        for x in range(SIZE):
            if inside(x + 0.5, y + 0.5):
                pixels[y][x] = colour


def outline(pixels, colour, inside):
    """Colours the pixels of a shape that touch its outside."""
    edge = []
    for y in range(SIZE):
        for x in range(SIZE):
            if not inside(x + 0.5, y + 0.5):
                continue
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                if not inside(x + dx + 0.5, y + dy + 0.5):
                    edge.append((x, y))
                    break
    for x, y in edge:
        pixels[y][x] = colour


def mailbox(ink):
    p = blank()
    post = lambda x, y: 13 <= x < 18 and 18 <= y < 31
    # The box seen from the front-left: an arched door and the long side behind it.
    door = lambda x, y: 2 <= x < 12 and ((y >= 13 and y < 20) or (y < 13 and (x - 7) ** 2 + (y - 13) ** 2 <= 25))
    side = lambda x, y: 7 <= x < 27 and 8 <= y < 20
    side_top = lambda x, y: 7 <= x < 27 and 8 <= y < 11
    pole = lambda x, y: 24 <= x < 26 and 3 <= y < 14
    flag = lambda x, y: 24 <= x < 31 and 3 <= y < 8
    ground = lambda x, y: 9 <= x < 22 and 30 <= y < 32
    fill(p, GREY, ground)
    fill(p, BROWN, post)
    outline(p, ink, post)
    fill(p, SILVER, side)
    fill(p, WHITE, side_top)
    outline(p, ink, side)
    fill(p, GREY, door)
    outline(p, ink, door)
    handle = lambda x, y: 6 <= x < 8 and 14 <= y < 16
    fill(p, ink, handle)
    fill(p, RED, flag)
    outline(p, ink, flag)
    fill(p, ink, lambda x, y: 24 <= x < 25 and 3 <= y < 14)
    return p


def mailbox_svg():
    """The mailbox's shapes on the same 32 x 32 grid; each outline is the shape's inner pixel."""
    colour = lambda index: "#%02x%02x%02x" % PALETTE[index]
    outlined = 'fill="%s" stroke="#000" stroke-width="1"'
    shapes = [
        '<rect x="9" y="30" width="13" height="2" fill="%s"/>' % colour(GREY),
        '<rect x="13.5" y="18.5" width="4" height="12" %s/>' % (outlined % colour(BROWN)),
        '<rect x="7" y="8" width="20" height="12" fill="%s"/>' % colour(SILVER),
        '<rect x="7" y="8" width="20" height="3" fill="%s"/>' % colour(WHITE),
        '<rect x="7.5" y="8.5" width="19" height="11" fill="none" stroke="#000" stroke-width="1"/>',
        '<path d="M2.5 19.5V13a4.5 4.5 0 0 1 9 0v6.5z" %s/>' % (outlined % colour(GREY)),
        '<rect x="6" y="14" width="2" height="2" fill="#000"/>',
        '<rect x="24.5" y="3.5" width="6" height="4" %s/>' % (outlined % colour(RED)),
        '<rect x="24" y="3" width="1" height="11" fill="#000"/>',
    ]
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">\n'
            + "".join("  %s\n" % shape for shape in shapes) + "</svg>\n")


def paperclip(ink):
    # The wire as a path of straight pieces and half circles, starting at the inner end.
    path = []

    def line(x0, y0, x1, y1):
        steps = int(max(abs(x1 - x0), abs(y1 - y0)) * 20) + 1
        for i in range(steps + 1):
            t = i / steps
            path.append((x0 + (x1 - x0) * t, y0 + (y1 - y0) * t))

    def arc(cx, cy, r, start, end):
        steps = int(abs(end - start) * r * 20) + 1
        for i in range(steps + 1):
            a = start + (end - start) * i / steps
            path.append((cx + r * math.cos(a), cy + r * math.sin(a)))

    line(10.5, 22, 10.5, 10)
    arc(13, 10, 2.5, math.pi, 2 * math.pi)       # small loop at the top
    line(15.5, 10, 15.5, 25)
    arc(11.5, 25, 4, 0, math.pi)                 # big loop at the bottom
    line(7.5, 25, 7.5, 7)
    arc(13, 7, 5.5, math.pi, 2 * math.pi)        # outer loop at the top
    line(18.5, 7, 18.5, 20)

    p = blank()
    for y in range(SIZE):
        for x in range(SIZE):
            cx, cy = x + 0.5, y + 0.5
            d = min((cx - px) ** 2 + (cy - py) ** 2 for px, py in path)
            if d <= 0.36:
                p[y][x] = ink
            elif d <= 0.81:
                p[y][x] = GREY
    return p


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "window/resources"
    # Black takes palette slot 1 (otherwise unused) because slot 0 is transparent.
    write_png(folder + "/mailbox.png", mailbox(1), 1)
    write_png(folder + "/paperclip.png", paperclip(1), 1)
    if len(sys.argv) > 2:
        for size in (16, 32, 48, 64, 128, 256):
            write_png("%s/tarvolk-%d.png" % (sys.argv[2], size), scaled(mailbox(1), size), 1)
        with open(sys.argv[2] + "/tarvolk.svg", "w") as out:
            out.write(mailbox_svg())


if __name__ == "__main__":
    main()
