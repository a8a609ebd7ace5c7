"""What the Wine tests of the launcher share: staging a launcher folder, starting the launcher
with a command line of the test's choosing, and reading what its companion recorded.

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
WINE = winerun.LOADERS[ARCH]


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


class LauncherTestCase(unittest.TestCase):
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

        code, stderr = prefix.run([WINE, FIXTURES / "kestrel_starter.exe",
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
        holder = prefix.spawn([WINE, FIXTURES / "kestrel_holder.exe", kind, MUTEX_NAME,
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


def why_this_architecture_cannot_run():
    """None where this machine runs the architecture's programs under Wine, else the reason."""
    if not WINE.exists():
        return f"there is no Wine loader for {ARCH} programs ({WINE}; Debian's wine32 package)"
    code, _ = prefix.run([WINE, FIXTURES / "kestrel_holder.exe"], timeout=60)
    if code != 2:  # the holder's "wrong arguments" code: it ran
        return f"Wine could not run an {ARCH} program here (exit code {code}; 32-bit code needs a kernel that runs it)"
    return None


def main():
    """Runs the calling module's tests, or exits with 77 where the architecture cannot run."""
    WORK.mkdir(parents=True, exist_ok=True)
    prefix.start()
    reason = why_this_architecture_cannot_run()
    if reason:
        print(f"SKIPPED: the {ARCH} launcher was not run: {reason}.")
        sys.exit(SKIPPED)
    unittest.main(module="__main__", verbosity=2)
