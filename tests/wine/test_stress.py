"""Many launchers under Wine: one after another, and all together. None may hang or fail, every
companion that starts must have its arguments intact, and nothing may be left behind that keeps
the next launcher from launching."""

import re

import winerun
from launcher_case import FIXTURES, WINE, LauncherTestCase, main, prefix, program_name_and_tail

SEQUENTIAL = 200
TOGETHER = 50
EACH_LAUNCHER_MS = 10000  # a launcher ends at once; this only tells a hang from a slow machine
CROWD_MS = 20000
TAIL = re.compile(r'run(\d+) "blank separated (\d+)"')


class StressTest(LauncherTestCase):
    def crowd(self, folder, count, mode):
        result = self.work / f"{mode}.txt"
        code, _ = prefix.run([WINE, FIXTURES / "kestrel_crowd.exe",
                              winerun.windows_path(folder / "LauncherKestrel.exe"), count, mode,
                              winerun.windows_path(result)], timeout=600)
        self.assertEqual(code, 0, "the crowd fixture failed: " + (result.read_text() if result.exists() else ""))
        lines = [dict(pair.split("=") for pair in line.split()[1:]) for line in result.read_text().splitlines()]
        runs, job = lines[:-1], lines[-1]
        self.assertEqual(len(runs), count)
        self.assertEqual(job["active"], "0", "a process is still running")
        return runs, int(job["total"])

    def companions(self, folder):
        """The launcher indices that the companions received."""
        indices = []
        for path in sorted(folder.glob("Quillmere.*.record")):
            command_line = path.read_bytes().decode("utf-16-le", errors="surrogatepass").split("\0")[0]
            _, tail = program_name_and_tail(command_line)
            match = TAIL.fullmatch(tail)
            self.assertIsNotNone(match, f"arguments damaged: {tail!r}")
            self.assertEqual(match.group(1), match.group(2))
            indices.append(int(match.group(1)))
            path.unlink()
        return indices

    def assertLaunchesAgain(self, folder):
        self.assertLaunched(self.launch(folder / "LauncherKestrel.exe", self.quoted(folder) + " again"),
                            folder, "again")

    def test_launchers_one_after_another(self):
        folder = self.stage()
        runs, processes = self.crowd(folder, SEQUENTIAL, "sequential")
        self.assertEqual({run["exit"] for run in runs}, {"0"})
        slowest = max(float(run["ms"]) for run in runs)
        self.assertLess(slowest, EACH_LAUNCHER_MS)
        # Each launcher had ended before the next began, so each one launched.
        self.assertEqual(sorted(self.companions(folder)), list(range(SEQUENTIAL)))
        self.assertEqual(processes, 2 * SEQUENTIAL, "launchers and companions, nothing else")
        self.assertLaunchesAgain(folder)
        print(f"\n{SEQUENTIAL} launchers one after another: slowest {slowest:.0f} ms, "
              f"median {sorted(float(r['ms']) for r in runs)[SEQUENTIAL // 2]:.0f} ms")

    def test_launchers_all_together(self):
        folder = self.stage()
        runs, processes = self.crowd(folder, TOGETHER, "together")
        self.assertEqual({run["exit"] for run in runs}, {"0"})
        self.assertLess(float(runs[0]["ms"]), CROWD_MS)
        launched = self.companions(folder)
        self.assertGreaterEqual(len(launched), 1)
        self.assertEqual(processes, TOGETHER + len(launched), "launchers and companions, nothing else")
        self.assertEqual(len(launched), len(set(launched)), "a launcher started two companions")
        self.assertLaunchesAgain(folder)
        print(f"\n{TOGETHER} launchers together: all ended within {float(runs[0]['ms']):.0f} ms, "
              f"{len(launched)} launched")


if __name__ == "__main__":
    main()
