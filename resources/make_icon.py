#!/usr/bin/env python3
"""Draws the application icon and writes it as a Windows .ico file.

    python3 make_icon.py OUTPUT.ico

The picture: two sound waves, one warm and one cool, run in from the left on
a dark rounded tile and merge into one bright wave on the right - two files
mixed into one. It is drawn from its geometry at each size, so the small
images are as sharp as the large ones.

The file holds four classic (BMP-format) images, in this order:
    32x32 in 16 colours, 16x16 in 16 colours,
    48x48 in 256 colours, 32x32 in 256 colours.
Each image is a BITMAPINFOHEADER whose height counts both masks, a palette,
the colour (XOR) bitmap and the 1-bit transparency (AND) mask, rows bottom-up
and padded to four bytes. Only the Python standard library is used.
"""

import bisect
import math
import struct
import sys

# The 16-colour images use the standard Windows palette, which every display
# can show exactly.
VGA_PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


# Colours of the drawing in the 256-colour images; the tile is a vertical
# gradient from TILE_TOP to TILE_BOTTOM.
TILE_TOP = (36, 58, 118)
TILE_BOTTOM = (12, 20, 52)
TILE_RIM = (110, 130, 190)
WARM = (255, 120, 40)
COOL = (40, 220, 255)
MERGED = (255, 255, 255)

FLAT_COLOURS = {  # 16-colour images: each layer in one exact palette colour
    "tile": (0, 0, 128),
    "rim": (128, 128, 128),
    "warm": (255, 0, 0),
    "cool": (0, 255, 255),
    "merged": (255, 255, 255),
}


def smoothstep(t):
    t = min(1.0, max(0.0, t))
    return t * t * (3.0 - 2.0 * t)


def wave_paths(size):
    """The three strokes as polylines in pixel coordinates (y downwards).

    Each incoming wave makes one cycle while it bends towards the middle;
    both reach the middle line at the join, where the merged wave starts
    with one and a half wider cycles (one at 16 pixels, where more would
    run together)."""
    small = size <= 16
    left, join, right = 0.12, (0.44 if small else 0.50), 0.88
    inflow_amplitude, merged_amplitude = 0.075, (0.2 if small else 0.16)
    merged_half_cycles = 2 if small else 3
    steps = 300

    def inflow(offset, phase):
        points = []
        for i in range(steps + 1):
            t = i / steps
            x = left + (join - left) * t
            centre = 0.5 + offset * (1.0 - smoothstep(t))
            y = centre + inflow_amplitude * math.sin(2 * math.pi * t + phase)
            points.append((x * size, y * size))
        return points

    merged = []
    for i in range(steps + 1):
        t = i / steps
        x = join + (right - join) * t
        y = 0.5 - merged_amplitude * math.sin(merged_half_cycles * math.pi * t)
        merged.append((x * size, y * size))
    return inflow(-0.22, 0.0), inflow(+0.22, math.pi), merged


def distance_to_polyline(px, py, points, reach):
    """Distance from a point to a polyline running left to right, looking
    only at the segments within `reach` of the point horizontally."""
    first = max(0, bisect.bisect_left(points, (px - reach, -math.inf)) - 1)
    last = min(len(points) - 1, bisect.bisect_right(points, (px + reach, math.inf)) + 1)
    best = math.inf
    for (x0, y0), (x1, y1) in zip(points[first:last], points[first + 1:last + 1]):
        dx, dy = x1 - x0, y1 - y0
        length2 = dx * dx + dy * dy
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - x0) * dx + (py - y0) * dy) / length2))
        cx, cy = x0 + t * dx, y0 + t * dy
        best = min(best, math.hypot(px - cx, py - cy))
    return best


def inside_rounded_square(px, py, size, inset):
    """Whether a point lies inside the tile (a square with rounded corners)."""
    lo, hi = inset, size - inset
    radius = size * 0.2
    if not (lo <= px <= hi and lo <= py <= hi):
        return False
    cx = min(max(px, lo + radius), hi - radius)
    cy = min(max(py, lo + radius), hi - radius)
    return math.hypot(px - cx, py - cy) <= radius


class Picture:
    """Answers, for a point of an image of `size` pixels, which layer is on top."""

    def __init__(self, size):
        self.size = size
        self.stroke = max(1.25, size / 13.0)  # stroke width in pixels
        self.paths = wave_paths(size)
        self.rim = max(1.0, size / 24.0)

    def layer_at(self, px, py):
        size = self.size
        if not inside_rounded_square(px, py, size, 0.0):
            return None
        half = self.stroke / 2
        warm, cool, merged = self.paths
        for name, path in (("merged", merged), ("cool", cool), ("warm", warm)):
            if distance_to_polyline(px, py, path, half) <= half:
                return name
        if not inside_rounded_square(px, py, size, self.rim):
            return "rim"
        return "tile"


def layer_colour(layer, py, size):
    if layer == "tile":
        t = py / size
        return tuple(round(a + (b - a) * t) for a, b in zip(TILE_TOP, TILE_BOTTOM))
    return {"rim": TILE_RIM, "warm": WARM, "cool": COOL, "merged": MERGED}[layer]


SAMPLES = 4  # per pixel and axis


def render(size, smooth):
    """Rows of pixels from the top, each an RGB colour or None (transparent).

    Every pixel is sampled 4x4 times. A pixel mostly outside the tile is
    transparent. smooth (256 colours): the average of the samples' colours.
    Otherwise (16 colours) the pixel takes one layer's exact palette colour:
    a stroke when it covers three eighths of the pixel, which keeps thin
    strokes unbroken without thickening them, else the tile or its rim."""
    picture = Picture(size)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            cover = {}
            total = [0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    px, py = x + (sx + 0.5) / SAMPLES, y + (sy + 0.5) / SAMPLES
                    layer = picture.layer_at(px, py)
                    if layer is None:
                        continue
                    cover[layer] = cover.get(layer, 0) + 1
                    for c, value in enumerate(layer_colour(layer, py, size)):
                        total[c] += value
            covered = sum(cover.values())
            if covered * 2 < SAMPLES * SAMPLES:
                row.append(None)
            elif smooth:
                row.append(tuple(round(v / covered) for v in total))
            else:
                strokes = [(cover.get(name, 0), name) for name in ("merged", "cool", "warm")]
                count, name = max(strokes)
                if count * 8 < 3 * SAMPLES * SAMPLES:
                    name = max(("rim", "tile"), key=lambda n: cover.get(n, 0))
                row.append(FLAT_COLOURS[name])
        rows.append(row)
    return rows


def median_cut(colours, count):
    """At most `count` colours representing `colours` (a list of RGB tuples):
    the box with the widest channel range is split at its median until there
    are enough boxes; each box gives its average colour."""
    boxes = [sorted(colours)]
    while len(boxes) < count:
        def spread(box):
            return max(max(c[i] for c in box) - min(c[i] for c in box) for i in range(3))
        widest = max(boxes, key=spread)
        if len(widest) < 2 or spread(widest) == 0:
            break
        channel = max(range(3), key=lambda i: max(c[i] for c in widest) - min(c[i] for c in widest))
        widest.sort(key=lambda c: c[channel])
        middle = len(widest) // 2
        boxes.remove(widest)
        boxes += [widest[:middle], widest[middle:]]
    return [tuple(round(sum(c[i] for c in box) / len(box)) for i in range(3)) for box in boxes]


def palette_for(rows, bit_count):
    """16 colours: the standard palette. 256 colours: the standard 16 first,
    then colours fitted to the picture, then black up to 256 entries."""
    if bit_count == 4:
        return list(VGA_PALETTE)
    colours = [rgb for row in rows for rgb in row if rgb is not None]
    distinct = sorted(set(colours))
    fitted = distinct if len(distinct) <= 240 else median_cut(colours, 240)
    palette = VGA_PALETTE + fitted
    return palette + [(0, 0, 0)] * (256 - len(palette))


def nearest_index(colour, palette, cache):
    if colour not in cache:
        r, g, b = colour
        cache[colour] = min(range(len(palette)),
                            key=lambda i: 3 * (palette[i][0] - r) ** 2 + 4 * (palette[i][1] - g) ** 2
                            + 2 * (palette[i][2] - b) ** 2)
    return cache[colour]


def padded(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def image_entry(size, bit_count):
    """The BMP-format image data of one icon entry."""
    rows = render(size, smooth=bit_count == 8)
    palette = palette_for(rows, bit_count)
    cache = {}
    xor_rows, and_rows = [], []
    for row in reversed(rows):  # bottom-up
        indices = [0 if rgb is None else nearest_index(rgb, palette, cache) for rgb in row]
        if bit_count == 4:
            indices += [0] * (len(indices) % 2)
            data = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, len(indices), 2))
        else:
            data = bytes(indices)
        xor_rows.append(padded(data))
        mask = bytearray((size + 7) // 8)
        for x, rgb in enumerate(row):
            if rgb is None:
                mask[x // 8] |= 0x80 >> (x % 8)
        and_rows.append(padded(bytes(mask)))
    xor = b"".join(xor_rows)
    and_mask = b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bit_count, 0,
                         len(xor) + len(and_mask), 0, 0, 0, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + colours + xor + and_mask


IMAGES = [(32, 4), (16, 4), (48, 8), (32, 8)]  # (size, bits per pixel), in file order


def build_icon():
    entries = [(size, bits, image_entry(size, bits)) for size, bits in IMAGES]
    offset = 6 + 16 * len(entries)
    directory = struct.pack("<HHH", 0, 1, len(entries))  # reserved, type 1 = icon, count
    for size, bits, data in entries:
        colour_count = 16 if bits == 4 else 0  # 0 means 256 or more
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, colour_count, 0, 1, bits,
                                 len(data), offset)
        offset += len(data)
    return directory + b"".join(data for _, _, data in entries)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_icon.py OUTPUT.ico\n")
        return 2
    with open(argv[1], "wb") as out:
        out.write(build_icon())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
