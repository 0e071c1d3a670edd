# SPDX-License-Identifier: MIT
"""Screenshots as plain RGB pixels, and the colour tests the checks use.

A session reads the screen itself (not a window), so message boxes and menus come out as
the player sees them.
"""

import struct
import zlib


def is_red(p):
    """The flame, the prompt and a crashed hull: strong red, little green or blue."""
    r, g, b = p
    return r >= 120 and g <= 70 and b <= 70


def is_green(p):
    """A landed hull."""
    r, g, b = p
    return g >= 120 and r <= 70 and b <= 70


def is_white(p):
    return min(p) >= 200


def is_dark(p):
    """Text on the light-grey readouts."""
    return max(p) <= 110


def is_light(p):
    return min(p) >= 150


class Rect:
    """A rectangle of pixels, x0..x1 and y0..y1 inclusive."""

    def __init__(self, x0, y0, x1, y1):
        self.x0, self.y0, self.x1, self.y1 = x0, y0, x1, y1

    def moved(self, dx, dy):
        return Rect(self.x0 + dx, self.y0 + dy, self.x1 + dx, self.y1 + dy)

    def __eq__(self, other):
        return (self.x0, self.y0, self.x1, self.y1) == (other.x0, other.y0, other.x1, other.y1)

    def overlaps(self, other):
        return (self.x0 <= other.x1 and other.x0 <= self.x1 and self.y0 <= other.y1
                and other.y0 <= self.y1)

    def area(self):
        return (self.x1 - self.x0 + 1) * (self.y1 - self.y0 + 1)

    def __repr__(self):
        return f"({self.x0}..{self.x1} x {self.y0}..{self.y1})"


class Image:
    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    @staticmethod
    def from_ppm(data):
        # P6 header: magic, width, height, maximum value, each followed by one blank.
        fields, pos = [], 0
        while len(fields) < 4:
            while data[pos : pos + 1].isspace():
                pos += 1
            if data[pos : pos + 1] == b"#":
                pos = data.index(b"\n", pos) + 1
                continue
            end = pos
            while not data[end : end + 1].isspace():
                end += 1
            fields.append(data[pos:end])
            pos = end
        if fields[0] != b"P6" or fields[3] != b"255":
            raise ValueError("not an 8-bit binary PPM")
        width, height = int(fields[1]), int(fields[2])
        rgb = data[pos + 1 : pos + 1 + width * height * 3]
        if len(rgb) != width * height * 3:
            raise ValueError("truncated PPM")
        return Image(width, height, rgb)

    @staticmethod
    def from_png(data):
        """An 8-bit RGB or RGBA PNG without interlacing, as a browser's screenshots are; the
        alpha channel is dropped."""
        if data[:8] != b"\x89PNG\r\n\x1a\n":
            raise ValueError("not a PNG")
        pos, chunks, header = 8, [], None
        while pos < len(data):
            length, kind = struct.unpack(">I4s", data[pos : pos + 8])
            if kind == b"IHDR":
                header = struct.unpack(">IIBBBBB", data[pos + 8 : pos + 21])
            elif kind == b"IDAT":
                chunks.append(data[pos + 8 : pos + 8 + length])
            pos += 12 + length
        if not header or header[2:4] not in ((8, 2), (8, 6)) or header[6]:
            raise ValueError("not an 8-bit RGB or RGBA PNG without interlacing")
        width, height, channels = header[0], header[1], 3 if header[3] == 2 else 4
        stride = width * channels
        raw = zlib.decompress(b"".join(chunks))
        rows, above = [], bytes(stride)
        for y in range(height):
            start = y * (stride + 1)
            above = _unfilter(raw[start], raw[start + 1 : start + 1 + stride], above, channels)
            rows.append(above)
        pixels = b"".join(rows)
        if channels == 4:
            rgb = bytearray(width * height * 3)
            for c in range(3):
                rgb[c::3] = pixels[c::4]
            pixels = bytes(rgb)
        return Image(width, height, pixels)

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return self.rgb[i], self.rgb[i + 1], self.rgb[i + 2]

    def pixels(self, rect):
        for y in range(max(rect.y0, 0), min(rect.y1, self.height - 1) + 1):
            for x in range(max(rect.x0, 0), min(rect.x1, self.width - 1) + 1):
                yield x, y, self.pixel(x, y)

    def count(self, rect, test):
        return sum(1 for _, _, p in self.pixels(rect) if test(p))

    def points(self, rect, test):
        return {(x, y) for x, y, p in self.pixels(rect) if test(p)}

    def differing(self, other, rect, holes=()):
        """How many pixels of rect differ between two screenshots, outside the holes."""
        changed = 0
        for y in range(rect.y0, rect.y1 + 1):
            a = self.row(y, rect.x0, rect.x1)
            b = other.row(y, rect.x0, rect.x1)
            if a == b:
                continue
            for i in range(0, len(a), 3):
                x = rect.x0 + i // 3
                if a[i : i + 3] != b[i : i + 3] and not _inside(holes, x, y):
                    changed += 1
        return changed

    def row(self, y, x0, x1):
        """The raw RGB bytes of pixels x0..x1 of line y."""
        start = (y * self.width + x0) * 3
        return self.rgb[start : start + (x1 - x0 + 1) * 3]


def _unfilter(kind, row, above, step):
    """A PNG row as it was before its filter (`kind`), given the row above it; `step` bytes
    a pixel."""
    if kind == 0:
        return row
    if kind == 2:  # Up, what a browser's fast screenshots use: bytewise sums, all at once
        n = len(row)
        low, high = int.from_bytes(b"\x7f" * n, "big"), int.from_bytes(b"\x80" * n, "big")
        a, b = int.from_bytes(row, "big"), int.from_bytes(above, "big")
        return (((a & low) + (b & low)) ^ ((a ^ b) & high)).to_bytes(n, "big")
    out = bytearray(row)
    for i in range(len(out)):
        left = out[i - step] if i >= step else 0
        if kind == 1:
            guess = left
        elif kind == 3:
            guess = (left + above[i]) // 2
        else:  # Paeth: whichever of left, above and upper left is nearest to their sum
            corner = above[i - step] if i >= step else 0
            total = left + above[i] - corner
            guess = min((abs(total - left), 0, left), (abs(total - above[i]), 1, above[i]),
                        (abs(total - corner), 2, corner))[2]
        out[i] = (out[i] + guess) & 255
    return bytes(out)


def _inside(rects, x, y):
    return any(r.x0 <= x <= r.x1 and r.y0 <= y <= r.y1 for r in rects)


def save_png(shot, rect, path):
    """Writes the screenshot's rectangle as a PNG that is the same for the same pixels."""
    rows = b"".join(b"\0" + shot.row(y, rect.x0, rect.x1) for y in range(rect.y0, rect.y1 + 1))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data)))
    header = struct.pack(">IIBBBBB", rect.x1 - rect.x0 + 1, rect.y1 - rect.y0 + 1, 8, 2, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                  + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))
