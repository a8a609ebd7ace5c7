"""The application icon: group 128 and its images, read from the images themselves rather than
only from the group's directory, which Windows trusts when it picks an image."""

import struct
import unittest

import shipped_file

# (width and height, bits per pixel) in the group's order.
EXPECTED_IMAGES = [(16, 24), (32, 24), (16, 32), (32, 24)]


class GroupEntry:
    SIZE = 14

    def __init__(self, data, index):
        (self.width, self.height, self.colour_count, _, self.planes, self.bits_per_pixel,
         self.bytes_in_resource, self.image_id) = struct.unpack_from("<BBBBHHIH", data, 6 + self.SIZE * index)


class IconImage:
    """A DIB icon image: its header, its colour rows and its AND mask, both stored bottom-up."""

    def __init__(self, data):
        (self.header_size, self.width, self.double_height, self.planes, self.bits_per_pixel,
         self.compression) = struct.unpack_from("<IiiHHI", data)
        self.data = data
        self.size = self.width
        self.colour_stride = (self.size * self.bits_per_pixel // 8 + 3) & ~3
        self.mask_stride = (self.size // 8 + 3) & ~3
        self.mask_offset = self.header_size + self.colour_stride * self.size

    def expected_length(self):
        return self.mask_offset + self.mask_stride * self.size

    def transparent(self, x, y):
        """What the AND mask says of the pixel at x, y (counted from the top left)."""
        row = self.mask_offset + self.mask_stride * (self.size - 1 - y)
        return bool(self.data[row + x // 8] & (0x80 >> (x % 8)))

    def alpha_values(self):
        values = set()
        for y in range(self.size):
            row = self.header_size + self.colour_stride * y
            values.update(self.data[row + 4 * x + 3] for x in range(self.size))
        return values


def group():
    return shipped_file.resources_of_type(shipped_file.RT_GROUP_ICON)[0].data


def group_entries():
    reserved, kind, count = struct.unpack_from("<HHH", group())
    if (reserved, kind) != (0, 1):
        raise AssertionError("not an icon group directory: %r" % ((reserved, kind),))
    return [GroupEntry(group(), index) for index in range(count)]


def image_data(image_id):
    matches = [r.data for r in shipped_file.resources_of_type(shipped_file.RT_ICON) if r.id == image_id]
    if len(matches) != 1:
        raise AssertionError("%d icon images with id %r" % (len(matches), image_id))
    return matches[0]


class IconGroupTest(unittest.TestCase):
    def test_directory_lists_the_images_in_order(self):
        self.assertEqual([(e.width, e.bits_per_pixel) for e in group_entries()], EXPECTED_IMAGES)
        for index, entry in enumerate(group_entries()):
            with self.subTest(image=index):
                self.assertEqual((entry.width, entry.height, entry.colour_count, entry.planes),
                                 (entry.width, entry.width, 0, 1))

    def test_images_are_what_the_directory_says(self):
        for index, entry in enumerate(group_entries()):
            with self.subTest(image=index, size=entry.width, bits=entry.bits_per_pixel):
                data = image_data(entry.image_id)
                image = IconImage(data)
                self.assertEqual(len(data), entry.bytes_in_resource)
                self.assertEqual(
                    (image.header_size, image.width, image.double_height, image.planes,
                     image.bits_per_pixel, image.compression),
                    (40, entry.width, 2 * entry.height, 1, entry.bits_per_pixel, 0))
                self.assertEqual(len(data), image.expected_length())


class IconPictureTest(unittest.TestCase):
    def test_corners_are_transparent_and_the_middle_is_not(self):
        # An inverted or empty mask shows as a black or invisible square in the shell.
        for index, entry in enumerate(group_entries()):
            image = IconImage(image_data(entry.image_id))
            last, middle = image.size - 1, image.size // 2
            with self.subTest(image=index, size=entry.width, bits=entry.bits_per_pixel):
                for corner in ((0, 0), (last, 0), (0, last), (last, last)):
                    self.assertTrue(image.transparent(*corner), corner)
                self.assertFalse(image.transparent(middle, middle))

    def test_32_bit_image_uses_its_alpha_channel(self):
        # Windows ignores an alpha channel that is zero throughout, and falls back to the mask.
        for index, entry in enumerate(group_entries()):
            if entry.bits_per_pixel != 32:
                continue
            with self.subTest(image=index):
                alpha = IconImage(image_data(entry.image_id)).alpha_values()
                self.assertIn(0, alpha)
                self.assertIn(255, alpha)
                # Partly covered pixels: smooth edges, not a mask in disguise.
                self.assertTrue(any(0 < value < 255 for value in alpha))


if __name__ == "__main__":
    unittest.main()
