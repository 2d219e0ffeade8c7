#!/usr/bin/env python3
"""Editor figures under Wine (not a test; prints numbers):

  1. from starting halvikx.exe to the rule page's 100 rows being readable;
  2. registering a row on a page whose 100 rows are all filled (the command
     page): from pressing "設定の登録" to cmdsnd.bin holding the new row,
     beside the cost of one UI driver action for scale.

Needs scripts/build (windows) and the UI driver. Usage:
  /usr/bin/python3 tests/bench/editor_bench.py [--starts N] [--registers N]
"""
from __future__ import annotations

import argparse
import statistics
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
import harness  # noqa: E402
from editor_ui import RULE, slot_file  # noqa: E402

COMMAND = "コマンド実行設定"


def start_and_wait_rule_page(wine, folder, ui) -> float:
    t0 = time.monotonic()
    wine.start(folder.exe("halvikx.exe"))
    time.sleep(0.5)  # let the first process bring up the wineserver before the driver runs
    harness.wait_for(lambda: len(ui("listview", "--title", RULE, "--id", "1039", "--timeout", "500",
                                    check=False).split("\n")) > 100, 60, interval=0.0, what="rule rows")
    return time.monotonic() - t0


def summary(values) -> str:
    return (f"median {statistics.median(values):.2f} s, min {min(values):.2f} s, max {max(values):.2f} s "
            f"over {len(values)}")


def main() -> None:
    parser = argparse.ArgumentParser()
    parser.add_argument("--starts", type=int, default=5)
    parser.add_argument("--registers", type=int, default=10)
    args = parser.parse_args()

    base = Path(tempfile.mkdtemp(prefix="halvik-bench-"))
    wine = harness.Wine(base / "wine")
    wine.boot()
    try:
        ui = harness.make_ui(wine)
        folder = harness.ProgramFolder(base / "prog", wine)
        folder.install("halvikx.exe")
        full = {i: ["ログオフ", f"C:\\file{i:03d}.txt", f"コメント{i}"] for i in range(100)}

        starts = []
        for _ in range(args.starts):
            folder.write("cmdsnd.bin", slot_file(full))
            starts.append(start_and_wait_rule_page(wine, folder, ui))
            wine.end_programs()
        print("1. editor start to the rule page's rows read back (Wine; each start after a fresh wineserver)")
        print("   " + summary(starts) + " starts")

        folder.write("cmdsnd.bin", slot_file(full))
        start_and_wait_rule_page(wine, folder, ui)
        ui("select", "--title", RULE, "--id", "1014", "--text", "3xx パソコン制御")
        registers, actions = [], []
        for n in range(args.registers):
            comment = f"新しいコメント{n}"
            ui("settext", "--title", COMMAND, "--id", "1081", "--text", comment)
            ui("settext", "--title", COMMAND, "--id", "1082", "--text", f"{300 + n}")
            before = folder.read("cmdsnd.bin")
            t0 = time.monotonic()
            ui("click", "--title", COMMAND, "--id", "1")
            harness.wait_for(lambda: folder.read("cmdsnd.bin") != before, 10, interval=0.0, what="cmdsnd.bin")
            registers.append(time.monotonic() - t0)
            t0 = time.monotonic()
            ui("gettext", "--title", COMMAND, "--id", "1081")
            actions.append(time.monotonic() - t0)
        print("2. register on a page with 100 filled rows, press to file written (includes one UI driver run)")
        print("   " + summary(registers) + " registers")
        print(f"   for scale: one UI driver action alone, median {statistics.median(actions):.2f} s")
        wine.end_programs()
    finally:
        wine.shutdown()


if __name__ == "__main__":
    main()
