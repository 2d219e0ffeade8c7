"""Peers and settings of the messaging end-to-end tests.

The engine talks to the fixed ports of its protocols (POP3 110, SMTP 25,
FTP 21), so each server here listens on its port at a loopback address of
its own (127.0.0.x, chosen where the port is free) rather than on 127.0.0.1,
where another program of this machine may hold it. The servers are the
peers of tests/peers/messaging_peers.py, started and stopped by process id.
Settings folders are written with the settings tool (plain passwords in, the
editor's cipher on disk).
"""
from __future__ import annotations

import json
import os
import random
import shutil
import signal
import socket
import subprocess
import tempfile
import time
from pathlib import Path

import pytest

from harness import BUILD_NATIVE, ROOT, wait_for

PEERS = ROOT / "tests" / "peers" / "messaging_peers.py"
SETTINGS_TOOL = BUILD_NATIVE / "tools" / "halvik-settings"
ENGINE_ENV = {"HALVIK_NET_BIND": "127.0.0.1"}  # the engine's listeners stay on loopback


def loopback_with_free_port(port: int) -> str:
    for _ in range(50):
        host = "127.0.0.%d" % random.randint(20, 250)
        with socket.socket() as s:
            s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
            try:
                s.bind((host, port))
                return host
            except OSError:
                continue
    raise RuntimeError(f"no loopback address with port {port} free")


class Peer:
    """One server process; .port once it listens, .stop() by its pid."""

    def __init__(self, *args: str):
        self.proc = subprocess.Popen(["/usr/bin/python3", str(PEERS), *args], stdout=subprocess.PIPE,
                                     stdin=subprocess.DEVNULL)
        line = self.proc.stdout.readline().decode()
        self.port = int(line.split()[1]) if line.startswith("port ") else 0
        if not self.port:
            self.stop()
            raise RuntimeError(f"peer {args[0]} did not start")

    def stop(self) -> None:
        if self.proc.poll() is None:
            os.kill(self.proc.pid, signal.SIGTERM)
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                os.kill(self.proc.pid, signal.SIGKILL)
                self.proc.wait()


@pytest.fixture
def scratch():
    d = Path(tempfile.mkdtemp(prefix="halvik-msg-"))
    d.chmod(0o755)
    yield d
    shutil.rmtree(d, ignore_errors=True)


class Mailbox:
    """dovecot on port 110 serving testuser/testpass."""

    def __init__(self, base: Path, source: Path):
        self.host = loopback_with_free_port(110)
        self.dir = base / "pop3"
        self.peer = Peer("pop3", str(self.dir), str(source), "--host", self.host, "--port", "110")
        self.maildir = self.dir / "mail" / "testuser" / "Maildir"
        self.count = 0

    def deliver(self, raw: bytes) -> None:
        self.count += 1
        tmp = self.maildir / "tmp" / f"{self.count}.e2e"
        tmp.write_bytes(raw)
        shutil.chown(tmp, "nobody", "nogroup")
        tmp.rename(self.maildir / "new" / f"{1700000000 + self.count}.e2e{self.count}.test")

    def messages(self) -> list[Path]:
        return sorted((self.maildir / "new").iterdir()) + sorted((self.maildir / "cur").iterdir())


@pytest.fixture
def mailbox(scratch):
    empty = scratch / "empty"
    empty.mkdir()
    box = Mailbox(scratch, empty)
    yield box
    box.peer.stop()


class SmtpBox:
    def __init__(self, base: Path):
        self.host = loopback_with_free_port(25)
        self.dir = base / "smtp"
        self.peer = Peer("smtp", str(self.dir), "--host", self.host, "--port", "25")

    def mail(self, n: int = 1, timeout: float = 60) -> bytes:
        path = self.dir / f"{n}.eml"
        wait_for(path.exists, timeout, what=f"mail {n} at the SMTP server")
        return path.read_bytes()

    def envelope(self, n: int = 1) -> str:
        return (self.dir / f"{n}.env").read_text()


@pytest.fixture
def smtp_box(scratch):
    box = SmtpBox(scratch)
    yield box
    box.peer.stop()


class TcpListener:
    def __init__(self, base: Path):
        self.dir = base / "tcp"
        self.peer = Peer("tcp", str(self.dir))
        self.port = self.peer.port

    def received(self, n: int = 1, timeout: float = 60) -> bytes:
        path = self.dir / f"{n}.bin"
        wait_for(path.exists, timeout, what=f"text {n} at the TCP listener")
        return path.read_bytes()


@pytest.fixture
def tcp_listener(scratch):
    listener = TcpListener(scratch)
    yield listener
    listener.peer.stop()


class FtpServer:
    user = "halvikftp%d" % random.randint(1000, 9999)
    password = "ftp-pass1"

    def __init__(self, base: Path):
        self.host = loopback_with_free_port(21)
        self.dir = base / "ftp"
        self.dir.mkdir()
        self.peer = Peer("ftp", str(self.dir), self.user, self.password, "--host", self.host, "--port", "21")
        self.home = self.dir / "home"

    def file(self, name: str, size: int | None = None, timeout: float = 60) -> bytes:
        path = self.home / name
        wait_for(lambda: path.exists() and (size is None or path.stat().st_size >= size), timeout,
                 what=f"{name} on the FTP server")
        return path.read_bytes()

    def stop(self) -> None:
        self.peer.stop()
        subprocess.run(["/usr/bin/python3", str(PEERS), "ftp-cleanup", self.user])


@pytest.fixture
def ftp_server(scratch):
    server = FtpServer(scratch)
    yield server
    server.stop()


def write_settings(progdir, settings: dict) -> None:
    """Writes the settings files of the dict (the settings tool's JSON, plain passwords)."""
    doc = {"passwords": "plain", **settings}
    r = subprocess.run([str(SETTINGS_TOOL), "import", str(progdir.path)], input=json.dumps(doc).encode(),
                       stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    assert r.returncode == 0, r.stderr.decode()


def interval_event(seconds: int) -> list[str]:
    """An interval event of every day, all day, every `seconds`."""
    return ["毎日", "", "", "00時00分", "23時59分", str(seconds), ""]


def _engine_running(wine) -> bool:
    for pid in wine.prefix_pids():
        try:
            if Path(f"/proc/{pid}/cmdline").read_bytes().split(b"\0")[0].lower().endswith(b"halvik.exe"):
                return True
        except OSError:
            continue
    return False


def start_engine(wine, progdir, ui):
    progdir.install("halvik.exe")
    proc = wine.start(progdir.exe("halvik.exe"), env=ENGINE_ENV)
    # The first programs after a fresh wineserver race: the driver starts
    # once the engine runs.
    wait_for(lambda: _engine_running(wine), 30, what="the engine process")
    time.sleep(1)
    ui("wait", "--class", "HALVIK-TOP-CLASS-NAME", "--timeout", "30000", timeout=60)
    return proc


def log_messages(ui) -> list[str]:
    out = ui("listview", "--title", "Halvikログ", "--id", "1100")
    return [line.split("\t", 2)[2] for line in out.splitlines() if line.count("\t") >= 2]


def wait_log(ui, predicate, timeout: float, what: str) -> list[str]:
    found: list[str] = []

    def check():
        found[:] = log_messages(ui)
        return predicate(found)

    wait_for(check, timeout, interval=1.0, what=what)
    return found
