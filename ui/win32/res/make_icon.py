#!/usr/bin/env python3
"""Draws the program's icon (a blue tile with three slider controls) into a
multi-size .ico. Drawn by code so the picture stays ours and scales cleanly:
every size is rendered on its own with 4x4 supersampling, not resized."""
import struct
import sys

SIZES = (16, 20, 24, 32, 40, 48, 64, 72, 96)
SS = 4  # supersampling per axis


def rounded_rect_cover(x, y, x0, y0, x1, y1, r):
    """True when point (x, y) lies inside the rounded rectangle."""
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def shade(u, v):
    """Colour of the tile at unit coordinates (u, v): a vertical blue gradient."""
    top = (86, 150, 235)
    bottom = (24, 78, 170)
    t = v
    return tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(3))


def sample(u, v):
    """RGBA of one sample at unit coordinates; None for transparent."""
    pad = 0.04
    if not rounded_rect_cover(u, v, pad, pad, 1 - pad, 1 - pad, 0.18):
        return None
    rgb = shade(u, v)
    # A thin lighter rim gives the tile an edge on dark and light backgrounds.
    if not rounded_rect_cover(u, v, pad + 0.035, pad + 0.035, 1 - pad - 0.035, 1 - pad - 0.035, 0.15):
        rgb = tuple(max(0, c - 40) for c in rgb)
    # Three slider tracks with knobs at different positions.
    for row, knob in ((0.30, 0.66), (0.52, 0.34), (0.74, 0.56)):
        if abs(v - row) <= 0.035 and 0.20 <= u <= 0.80:
            rgb = (226, 236, 250)
        if (u - knob) ** 2 + (v - row) ** 2 <= 0.085 ** 2:
            inner = (u - knob) ** 2 + (v - row) ** 2 <= 0.055 ** 2
            rgb = (255, 255, 255) if inner else (20, 50, 120)
    return rgb + (255,)


def render(size):
    """Bottom-up BGRA rows, as a DIB stores them."""
    rows = []
    for y in range(size - 1, -1, -1):
        row = bytearray()
        for x in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SS):
                for sx in range(SS):
                    s = sample((x + (sx + 0.5) / SS) / size, (y + (sy + 0.5) / SS) / size)
                    if s is not None:
                        for i in range(3):
                            acc[i] += s[i]
                        acc[3] += 255
            n = SS * SS
            covered = acc[3] // 255
            if covered:
                r, g, b = (acc[i] // covered for i in range(3))
            else:
                r = g = b = 0
            a = acc[3] // n
            row += bytes((b, g, r, a))
        rows.append(bytes(row))
    return rows


def dib(size):
    rows = render(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(rows)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytes(mask_stride * size)  # alpha decides; the AND mask is all opaque
    return header + pixels + mask


def main():
    out = sys.argv[1]
    images = [dib(s) for s in SIZES]
    data = struct.pack('<HHH', 0, 1, len(SIZES))
    offset = 6 + 16 * len(SIZES)
    for s, img in zip(SIZES, images):
        dim = 0 if s >= 256 else s
        data += struct.pack('<BBBBHHII', dim, dim, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    data += b''.join(images)
    with open(out, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main()
