"""The application manifest, as the Windows loader parses it before the process runs."""

import re
import unittest
import xml.etree.ElementTree as ElementTree

import shipped_file

BYTE_ORDER_MARK = b"\xef\xbb\xbf"
ASM_V1 = "urn:schemas-microsoft-com:asm.v1"
ASM_V2 = "urn:schemas-microsoft-com:asm.v2"
ASM_V3 = "urn:schemas-microsoft-com:asm.v3"
WINDOWS_SETTINGS_2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings"


def manifest_bytes():
    return shipped_file.resources_of_type(shipped_file.RT_MANIFEST)[0].data


def manifest():
    return ElementTree.fromstring(manifest_bytes())


def qualified(namespace, name):
    return "{%s}%s" % (namespace, name)


class ManifestEncodingTest(unittest.TestCase):
    def test_starts_with_byte_order_mark_and_declaration(self):
        data = manifest_bytes()
        self.assertTrue(data.startswith(BYTE_ORDER_MARK))
        declaration = re.match(rb"<\?xml\s+(.*?)\?>", data[len(BYTE_ORDER_MARK):])
        self.assertIsNotNone(declaration, "no XML declaration right after the byte-order mark")
        attributes = dict(re.findall(rb"""(\w+)\s*=\s*["']([^"']*)["']""", declaration.group(1)))
        self.assertEqual(attributes, {b"version": b"1.0", b"encoding": b"UTF-8", b"standalone": b"yes"})

    def test_is_utf8(self):
        manifest_bytes()[len(BYTE_ORDER_MARK):].decode("utf-8")


class ManifestContentTest(unittest.TestCase):
    def test_assembly(self):
        root = manifest()
        self.assertEqual(root.tag, qualified(ASM_V1, "assembly"))
        self.assertEqual(root.attrib, {"manifestVersion": "1.0"})

    def test_top_level_elements(self):
        # The namespaces matter as much as the names: an unpatched Windows XP refuses to start a
        # file whose trustInfo stands in the assembly's own namespace rather than in asm.v2.
        self.assertEqual([child.tag for child in manifest()], [
            qualified(ASM_V1, "dependency"),
            qualified(ASM_V2, "trustInfo"),
            qualified(ASM_V3, "application"),
        ])

    def test_common_controls_version_6_of_the_process_architecture(self):
        identities = manifest().findall(
            "./{0}dependency/{0}dependentAssembly/{0}assemblyIdentity".format("{%s}" % ASM_V1))
        self.assertEqual(len(identities), 1)
        self.assertEqual(identities[0].attrib, {
            "type": "win32",
            "name": "Microsoft.Windows.Common-Controls",
            "version": "6.0.0.0",
            # Windows does not start a process that asks for the common controls of another
            # architecture, so the x86-64 build names its own.
            "processorArchitecture": "x86" if shipped_file.is_x86() else "amd64",
            "publicKeyToken": "6595b64144ccf1df",
            "language": "*",
        })

    def test_runs_as_invoker_without_elevation(self):
        levels = manifest().findall(
            "./{0}trustInfo/{0}security/{0}requestedPrivileges/{0}requestedExecutionLevel".format("{%s}" % ASM_V2))
        self.assertEqual([level.attrib for level in levels], [{"level": "asInvoker", "uiAccess": "false"}])

    def test_dpi_aware(self):
        settings = manifest().findall(
            "./{%s}application/{%s}windowsSettings/{%s}dpiAware" % (ASM_V3, ASM_V3, WINDOWS_SETTINGS_2005))
        self.assertEqual([setting.text for setting in settings], ["true"])


if __name__ == "__main__":
    unittest.main()
