"""Many launchers: two hundred one after another, each of which launches, and fifty started
together. Every one ends with exit code 0 within a few seconds, every companion that starts has
its arguments intact, and nothing is left behind that keeps the next launcher from launching."""

import os
import subprocess
import sys
import time
import unittest

from kestrel_process import Installation, assert_quiet_exit

LAUNCHERS = 50
DEADLINE_SECONDS = 5.0
SEQUENTIAL = 200

# Each launcher waits behind a gate in a small shell, so that all of them are released at the
# same moment rather than one after another as they are spawned; the shell then becomes the
# launcher, keeping its pid and so its exit code.
GATE = 'echo >&{ready}; read -r _ <&{gate}; exec {ready}>&- {gate}<&-; exec "$0" "$@"'


def arguments_of(i):
    return [b"stress", str(i).encode(), b"a b", b'q"uote', b"back\\slash", b"new\nline", "漢字".encode(), b""]


class StressTest(unittest.TestCase):
    def test_two_hundred_launchers_one_after_another(self):
        install = Installation(self)
        slowest = 0.0
        for i in range(SEQUENTIAL):
            started = time.monotonic()
            assert_quiet_exit(self, install.run(arguments_of(i)))
            slowest = max(slowest, time.monotonic() - started)
        self.assertLess(slowest, DEADLINE_SECONDS)
        # Each launcher had ended before the next began, so each one launched, once.
        records = install.wait_for_companions(SEQUENTIAL)
        self.assertEqual(sorted(int(record.argv[2]) for record in records), list(range(SEQUENTIAL)))
        for record in records:
            self.assertEqual(record.argv[1:], arguments_of(int(record.argv[2])))
        self.assertLaunchesAgain(install)
        print(f"\n{SEQUENTIAL} launchers one after another; slowest {slowest * 1000:.1f} ms", file=sys.stderr)

    def assertLaunchesAgain(self, install):
        install.new_records()
        assert_quiet_exit(self, install.run([b"again"]))
        self.assertEqual([record.argv[1:] for record in install.wait_for_companions(1)], [[b"again"]])

    def test_fifty_launchers_started_together(self):
        install = Installation(self)
        env = install.environment()
        ready_read, ready_write = os.pipe()
        gate_read, gate_write = os.pipe()
        script = GATE.format(ready=ready_write, gate=gate_read)
        launchers = []
        try:
            for i in range(LAUNCHERS):
                launchers.append(subprocess.Popen(
                    ["/bin/sh", "-c", script, install.launcher, *arguments_of(i)], env=env,
                    stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                    pass_fds=(ready_write, gate_read)))
            os.close(ready_write)
            os.close(gate_read)
            waiting = 0
            while waiting < LAUNCHERS:
                chunk = os.read(ready_read, 4096)
                self.assertTrue(chunk, "a gated launcher ended before the gate opened")
                waiting += chunk.count(b"\n")
        finally:
            opened = time.monotonic()
            os.close(gate_write)
            os.close(ready_read)

        results = [(p.wait(timeout=60), p.stdout.read(), p.stderr.read()) for p in launchers]
        elapsed = time.monotonic() - opened
        for p in launchers:
            p.stdout.close()
            p.stderr.close()
        failed = [(i, result) for i, result in enumerate(results) if result != (0, b"", b"")]
        self.assertEqual([i for i, _ in failed], [], "\n".join(r[2].decode(errors="replace") for _, r in failed[:3]))
        self.assertLess(elapsed, DEADLINE_SECONDS)

        records = self.wait_until_settled(install)
        self.assertGreaterEqual(len(records), 1)
        indices = [int(record.argv[2]) for record in records]
        self.assertEqual(len(set(indices)), len(indices), "one launcher started two companions")
        for record in records:
            self.assertEqual(record.argv[1:], arguments_of(int(record.argv[2])))
        self.assertLaunchesAgain(install)
        print(f"\n{LAUNCHERS} launchers released together ended in {elapsed:.3f} s; "
              f"{len(records)} companion(s) started", file=sys.stderr)

    def wait_until_settled(self, install, quiet=1.0, timeout=20.0):
        """The companions' records once no more are coming: every companion was started before
        its launcher ended, so only their writing remains."""
        deadline = time.monotonic() + timeout
        count, since = -1, time.monotonic()
        while time.monotonic() < deadline:
            names = os.listdir(install.records)
            if len(names) != count or any(name.endswith(".part") for name in names):
                count, since = len(names), time.monotonic()
            elif time.monotonic() - since >= quiet:
                break
            time.sleep(0.02)
        return list(install.started().values())


if __name__ == "__main__":
    unittest.main()
