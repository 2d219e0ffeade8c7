"""The virtual board (board/emulator/, native halvik-board) as a peer of the
end-to-end tests, and settings folders written through the settings tool.

    board = vboard            # a running virtual board for this test
    board.env                 # {"HALVIK_BOARD": "127.0.0.1:<driver port>"} for wine.start
    board.press("8D-46-...")  # a remote button: the signature is the firmware's
    board.sent()              # (count, code text of the last transmission)
    board.outlets()           # "1 0 0 0"
    board.pull(); board.plug()
"""
from __future__ import annotations

import json
import socket
import subprocess
import time

import pytest

from harness import BUILD_NATIVE, UiError, find_built, free_port, wait_for


class VirtualBoard:
    def __init__(self, log_path):
        self.driver_port = free_port()
        self.control_port = free_port()
        exe = find_built("halvik-board", BUILD_NATIVE)
        self._log = open(log_path, "wb")
        self.proc = subprocess.Popen(
            [str(exe), "--driver-port", str(self.driver_port), "--control-port", str(self.control_port),
             "--verbose"], stdout=self._log, stderr=subprocess.STDOUT)
        self._sock = wait_for(self._connect, 10, 0.05, "the virtual board")
        self._file = self._sock.makefile("rwb")

    def _connect(self):
        try:
            return socket.create_connection(("127.0.0.1", self.control_port), timeout=10)
        except OSError:
            return None

    @property
    def env(self) -> dict:
        return {"HALVIK_BOARD": f"127.0.0.1:{self.driver_port}"}

    def ask(self, line: str) -> str:
        self._file.write(line.encode() + b"\n")
        self._file.flush()
        return self._file.readline().decode().rstrip("\n")

    def status(self) -> dict:
        return dict(item.split("=", 1) for item in self.ask("status").split())

    def press(self, code: str, signature: str | None = None) -> str:
        return self.ask(f"press {signature} {code}" if signature else f"press {code}")

    def press_when_ready(self, code: str, signature: str | None = None, timeout: float = 20) -> str:
        """Presses once the firmware runs and the last capture has been read."""
        return wait_for(lambda: (lambda r: r if r.startswith("ok") else None)(self.press(code, signature)),
                        timeout, 0.1, "the board to take a button press")

    def sent(self) -> tuple[int, str]:
        count, text = self.ask("sent").split(" ", 1)
        return int(count), text

    def outlets(self) -> str:
        return self.ask("outlets")

    def pull(self) -> None:
        assert self.ask("pull") == "ok"

    def plug(self) -> None:
        assert self.ask("plug") == "ok"

    def wait_initialised(self, downloads: int = 1, timeout: float = 30) -> None:
        """Until the firmware has been downloaded that often and the start-up commands have arrived."""
        wait_for(lambda: (lambda s: int(s["downloads"]) >= downloads and s["firmware"] == "1"
                          and s["present"] == "1" and s["oec"] == "0F")(self.status()),
                 timeout, 0.1, "the engine to initialise the board")

    def wait_open_attempt(self, timeout: float = 30) -> None:
        """Until a program has tried to open the board (and, if it is pulled, failed)."""
        wait_for(lambda: int(self.status()["attempts"]) >= 1, timeout, 0.1, "a program to open the board")

    def close(self) -> None:
        try:
            self._sock.close()
        finally:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
            self._log.close()


@pytest.fixture
def vboard(tmp_path):
    board = VirtualBoard(tmp_path / "halvik-board.log")
    yield board
    board.close()


def answer_box(ui, button: str, within: float = 60) -> str:
    """Presses button in the board's message box (no caption) once it shows;
    returns its text. Asks again in short rounds: on a busy machine one UI
    driver run may stall past its own wait."""
    deadline = time.monotonic() + within
    last = None
    while time.monotonic() < deadline:
        try:
            return ui("msgbox", "--button", button, "--box-title", "", "--timeout", "3000", timeout=20)
        except (UiError, subprocess.TimeoutExpired) as e:
            last = e
    raise TimeoutError(f"no message box to answer {button} within {within:.0f}s: {last}")


def write_settings(progdir, settings: dict) -> None:
    """Writes settings files into the program folder with halvik-settings import
    (the JSON of halvik-settings export: file name -> {number: [fields]} or [fields])."""
    tool = find_built("halvik-settings", BUILD_NATIVE)
    data = {"passwords": "plain", **settings}
    r = subprocess.run([str(tool), "import", str(progdir.path)], input=json.dumps(data, ensure_ascii=False).encode(),
                       capture_output=True, timeout=30)
    assert r.returncode == 0, r.stderr.decode(errors="replace")


def start_engine(wine, progdir, board: VirtualBoard):
    progdir.install("halvik.exe")
    return wine.start(progdir.exe("halvik.exe"), env=board.env)


def code_text(data: bytes) -> str:
    """Bytes as code text, up to and including the first 0xFF."""
    out = []
    for b in data:
        out.append("%02X-" % b)
        if b == 0xFF:
            break
    return "".join(out)


def wait_until(predicate, what: str, timeout: float = 15):
    return wait_for(predicate, timeout, 0.1, what)


def settle(seconds: float = 0.5) -> None:
    time.sleep(seconds)
