#!/usr/bin/env python3
"""Engine figures under Wine (not a test; prints numbers):

  1. from starting halvik.exe to its first log row being readable;
  2. from raising an event to the start of each of 100 rule runners
     (bench_engine_runners.exe, the engine's real runner threads);
  3. CPU used by an idle engine over 60 s (timer 1 and nothing else).

Needs scripts/build (windows) and the UI driver. Usage:
  /usr/bin/python3 tests/bench/engine_bench.py [--idle-seconds N]
"""
from __future__ import annotations

import argparse
import os
import statistics
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
import harness  # noqa: E402

TICK = os.sysconf("SC_CLK_TCK")


def engine_pid(wine) -> int | None:
    for pid in wine.prefix_pids():
        try:
            if Path(f"/proc/{pid}/cmdline").read_bytes().split(b"\0")[0].lower().endswith(b"halvik.exe"):
                return pid
        except OSError:
            pass
    return None


def cpu_seconds(pid: int) -> float:
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICK  # utime + stime


def wineserver_pid(wine) -> int | None:
    for pid in wine.prefix_pids():
        try:
            if Path(f"/proc/{pid}/comm").read_text().strip() == "wineserver":
                return pid
        except OSError:
            pass
    return None


def start_and_wait_first_row(wine, folder, ui) -> float:
    t0 = time.monotonic()
    wine.start(folder.exe("halvik.exe"))
    harness.wait_for(lambda: engine_pid(wine), 30, interval=0.01, what="engine process")
    harness.wait_for(lambda: ui("listview", "--title", "Halvikログ", "--id", "1100", check=False).strip(),
                     30, interval=0.0, what="first log row")
    return time.monotonic() - t0


def main() -> None:
    parser = argparse.ArgumentParser()
    parser.add_argument("--idle-seconds", type=int, default=60)
    parser.add_argument("--starts", type=int, default=5)
    args = parser.parse_args()

    base = Path(tempfile.mkdtemp(prefix="halvik-bench-"))
    wine = harness.Wine(base / "wine")
    wine.boot()
    try:
        ui = harness.make_ui(wine)
        folder = harness.ProgramFolder(base / "prog", wine)
        folder.install("halvik.exe", "standin.exe")

        starts, reads, trivial = [], [], []
        for _ in range(args.starts):
            starts.append(start_and_wait_first_row(wine, folder, ui))
            # With the prefix warm: one UI driver read, and a do-nothing program.
            t0 = time.monotonic()
            ui("listview", "--title", "Halvikログ", "--id", "1100")
            reads.append(time.monotonic() - t0)
            t0 = time.monotonic()
            wine.run(folder.exe("standin.exe"), "x")
            trivial.append(time.monotonic() - t0)
            wine.end_programs()
        print("1. engine start to first log row read back (Wine; each start after a fresh wineserver)")
        print(f"   median {statistics.median(starts):.2f} s, min {min(starts):.2f} s, max {max(starts):.2f} s "
              f"over {len(starts)} starts")
        print(f"   for scale, warm: one UI driver read {statistics.median(reads):.2f} s, "
              f"a do-nothing program run to its end {statistics.median(trivial):.2f} s")

        print("2. raise event -> start of each of 100 rule runners (Wine, real runner threads)")
        r = wine.run(harness.find_built("bench_engine_runners.exe"), timeout=120)
        for line in r.stdout.decode("utf-8", errors="replace").splitlines():
            print("   " + line)

        start_and_wait_first_row(wine, folder, ui)
        time.sleep(5)
        pid, server = engine_pid(wine), wineserver_pid(wine)
        c0, s0 = cpu_seconds(pid), cpu_seconds(server) if server else 0.0
        time.sleep(args.idle_seconds)
        c1, s1 = cpu_seconds(pid), cpu_seconds(server) if server else 0.0
        print(f"3. idle engine over {args.idle_seconds} s: {c1 - c0:.2f} s CPU in halvik.exe "
              f"({100 * (c1 - c0) / args.idle_seconds:.2f} %), {s1 - s0:.2f} s in wineserver "
              f"(the whole prefix, desktop included)")
        wine.end_programs()
    finally:
        wine.shutdown()


if __name__ == "__main__":
    main()
