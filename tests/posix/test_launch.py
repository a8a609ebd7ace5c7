"""The launch of the companion, by real processes: what the companion receives (arguments,
working directory, descriptors, session) and how a failed start ends the launcher."""

import fcntl
import os
import pty
import resource
import subprocess
import termios
import unittest

from kestrel_process import (COMPANION_FIXTURE, LAUNCHER_NAME, Installation, assert_exit_code_zero,
                             assert_quiet_exit, real)

ARGUMENT_CASES = [
    ("no arguments", []),
    ("blanks", ["a b", " leading", "trailing ", "   "]),
    ("quotes", ['"', 'say "hi"', "'single'", '"b c"', '""']),
    ("backslashes", ["\\", "C:\\Apps\\", '\\"', "\\\\server\\share", "ends\\\\"]),
    ("newlines and tabs", ["line1\nline2", "\n", "\t", "cr\r\nlf"]),
    ("UTF-8", ["é", "漢字", "😀", "Größe – naïve"]),
    ("empty strings", ["", "x", "", ""]),
    ("one empty string", [""]),
    ("bytes that are not UTF-8", [b"\xff\xfe", b"\x80abc", b"caf\xe9"]),
    ("option-like", ["--", "-", "--help", "/a", "-x=1"]),
    ("shell characters", ["$HOME", "`id`", "*", "a;b", "|", "&&", "~", "%PATH%"]),
    ("a whole Windows command line", ['"C:\\Apps\\LauncherKestrel.exe" /a "b c"']),
    ("many arguments", [f"argument {i}" for i in range(2000)]),
    ("one long argument", ["x" * 100_000]),
]


def encoded(arguments):
    return [a if isinstance(a, bytes) else os.fsencode(a) for a in arguments]


class ArgumentsTest(unittest.TestCase):
    def test_arguments_arrive_exactly(self):
        install = Installation(self)
        for name, arguments in ARGUMENT_CASES:
            with self.subTest(name):
                install.new_records()
                result = install.run(encoded(arguments))
                assert_quiet_exit(self, result)
                record = install.wait_for_companion()
                self.assertEqual(record.argv[0], real(install.companion))
                self.assertEqual(record.argv[1:], encoded(arguments))
                self.assertEqual(record.cwd, real(install.folder))


ARGS = ["x", "y z"]


def link_elsewhere(target_of):
    """Starts the launcher through a symbolic link in another folder, which also holds a decoy
    companion that must not be the one started."""

    def start(install):
        links = install.make_dir("links")
        os.symlink(COMPANION_FIXTURE, os.path.join(links, "Quillmere.exe"))
        link = os.path.join(links, "kestrel")
        for i, target in enumerate(target_of(install, links)):
            name = link if i == 0 else f"{link}-{i}"
            os.symlink(target, name)
        return dict(command=[link, *ARGS])

    return start


def linked_folder(install):
    linked = os.path.join(install.root, "linked")
    os.symlink(install.folder, linked)
    return dict(command=[os.path.join(linked, LAUNCHER_NAME), *ARGS])


LOCATION_CASES = [
    ("folder with blanks and non-ASCII characters", os.path.join("Program Files", "Kestrel Scan – Größe 漢字 😀"),
     lambda install: dict(command=[install.launcher, *ARGS])),
    ("folder name with a newline", "Kestrel\nScan", lambda install: dict(command=[install.launcher, *ARGS])),
    ("folder path past 260 characters", os.path.join(*[f"{'d' * 60}{i}" for i in range(6)]),
     lambda install: dict(command=[install.launcher, *ARGS])),
    ("through a symbolic link in another folder", None, link_elsewhere(lambda install, links: [install.launcher])),
    ("through a relative symbolic link", None,
     link_elsewhere(lambda install, links: [os.path.relpath(install.launcher, links)])),
    ("through a chain of symbolic links", None,
     link_elsewhere(lambda install, links: [os.path.join(links, "kestrel-1"), install.launcher])),
    ("through a linked folder", None, linked_folder),
    ("through a relative path", None,
     lambda install: dict(command=[os.path.join(".", os.path.relpath(install.launcher, install.root)), *ARGS],
                          cwd=install.root)),
    ("through a path with dot and dot-dot", None,
     lambda install: dict(command=["../bin/./" + LAUNCHER_NAME, *ARGS], cwd=install.folder)),
    ("found on the search path", None,
     lambda install: dict(command=[LAUNCHER_NAME, *ARGS],
                          env=install.environment(PATH=install.folder + os.pathsep + os.defpath))),
    ("under a program name that names nothing", None,
     lambda install: dict(command=["no-such-program", *ARGS], executable=install.launcher)),
    ("from a working directory of its own", None,
     lambda install: dict(command=[install.launcher, *ARGS], cwd="/")),
]


class LocationTest(unittest.TestCase):
    """However the launcher is started, the companion is the one beside the launcher's real file,
    and that folder is the companion's working directory."""

    def test_companion_beside_the_real_file(self):
        for name, folder, start in LOCATION_CASES:
            with self.subTest(name):
                install = Installation(self, **({"folder": folder} if folder else {}))
                result = install.run(**start(install))
                assert_quiet_exit(self, result)
                record = install.wait_for_companion()
                self.assertEqual(record.cwd, real(install.folder))
                self.assertEqual(record.argv, [real(install.companion), *encoded(ARGS)])


NOT_FOUND = "The specified file was not found."
PATH_NOT_FOUND = "The specified path was not found. "
DENIED = "The operating system denied access to the specified file."
INVALID = "The .exe file is invalid (non-Microsoft Win32 .exe or error in .exe image)."
BUSY = "A sharing violation occurred."
NO_MEMORY = "There was not enough memory to complete the operation."


def replace_companion(content, mode=0o755):
    def prepare(install):
        with open(install.companion, "wb") as f:
            f.write(content)
        os.chmod(install.companion, mode)
        return {}

    return prepare


def companion_in(kind):
    def prepare(install):
        os.remove(install.companion)
        if kind == "folder":
            os.mkdir(install.companion)
        elif kind == "dangling link":
            os.symlink("nowhere", install.companion)
        elif kind == "link loop":
            os.symlink("Quillmere.exe", install.companion)
        return {}

    return prepare


def companion_open_for_writing(install):
    writer = open(install.companion, "ab")
    install.test.addCleanup(writer.close)
    return {}


def out_of_processes(install):
    # No process may be added for the launcher's user. Root is exempt from the limit, so as root
    # the launcher runs as a user of no account.
    def limit():
        resource.setrlimit(resource.RLIMIT_NPROC, (0, 0))

    changes = {"user": 54321, "group": 54321, "extra_groups": []} if os.geteuid() == 0 else {}
    # The leak checker needs a thread of its own, which the limit forbids.
    asan = os.environ.get("ASAN_OPTIONS")
    env = install.environment(ASAN_OPTIONS=f"{asan}:detect_leaks=0") if asan else install.environment()
    return dict(preexec_fn=limit, env=env, **changes)


FAILURE_CASES = [
    ("companion missing", companion_in("nothing"), NOT_FOUND),
    ("a dangling symbolic link in its place", companion_in("dangling link"), NOT_FOUND),
    ("a symbolic link loop in its place", companion_in("link loop"), PATH_NOT_FOUND),
    ("a folder in its place", companion_in("folder"), DENIED),
    ("companion not executable", replace_companion(b"#!/bin/sh\n", 0o644), DENIED),
    ("a Windows executable", replace_companion(b"MZ\x90\x00" + bytes(60)), INVALID),
    ("an empty file", replace_companion(b""), INVALID),
    ("a script without an interpreter line", replace_companion(b"echo started\n"), INVALID),
    ("a script whose interpreter is missing", replace_companion(b"#!/no/such/interpreter\n"), NOT_FOUND),
    ("companion open for writing", companion_open_for_writing, BUSY),
    ("no process to be had", out_of_processes, NO_MEMORY),
]


class CompanionFailureTest(unittest.TestCase):
    """A companion that cannot be started: exit code 0, nothing starts, and the description of
    the result as the one line on standard error."""

    def test_failed_start_is_reported_in_one_line(self):
        for name, prepare, description in FAILURE_CASES:
            with self.subTest(name):
                install = Installation(self)
                result = install.run(ARGS, **prepare(install))
                assert_exit_code_zero(self, result)
                self.assertEqual((result.stdout, result.stderr), (b"", (description + "\n").encode()))
                install.assert_nothing_started()


class StartConditionsTest(unittest.TestCase):
    """What the companion inherits from the launcher, and what it does not."""

    def test_only_the_standard_streams_are_inherited(self):
        install = Installation(self)
        with open(os.path.join(install.root, "inherited"), "wb") as inherited:
            high = 200
            os.dup2(inherited.fileno(), high)
            self.addCleanup(os.close, high)
            result = install.run(ARGS, pass_fds=(inherited.fileno(), high))
        assert_quiet_exit(self, result)
        self.assertEqual(install.wait_for_companion().descriptors, [0, 1, 2])

    def test_closed_standard_streams(self):
        """A stream the launcher was started without is not made up for the companion, and the
        lock file never takes its place: the report on standard error must not land in it."""
        for closed in [(2,), (1, 2), (0, 1, 2), (0,)]:
            for companion in (True, False):
                with self.subTest(closed=closed, companion=companion):
                    install = Installation(self, companion=companion)
                    result = install.run(ARGS, preexec_fn=lambda: [os.close(fd) for fd in closed])
                    assert_exit_code_zero(self, result)
                    if companion:
                        expected = [fd for fd in (0, 1, 2) if fd not in closed]
                        self.assertEqual(install.wait_for_companion().descriptors, expected)
                    else:
                        install.assert_nothing_started()
                    self.assertEqual(os.path.getsize(install.lock_file), 0)

    def test_a_reader_of_standard_error_that_went_away(self):
        install = Installation(self, companion=False)
        read_end, write_end = os.pipe()
        os.close(read_end)
        try:
            result = install.run(ARGS, stderr=write_end)
        finally:
            os.close(write_end)
        assert_exit_code_zero(self, result)

    def test_companion_has_a_session_of_its_own_and_outlives_the_terminal(self):
        install = Installation(self)
        install.hold_companions()
        primary, secondary = pty.openpty()
        try:
            result = install.run(
                ARGS, stdin=secondary, stdout=secondary, stderr=secondary, start_new_session=True,
                preexec_fn=lambda: fcntl.ioctl(0, termios.TIOCSCTTY, 0))
        finally:
            os.close(secondary)
        assert_exit_code_zero(self, result)
        record = install.wait_for_companion()
        self.assertEqual((record.sid, record.pgid), (record.pid, record.pid))
        self.assertFalse(record.has_terminal)
        # Hanging up the launcher's terminal must not take the companion with it.
        os.close(primary)
        install.release_held()
        self.assertTrue(install.wait_until_done(record), "the companion should have lived on")


if __name__ == "__main__":
    unittest.main()
