"""The end-to-end harness: the real Windows programs under Wine.

Once per run it makes a Wine prefix with the Japanese locale (ANSI code page
932), an X display (Xvfb) and a Wine virtual desktop that every program with
windows appears in. Per test it makes a scratch program folder into which the
built programs and prepared settings files are copied. It starts and always
stops what it started, by process id, and at the end of each test ends the
prefix's wineserver, so no program outlives its test.
"""
from __future__ import annotations

import os
import shutil
import signal
import socket
import subprocess
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
BUILD_WINDOWS = ROOT / "build" / "windows"
BUILD_NATIVE = ROOT / "build" / "native"
FIXTURES = ROOT / "tests" / "fixtures"
ARTIFACTS = ROOT / "tests" / "e2e" / "artifacts"


class HarnessError(RuntimeError):
    pass


class UiError(RuntimeError):
    """The UI driver exited non-zero: a window or control was missing."""


def free_port() -> int:
    """A TCP port on 127.0.0.1 that nobody listens on right now."""
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for(predicate, timeout: float = 10.0, interval: float = 0.2, what: str = "condition"):
    """Polls predicate until it returns a true value, which is returned."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise TimeoutError(f"timed out after {timeout:.1f}s waiting for {what}")
        time.sleep(interval)


def find_built(name: str, build: Path = BUILD_WINDOWS) -> Path:
    """The built file called name anywhere under a build folder."""
    direct = build / name
    if direct.is_file():
        return direct
    for path in sorted(build.rglob(name)):
        if path.is_file() and "CMakeFiles" not in path.parts:
            return path
    raise HarnessError(f"{name} is not built under {build} (run scripts/build)")


def _free_display() -> int:
    for n in range(90, 200):
        if not Path(f"/tmp/.X{n}-lock").exists() and not Path(f"/tmp/.X11-unix/X{n}").exists():
            return n
    raise HarnessError("no free X display number")


class Wine:
    """One Wine prefix on one X display, shared by the tests of a run."""

    def __init__(self, base: Path):
        self.base = base
        self.prefix = base / "prefix"
        self.display_number = _free_display()
        self.display = f":{self.display_number}"
        self.env = dict(os.environ)
        self.env.update(
            WINEPREFIX=str(self.prefix),
            WINEDEBUG="-all",
            WINEARCH="win64",
            # No Mono or Gecko installer prompts in a fresh prefix.
            WINEDLLOVERRIDES="mscoree,mshtml=",
            LC_ALL="ja_JP.UTF-8",
            LANG="ja_JP.UTF-8",
            DISPLAY=self.display,
        )
        self._xvfb: subprocess.Popen | None = None
        self._tracked: list[subprocess.Popen] = []
        self._logs: list[tuple[str, Path]] = []
        self.log_dir = base / "logs"
        self.log_dir.mkdir(parents=True, exist_ok=True)

    # -- set-up and tear-down of the run ---------------------------------
    def boot(self) -> None:
        self._xvfb = subprocess.Popen(
            ["Xvfb", self.display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(lambda: Path(f"/tmp/.X11-unix/X{self.display_number}").exists(), 20, what="Xvfb")
        self._wine_cmd(["wineboot", "-i"], timeout=180)
        self._wine_cmd(["wineserver", "-w"], timeout=180)
        # Every program runs in one virtual desktop with a taskbar and a
        # notification area (Wine gives the desktop called "shell" its shell),
        # so the tray icon can be seen on a screenshot.
        self._wine_cmd(["wine", "reg", "add", r"HKCU\Software\Wine\Explorer", "/v", "Desktop",
                        "/d", "shell", "/f"], timeout=60)
        self._wine_cmd(["wine", "reg", "add", r"HKCU\Software\Wine\Explorer\Desktops", "/v",
                        "shell", "/d", "1024x768", "/f"], timeout=60)
        self._wine_cmd(["wineserver", "-w"], timeout=60)

    def shutdown(self) -> None:
        self.end_programs()
        if self._xvfb and self._xvfb.poll() is None:
            self._xvfb.terminate()
            try:
                self._xvfb.wait(10)
            except subprocess.TimeoutExpired:
                self._xvfb.kill()

    def _wine_cmd(self, cmd: list[str], timeout: float) -> None:
        r = subprocess.run(cmd, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                           timeout=timeout)
        if r.returncode != 0:
            raise HarnessError(f"{' '.join(cmd)} failed: {r.stdout.decode(errors='replace')[-2000:]}")

    # -- programs ---------------------------------------------------------
    def start(self, exe, *args, env: dict | None = None, cwd=None) -> subprocess.Popen:
        """Starts a Windows program in the background; it is ended with the test."""
        exe = Path(exe)
        log = self.log_dir / f"{exe.stem}-{len(self._logs)}.log"
        full_env = dict(self.env)
        full_env.update(env or {})
        out = open(log, "wb")
        proc = subprocess.Popen(["wine", str(exe), *map(str, args)], env=full_env,
                                cwd=str(cwd or exe.parent), stdout=out, stderr=subprocess.STDOUT,
                                stdin=subprocess.DEVNULL)
        out.close()
        self._tracked.append(proc)
        self._logs.append((exe.name, log))
        return proc

    def run(self, exe, *args, timeout: float = 60, input: bytes | None = None,
            env: dict | None = None, cwd=None) -> subprocess.CompletedProcess:
        """Runs a Windows program to its end and returns its output as bytes."""
        exe = Path(exe)
        full_env = dict(self.env)
        full_env.update(env or {})
        return subprocess.run(["wine", str(exe), *map(str, args)], env=full_env,
                              cwd=str(cwd or exe.parent), input=input, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=timeout)

    def winpath(self, path) -> str:
        """The Windows form of a Linux path, through Wine's Z: drive."""
        return "Z:" + str(Path(path).resolve()).replace("/", "\\")

    def screenshot(self, path) -> Path:
        path = Path(path)
        path.parent.mkdir(parents=True, exist_ok=True)
        subprocess.run(["import", "-display", self.display, "-window", "root", str(path)],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
        return path

    def wait_idle(self, timeout: float = 30) -> None:
        """Waits until every program of the prefix has ended."""
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=timeout)

    def prefix_pids(self) -> list[int]:
        """Process ids of everything running in this prefix (all started by us)."""
        mine = f"WINEPREFIX={self.prefix}".encode()
        pids = []
        for proc in Path("/proc").iterdir():
            if not proc.name.isdigit():
                continue
            try:
                if mine in (proc / "environ").read_bytes().split(b"\0"):
                    pids.append(int(proc.name))
            except OSError:
                continue
        return pids

    def end_programs(self) -> None:
        """Ends every program of the prefix: those the test started and those they started."""
        for proc in self._tracked:
            if proc.poll() is None:
                proc.terminate()
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for proc in self._tracked:
            try:
                proc.wait(10)
            except subprocess.TimeoutExpired:
                proc.kill()
        deadline = time.monotonic() + 10
        while self.prefix_pids() and time.monotonic() < deadline:
            time.sleep(0.2)
        for pid in self.prefix_pids():
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        self._tracked.clear()

    def tracked(self) -> list[subprocess.Popen]:
        """The programs started by the running test."""
        return list(self._tracked)

    def program_logs(self) -> list[tuple[str, Path]]:
        logs, self._logs = self._logs, []
        return logs


class ProgramFolder:
    """A scratch program folder: the built programs and their settings files."""

    def __init__(self, path: Path, wine: Wine):
        self.path = path
        self.wine = wine
        path.mkdir(parents=True, exist_ok=True)

    def install(self, *names: str) -> "ProgramFolder":
        for name in names:
            shutil.copy2(find_built(name), self.path / name)
        return self

    def add_settings(self, folder) -> "ProgramFolder":
        for f in Path(folder).iterdir():
            if f.suffix.lower() == ".bin":
                shutil.copy2(f, self.path / f.name)
        return self

    def write(self, name: str, data: bytes) -> Path:
        p = self.path / name
        p.write_bytes(data)
        return p

    def read(self, name: str) -> bytes:
        return (self.path / name).read_bytes()

    def exists(self, name: str) -> bool:
        return (self.path / name).exists()

    def winpath(self, name: str = "") -> str:
        p = self.wine.winpath(self.path)
        return p + "\\" + name if name else p + "\\"

    def exe(self, name: str) -> Path:
        return self.path / name


def make_ui(wine: Wine):
    """The UI driver as a function: ui("gettext", "--class", C, "--id", "1001") -> str."""
    driver = None

    def ui(*args, timeout: float = 30, check: bool = True) -> str:
        nonlocal driver
        if driver is None:
            driver = find_built("uidriver.exe")
        r = wine.run(driver, *args, timeout=timeout)
        if r.returncode != 0 and not r.stderr.strip():
            # The driver always says why it failed; a silent failure is Wine
            # losing a program start while the prefix's services come up.
            time.sleep(0.5)
            r = wine.run(driver, *args, timeout=timeout)
        out = r.stdout.decode("utf-8", errors="replace")
        if check and r.returncode != 0:
            raise UiError(f"uidriver {' '.join(map(str, args))}: exit {r.returncode}: "
                          f"{r.stderr.decode('utf-8', errors='replace').strip()}")
        return out

    return ui
