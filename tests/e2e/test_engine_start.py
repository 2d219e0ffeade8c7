"""The engine halvik.exe under Wine: start, single instance, log window, tray
commands, and rules raised by interval timers that start real programs."""
from __future__ import annotations

import datetime
import re
import subprocess
import time
from pathlib import Path

import pytest

from conftest import ARTIFACTS, UiError, wait_for
from engine_files import clock, interval_rule_folder, slot_file

HUB = ("--class", "HALVIK-TOP-CLASS-NAME")
LOG = ("--title", "Halvikログ")
SHOTS = ARTIFACTS / "engine"


def start_engine(wine, progdir, ui):
    progdir.install("halvik.exe")
    proc = wine.start(progdir.exe("halvik.exe"))
    # The first Wine programs after a fresh wineserver race (TESTING.md): the
    # driver starts once the engine runs.
    wait_for(lambda: engine_processes(wine) > 0, 30, what="the engine process")
    time.sleep(1)
    ui("wait", *HUB, "--timeout", "30000", timeout=60)
    wait_for(lambda: log_rows(ui), 20, what="the first log row")
    return proc


def log_rows(ui) -> list[tuple[str, str, str]]:
    out = ui("listview", *LOG, "--id", "1100")
    rows = []
    for line in out.splitlines():
        cells = line.split("\t")
        if len(cells) >= 3:
            rows.append((cells[0], cells[1], cells[2]))
    return rows


def messages(ui) -> list[str]:
    return [m for _, _, m in log_rows(ui)]


def standin(progdir, *names):
    """Copies the command-line recorder in under the given names."""
    built = progdir.install("standin.exe").exe("standin.exe")
    for name in names:
        (progdir.path / name).write_bytes(built.read_bytes())


def recorded(progdir, name: str, at_least: int = 1, timeout: float = 15) -> list[str]:
    """The command lines the stand-in `name` (without .exe) was started with,
    once it has been started at least `at_least` times."""
    path = progdir.path / f"{name}.args"

    def lines():
        return path.exists() and path.read_text(encoding="utf-8").splitlines()

    wait_for(lambda: lines() and len(lines()) >= at_least, timeout, what=f"{name} to be started")
    return lines()


def engine_processes(wine) -> int:
    count = 0
    for pid in wine.prefix_pids():
        try:
            cmdline = Path(f"/proc/{pid}/cmdline").read_bytes()
        except OSError:
            continue
        if cmdline.split(b"\0")[0].lower().endswith(b"halvik.exe"):
            count += 1
    return count


def test_second_start_leaves_one_engine_and_the_first_row_is_the_start(wine, progdir, ui):
    first = start_engine(wine, progdir, ui)
    second = wine.run(progdir.exe("halvik.exe"), timeout=30)
    assert second.returncode == 0
    assert first.poll() is None
    assert engine_processes(wine) == 1
    time_text, kind, message = log_rows(ui)[0]
    assert re.fullmatch(r"\d\d:\d\d:\d\d", time_text)
    assert kind == " 0"
    assert message == "ハルヴィクが起動しました"
    assert messages(ui).count("ハルヴィクが起動しました") == 1


def test_save_appends_rows_byte_for_byte_and_delete_removes_the_file(wine, progdir, ui):
    progdir.write("halvik.log", b"earlier line\n")
    start_engine(wine, progdir, ui)
    ui("command", *HUB, "--id", "113")  # "■ログ表示"
    rows = log_rows(ui)
    saved = b"".join(f"{t} {m}\n".encode("cp932") for t, _, m in rows)

    ui("click", *LOG, "--id", "1034")
    assert progdir.read("halvik.log") == b"earlier line\n" + saved
    ui("click", *LOG, "--id", "1034")
    assert progdir.read("halvik.log") == b"earlier line\n" + saved + saved

    ui("click", *LOG, "--id", "1033")  # clear: saving appends nothing
    assert log_rows(ui) == []
    ui("click", *LOG, "--id", "1034")
    assert progdir.read("halvik.log") == b"earlier line\n" + saved + saved

    ui("click", *LOG, "--id", "1035")
    assert not progdir.exists("halvik.log")
    ui("click", *LOG, "--id", "1034")  # an empty list makes an empty file
    assert progdir.read("halvik.log") == b""


def test_lines_offered_while_paused_are_lost(wine, progdir, ui):
    interval_rule_folder(progdir, "950", seconds=1)
    start_engine(wine, progdir, ui)
    wait_for(lambda: "イベント発生 401" in messages(ui), 15, what="the first interval event")

    ui("click", *LOG, "--id", "1032")
    assert ui("gettext", *LOG, "--id", "1032").strip() == "ログ再開"
    paused_at = len(log_rows(ui))
    time.sleep(3.5)  # three ticks or more, six lines or more, none kept
    assert len(log_rows(ui)) == paused_at

    ui("click", *LOG, "--id", "1032")
    assert ui("gettext", *LOG, "--id", "1032").strip() == "ログ停止"
    wait_for(lambda: len(log_rows(ui)) > paused_at, 10, what="lines after resuming")
    resumed = log_rows(ui)[paused_at:]
    assert resumed[0][2] in ("インターバルタイマー発生 イベント:401", "イベント発生 401")


def test_interval_event_opens_a_file_with_its_event_number(wine, progdir, ui):
    standin(progdir, "opened.exe", "never.exe")
    interval_rule_folder(progdir, "301/1,301", seconds=3,
                         commands={1: ("ショートカットの実行", progdir.winpath("opened.exe")),
                                   2: ("ショートカットの実行", progdir.winpath("never.exe"))})
    # A rule kept but not in force never runs.
    progdir.write("setio.bin", slot_file({0: ["○", "401", "301/1,301", ""], 1: ["Ｘ", "401", "302", ""]}))
    start_engine(wine, progdir, ui)
    assert recorded(progdir, "opened", at_least=2, timeout=20)[:2] == ["401", "401"]
    logged = messages(ui)
    assert "インターバルタイマー発生 イベント:401" in logged
    assert logged.index("インターバルタイマー発生 イベント:401") < logged.index("イベント発生 401")
    assert not progdir.exists("never.args")


def test_direct_action_passes_9999(wine, progdir, ui):
    standin(progdir, "opened.exe")
    progdir.write("cmdsnd.bin", slot_file({4: ["ショートカットの実行", progdir.winpath("opened.exe"), ""]}))
    start_engine(wine, progdir, ui)
    # As a net listener hands over a direct action: WM_COMMAND 701, lParam = 304 | 0 << 16.
    assert wine.run(progdir.exe("standin.exe"), "/hub", "701", "304", timeout=30).returncode == 0
    assert recorded(progdir, "opened") == ["9999"]


def test_reload_code_replaces_one_table(wine, progdir, ui):
    standin(progdir, "first.exe", "second.exe")
    progdir.write("cmdsnd.bin", slot_file({4: ["ショートカットの実行", progdir.winpath("first.exe"), ""]}))
    start_engine(wine, progdir, ui)
    progdir.write("cmdsnd.bin", slot_file({4: ["ショートカットの実行", progdir.winpath("second.exe"), ""]}))
    hub = progdir.exe("standin.exe")
    assert wine.run(hub, "/hub", "701", "304", timeout=30).returncode == 0
    assert recorded(progdir, "first") == ["9999"]
    assert wine.run(hub, "/hub", "142", "1200", timeout=30).returncode == 0  # mail actions: not this file
    assert wine.run(hub, "/hub", "142", "1999", timeout=30).returncode == 0  # no such code: ignored
    assert wine.run(hub, "/hub", "701", "304", timeout=30).returncode == 0
    assert recorded(progdir, "first", at_least=2) == ["9999", "9999"]
    assert wine.run(hub, "/hub", "142", "1300", timeout=30).returncode == 0  # cmdsnd.bin
    assert wine.run(hub, "/hub", "701", "304", timeout=30).returncode == 0
    assert recorded(progdir, "second") == ["9999"]


def test_media_and_sound_actions_start_the_companions_with_quoted_arguments(wine, progdir, ui):
    standin(progdir, "vistamo.exe", "tonelog.exe")
    interval_rule_folder(progdir, "305,601,600", seconds=2,
                         commands={5: ("メディアファイル実行", r"C:\media\a b.mp3")},
                         captures={1: ("サウンド", 60, r"C:\rec\a.wav"), 0: ("静止画", 5, r"C:\rec\a.jpg")})
    start_engine(wine, progdir, ui)
    assert recorded(progdir, "vistamo")[0] == '"C:\\media\\a b.mp3 p=y"'
    assert recorded(progdir, "tonelog")[0] == '"C:\\rec\\a.wav t=00060"'
    wait_for(lambda: "アクション600: キャプチャー「静止画」は実行できません(サウンドのみ対応)" in messages(ui), 10,
             what="the still-image capture to be logged")


def test_tray_commands_start_the_companions_without_arguments(wine, progdir, ui):
    standin(progdir, "vistamo.exe", "glimra.exe", "tonelog.exe")
    start_engine(wine, progdir, ui)
    for command, name in (("702", "vistamo"), ("703", "glimra"), ("704", "tonelog")):
        ui("command", *HUB, "--id", command)
        assert recorded(progdir, name) == [""]


def test_settings_menu_hands_over_to_the_editor_and_ends_the_engine(wine, progdir, ui):
    standin(progdir, "halvikx.exe")
    engine = start_engine(wine, progdir, ui)
    ui("command", *HUB, "--id", "112", "--post")
    text = ui("msgbox", "--box-title", "確認", "--button", "OK", "--timeout", "10000")
    assert text.strip() == "ハルヴィクを一時的に終了します"
    assert recorded(progdir, "halvikx") == ["1"]
    wait_for(lambda: engine.poll() is not None, 15, what="the engine to end")
    with pytest.raises(UiError):
        ui("find", *HUB, "--timeout", "500")


def test_quit_from_the_tray_ends_the_engine(wine, progdir, ui):
    engine = start_engine(wine, progdir, ui)
    ui("command", *HUB, "--id", "110", "--post")
    wait_for(lambda: engine.poll() is not None, 15, what="the engine to end")
    assert engine.returncode == 0


def test_screenshots_of_the_tray_icon_and_the_log_window(wine, progdir, ui):
    interval_rule_folder(progdir, "950/1", seconds=2)
    start_engine(wine, progdir, ui)
    wait_for(lambda: "イベント発生 401" in messages(ui), 15, what="an interval event")
    wine.screenshot(SHOTS / "tray.png")
    # A right click on the icon in the notification area opens the tray menu.
    env = {**wine.env}
    subprocess.run(["xdotool", "mousemove", "1013", "757", "click", "3"], env=env, check=True, timeout=10)
    time.sleep(1)
    wine.screenshot(SHOTS / "tray_menu.png")
    subprocess.run(["xdotool", "key", "Escape"], env=env, check=True, timeout=10)
    ui("command", *HUB, "--id", "113")
    ui("wait", *LOG)
    time.sleep(1)
    wine.screenshot(SHOTS / "log_window.png")
    ui("command", *HUB, "--id", "103", "--post")
    ui("wait", "--title", "ハルヴィクついて")
    time.sleep(0.5)
    wine.screenshot(SHOTS / "version.png")
    assert (SHOTS / "tray.png").stat().st_size > 0


def test_interval_without_a_usable_period_gets_no_timer_and_says_so(wine, progdir, ui):
    progdir.write("setio.bin", slot_file({0: ["○", "402", "950", ""], 1: ["○", "403", "950", ""],
                                          2: ["Ｘ", "404", "950", ""]}))
    progdir.write("intrcv.bin", slot_file({
        2: ["毎日", "", "", "00時00分", "23時59分", "0", ""],
        3: ["毎日", "", "", "00時00分", "23時59分", "abc", ""],
        4: ["毎日", "", "", "00時00分", "23時59分", "1", ""],  # its rule is not in force
    }))
    start_engine(wine, progdir, ui)
    time.sleep(2.5)
    assert messages(ui) == [
        "ハルヴィクが起動しました",
        "インターバルタイマー イベント:402 間隔秒が0か数字でないため動作しません",
        "インターバルタイマー イベント:403 間隔秒が0か数字でないため動作しません",
    ]


def test_time_of_day_event_occurs_once_in_its_minute(wine, progdir, ui):
    standin(progdir, "opened.exe")
    now = datetime.datetime.now()
    if now.second > 45:  # leave the engine time to start before the minute ends
        time.sleep(61 - now.second)
        now = datetime.datetime.now()
    at = now + datetime.timedelta(minutes=1)
    progdir.write("setio.bin", slot_file({0: ["○", "305", "301", ""], 1: ["○", "305", "301", ""]}))
    progdir.write("timrcv.bin", slot_file({5: ["毎日", "", "", clock(at), ""]}))
    progdir.write("cmdsnd.bin", slot_file({1: ["ショートカットの実行", progdir.winpath("opened.exe"), ""]}))
    start_engine(wine, progdir, ui)
    # Two rules for the event: both run once; the check runs six times in the minute.
    recorded(progdir, "opened", at_least=2, timeout=90)
    wait_for(lambda: datetime.datetime.now().minute != at.minute, 70, what="the minute to pass")
    assert recorded(progdir, "opened") == ["305", "305"]
    assert messages(ui).count("イベント発生 305") == 1
