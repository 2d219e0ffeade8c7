#!/usr/bin/python3
"""From a remote button pressed on the virtual board to the rule's first
action (an outlet switching), over 100 presses, with the engine under Wine.

The engine polls the board about every 100 ms (200 ms after a reception), so
the figures are bounded by that cadence; the rest is the hand-over to the hub,
the rule runner's start and one board command. Presses come at random
moments 250-450 ms after the last action, as a person's would: past the
thread's wait after a reception, at any point of its idle poll.

usage: tests/bench/board_press_latency.py [presses]   (after scripts/build)
"""
import random
import statistics
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
from harness import ProgramFolder, Wine  # noqa: E402
from peers_board import VirtualBoard, start_engine, write_settings  # noqa: E402

ON = "1C-6B-2A-5D-00-FF-00-01-"
OFF = "1C-6B-2A-5D-00-FF-00-02-"
CODE = "8D-46-09-09-09-1A-FF-"


def main() -> int:
    presses = int(sys.argv[1]) if len(sys.argv) > 1 else 100
    base = Path(tempfile.mkdtemp(prefix="halvik-bench-"))
    wine = Wine(base / "wine")
    board = VirtualBoard(base / "halvik-board.log")
    try:
        wine.boot()
        folder = ProgramFolder(base / "prog", wine)
        write_settings(folder, {
            "setio.bin": {"000": ["○", "100", "800", ""], "001": ["○", "101", "801", ""]},
            "rmtrcv.bin": {"100": ["ベンチ", "オン", ON], "101": ["ベンチ", "オフ", OFF]},
            "pwrsnd.bin": {"800": ["第一製品のパワーオン", "何もしない", ""],
                           "801": ["第一製品のパワーオフ", "何もしない", ""]},
        })
        start_engine(wine, folder, board)
        board.wait_initialised(timeout=60)
        latencies = []
        for i in range(presses):
            want = "1 0 0 0" if i % 2 == 0 else "0 0 0 0"
            signature = ON if i % 2 == 0 else OFF
            time.sleep(random.uniform(0.25, 0.45))
            while not board.press(CODE, signature + "00-" * 8).startswith("ok"):
                time.sleep(0.005)
            pressed = time.monotonic()
            while board.outlets() != want:
                if time.monotonic() - pressed > 10:
                    print(f"press {i}: the rule did not run within 10 s")
                    return 1
                time.sleep(0.001)
            latencies.append((time.monotonic() - pressed) * 1000)
        latencies.sort()
        p99 = latencies[min(len(latencies) - 1, int(len(latencies) * 0.99))]
        print(f"board press to first action over {presses} presses: "
              f"p50 {statistics.median(latencies):.1f} ms, p99 {p99:.1f} ms, "
              f"min {latencies[0]:.1f} ms, max {latencies[-1]:.1f} ms (poll cadence 100 ms)")
        return 0
    finally:
        board.close()
        wine.shutdown()


if __name__ == "__main__":
    sys.exit(main())
