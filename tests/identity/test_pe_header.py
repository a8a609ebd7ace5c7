"""The executable's header as the Windows loader reads it, and the DLLs it makes the loader find."""

import unittest

import pefile

import shipped_file

FILE = pefile.IMAGE_CHARACTERISTICS
DLL = pefile.DLL_CHARACTERISTICS


@unittest.skipUnless(shipped_file.is_x86(), "the header settings are those of the shipped x86 file")
class ShippedHeaderTest(unittest.TestCase):
    def test_header_fields(self):
        pe = shipped_file.image()
        header = pe.OPTIONAL_HEADER
        cases = [
            ("machine", pe.FILE_HEADER.Machine, 0x014C),
            ("optional header magic (PE32)", header.Magic, 0x010B),
            ("subsystem (Windows GUI)", header.Subsystem, 2),
            ("operating system version", (header.MajorOperatingSystemVersion, header.MinorOperatingSystemVersion), (5, 1)),
            ("subsystem version", (header.MajorSubsystemVersion, header.MinorSubsystemVersion), (5, 1)),
            ("image base", header.ImageBase, 0x00400000),
            ("stack reserve", header.SizeOfStackReserve, 0x100000),
            ("stack commit", header.SizeOfStackCommit, 0x1000),
            ("heap reserve", header.SizeOfHeapReserve, 0x100000),
            ("heap commit", header.SizeOfHeapCommit, 0x1000),
        ]
        for name, actual, expected in cases:
            with self.subTest(name):
                self.assertEqual(actual, expected)

    def test_flags(self):
        pe = shipped_file.image()
        characteristics = pe.FILE_HEADER.Characteristics
        dll_characteristics = pe.OPTIONAL_HEADER.DllCharacteristics
        cases = [
            ("IMAGE_FILE_EXECUTABLE_IMAGE", characteristics, FILE, True),
            ("IMAGE_FILE_32BIT_MACHINE", characteristics, FILE, True),
            ("IMAGE_FILE_RELOCS_STRIPPED", characteristics, FILE, True),
            ("IMAGE_FILE_LARGE_ADDRESS_AWARE", characteristics, FILE, False),
            ("IMAGE_FILE_DLL", characteristics, FILE, False),
            ("IMAGE_DLLCHARACTERISTICS_NX_COMPAT", dll_characteristics, DLL, True),
            ("IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE", dll_characteristics, DLL, True),
            ("IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE", dll_characteristics, DLL, False),
            ("IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA", dll_characteristics, DLL, False),
        ]
        for flag, value, names, expected in cases:
            with self.subTest(flag):
                self.assertEqual(bool(value & names[flag]), expected)

    def test_no_relocation_data(self):
        # The flag alone is not enough: a relocation table left in the file would still let the
        # loader move the image, and with it randomise the base.
        relocations = shipped_file.image().OPTIONAL_HEADER.DATA_DIRECTORY[
            pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_BASERELOC"]]
        self.assertEqual((relocations.VirtualAddress, relocations.Size), (0, 0))


# The system DLLs the launcher may import, all on a bare Windows XP. A compiler runtime DLL (libgcc, libstdc++,
# libwinpthread) among the imports would stop the launcher on every machine but the builder's.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "advapi32.dll", "shell32.dll", "shlwapi.dll",
               "comctl32.dll", "msvcrt.dll"}


class ImportsTest(unittest.TestCase):
    def test_imports_only_system_dlls(self):
        pe = shipped_file.image()
        imported = {entry.dll.decode("ascii").lower() for entry in pe.DIRECTORY_ENTRY_IMPORT}
        self.assertLessEqual(imported, SYSTEM_DLLS)


if __name__ == "__main__":
    unittest.main()
