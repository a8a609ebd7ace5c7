"""Runs the POSIX launcher as a real process, installed in a folder of its own beside the fixture
companion, and reads back what each companion that started recorded about its start."""

import os
import shutil
import subprocess
import tempfile
import time

LAUNCHER = os.environ["KESTREL_LAUNCHER"]
COMPANION_FIXTURE = os.environ["KESTREL_COMPANION_FIXTURE"]

LAUNCHER_NAME = "LauncherKestrel"
COMPANION_NAME = "Quillmere.exe"
LOCK_NAME = "{7C3E91A4-2D6B-4f08-9A5E-C41B7D0E83F2}"

# A companion that starts has written its record by then; one that has not, never started.
RECORD_TIMEOUT = 10.0
NOTHING_STARTED_GRACE = 0.5
LAUNCHER_TIMEOUT = 20.0


def private_lock_folder_name():
    return f"LauncherKestrel-{os.geteuid()}"


class Record:
    """What one companion recorded about its own start."""

    def __init__(self, data):
        fields = data.split(b"\0")[:-1]
        self.pid, self.sid, self.pgid = (int(f) for f in fields[0:3])
        self.has_terminal = fields[3] == b"1"
        self.cwd = fields[4]
        self.descriptors = [int(f) for f in fields[5].split(b",") if f]
        argc = int(fields[6])
        self.argv = fields[7:]
        assert len(self.argv) == argc, (argc, self.argv)


class Installation:
    """A folder holding a copy of the launcher and the fixture companion, under a temporary root
    that also holds the launcher's runtime directory (its lock), its temporary directory and the
    companions' records. Removed when the test ends."""

    def __init__(self, test, folder=os.path.join("Kestrel", "bin"), companion=True):
        self.test = test
        self.root = tempfile.mkdtemp(prefix="kestrel-posix-")
        test.addCleanup(shutil.rmtree, self.root, ignore_errors=True)
        os.chmod(self.root, 0o755)
        self.folder = os.path.join(self.root, folder)
        os.makedirs(self.folder)
        self.launcher = os.path.join(self.folder, LAUNCHER_NAME)
        shutil.copy2(LAUNCHER, self.launcher)
        self.companion = os.path.join(self.folder, COMPANION_NAME)
        if companion:
            shutil.copy2(COMPANION_FIXTURE, self.companion)
        self.runtime = self.make_dir("runtime", 0o700)
        self.temporary = self.make_dir("tmp", 0o755)
        self.records = None
        self.new_records()
        self.held = []
        test.addCleanup(self.release_held)

    def make_dir(self, name, mode=0o755):
        path = os.path.join(self.root, name)
        os.makedirs(path)
        os.chmod(path, mode)
        return path

    def new_records(self):
        """A fresh, empty record folder for the runs that follow."""
        self.records = tempfile.mkdtemp(prefix="records-", dir=self.root)
        return self.records

    @property
    def lock_file(self):
        return os.path.join(self.runtime, LOCK_NAME)

    def environment(self, **changes):
        """The launcher's environment: the test's own, with a runtime and a temporary directory of
        this installation's. A change to None unsets the variable."""
        env = dict(os.environ)
        env.update(XDG_RUNTIME_DIR=self.runtime, TMPDIR=self.temporary, QUILLMERE_RECORD_DIR=self.records)
        if self.held:
            env["QUILLMERE_HOLD_FILE"] = self.held[-1]
        for name, value in changes.items():
            if value is None:
                env.pop(name, None)
            else:
                env[name] = value
        return env

    def run(self, arguments=(), env=None, **popen):
        """Runs the launcher to its end; `popen` goes to subprocess (cwd, executable, ...). Its
        output goes to files, not pipes: the companion inherits them and may outlive it."""
        command = popen.pop("command", None) or [self.launcher, *arguments]
        popen.setdefault("stdin", subprocess.DEVNULL)
        with tempfile.TemporaryFile() as stdout, tempfile.TemporaryFile() as stderr:
            popen.setdefault("stdout", stdout)
            popen.setdefault("stderr", stderr)
            launcher = subprocess.Popen(command, env=env or self.environment(), **popen)
            try:
                returncode = launcher.wait(timeout=LAUNCHER_TIMEOUT)
            finally:
                launcher.kill()
            stdout.seek(0)
            stderr.seek(0)
            return subprocess.CompletedProcess(command, returncode, stdout.read(), stderr.read())

    def hold_companions(self):
        """Companions started from now on (with environment() made from now on) stay running
        until release_held()."""
        hold = os.path.join(self.root, f"hold-{len(self.held)}")
        open(hold, "wb").close()
        self.held.append(hold)
        return hold

    def release_held(self):
        for hold in self.held:
            if os.path.exists(hold):
                os.unlink(hold)

    def wait_until_done(self, record, timeout=RECORD_TIMEOUT):
        """True when the held companion of `record` ended on its own after its release."""
        done = os.path.join(self.records, f"{record.pid}.done")
        deadline = time.monotonic() + timeout
        while not os.path.exists(done):
            if time.monotonic() > deadline:
                return False
            time.sleep(0.01)
        return True

    def started(self):
        """The records of the companions started so far, by pid."""
        records = {}
        for name in os.listdir(self.records):
            if name.endswith(".rec"):
                with open(os.path.join(self.records, name), "rb") as f:
                    record = Record(f.read())
                records[record.pid] = record
        return records

    def wait_for_companions(self, count, timeout=RECORD_TIMEOUT):
        deadline = time.monotonic() + timeout
        while len(self.started()) < count and time.monotonic() < deadline:
            time.sleep(0.01)
        return list(self.started().values())

    def wait_for_companion(self):
        records = self.wait_for_companions(1)
        self.test.assertEqual(len(records), 1, "exactly one companion should have started")
        return records[0]

    def assert_nothing_started(self):
        time.sleep(NOTHING_STARTED_GRACE)
        self.test.assertEqual(os.listdir(self.records), [], "no companion should have started")


def assert_quiet_exit(test, result):
    """Exit code 0 and nothing on either stream. What the launcher wrote (a sanitizer's report,
    say) is shown in full when it fails."""
    test.assertEqual((result.returncode, result.stdout, result.stderr), (0, b"", b""),
                     result.stderr.decode(errors="replace"))


def assert_exit_code_zero(test, result):
    test.assertEqual(result.returncode, 0, result.stderr.decode(errors="replace"))


def real(path):
    return os.fsencode(os.path.realpath(path))
