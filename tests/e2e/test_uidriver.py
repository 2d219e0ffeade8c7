"""The UI driver against a real window of another process under Wine.

uitarget.exe (tools/uitarget) has one control of each kind and appends what a
person's action caused to a log file, so every action is checked by its
effect in the other program, not only by what the driver reads back.
"""
import subprocess

import pytest

from harness import UiError, find_built, wait_for

CLASS = "UITARGET-CLASS"
TITLE = "UIターゲット"
W = ["--class", CLASS]


class Target:
    def __init__(self, wine, progdir, ui):
        self.wine, self.ui = wine, ui
        progdir.install("uitarget.exe")
        self.log = progdir.path / "target.log"
        self.proc = wine.start(progdir.exe("uitarget.exe"), wine.winpath(self.log))
        # The first Wine process of a test starts the wineserver; a driver
        # started alongside it would race it, so wait for the window's own word.
        wait_for(lambda: self.lines()[:1] == ["ready"], 60, what="uitarget ready")
        ui("wait", *W)

    def lines(self):
        return self.log.read_text("utf-8").splitlines() if self.log.exists() else []

    def logged(self, line, timeout=5):
        wait_for(lambda: line in self.lines(), timeout, what=f"{line!r} in the target's log")


@pytest.fixture
def target(wine, progdir, ui):
    return Target(wine, progdir, ui)


def run_driver(wine, *args):
    return wine.run(find_built("uidriver.exe"), *args, timeout=60)


def test_edit_text_round_trips_as_utf16_including_cp932_oddities(target, ui):
    # U+FF5E and U+2212 are where Microsoft's CP932 and Shift_JIS differ; the
    # driver must carry them through unchanged.
    text = "設定テスト～−①ｱ"
    assert ui("gettext", *W, "--id", "1001") == "初期値\n"
    ui("settext", *W, "--id", "1001", "--text", text)
    assert ui("gettext", *W, "--id", "1001") == text + "\n"
    # The window is found by its Japanese caption alone, too.
    assert ui("gettext", "--title", TITLE, "--id", "1001") == text + "\n"
    assert ui("gettext", "--title-contains", "ターゲ", "--id", "1001") == text + "\n"
    assert ui("gettext", *W) == TITLE + "\n"


def test_check_boxes_and_radio_buttons_are_set_as_a_click_would(target, ui):
    assert ui("getcheck", *W, "--id", "1002") == "0\n"
    ui("check", *W, "--id", "1002", "--state", "1")
    assert ui("getcheck", *W, "--id", "1002") == "1\n"
    target.logged("check 1")
    ui("check", *W, "--id", "1002", "--state", "1")  # already set: no second click
    ui("check", *W, "--id", "1002", "--state", "0")
    target.logged("check 0")
    assert target.lines().count("check 1") == 1

    ui("check", *W, "--id", "1003", "--state", "1")
    ui("check", *W, "--id", "1004", "--state", "1")
    # The auto radio button cleared its partner, as a real click does.
    assert [ui("getcheck", *W, "--id", i) for i in ("1003", "1004")] == ["0\n", "1\n"]
    target.logged("radio 1004")


def test_combo_selection_by_text_and_index_notifies_the_parent(target, ui):
    ui("select", *W, "--id", "1005", "--text", "緑")
    target.logged("select 1 緑")
    assert ui("gettext", *W, "--id", "1005") == "緑\n"
    ui("select", *W, "--id", "1005", "--index", "2")
    target.logged("select 2 青")
    with pytest.raises(UiError, match="no entry \"紫\" among 3"):
        ui("select", *W, "--id", "1005", "--text", "紫", "--timeout", "0")
    with pytest.raises(UiError, match="the box has 3"):
        ui("select", *W, "--id", "1005", "--index", "3", "--timeout", "0")


def test_list_view_rows_and_cells_are_read_across_processes(target, ui):
    rows = ["100\t居間の照明\t毎朝", "101\tテレビ\t", "102\tエアコン\t冷房２８度～"]
    assert ui("listview", *W, "--id", "1006") == "".join(r + "\n" for r in rows)
    assert ui("listview", *W, "--id", "1006", "--row", "2") == rows[2] + "\n"
    ui("lvselect", *W, "--id", "1006", "--row", "1")
    target.logged("row 1")
    with pytest.raises(UiError, match="not a list view"):
        ui("listview", *W, "--id", "1005")


@pytest.mark.parametrize("button,answer", [("NO", "いいえ"), ("YES", "はい")])
def test_message_box_text_is_read_and_its_button_pressed(target, ui, wine, tmp_path, button, answer):
    ui("settext", *W, "--id", "1001", "--text", "居間")
    ui("click", *W, "--id", "1007")
    ui("wait", "--class", "#32770", "--title", "確認")
    wine.screenshot(tmp_path / "msgbox.png")
    assert ui("msgbox", *W, "--button", button) == "保存しますか\n居間\n"
    target.logged("answer " + answer)
    assert ui("gettext", *W, "--id", "1008") == answer + "\n"
    # The box is gone: the next look finds none.
    with pytest.raises(UiError, match="no message box"):
        ui("msgbox", *W, "--timeout", "300")


def test_message_box_found_by_its_caption_and_missing_button_reported(target, ui):
    ui("click", *W, "--id", "1007")
    with pytest.raises(UiError, match="no OK button"):
        ui("msgbox", "--box-title", "確認", "--button", "OK")
    assert ui("msgbox", "--box-title", "確認", "--button", "YES").startswith("保存しますか\n")
    target.logged("answer はい")


def test_controls_of_a_child_page_and_commands_to_the_window(target, ui):
    # Both the window and its page have an edit 1001; the page narrows it.
    assert ui("gettext", *W, "--id", "1001", "--parent-title", "ページ二") == "ページの編集\n"
    assert ui("gettext", *W, "--id", "1001", "--parent-class", "UITARGET-PAGE") == "ページの編集\n"
    ui("settext", *W, "--id", "1001", "--parent-title", "ページ二", "--text", "二ページ目")
    ui("click", *W, "--id", "1010")  # found among descendants without naming the page
    target.logged("page click 二ページ目")
    assert ui("gettext", *W, "--id", "1001") == "初期値\n"

    ui("command", *W, "--id", "2001")
    assert ui("gettext", *W, "--id", "1008") == "コマンド2001\n"
    ui("command", *W, "--id", "2001", "--post")
    wait_for(lambda: target.lines().count("command 2001") == 2, 5, what="posted command")

    tree = ui("tree", *W)
    assert tree.splitlines()[0].endswith(f"\t{CLASS}\t{TITLE}")
    assert "  0\tUITARGET-PAGE\tページ二\n    1001\tEdit\t二ページ目\n" in tree
    assert f"\t{CLASS}\t{TITLE}\tpid " in ui("tree")


def test_close_and_waiting_for_the_window_to_go(target, ui):
    ui("close", *W)
    ui("wait", *W, "--gone", "--timeout", "10000")
    target.logged("close")
    wait_for(lambda: target.proc.poll() is not None, 20, what="uitarget to end")


@pytest.mark.parametrize("args,status,message", [
    (["gettext", "--class", "NO-SUCH-CLASS", "--timeout", "0"], 1, 'no window with class "NO-SUCH-CLASS"'),
    (["gettext", *W, "--title", "違う", "--timeout", "0"], 1, 'no window with class "UITARGET-CLASS" title "違う"'),
    (["click", *W, "--id", "4242", "--timeout", "0"], 1, "no control with id 4242"),
    (["gettext", *W, "--id", "1001", "--parent-title", "ページ九", "--timeout", "0"], 1,
     'no child window with title "ページ九"'),
    (["wait", *W, "--id", "4242", "--timeout", "300"], 1, "after 300 ms"),
    (["wait", *W, "--gone", "--timeout", "300"], 1, "still there after 300 ms"),
    (["click", *W], 2, "click needs --id"),
    (["frobnicate", *W], 2, "unknown verb frobnicate"),
    (["check", *W, "--id", "1002", "--state", "7"], 2, "--state 0 or 1"),
    (["gettext", *W, "--id"], 2, "--id needs a value"),
])
def test_missing_windows_and_bad_command_lines_fail_clearly(target, wine, args, status, message):
    r = run_driver(wine, *args)
    assert r.returncode == status
    assert message in r.stderr.decode("utf-8")
    assert r.stdout == b""
