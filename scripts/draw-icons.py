#!/usr/bin/env python3
"""Draw the programs' icons as Windows .ico files.

    python3 scripts/draw-icons.py [root]      (default: the repository)

agent/icons/main.ico      32x32, 256 colours  program icon: silver CD with a note
agent/icons/idle.ico      16x16, 256 colours  tray: watching, no product disc
agent/icons/disc.ico      32x32, 16 colours   tray: a product disc is in a drive
agent/icons/disabled.ico  32x32, 16 colours   tray: watching switched off
uninstall/icons/main.ico  16x16, 16 colours   uninstaller: silver CD, red minus

Each file holds one palettized DIB image with an AND mask for the
transparent corners and the centre hole. Only plain geometry and fixed
palettes are used, so every run writes the same bytes.
"""
import math
import os
import struct
import sys

SUPERSAMPLE = 4  # samples per pixel edge, for anti-aliased edges inside the icon


# ---------------------------------------------------------------- colours

def mix(a, b, t):
    t = min(max(t, 0.0), 1.0)
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def ramp(a, b, n):
    return [tuple(round(v) for v in mix(a, b, i / (n - 1))) for i in range(n)]


def palette(size, *ramps):
    """Index 0 is black and doubles as the colour of transparent pixels."""
    pal = [(0, 0, 0)]
    for r in ramps:
        pal += r
    assert len(pal) <= size, (len(pal), size)
    return pal + [(0, 0, 0)] * (size - len(pal))


def nearest(pal, c):
    best, best_d = 0, None
    for i, p in enumerate(pal):
        d = 3 * (p[0] - c[0]) ** 2 + 4 * (p[1] - c[1]) ** 2 + 2 * (p[2] - c[2]) ** 2
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


# --------------------------------------------------------------- geometry

def polar(x, y, cx, cy):
    dx, dy = x - cx, y - cy
    return math.hypot(dx, dy), math.atan2(dy, dx)


def sheen(theta, phase=0.7):
    """-1..1, the two bright and two dark sectors of light on a CD."""
    return math.cos(2 * (theta - phase))


def seg_dist(x, y, x0, y0, x1, y1):
    dx, dy = x1 - x0, y1 - y0
    t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - x0 - t * dx, y - y0 - t * dy)


def in_note(x, y, hx, hy, s, grow=0.0):
    """Eighth note with its head centred at (hx, hy), s = head half-width.
    grow > 0 fattens every part, which gives the outline around it."""
    # head: ellipse tilted up to the right
    a, b, tilt = s + grow, 0.75 * s + grow, -0.35
    dx, dy = x - hx, y - hy
    u = dx * math.cos(tilt) + dy * math.sin(tilt)
    v = -dx * math.sin(tilt) + dy * math.cos(tilt)
    if (u / a) ** 2 + (v / b) ** 2 <= 1:
        return True
    # stem up from the right of the head, flag down to the right
    sx, top = hx + 0.8 * s, hy - 3.6 * s
    if sx - 0.25 * s - grow <= x <= sx + 0.25 * s + grow and top - grow <= y <= hy:
        return True
    return seg_dist(x, y, sx, top + 0.3 * s, sx + 1.2 * s, top + 1.7 * s) <= 0.35 * s + grow


# ---------------------------------------------------------------- drawing

def render(w, h, paint, pal):
    """paint(x, y) -> RGB or None (transparent). Returns rows of palette
    indices, top row first, None where the pixel is transparent."""
    n = SUPERSAMPLE
    rows = []
    for py in range(h):
        row = []
        for px in range(w):
            hits = [paint(px + (i + 0.5) / n, py + (j + 0.5) / n)
                    for j in range(n) for i in range(n)]
            hits = [c for c in hits if c is not None]
            if 2 * len(hits) < n * n:
                row.append(None)
            else:
                avg = [sum(c[k] for c in hits) / len(hits) for k in range(3)]
                row.append(nearest(pal, avg))
        rows.append(row)
    return rows


def disc(x, y, c, r, rim, body, hub, hole):
    """Shared CD shape: rim ring, body, hub ring, transparent hole.
    body(rr, theta) gives the body colour. Returns RGB or None."""
    rr, th = polar(x, y, c, c)
    if rr > r or rr < hole:
        return None
    if rr > r - 1:
        return rim
    if rr > hole + 1.0 and rr < hole + 3.0:
        return hub
    if hole + 3.0 <= rr < hole + 3.6 or rr <= hole + 1.0:
        return mix(rim, hub, 0.5)
    return body(rr, th)


def draw_main():
    pal = palette(256,
                  ramp((20, 40, 140), (90, 130, 230), 24),      # note
                  ramp((60, 70, 95), (150, 158, 178), 40),      # rim, shadow sectors
                  ramp((150, 158, 178), (190, 197, 212), 40),   # body
                  ramp((190, 197, 212), (255, 255, 255), 60),   # highlight
                  ramp((205, 215, 255), (240, 210, 255), 24),   # rainbow tint
                  ramp((0, 0, 0), (255, 255, 255), 40))         # greys for blends

    def body(rr, th):
        s = sheen(th)
        base = (190, 197, 212)
        if s > 0:
            c = mix(base, (252, 253, 255), s ** 3)
            return mix(c, (225, 205, 255), 0.5 * s ** 8 * (rr - 6) / 9)
        return mix(base, (150, 158, 178), -s)

    def paint(x, y):
        if in_note(x, y, 22.5, 24.5, 2.9):
            return (25, 45, 150)
        if in_note(x, y, 22.5, 24.5, 2.9, grow=1.1):
            return (255, 255, 255)
        return disc(x, y, 16, 15.1, (70, 80, 105), body, (215, 222, 232), 2.5)

    return pal, render(32, 32, paint, pal)


def draw_idle():
    pal = palette(256, ramp((60, 62, 68), (255, 255, 255), 255))

    def body(rr, th):
        return mix((200, 202, 207), (228, 230, 234), max(sheen(th), 0) ** 2)

    def paint(x, y):
        return disc(x, y, 8, 7.4, (100, 104, 112), body, (175, 178, 184), 1.4)

    return pal, render(16, 16, paint, pal)


def draw_disc():
    pal = palette(16,
                  ramp((110, 55, 0), (215, 145, 10), 3),    # rim, deep gold
                  ramp((230, 170, 20), (255, 240, 150), 4),  # gold to pale
                  ramp((0, 85, 25), (60, 190, 70), 3),      # note greens
                  [(255, 255, 255), (160, 110, 20), (120, 150, 30), (200, 215, 120)])

    def body(rr, th):
        s = sheen(th)
        base = (240, 180, 25)
        return mix(base, (255, 240, 150), s) if s > 0 else mix(base, (215, 145, 10), -s)

    def paint(x, y):
        if in_note(x, y, 13.5, 22.5, 4.0):
            return (0, 100, 30)
        if in_note(x, y, 13.5, 22.5, 4.0, grow=1.2):
            return (255, 255, 255)
        return disc(x, y, 16, 15.1, (110, 55, 0), body, (255, 240, 150), 2.5)

    return pal, render(32, 32, paint, pal)


def draw_disabled():
    pal = palette(16,
                  ramp((55, 55, 60), (175, 175, 180), 9),   # dimmed disc
                  ramp((110, 0, 0), (235, 40, 30), 3),      # bar
                  [(150, 80, 80), (255, 255, 255)])

    def body(rr, th):
        return mix((125, 125, 130), (155, 155, 160), max(sheen(th), 0))

    def paint(x, y):
        d = seg_dist(x, y, 5.5, 5.5, 26.5, 26.5)
        if d <= 2.6:
            return (225, 30, 25)
        if d <= 3.6:
            return (110, 0, 0)
        return disc(x, y, 16, 15.1, (75, 75, 80), body, (150, 150, 155), 2.5)

    return pal, render(32, 32, paint, pal)


def draw_uninstall():
    pal = palette(16,
                  ramp((70, 74, 82), (235, 237, 241), 8),   # disc
                  ramp((120, 0, 0), (240, 50, 40), 3),      # minus
                  [(255, 255, 255)])

    def body(rr, th):
        return mix((185, 188, 195), (232, 234, 238), max(sheen(th), 0) ** 2)

    def paint(x, y):
        if 9.0 <= x <= 16.0 and 10.0 <= y <= 14.0:
            return (120, 0, 0) if x < 9.6 or x > 15.4 or y < 10.6 or y > 13.4 else (235, 45, 35)
        return disc(x, y, 7.5, 7.2, (90, 94, 102), body, (170, 173, 180), 1.3)

    return pal, render(16, 16, paint, pal)


# -------------------------------------------------------------------- ICO

def ico(pal, rows, bpp):
    """One-image .ico: ICONDIR, ICONDIRENTRY, BITMAPINFOHEADER, palette,
    XOR bitmap and AND mask, both bottom-up with rows padded to 4 bytes."""
    h, w = len(rows), len(rows[0])
    colours = 1 << bpp
    assert len(pal) == colours
    xor, mask = bytearray(), bytearray()
    for row in reversed(rows):
        idx = [0 if i is None else i for i in row]
        if bpp == 8:
            line = bytes(idx)
        else:
            line = bytes(idx[x] << 4 | idx[x + 1] for x in range(0, w, 2))
        xor += line + bytes(-len(line) % 4)
        bits = bytearray((w + 7) // 8)
        for x, i in enumerate(row):
            if i is None:
                bits[x >> 3] |= 0x80 >> (x & 7)
        mask += bits + bytes(-len(bits) % 4)
    dib = struct.pack('<IiiHHIIiiII', 40, w, 2 * h, 1, bpp, 0,
                      len(xor) + len(mask), 0, 0, 0, 0)
    dib += b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in pal)
    dib += xor + mask
    header = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', w & 0xFF, h & 0xFF,
                        0 if colours >= 256 else colours, 0, 1, bpp,
                        len(dib), len(header) + 16)
    return header + entry + dib


ICONS = [
    ('agent/icons/main.ico', draw_main, 8),
    ('agent/icons/idle.ico', draw_idle, 8),
    ('agent/icons/disc.ico', draw_disc, 4),
    ('agent/icons/disabled.ico', draw_disabled, 4),
    ('uninstall/icons/main.ico', draw_uninstall, 4),
]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..')
    for name, draw, bpp in ICONS:
        pal, rows = draw()
        data = ico(pal, rows, bpp)
        path = os.path.join(root, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, 'wb') as f:
            f.write(data)
        print(f'{name}: {len(rows[0])}x{len(rows)}, {1 << bpp} colours, {len(data)} bytes')


if __name__ == '__main__':
    main()
