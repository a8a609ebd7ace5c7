"""The file as the system's own calls read it, under Wine: the icons Explorer shows, the strings
of the properties page, and the activation context the loader builds from the manifest.

Environment: KESTREL_EXECUTABLE, KESTREL_ARCH (x86 or x64, the executable's), KESTREL_PROBE (the
x86-64 probe program), KESTREL_WINE_PREFIX, and PYTHONPATH reaching the Wine helpers.
"""

import os
import pathlib
import unittest

import winerun

import shipped_file
import test_version_block

ARCH = os.environ["KESTREL_ARCH"]
PROBE = pathlib.Path(os.environ["KESTREL_PROBE"])
ACTCTX_RUN_LEVEL_AS_INVOKER = "1"

readings = {}


def setUpModule():
    prefix = winerun.Prefix(os.environ["KESTREL_WINE_PREFIX"])
    result = prefix.directory.parent / f"shell-view-{ARCH}.txt"
    result.unlink(missing_ok=True)
    prefix.start()
    try:
        code, stderr = prefix.run([winerun.WINE64, PROBE, winerun.windows_path(shipped_file.path()), ARCH,
                                   winerun.windows_path(result)])
    finally:
        prefix.stop()
    if code != 0 or not result.exists():
        raise RuntimeError(f"the probe failed ({code}): {stderr}")
    readings.update(line.split("=", 1) for line in result.read_text(encoding="utf-8").splitlines())
    readings["prefix"] = prefix.directory


def reading(key):
    value = readings.get(key)
    if value is None or value.startswith("error:"):
        raise AssertionError(f"{key}: {value}")
    return value


class ShellIconTest(unittest.TestCase):
    def test_one_icon_in_large_and_small_views(self):
        cases = [("icon_groups", "1"), ("large_icon", "32x32"), ("small_icon", "16x16")]
        for key, expected in cases:
            with self.subTest(key):
                self.assertEqual(reading(key), expected)


class PropertiesPageTest(unittest.TestCase):
    def test_version_found_through_the_translation(self):
        self.assertEqual(reading("translation"), test_version_block.STRING_TABLE_KEY.decode())
        self.assertEqual(reading("fixed_file_version"), "1.0.0.1")
        for key, expected in test_version_block.FIXED_STRINGS.items():
            with self.subTest(key.decode()):
                self.assertEqual(reading("version." + key.decode()), expected.decode())
        for key in test_version_block.GIVEN_STRINGS:
            with self.subTest(key.decode()):
                self.assertTrue(reading("version." + key.decode()).strip())
        self.assertEqual(reading("version.ProductName"), reading("version.FileDescription"))


class ActivationContextTest(unittest.TestCase):
    def setUp(self):
        # A 64-bit Wine prefix holds only the x86-64 side-by-side assemblies, so the x86
        # manifest's common-controls dependency cannot be resolved there. The two manifests differ
        # in the architecture alone; the x86-64 one is read here, and both are checked as text.
        x86_assemblies = (readings["prefix"] / "drive_c/windows/winsxs/manifests").glob(
            "x86_microsoft.windows.common-controls_*")
        if ARCH == "x86" and not any(x86_assemblies):
            self.skipTest("this Wine prefix has no x86 common-controls assembly to resolve against")

    def test_loader_accepts_the_manifest(self):
        self.assertEqual(reading("manifest"), "accepted")

    def test_runs_as_invoker_and_dpi_aware(self):
        cases = [("run_level", ACTCTX_RUN_LEVEL_AS_INVOKER), ("ui_access", "0"), ("dpi_aware", "true")]
        for key, expected in cases:
            with self.subTest(key):
                self.assertEqual(reading(key), expected)


if __name__ == "__main__":
    unittest.main()
