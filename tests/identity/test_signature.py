"""The Authenticode signature of the file: where it stands, what it is, and that it holds.

Environment: KESTREL_SIGNING_TRUST, the certificates that the signer and the time-stamp
authority must chain to.
"""

import os
import pathlib
import shutil
import struct
import subprocess
import tempfile
import unittest

import pefile

import der
import shipped_file

WIN_CERT_REVISION_2_0 = 0x0200
WIN_CERT_TYPE_PKCS_SIGNED_DATA = 0x0002
SIGNED_DATA = "1.2.840.113549.1.7.2"
SPC_INDIRECT_DATA = "1.3.6.1.4.1.311.2.1.4"
# A time stamp rides in the signer's unsigned attributes, either as an RFC 3161 token or as a
# PKCS #9 countersignature of the older Authenticode kind.
TIME_STAMP_ATTRIBUTES = {"1.3.6.1.4.1.311.3.3.1", "1.2.840.113549.1.9.6"}


def security_directory():
    return shipped_file.image().OPTIONAL_HEADER.DATA_DIRECTORY[
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_SECURITY"]]


def certificate_table():
    """The table's raw bytes; its 'virtual address' is a file offset, outside every section."""
    directory = security_directory()
    with open(shipped_file.path(), "rb") as executable:
        executable.seek(directory.VirtualAddress)
        return executable.read(directory.Size)


def content_info():
    """The single WIN_CERTIFICATE's content, a PKCS #7 ContentInfo: its type and its content."""
    table = certificate_table()
    length, _, _ = struct.unpack_from("<IHH", table)
    content_type, explicit_content = der.read(table[8:length]).children()[:2]
    return content_type, explicit_content.children()[0]


def signer_info():
    _, signed_data = content_info()
    signer_infos = [child for child in signed_data.children() if child.tag == der.TAG_SET][-1]
    (signer,) = signer_infos.children()
    return signer


class SignaturePlacementTest(unittest.TestCase):
    def test_security_directory_ends_the_file(self):
        directory = security_directory()
        self.assertGreater(directory.Size, 0, "the file is not signed")
        self.assertEqual(directory.VirtualAddress % 8, 0)
        self.assertEqual(directory.VirtualAddress + directory.Size, os.path.getsize(shipped_file.path()))

    def test_file_before_its_signature_stays_small(self):
        # Everything the signature covers, resources included: what a minimal program making the
        # same calls would take, with room to spare.
        self.assertLessEqual(security_directory().VirtualAddress, 64 * 1024)

    def test_one_pkcs7_certificate_fills_the_table(self):
        table = certificate_table()
        length, revision, certificate_type = struct.unpack_from("<IHH", table)
        self.assertEqual((revision, certificate_type), (WIN_CERT_REVISION_2_0, WIN_CERT_TYPE_PKCS_SIGNED_DATA))
        # Entries are padded to eight bytes; anything past the padding would be a second one.
        self.assertEqual((length + 7) & ~7, len(table))


class SignatureContentTest(unittest.TestCase):
    def test_authenticode_signed_data(self):
        content_type, signed_data = content_info()
        self.assertEqual(content_type.object_id(), SIGNED_DATA)
        encapsulated = [child for child in signed_data.children() if child.tag == der.TAG_SEQUENCE][0]
        self.assertEqual(encapsulated.children()[0].object_id(), SPC_INDIRECT_DATA)

    def test_time_stamp_countersignature(self):
        unsigned = [child for child in signer_info().children() if child.tag == der.TAG_CONTEXT_1]
        self.assertEqual(len(unsigned), 1, "the signer has no unsigned attributes")
        attribute_types = {attribute.children()[0].object_id() for attribute in unsigned[0].children()}
        self.assertTrue(attribute_types & TIME_STAMP_ATTRIBUTES,
                        "no time stamp among the unsigned attributes %s" % sorted(attribute_types))


def verify(path):
    """osslsigncode's verdict on the file: it recomputes the Authenticode digest and checks the
    signer's and the time-stamp authority's chains."""
    tool = shutil.which("osslsigncode")
    if tool is None:
        raise AssertionError("osslsigncode is not installed")
    trust = os.environ["KESTREL_SIGNING_TRUST"]
    return subprocess.run([tool, "verify", "-CAfile", trust, "-TSA-CAfile", trust, "-in", str(path)],
                          stdin=subprocess.DEVNULL, capture_output=True, text=True, check=False)


class SignatureVerificationTest(unittest.TestCase):
    def test_digest_signature_chain_and_time_stamp_verify(self):
        result = verify(shipped_file.path())
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_a_copy_with_one_byte_changed_fails(self):
        # A byte of the code, well outside the headers and the signature.
        data = bytearray(shipped_file.path().read_bytes())
        offset = shipped_file.image().sections[0].PointerToRawData + 16
        data[offset] ^= 0xFF
        with tempfile.TemporaryDirectory() as folder:
            tampered = pathlib.Path(folder) / "LauncherKestrel.exe"
            tampered.write_bytes(bytes(data))
            self.assertNotEqual(verify(tampered).returncode, 0)


if __name__ == "__main__":
    unittest.main()
