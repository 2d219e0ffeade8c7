#!/usr/bin/env python3
"""Messaging figures (not a test; prints numbers):

  1. a mailbox check of 100 messages against dovecot: the time beyond the
     100 x 200 ms pause that the TOP commands require (native client);
  2. event to action over the network, under Wine: from a TCP text sent to
     halvik.exe to the connection of the resulting net send arriving at a
     Linux listener, p50 and p99 over 200 texts; the same path through
     Node-RED (a tcp-in to tcp-out flow) when `node-red` is on PATH or
     installed with `npm install --prefix build/node-red node-red`;
  3. the engine's listener under a burst of 1000 texts: the engine stays up,
     its thread and descriptor counts before, right after and 10 s after.

Needs scripts/build (native and windows) and the UI driver. Usage:
  /usr/bin/python3 tests/bench/messaging_bench.py [--texts N] [--burst N]
"""
from __future__ import annotations

import argparse
import os
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
import harness  # noqa: E402
import peers_messaging as peers  # noqa: E402


class Arrivals:
    """A Linux listener that notes when each connection arrives."""

    def __init__(self):
        self.server = socket.socket()
        self.server.bind(("127.0.0.1", 0))
        self.server.listen(64)
        self.port = self.server.getsockname()[1]
        self.times: list[float] = []
        self.cond = threading.Condition()
        threading.Thread(target=self._serve, daemon=True).start()

    def _serve(self):
        while True:
            conn, _ = self.server.accept()
            t = time.monotonic()
            conn.close()
            with self.cond:
                self.times.append(t)
                self.cond.notify_all()

    def wait(self, count: int, timeout: float = 10) -> float | None:
        with self.cond:
            if not self.cond.wait_for(lambda: len(self.times) >= count, timeout):
                return None
            return self.times[count - 1]


def send(port: int, data: bytes) -> None:
    with socket.create_connection(("127.0.0.1", port), timeout=10) as s:
        s.sendall(data)


def latencies(in_port: int, arrivals: Arrivals, texts: int) -> list[float]:
    out = []
    for i in range(texts):
        t0 = time.monotonic()
        send(in_port, b"GO\0")
        t1 = arrivals.wait(i + 1)
        if t1 is None:
            print(f"  text {i + 1}: no arrival within 10 s; stopping")
            break
        out.append((t1 - t0) * 1000)
    return out


def figures(name: str, ms: list[float]) -> str:
    if not ms:
        return f"{name:10s} no samples"
    q = statistics.quantiles(ms, n=100)
    return f"{name:10s} p50 {statistics.median(ms):7.1f} ms   p99 {q[98]:7.1f} ms   ({len(ms)} texts)"


def mailbox_bench(base: Path) -> None:
    source = base / "hundred"
    source.mkdir()
    for i in range(100):
        (source / f"{i:03d}.eml").write_bytes(
            (f"From: bench@example.jp\r\nSubject: bench {i}\r\nDate: Tue, 7 Jan 2003 20:15:00 +0900\r\n\r\n"
             "body\r\n").encode())
    peer = peers.Peer("pop3", str(base / "pop3"), str(source))
    try:
        tool = harness.BUILD_NATIVE / "tests" / "bench" / "messaging_mailbox" / "bench_messaging_mailbox"
        r = subprocess.run([str(tool), str(peer.port), "testuser", "testpass"], stdout=subprocess.PIPE, text=True)
        print("1. mailbox check of 100 messages:", r.stdout.strip())
    finally:
        peer.stop()


def engine_task_counts(pid: int) -> tuple[int, int]:
    return len(os.listdir(f"/proc/{pid}/task")), len(os.listdir(f"/proc/{pid}/fd"))


def engine_pid(wine) -> int | None:
    for pid in wine.prefix_pids():
        try:
            if Path(f"/proc/{pid}/cmdline").read_bytes().split(b"\0")[0].lower().endswith(b"halvik.exe"):
                return pid
        except OSError:
            pass
    return None


def node_red_latencies(base: Path, texts: int) -> list[float] | None:
    local = ROOT / "build" / "node-red" / "node_modules" / ".bin" / "node-red"
    exe = shutil.which("node-red") or (str(local) if local.exists() else None)
    if not exe:
        return None
    arrivals = Arrivals()
    in_port = harness.free_port()
    flow = base / "flows.json"
    # "tcp request" with "out": "immed" opens a connection per message, sends
    # and closes, as the engine's net send does.
    flow.write_text(
        '[{"id":"in","type":"tcp in","server":"server","host":"127.0.0.1","port":"%d","datamode":"stream",'
        '"datatype":"buffer","newline":"","topic":"","wires":[["out"]]},'
        '{"id":"out","type":"tcp request","server":"127.0.0.1","port":"%d","out":"immed","ret":"buffer",'
        '"splitc":"0","newline":"","wires":[[]]}]' % (in_port, arrivals.port))
    settings = base / "settings.js"
    settings.write_text('module.exports = { uiHost: "127.0.0.1", uiPort: %d, flowFile: "%s" };'
                        % (harness.free_port(), flow))
    proc = subprocess.Popen([exe, "-u", str(base / "nr"), "-s", str(settings)], stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        harness.wait_for(lambda: _listening(in_port), 60, what="node-red's tcp in")
        return latencies(in_port, arrivals, texts)
    finally:
        proc.terminate()
        proc.wait(10)


def _listening(port: int) -> bool:
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=0.2):
            return True
    except OSError:
        return False


def main() -> None:
    ap = argparse.ArgumentParser()
    ap.add_argument("--texts", type=int, default=200)
    ap.add_argument("--burst", type=int, default=1000)
    ap.add_argument("--mailbox-only", action="store_true")
    args = ap.parse_args()
    base = Path(tempfile.mkdtemp(prefix="halvik-msg-bench-"))
    base.chmod(0o755)
    try:
        mailbox_bench(base)
        if args.mailbox_only:
            return

        wine = harness.Wine(base / "wine")
        wine.boot()
        try:
            folder = harness.ProgramFolder(base / "prog", wine)
            ui = harness.make_ui(wine)
            arrivals = Arrivals()
            in_port = harness.free_port()
            peers.write_settings(folder, {
                "setio.bin": {"000": ["○", "501", "701", "bench"]},
                "netrcv.bin": {"501": ["待ち", "127.0.0.1", str(in_port), "GO", ""]},
                "netsnd.bin": {"701": ["する", "127.0.0.1", str(arrivals.port), "DONE", ""]},
            })
            peers.start_engine(wine, folder, ui)
            harness.wait_for(lambda: _listening(in_port), 30, what="the engine's listener")
            engine = figures("halvik", latencies(in_port, arrivals, args.texts))
            nodered = node_red_latencies(base, args.texts)
            print("2. event to action over the network (TCP text -> rule -> net send arrives):")
            print("  ", engine)
            print("  ", figures("node-red", nodered) if nodered is not None
                  else "node-red   not on PATH (npm install -g node-red to compare)")

            if args.burst <= 0:
                return
            pid = engine_pid(wine)
            before = engine_task_counts(pid)
            t0 = time.monotonic()
            for _ in range(args.burst):
                try:
                    send(in_port, b"noise\0")
                except OSError:
                    pass
            sent = time.monotonic() - t0
            right_after = engine_task_counts(pid)
            time.sleep(10)
            after = engine_task_counts(pid) if engine_pid(wine) else None
            print(f"3. burst of {args.burst} texts in {sent:.1f} s: engine "
                  f"{'up' if after else 'GONE'}; threads/descriptors before {before}, "
                  f"right after {right_after}, 10 s after {after}")
        finally:
            wine.end_programs()
            wine.shutdown()
    finally:
        shutil.rmtree(base, ignore_errors=True)


if __name__ == "__main__":
    main()
