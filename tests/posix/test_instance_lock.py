"""The instance lock, by real processes: a held lock keeps launchers from launching, the
companion never holds it, and the lock is made only where no other user can reach it; wherever
it cannot be made, the launcher launches all the same and writes nothing through what it found."""

import fcntl
import os
import shutil
import stat
import struct
import subprocess
import time
import unittest

from kestrel_process import COMPANION_FIXTURE, LOCK_NAME, Installation, assert_quiet_exit, private_lock_folder_name

ARGS = ["x", "y z"]


def private_lock_folder(install):
    return os.path.join(install.temporary, private_lock_folder_name())


def hold_lock(test, path, kind):
    fd = os.open(path, os.O_RDWR | os.O_CREAT, 0o600)
    test.addCleanup(os.close, fd)
    fcntl.lockf(fd, kind | fcntl.LOCK_NB)
    return fd


class GuardTest(unittest.TestCase):
    def test_a_held_lock_stops_every_launch(self):
        cases = [
            ("exclusive lock in the runtime directory", fcntl.LOCK_EX, {}),
            ("shared lock in the runtime directory", fcntl.LOCK_SH, {}),
            ("exclusive lock in the private temporary folder", fcntl.LOCK_EX, {"XDG_RUNTIME_DIR": None}),
        ]
        for name, kind, changes in cases:
            with self.subTest(name):
                install = Installation(self)
                env = install.environment(**changes)
                if "XDG_RUNTIME_DIR" in changes:
                    folder = private_lock_folder(install)
                    os.mkdir(folder, 0o700)
                    lock = os.path.join(folder, LOCK_NAME)
                else:
                    lock = install.lock_file
                holder = hold_lock(self, lock, kind)
                for _ in range(2):
                    assert_quiet_exit(self, install.run(ARGS, env=env))
                install.assert_nothing_started()

                fcntl.lockf(holder, fcntl.LOCK_UN)
                assert_quiet_exit(self, install.run(ARGS, env=env))
                install.wait_for_companion()

    def wait_until_locked_by(self, path, pid, timeout=20.0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if os.path.exists(path):
                probe = os.open(path, os.O_RDWR)
                try:
                    # struct flock as Linux lays it out: type, whence, start, length, pid.
                    query = struct.pack("hhqqi", fcntl.F_WRLCK, os.SEEK_SET, 0, 0, 0)
                    kind, _, _, _, holder = struct.unpack("hhqqi", fcntl.fcntl(probe, fcntl.F_GETLK, query))
                finally:
                    os.close(probe)
                if kind == fcntl.F_WRLCK and holder == pid:
                    return
            time.sleep(0.01)
        self.fail("the first launcher should hold the lock")

    def test_a_launcher_at_work_keeps_the_next_from_launching(self):
        """The first launcher is held inside its work: its companion is missing, and standard
        error, where it reports that, is a pipe already full. A second launcher that got past
        the lock would report the missing companion too; one that is refused says nothing."""
        install = Installation(self, companion=False)
        read_end, write_end = os.pipe()
        os.set_blocking(write_end, False)
        try:
            while True:
                os.write(write_end, b"." * 4096)
        except BlockingIOError:
            pass
        os.set_blocking(write_end, True)
        first = subprocess.Popen([install.launcher, *ARGS], env=install.environment(), stdin=subprocess.DEVNULL,
                                 stdout=subprocess.DEVNULL, stderr=write_end)
        os.close(write_end)
        self.addCleanup(first.kill)
        try:
            self.wait_until_locked_by(install.lock_file, first.pid)
            assert_quiet_exit(self, install.run(ARGS))
        finally:
            with os.fdopen(read_end, "rb") as pipe:
                report = pipe.read()
        self.assertEqual(first.wait(timeout=20), 0)
        self.assertTrue(report.endswith(b"The specified file was not found.\n"))
        shutil.copy2(COMPANION_FIXTURE, install.companion)
        assert_quiet_exit(self, install.run(ARGS))
        install.wait_for_companion()

    def test_the_companion_does_not_hold_the_lock(self):
        install = Installation(self)
        install.hold_companions()
        assert_quiet_exit(self, install.run(ARGS))
        first = install.wait_for_companion()

        # The first launcher has ended while its companion runs on: the lock is free.
        probe = os.open(install.lock_file, os.O_RDWR)
        try:
            fcntl.lockf(probe, fcntl.LOCK_EX | fcntl.LOCK_NB)
        finally:
            os.close(probe)
        assert_quiet_exit(self, install.run(ARGS))
        records = install.wait_for_companions(2)
        self.assertEqual(len(records), 2)
        self.assertIn(first.pid, [r.pid for r in records])


def snapshot(path):
    """What a planted entry is and holds, to show that nothing was written through it."""
    if os.path.islink(path):
        return ("link", os.readlink(path), snapshot(os.path.realpath(path)) if os.path.exists(path) else None)
    if os.path.isdir(path):
        return ("folder", stat.S_IMODE(os.stat(path).st_mode), sorted(os.listdir(path)))
    if os.path.isfile(path):
        with open(path, "rb") as f:
            return ("file", f.read())
    return None


def plant_private_folder(kind, mode=0o700):
    def plant(install):
        folder = private_lock_folder(install)
        elsewhere = os.path.join(install.root, "elsewhere")
        if kind == "link":
            os.mkdir(elsewhere, 0o700)
            os.symlink(elsewhere, folder)
        elif kind == "dangling link":
            os.symlink(elsewhere, folder)
        elif kind == "file":
            with open(folder, "wb") as f:
                f.write(b"planted")
        else:
            os.mkdir(folder)
            os.chmod(folder, mode)
            if kind == "another owner":
                os.chown(folder, 54321, 54321)
        return {"XDG_RUNTIME_DIR": None}, [folder, elsewhere]

    return plant


def runtime_directory(kind):
    def plant(install):
        path = os.path.join(install.root, "runtime-elsewhere")
        if kind == "file":
            with open(path, "wb") as f:
                f.write(b"planted")
        elif kind == "unwritable":
            return {"XDG_RUNTIME_DIR": "/proc"}, []  # nobody may create a file there, root included
        return {"XDG_RUNTIME_DIR": path}, [path]

    return plant


def lock_file_link(install):
    target = os.path.join(install.root, "target")
    os.symlink(target, install.lock_file)
    return {}, [install.lock_file, target]


UNUSABLE_CASES = [
    ("runtime directory missing", runtime_directory("missing")),
    ("runtime directory is a file", runtime_directory("file")),
    ("runtime directory where nothing can be made", runtime_directory("unwritable")),
    ("lock file planted as a symbolic link", lock_file_link),
    ("private folder planted as a symbolic link", plant_private_folder("link")),
    ("private folder planted as a dangling symbolic link", plant_private_folder("dangling link")),
    ("private folder planted as a file", plant_private_folder("file")),
    ("private folder open to everyone", plant_private_folder("folder", 0o777)),
    ("private folder readable by others", plant_private_folder("folder", 0o755)),
    ("private folder readable by the group", plant_private_folder("folder", 0o750)),
    ("private folder searchable by others", plant_private_folder("folder", 0o701)),
    ("private folder of another user", plant_private_folder("another owner")),
]


class LockPlaceTest(unittest.TestCase):
    def test_where_the_lock_is_made(self):
        cases = [
            ("runtime directory", {}, False),
            ("runtime directory unset", {"XDG_RUNTIME_DIR": None}, True),
            ("runtime directory empty", {"XDG_RUNTIME_DIR": ""}, True),
            ("runtime directory relative", {"XDG_RUNTIME_DIR": "runtime"}, True),
        ]
        for name, changes, private in cases:
            with self.subTest(name):
                install = Installation(self)
                # A relative value would name the runtime directory from here; it must not be used.
                result = install.run(ARGS, env=install.environment(**changes), cwd=install.root)
                assert_quiet_exit(self, result)
                install.wait_for_companion()

                folder = private_lock_folder(install) if private else install.runtime
                if private:
                    status = os.lstat(folder)
                    self.assertTrue(stat.S_ISDIR(status.st_mode))
                    self.assertEqual((stat.S_IMODE(status.st_mode), status.st_uid), (0o700, os.geteuid()))
                    self.assertEqual(os.listdir(install.runtime), [])
                else:
                    self.assertFalse(os.path.lexists(private_lock_folder(install)))
                status = os.lstat(os.path.join(folder, LOCK_NAME))
                self.assertTrue(stat.S_ISREG(status.st_mode))
                self.assertEqual((stat.S_IMODE(status.st_mode) & 0o077, status.st_uid, status.st_size),
                                 (0, os.geteuid(), 0))

    def test_an_unusable_place_launches_all_the_same(self):
        for name, plant in UNUSABLE_CASES:
            with self.subTest(name):
                if name.endswith("another user") and os.geteuid() != 0:
                    self.skipTest("only root can plant a folder of another user")
                install = Installation(self)
                changes, watched = plant(install)
                before = [snapshot(path) for path in watched]
                result = install.run(ARGS, env=install.environment(**changes))
                assert_quiet_exit(self, result)
                install.wait_for_companion()
                self.assertEqual([snapshot(path) for path in watched], before)


if __name__ == "__main__":
    unittest.main()
