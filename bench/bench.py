#!/usr/bin/env python3
"""Whole-process launch latency: from the start of a launcher to its end, the companion started.

Natively, dist/posix/LauncherKestrel against the floor (bench/posix/floor.c: the lock, the spawn,
exit). Under 64-bit Wine, dist/x64/LauncherKestrel.exe against the floor (bench/win32/floor.c:
the same Win32 calls) and against what a user would write instead, `cmd /c start`. Runs are
interleaved, so that a change in the machine's load touches every candidate alike; the table
gives medians and each candidate's ratio to its floor, all from this one invocation.

    python3 bench/bench.py [--native-rounds N] [--wine-rounds N]
"""

import argparse
import os
import pathlib
import platform
import shutil
import statistics
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "wine"))
import winerun  # noqa: E402

WORK = ROOT / "build" / "bench"
ARGUMENTS = ["/a", "b c"]


def stage(folder, files):
    folder = winerun.fresh_directory(folder)
    for name, source in files.items():
        shutil.copy(source, folder / name)
    return folder


def time_native(rounds):
    folder = stage(WORK / "posix", {
        "LauncherKestrel": ROOT / "dist" / "posix" / "LauncherKestrel",
        "KestrelFloor": ROOT / "build" / "posix" / "bench" / "kestrel_bench_floor",
        "Quillmere.exe": ROOT / "build" / "posix" / "bench" / "kestrel_bench_companion",
    })
    candidates = {"launcher": folder / "LauncherKestrel", "floor": folder / "KestrelFloor"}
    # Both take their lock in a runtime directory, as in a user's session.
    environment = dict(os.environ, XDG_RUNTIME_DIR=str(winerun.fresh_directory(WORK / "runtime")))
    os.chmod(environment["XDG_RUNTIME_DIR"], 0o700)
    times = {name: [] for name in candidates}
    names = list(candidates)
    for round_number in range(rounds):
        for i in range(len(names)):
            name = names[(round_number + i) % len(names)]
            program = str(candidates[name])
            started = time.perf_counter_ns()
            pid = os.posix_spawn(program, [program] + ARGUMENTS, environment)
            _, status = os.waitpid(pid, 0)
            ended = time.perf_counter_ns()
            if os.waitstatus_to_exitcode(status) != 0:
                raise SystemExit(f"{name} failed")
            times[name].append((ended - started) / 1e6)
            time.sleep(0.002)  # the companion, in a session of its own, ends in the meantime
    peak_rss = ROOT / "build" / "posix" / "bench" / "kestrel_bench_peak_rss"
    peak_kib = [int(subprocess.run([peak_rss, candidates["launcher"]] + ARGUMENTS, env=environment,
                                   capture_output=True, text=True, check=True).stdout) for _ in range(20)]
    return times, statistics.median(peak_kib)


def time_wine(rounds):
    fixtures = ROOT / "build" / "x64" / "bench"
    folder = stage(WORK / "wine", {
        "LauncherKestrel.exe": ROOT / "dist" / "x64" / "LauncherKestrel.exe",
        "KestrelFloor.exe": fixtures / "kestrel_bench_floor.exe",
        "Quillmere.exe": fixtures / "kestrel_bench_companion.exe",
    })
    prefix = winerun.Prefix(WORK / "prefix")
    prefix.start()
    win_folder = winerun.windows_path(folder)
    tail = '/a "b c"'
    candidates = [
        ("launcher", f"{win_folder}\\LauncherKestrel.exe", f'"{win_folder}\\LauncherKestrel.exe" {tail}', ""),
        ("floor", f"{win_folder}\\KestrelFloor.exe", f'"{win_folder}\\KestrelFloor.exe" {tail}', ""),
        ("cmd-start", "C:\\windows\\system32\\cmd.exe",
         f'cmd.exe /c start "" /D "{win_folder}" "{win_folder}\\Quillmere.exe" {tail}', ""),
    ]
    request = WORK / "wine-request.bin"
    result = WORK / "wine-result.txt"
    fields = [str(rounds)] + [field for candidate in candidates for field in candidate]
    request.write_bytes("".join(f + "\0" for f in fields).encode("utf-16-le"))
    code, _ = prefix.run([winerun.WINE64, fixtures / "kestrel_bench_timer.exe", winerun.windows_path(request),
                          winerun.windows_path(result)], timeout=3600)
    if code != 0:
        raise SystemExit(f"the Wine timer failed ({code})")
    times = {name: [] for name, *_ in candidates}
    for line in result.read_text(encoding="utf-16-le" if result.read_bytes()[1:2] == b"\0" else "utf-8").splitlines():
        name, milliseconds = line.split()
        if float(milliseconds) < 0:
            raise SystemExit(f"{name} could not be started")
        times[name].append(float(milliseconds))
    return times


def imported_dlls(executable):
    dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", str(executable)], capture_output=True, text=True,
                          check=True).stdout
    return [line.split(":", 1)[1].strip() for line in dump.splitlines() if "DLL Name:" in line]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--native-rounds", type=int, default=400)
    parser.add_argument("--wine-rounds", type=int, default=120)
    options = parser.parse_args()

    native, peak_kib = time_native(options.native_rounds)
    wine = time_wine(options.wine_rounds)

    rows = []
    for where, times in (("native", native), ("Wine x64", wine)):
        floor = statistics.median(times["floor"])
        for name, samples in times.items():
            median = statistics.median(samples)
            rows.append((where, name, len(samples), median, median / floor))

    shipped = ROOT / "dist" / "x86" / "LauncherKestrel.exe"
    dlls = imported_dlls(shipped)
    print(f"Machine: {platform.machine()}, {os.cpu_count()} cores, {platform.platform()}")
    print()
    print("| where | candidate | runs | median ms | vs floor |")
    print("| --- | --- | ---: | ---: | ---: |")
    for where, name, runs, median, ratio in rows:
        print(f"| {where} | {name} | {runs} | {median:.3f} | {ratio:.3f}x |")
    print()
    print(f"dist/x86/LauncherKestrel.exe: {shipped.stat().st_size} bytes, {len(dlls)} imported DLLs ({', '.join(dlls)})")
    print(f"native launcher peak resident memory (median): {peak_kib:.0f} KiB")


if __name__ == "__main__":
    main()
