#!/usr/bin/env python3
"""Draws the launcher's icon and writes it as a Windows .ico file.

The picture is a page on a flatbed scanner with the scanning light across it. It is drawn from
shapes rather than kept as a binary so that a change to it can be read in review, and the build
produces the same bytes every time.

Windows XP picks an icon image by size and colour depth, so the file carries 24-bit images with
a 1-bit transparency mask for displays without alpha blending, and a 32-bit image with a smooth
alpha channel for those with it.
"""

import math
import struct
import sys

# (size in pixels, bits per pixel), in the order the shell's icon directory lists them.
IMAGES = ((16, 24), (32, 24), (16, 32), (32, 24))

# A document lying on a flatbed scanner, with the scanner's light sweeping across it: the body
# below, the page above it, and a bright beam that reads even at 16 pixels.
BODY = (0.20, 0.25, 0.31)
LID = (0.47, 0.54, 0.62)
BEAM = (0.25, 0.95, 0.82)
PAGE = (0.98, 0.98, 0.96)
FOLD = (0.76, 0.80, 0.87)
INK = (0.42, 0.46, 0.52)
EDGE = (0.17, 0.20, 0.25)

BODY_BOX = (0.04, 0.60, 0.96, 0.90)  # left, top, right, bottom
BODY_CORNER = 0.08
LID_HEIGHT = 0.07
# On the 16-pixel grid, so that the page's outline is one whole pixel there.
PAGE_BOX = (0.25, 0.0625, 0.75, 0.625)
FOLD_SIZE = 0.1875
EDGE_WIDTH = 0.0625
TEXT_LINES = (0.21875, 0.34375)  # pixel rows 3 and 5 at 16 pixels; the beam sweeps below them
TEXT_HEIGHT = 0.055
BEAM_Y, BEAM_HEIGHT = 0.50, 0.085
SLOT_Y, SLOT_HEIGHT = 0.72, 0.06

# Samples per pixel and axis: supersampled edges at 32 pixels, and wherever an alpha channel can
# carry them; a 16-pixel image without alpha takes one sample a pixel, so thin lines stay crisp.
SUPERSAMPLES = 4


def samples_per_axis(size, bits_per_pixel):
    return 1 if size == 16 and bits_per_pixel != 32 else SUPERSAMPLES


def inside_rounded_box(x, y, box, corner):
    left, top, right, bottom = box
    if not (left <= x <= right and top <= y <= bottom):
        return False
    nearest_x = min(max(x, left + corner), right - corner)
    nearest_y = min(max(y, top + corner), bottom - corner)
    return math.hypot(x - nearest_x, y - nearest_y) <= corner


def page_colour(x, y):
    """The page's colour at a point, or None off the page (which has its top right corner folded)."""
    left, top, right, bottom = PAGE_BOX
    if not (left <= x <= right and top <= y <= bottom):
        return None
    past_fold = (x - (right - FOLD_SIZE)) + (top + FOLD_SIZE - y)
    if past_fold > FOLD_SIZE:
        return None  # the corner folded away
    if abs(past_fold - FOLD_SIZE) < EDGE_WIDTH / 2 or min(x - left, right - x, y - top) < EDGE_WIDTH:
        return EDGE
    if x > right - FOLD_SIZE and y < top + FOLD_SIZE:
        return FOLD
    if left + 0.09 <= x <= right - 0.09 and any(abs(y - line) <= TEXT_HEIGHT / 2 for line in TEXT_LINES):
        return INK
    return PAGE


def colour_at(x, y):
    """The colour of the picture at a point of the unit square, or None where it is clear."""
    if abs(y - BEAM_Y) <= BEAM_HEIGHT / 2 and 0.10 <= x <= 0.90:
        return BEAM
    colour = page_colour(x, y)
    if colour is not None:
        return colour
    if inside_rounded_box(x, y, BODY_BOX, BODY_CORNER):
        if abs(y - SLOT_Y) <= SLOT_HEIGHT / 2 and 0.12 <= x <= 0.88:
            return BEAM
        return LID if y < BODY_BOX[1] + LID_HEIGHT else BODY
    return None


def render(size, per_axis):
    """Rows of (red, green, blue, coverage) floats, top row first, supersampled for smooth edges."""
    rows = []
    samples = per_axis * per_axis
    for row in range(size):
        pixels = []
        for column in range(size):
            red = green = blue = covered = 0
            for sample in range(samples):
                x = (column + (sample % per_axis + 0.5) / per_axis) / size
                y = (row + (sample // per_axis + 0.5) / per_axis) / size
                colour = colour_at(x, y)
                if colour is not None:
                    red, green, blue = red + colour[0], green + colour[1], blue + colour[2]
                    covered += 1
            if covered:
                pixels.append((red / covered, green / covered, blue / covered, covered / samples))
            else:
                pixels.append((0.0, 0.0, 0.0, 0.0))
        rows.append(pixels)
    return rows


def to_byte(value):
    return max(0, min(255, round(value * 255)))


def padded_to_four_bytes(data):
    return data + b"\0" * (-len(data) % 4)


def encode_image(size, bits_per_pixel):
    """One icon image: a BITMAPINFOHEADER, the colour rows and the AND mask, both bottom-up."""
    colour_rows = []
    mask_rows = []
    for pixels in reversed(render(size, samples_per_axis(size, bits_per_pixel))):
        colours = bytearray()
        mask_bits = 0
        for red, green, blue, coverage in pixels:
            # Without an alpha channel a pixel is either in or out; half coverage decides.
            opaque = coverage > 0 if bits_per_pixel == 32 else coverage >= 0.5
            mask_bits = (mask_bits << 1) | (0 if opaque else 1)
            if not opaque:
                red = green = blue = coverage = 0.0
            colours += bytes((to_byte(blue), to_byte(green), to_byte(red)))
            if bits_per_pixel == 32:
                colours.append(to_byte(coverage))
        colour_rows.append(padded_to_four_bytes(bytes(colours)))
        mask_rows.append(padded_to_four_bytes(mask_bits.to_bytes(size // 8, "big")))
    bitmap = b"".join(colour_rows) + b"".join(mask_rows)
    # The height counts the colour rows and the mask rows together.
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits_per_pixel, 0, len(bitmap), 0, 0, 0, 0)
    return header + bitmap


def icon_file(images):
    encoded = [encode_image(size, bits) for size, bits in images]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for (size, bits), data in zip(images, encoded):
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(encoded)


def main(arguments):
    if len(arguments) != 1:
        print("usage: draw_icon.py OUTPUT.ico", file=sys.stderr)
        return 2
    with open(arguments[0], "wb") as output:
        output.write(icon_file(IMAGES))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
