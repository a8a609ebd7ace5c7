"""The file carries its manifest, version block and icon, and nothing else."""

import struct
import unittest

import shipped_file
from shipped_file import RT_GROUP_ICON, RT_ICON, RT_MANIFEST, RT_VERSION


class ResourceInventoryTest(unittest.TestCase):
    def test_only_the_identity_resources(self):
        types = {resource.type for resource in shipped_file.resources()}
        self.assertEqual(types, {RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST})

    def test_one_of_each_under_its_id(self):
        # A second manifest, version block or icon group would leave it to Windows which one wins.
        cases = [("manifest", RT_MANIFEST, [1]), ("version block", RT_VERSION, [1]), ("icon group", RT_GROUP_ICON, [128])]
        for name, resource_type, ids in cases:
            with self.subTest(name):
                self.assertEqual([r.id for r in shipped_file.resources_of_type(resource_type)], ids)

    def test_every_resource_is_us_english(self):
        for resource in shipped_file.resources():
            with self.subTest(type=resource.type, id=resource.id):
                self.assertEqual(resource.language, shipped_file.LANGUAGE_EN_US)

    def test_every_icon_image_belongs_to_the_group(self):
        group = shipped_file.resources_of_type(RT_GROUP_ICON)[0].data
        (count,) = struct.unpack_from("<H", group, 4)
        referenced = {struct.unpack_from("<H", group, 6 + 14 * index + 12)[0] for index in range(count)}
        images = {resource.id for resource in shipped_file.resources_of_type(RT_ICON)}
        self.assertEqual(images, referenced)


if __name__ == "__main__":
    unittest.main()
