#!/usr/bin/env python3
"""Writes the fuzzers' seed corpus: the awkward cases of the unit and Wine tests. Run it again
after changing the cases; its output is committed."""

import hashlib
import pathlib

HERE = pathlib.Path(__file__).parent / "corpus"

COMMAND_LINES = [
    '"C:\\Apps\\LauncherKestrel.exe" /a "b c"', '"C:\\Apps\\LauncherKestrel.exe"  /a',
    '"C:\\Apps\\LauncherKestrel.exe" ', '"C:\\Apps\\LauncherKestrel.exe"', 'C:\\Apps\\LauncherKestrel.exe /a',
    'LauncherKestrel /scan', '"C:\\Apps\\LauncherKestrel.exe\t/a', '"C:\\x.exe /a b', '"', '""  x', '',
    ' /a', '\t\t', '"C:\\x.exe"abc', 'C:\\PROGRA~1\\KESTREL\\LAUNCH~1.EXE -x',
    '"C:\\Caf\u00e9\\L.exe" \u00e9t\u00e9 \u6f22\u5b57 \U0001F600', '"C:\\x.exe" ' + "x" * 5000,
]

WINDOWS_PATHS = [
    "C:\\Apps\\LauncherKestrel.exe", "C:\\LauncherKestrel.exe", "\\\\server\\share\\LauncherKestrel.exe",
    "\\\\server\\share\\apps\\LauncherKestrel.exe", "\\\\?\\C:\\Apps\\LauncherKestrel.exe",
    "\\\\?\\C:\\LauncherKestrel.exe", "\\\\?\\UNC\\server\\share\\LauncherKestrel.exe", "\\LauncherKestrel.exe",
    "LauncherKestrel.exe", "\\\\server", "\\\\", "C:", "C:x.exe",
    "C:\\" + "\\".join(["a-folder-name-of-forty-characters-long-x"] * 8) + "\\LauncherKestrel.exe",
    "Z:\\Scan D\u00e9p\u00f4t \u6f22\u5b57 \U0001F600\\LauncherKestrel.exe",
]

POSIX_PATHS = ["/opt/kestrel/LauncherKestrel", "/LauncherKestrel", "LauncherKestrel", "/", "//x", "a/b/"]


def write(folder, data):
    folder.mkdir(parents=True, exist_ok=True)
    (folder / hashlib.sha1(data).hexdigest()).write_bytes(data)


def main():
    for line in COMMAND_LINES:
        write(HERE / "ArgumentTail", line.encode("utf-16-le"))
    for path in WINDOWS_PATHS:
        for mode in (1, 3, 1 | 4 | (3 << 3)):  # cut off with or without a zero; repeated to grow long
            write(HERE / "LaunchFolder", bytes([mode]) + path.encode("utf-16-le"))
    for path in POSIX_PATHS:
        write(HERE / "LaunchFolder", bytes([0]) + path.encode("utf-8"))


if __name__ == "__main__":
    main()
