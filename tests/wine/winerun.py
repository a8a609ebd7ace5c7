"""Runs Windows programs under 64-bit Wine for the tests: one prefix of the tests' own, its server
started first (so no Wine process keeps a pipe of ours open), every output sent to files."""

import os
import pathlib
import shutil
import subprocess
import time

WINE_DIR = pathlib.Path("/usr/lib/wine")
WINE64 = WINE_DIR / "wine64"
# The loader for each architecture's programs; 32-bit ones need Debian's wine32 (and a kernel that
# runs 32-bit code), which many machines do not have.
LOADERS = {"x64": WINE64, "x86": WINE_DIR / "wine"}
WINESERVER = WINE_DIR / "wineserver"


def windows_path(path):
    """The Wine spelling of a Unix path: drive Z: is the Unix root."""
    return "Z:" + str(pathlib.Path(path).resolve()).replace("/", "\\")


class Prefix:
    def __init__(self, directory):
        self.directory = pathlib.Path(directory)
        self.logs = self.directory.parent / "wine-logs"
        self.env = dict(os.environ)
        self.env.update(
            WINEPREFIX=str(self.directory),
            WINEDEBUG="-all,warn+seh",  # warn+seh shows what programs send to the debugger
            WINEDLLOVERRIDES="mscoree=;mshtml=",  # no Mono or Gecko installers at first start
            WINEARCH="win64",
        )
        self.env.pop("DISPLAY", None)
        self.env.pop("WAYLAND_DISPLAY", None)
        self._runs = 0

    def start(self):
        self.logs.mkdir(parents=True, exist_ok=True)
        first_start = not (self.directory / "system.reg").exists()
        self._server()
        if first_start:
            self.run([WINE64, "wineboot", "-i"], timeout=300)
            self._server()

    def _server(self):
        subprocess.run([WINESERVER, "-p"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)

    def stop(self):
        subprocess.run([WINESERVER, "-k"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)

    def drive(self, letter, target):
        """Maps a drive letter of the prefix onto a Unix folder."""
        link = self.directory / "dosdevices" / (letter.lower() + ":")
        if link.is_symlink() or link.exists():
            link.unlink()
        link.symlink_to(pathlib.Path(target).resolve())

    def run(self, argv, timeout=120):
        """Runs a Wine command to its end; returns (exit code, stderr text)."""
        self._runs += 1
        out = self.logs / f"run{self._runs}.out"
        err = self.logs / f"run{self._runs}.err"
        with open(out, "wb") as stdout, open(err, "wb") as stderr:
            completed = subprocess.run([str(a) for a in argv], env=self.env, stdin=subprocess.DEVNULL,
                                       stdout=stdout, stderr=stderr, timeout=timeout, check=False)
        return completed.returncode, err.read_text(errors="replace")

    def spawn(self, argv):
        """Starts a Wine command in the background."""
        self._runs += 1
        out = open(self.logs / f"run{self._runs}.out", "wb")
        err = open(self.logs / f"run{self._runs}.err", "wb")
        process = subprocess.Popen([str(a) for a in argv], env=self.env, stdin=subprocess.DEVNULL,
                                   stdout=out, stderr=err)
        out.close()
        err.close()
        return process


def wait_for(predicate, timeout, interval=0.05):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(interval)
    return predicate()


def fresh_directory(path):
    path = pathlib.Path(path)
    if path.exists():
        shutil.rmtree(path)
    path.mkdir(parents=True)
    return path
