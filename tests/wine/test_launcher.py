"""The launcher as a real Windows process under Wine: what the companion receives, and when the
launcher refuses to launch.

Environment: KESTREL_ARCH (x64 or x86), KESTREL_LAUNCHER (the launcher to test), KESTREL_FIXTURES
(the folder of the Windows fixtures of the same architecture), KESTREL_WORK (a scratch folder),
KESTREL_WINE_PREFIX. Exits with 77 (skipped) when this machine cannot run the architecture.
"""

import os
import pathlib
import shutil
import sys
import unittest

import winerun

ARCH = os.environ["KESTREL_ARCH"]
LAUNCHER = pathlib.Path(os.environ["KESTREL_LAUNCHER"])
FIXTURES = pathlib.Path(os.environ["KESTREL_FIXTURES"])
WORK = pathlib.Path(os.environ["KESTREL_WORK"])
MUTEX_NAME = "{7C3E91A4-2D6B-4f08-9A5E-C41B7D0E83F2}"
SKIPPED = 77
STARTER_CANNOT_START = 103

prefix = winerun.Prefix(os.environ["KESTREL_WINE_PREFIX"])


class CannotStart(Exception):
    pass


def program_name_and_tail(command_line):
    """Splits a command line after its program name as Windows delimits it, and one blank."""
    if command_line.startswith('"'):
        end = command_line.find('"', 1)
        end = len(command_line) if end < 0 else end + 1
    else:
        end = len(command_line)
        for blank in " \t":
            found = command_line.find(blank)
            if 0 <= found < end:
                end = found
    name, rest = command_line[:end], command_line[end:]
    return name, rest[1:] if rest[:1] in (" ", "\t") else rest


class Launch:
    def __init__(self, exit_code, total_processes, records, debug_output):
        self.exit_code = exit_code
        self.total_processes = total_processes
        self.records = records  # (command line, working directory) per companion start
        self.debug_output = debug_output


class LauncherTest(unittest.TestCase):
    def setUp(self):
        self.work = winerun.fresh_directory(WORK / self.id().rsplit(".", 1)[-1])
        self.holders = []

    def tearDown(self):
        for holder, stop in self.holders:
            stop.touch()
            holder.wait(timeout=30)

    # --- staging and running ------------------------------------------------------------------

    def stage(self, folder_name="Apps", companion=True):
        folder = self.work / folder_name
        folder.mkdir(parents=True)
        shutil.copy(LAUNCHER, folder / "LauncherKestrel.exe")
        if companion:
            shutil.copy(FIXTURES / "Quillmere.exe", folder / "Quillmere.exe")
        return folder

    def launch(self, program, command_line, directory=None, record_folder=None):
        """Starts `program` (a Unix path, or a Windows one as a string) with exactly
        `command_line`; waits for it and all it started. Raises CannotStart when Wine cannot
        start a program from there at all."""
        if isinstance(program, pathlib.Path):
            record_folder = record_folder or program.parent
            program = winerun.windows_path(program)
        for stale in record_folder.glob("Quillmere.*.record"):
            stale.unlink()
        request = self.work / "request.bin"
        result = self.work / "result.txt"
        result.unlink(missing_ok=True)
        fields = [program, command_line,
                  winerun.windows_path(directory) if directory else ""]
        request.write_bytes("".join(f + "\0" for f in fields).encode("utf-16-le"))

        code, stderr = prefix.run([winerun.WINE64, FIXTURES / "kestrel_starter.exe",
                                   winerun.windows_path(request), winerun.windows_path(result)])
        if code == STARTER_CANNOT_START:
            raise CannotStart(program)
        self.assertEqual(code, 0, f"the starter failed ({code})")
        values = dict(pair.split("=") for pair in result.read_text().split())
        self.assertEqual(values["active"], "0", "a process is still running")
        records = []
        for path in sorted(record_folder.glob("Quillmere.*.record")):
            fields = path.read_bytes().decode("utf-16-le", errors="surrogatepass").split("\0")
            records.append((fields[0], fields[1]))
        return Launch(int(values["exit"]), int(values["total"]), records, stderr)

    def hold(self, kind):
        ready, stop = self.work / f"{kind}.ready", self.work / f"{kind}.stop"
        holder = prefix.spawn([winerun.WINE64, FIXTURES / "kestrel_holder.exe", kind, MUTEX_NAME,
                               winerun.windows_path(ready), winerun.windows_path(stop)])
        self.holders.append((holder, stop))
        self.assertTrue(winerun.wait_for(ready.exists, 60), f"the {kind} holder did not start")
        return holder, stop

    @staticmethod
    def quoted(folder):
        return '"' + winerun.windows_path(folder / "LauncherKestrel.exe") + '"'

    # --- checks -------------------------------------------------------------------------------

    def assertLaunched(self, launch, folder, expected_tail):
        self.assertEqual(launch.exit_code, 0)
        self.assertEqual(launch.total_processes, 2, "launcher and companion, nothing else")
        self.assertEqual(len(launch.records), 1)
        command_line, working_directory = launch.records[0]
        name, tail = program_name_and_tail(command_line)
        self.assertEqual(name.strip('"'), winerun.windows_path(folder / "Quillmere.exe"))
        self.assertEqual(tail, expected_tail)
        self.assertEqual(working_directory.rstrip("\\"), winerun.windows_path(folder).rstrip("\\"))

    def assertNothingStarted(self, launch):
        self.assertEqual(launch.exit_code, 0)
        self.assertEqual(launch.total_processes, 1, "the launcher alone")
        self.assertEqual(launch.records, [])

    # --- cases --------------------------------------------------------------------------------

    def test_hands_on_the_tail_unchanged(self):
        folder = self.stage()
        long_argument = "x" * 3000 + ' "with blanks" ' + "y" * 3000
        cases = [
            ("arguments", ' /a "b c"', '/a "b c"'),
            ("two blanks", "  /a", " /a"),
            ("one trailing blank", " ", ""),
            ("quoted path alone", "", ""),
            ("tab after the path", "\t/a", "/a"),
            ("quotes and backslashes", ' a\\"b "c\\\\" \\\\server\\share "" ^&|<>%PATH%',
             'a\\"b "c\\\\" \\\\server\\share "" ^&|<>%PATH%'),
            ("accents, CJK, outside the BMP", " café Größe 漢字 😀", "café Größe 漢字 😀"),
            ("several thousand characters", " " + long_argument, long_argument),
        ]
        for name, after_path, expected_tail in cases:
            with self.subTest(name):
                launch = self.launch(folder / "LauncherKestrel.exe", self.quoted(folder) + after_path)
                self.assertLaunched(launch, folder, expected_tail)

    def test_folder_with_blanks_and_non_ascii_characters(self):
        folder = self.stage("Scan Dépôt 漢字 😀")
        launch = self.launch(folder / "LauncherKestrel.exe", self.quoted(folder) + " /scan")
        self.assertLaunched(launch, folder, "/scan")

    def test_unquoted_and_relative_command_lines(self):
        folder = self.stage("Apps")
        unquoted = winerun.windows_path(folder / "LauncherKestrel.exe")
        cases = [
            ("unquoted full path", unquoted + " /a b", None),
            ("relative path", "Apps\\LauncherKestrel.exe /a b", self.work),
            ("bare name from its folder", "LauncherKestrel /a b", folder),
        ]
        for name, command_line, directory in cases:
            with self.subTest(name):
                launch = self.launch(folder / "LauncherKestrel.exe", command_line, directory)
                self.assertLaunched(launch, folder, "/a b")

    def test_launcher_in_a_drive_root(self):
        root = self.stage("DriveRoot")
        prefix.drive("y", root)
        launch = self.launch("Y:\\LauncherKestrel.exe", '"Y:\\LauncherKestrel.exe" /a', record_folder=root)
        self.assertEqual(launch.exit_code, 0)
        self.assertEqual(len(launch.records), 1)
        command_line, working_directory = launch.records[0]
        self.assertEqual(program_name_and_tail(command_line), ('"Y:\\Quillmere.exe"', "/a"))
        self.assertEqual(working_directory, "Y:\\")

    def test_long_launcher_paths(self):
        # 259 characters fill the first path buffer but for its zero; longer paths need it to
        # grow, where the system can start a program from such a folder at all.
        for length in (259, 260, 400):
            with self.subTest(length=length):
                folder = self.stage(self.folder_name_for_path_length(length))
                try:
                    launch = self.launch(folder / "LauncherKestrel.exe", self.quoted(folder) + " /a")
                except CannotStart:
                    self.skipTest(f"Wine cannot start a program whose path has {length} characters")
                self.assertLaunched(launch, folder, "/a")

    def folder_name_for_path_length(self, length):
        """A nested folder name that makes the launcher's Windows path `length` characters long."""
        top = f"L{length}"
        rest = length - len(winerun.windows_path(self.work / top / "LauncherKestrel.exe"))
        parts = [top] + ["n" * 99] * (rest // 100) + (["n" * (rest % 100 - 1)] if rest % 100 > 1 else [])
        name = "/".join(parts)
        self.assertEqual(len(winerun.windows_path(self.work / name / "LauncherKestrel.exe")), length)
        return name

    def test_a_held_instance_mutex_blocks_until_its_holder_is_gone(self):
        folder = self.stage()
        _, stop = self.hold("mutex")
        self.assertNothingStarted(self.launch(folder / "LauncherKestrel.exe", self.quoted(folder) + " /a"))

        holder, stop = self.holders.pop()
        stop.touch()
        holder.wait(timeout=30)
        self.assertLaunched(self.launch(folder / "LauncherKestrel.exe", self.quoted(folder) + " /a"), folder, "/a")

    def test_other_kinds_of_object_under_the_name_do_not_block(self):
        folder = self.stage()
        for kind in ("event", "semaphore", "mapping"):
            with self.subTest(kind):
                self.hold(kind)
                launch = self.launch(folder / "LauncherKestrel.exe", self.quoted(folder) + " /a")
                self.assertLaunched(launch, folder, "/a")
                holder, stop = self.holders.pop()
                stop.touch()
                holder.wait(timeout=30)

    def test_companion_missing_starts_nothing_and_looks_nowhere_else(self):
        folder = self.stage("Apps", companion=False)
        elsewhere = self.stage("CurrentDirectory")  # a companion where a search would find it
        launch = self.launch(folder / "LauncherKestrel.exe", self.quoted(folder) + " /a", elsewhere,
                             record_folder=elsewhere)
        self.assertNothingStarted(launch)
        self.assertIn("The specified file was not found.", launch.debug_output)

    def test_launch_success_is_described_to_the_debugger(self):
        folder = self.stage()
        launch = self.launch(folder / "LauncherKestrel.exe", self.quoted(folder))
        self.assertLaunched(launch, folder, "")
        self.assertIn("successful, returned a value greater than 32", launch.debug_output)


def can_run_this_architecture():
    probe = winerun.fresh_directory(WORK / "probe")
    code, _ = prefix.run([winerun.WINE64, FIXTURES / "kestrel_holder.exe"], timeout=60)
    del probe
    return code == 2  # the holder's "wrong arguments" code: it ran


if __name__ == "__main__":
    WORK.mkdir(parents=True, exist_ok=True)
    prefix.start()
    if not can_run_this_architecture():
        print(f"SKIPPED: this machine cannot run {ARCH} Windows programs under Wine "
              f"(32-bit code needs a kernel and Wine that run it); the {ARCH} launcher was not run.")
        sys.exit(SKIPPED)
    unittest.main(verbosity=2)
