"""The version block, as Explorer's properties and details views read it."""

import unittest

import shipped_file

STRING_TABLE_KEY = b"040904e4"
TRANSLATION = "0x0409 0x04e4"
KEYS_IN_ORDER = [b"CompanyName", b"FileDescription", b"FileVersion", b"InternalName",
                 b"LegalCopyright", b"OriginalFilename", b"ProductName", b"ProductVersion"]
FIXED_STRINGS = {b"FileVersion": b"1.0.0.1", b"ProductVersion": b"1.0.0.1",
                 b"InternalName": b"LauncherKestrel.exe", b"OriginalFilename": b"LauncherKestrel.exe"}
GIVEN_STRINGS = [b"CompanyName", b"FileDescription", b"LegalCopyright"]


def file_info(key):
    """The one StringFileInfo or VarFileInfo block of the version block."""
    blocks = [block for block in shipped_file.image().FileInfo[0] if block.Key == key]
    if len(blocks) != 1:
        raise AssertionError("%d %s blocks" % (len(blocks), key.decode()))
    return blocks[0]


def strings():
    tables = file_info(b"StringFileInfo").StringTable
    if [table.LangID for table in tables] != [STRING_TABLE_KEY]:
        raise AssertionError("string tables: %r" % [table.LangID for table in tables])
    return tables[0].entries


class FixedPartTest(unittest.TestCase):
    def test_fields(self):
        fixed = shipped_file.image().VS_FIXEDFILEINFO[0]
        cases = [
            ("file version", (fixed.FileVersionMS, fixed.FileVersionLS), (0x00010000, 0x00000001)),
            ("product version", (fixed.ProductVersionMS, fixed.ProductVersionLS), (0x00010000, 0x00000001)),
            ("flags mask", fixed.FileFlagsMask, 0x3F),
            ("flags (no debug, pre-release, patched, private or special build)", fixed.FileFlags, 0),
            ("operating system (32-bit Windows)", fixed.FileOS, 4),
            ("file type (application)", fixed.FileType, 1),
            ("subtype", fixed.FileSubtype, 0),
            ("file date", (fixed.FileDateMS, fixed.FileDateLS), (0, 0)),
        ]
        for name, actual, expected in cases:
            with self.subTest(name):
                self.assertEqual(actual, expected)


class StringTableTest(unittest.TestCase):
    def test_keys_in_order(self):
        self.assertEqual(list(strings()), KEYS_IN_ORDER)

    def test_fixed_values(self):
        for key, expected in FIXED_STRINGS.items():
            with self.subTest(key.decode()):
                self.assertEqual(strings()[key], expected)

    def test_names_are_given(self):
        for key in GIVEN_STRINGS:
            with self.subTest(key.decode()):
                self.assertTrue(strings()[key].strip())

    def test_product_name_is_the_description(self):
        self.assertEqual(strings()[b"ProductName"], strings()[b"FileDescription"])

    def test_translation_names_the_string_table(self):
        # Explorer looks the strings up by the translation entry: a mismatch leaves the file's
        # properties blank although the strings are there.
        variables = [var.entry for var in file_info(b"VarFileInfo").Var]
        self.assertEqual(variables, [{b"Translation": TRANSLATION}])


if __name__ == "__main__":
    unittest.main()
