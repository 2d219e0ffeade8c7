"""The harness itself: the prefix speaks code page 932, and what a test starts ends with it."""
import subprocess

from harness import wait_for


def test_prefix_uses_the_japanese_code_page(wine):
    r = subprocess.run(["wine", "reg", "query", r"HKLM\System\CurrentControlSet\Control\Nls\CodePage",
                        "/v", "ACP"], env=wine.env, capture_output=True, timeout=60)
    assert b"932" in r.stdout


def test_programs_started_are_ended_with_the_test(wine, tmp_path):
    proc = wine.start(wine.prefix / "drive_c" / "windows" / "system32" / "notepad.exe")
    wait_for(lambda: proc.poll() is None and wine.prefix_pids(), 20, what="notepad")
    shot = wine.screenshot(tmp_path / "desktop.png")
    assert shot.stat().st_size > 0
    wine.end_programs()
    assert proc.poll() is not None
    assert not wine.prefix_pids()
