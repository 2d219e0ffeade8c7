"""The rule page: registering, loading back and deleting rules, its checks in
order, and choosing category pages from its choice lists and its cells."""
import pytest

from editor_ui import RULE, Editor, slot_file

TIME_PAGE = "時刻指定設定"
POWER_PAGE = "電気製品のパワーオンオフ操作"
LEARNING_PAGE = "リモコン受信設定"


@pytest.fixture
def editor(wine, progdir, ui, tmp_path_factory):
    return Editor(wine, progdir, ui, tmp_path_factory.mktemp("helpers"))


def fill_rule(editor, event, actions, comment, number, disabled=False):
    editor.set(RULE, 1080, event)
    editor.set(RULE, 1081, actions)
    editor.set(RULE, 1082, comment)
    editor.set(RULE, 1083, number)
    editor.check(RULE, 1140, disabled)


def test_register_load_and_delete_a_rule(editor, progdir):
    editor.start()
    fill_rule(editor, "101", "201/5,301", "朝の照明", "3")
    editor.click(RULE, 1)
    assert editor.row(RULE, 3) == ["003", "○", "101", "201/5,301", "朝の照明"]
    fill_rule(editor, "305", "801/5,102", "", "0", disabled=True)
    editor.click(RULE, 1)
    assert progdir.read("setio.bin") == slot_file({0: ["Ｘ", "305", "801/5,102", ""],
                                                   3: ["○", "101", "201/5,301", "朝の照明"]})
    editor.screenshot("rule_page")

    fill_rule(editor, "", "", "", "")
    editor.row_menu(RULE, 0, "■設定変更")
    assert [editor.get(RULE, i) for i in (1083, 1080, 1081, 1082)] == ["000", "305", "801/5,102", ""]
    assert editor.checked(RULE, 1140)
    editor.click(RULE, 1)  # registering a loaded rule again changes nothing
    assert editor.row(RULE, 0) == ["000", "Ｘ", "305", "801/5,102", ""]

    editor.row_menu(RULE, 3, "■設定削除")
    assert editor.row(RULE, 3) == ["003", "", "", "", ""]
    assert progdir.read("setio.bin") == slot_file({0: ["Ｘ", "305", "801/5,102", ""]})


CHECKS = [
    # event, actions, number, message (in the order the page checks)
    ("99", "101", "3", "発生イベント番号が間違っています"),
    ("1000", "", "", "発生イベント番号が間違っています"),
    ("101", "", "3", "実行アクション番号を指定下さい"),
    ("101", ",201", "3", "実行アクション番号欄に無効文字があります"),
    ("101", "201,,301", "3", "実行アクション番号欄に無効文字があります"),
    ("101", "a201", "3", "実行アクション番号欄の番号が間違っています"),
    ("101", "50", "3", "実行アクション番号が間違っています"),
    ("101", ",".join(str(n) for n in range(101, 117)), "3", "１つのルールの実行アクションは最大15個までです"),
    ("101", "201", "100", "登録番号が間違っています(1-99まで)"),
]


def test_checks_in_order(editor, progdir):
    editor.start()
    for event, actions, number, message in CHECKS:
        fill_rule(editor, event, actions, "", number)
        editor.click(RULE, 1)
        assert editor.msgbox() == message, (event, actions, number)
    assert not progdir.exists("setio.bin")
    # A list ending with a comma registers as if the comma were absent.
    fill_rule(editor, "101", "201/5,", "", "7")
    editor.click(RULE, 1)
    assert editor.row(RULE, 7)[3] == "201/5,"


def test_page_choice(editor, progdir):
    # Rows far down the pages, so that choosing a page must scroll them into view.
    progdir.write("setio.bin", slot_file({1: ["○", "385", "210", ""], 2: ["○", "101", "880/5,102", ""]}))
    editor.start()
    assert editor.shows(LEARNING_PAGE)
    assert editor.get(RULE, 1013) == "1xx リモコン受信"
    assert editor.get(RULE, 1014) == "1xx リモコン送信"

    editor.select(RULE, 1014, text="6xx キャプチャー保存")
    assert editor.shows("キャプチャー保存") and not editor.visible(LEARNING_PAGE)
    editor.select(RULE, 1013, text="1xx リモコン受信")
    assert editor.shows(LEARNING_PAGE) and not editor.visible("キャプチャー保存")

    editor.click_cell(RULE, 1, 2)
    assert editor.shows(TIME_PAGE) and not editor.visible(LEARNING_PAGE)
    assert editor.in_view(TIME_PAGE, 85) and not editor.in_view(TIME_PAGE, 0)
    editor.click_cell(RULE, 2, 3)
    assert editor.shows(POWER_PAGE) and not editor.visible(TIME_PAGE)
    assert editor.in_view(POWER_PAGE, 80) and not editor.in_view(POWER_PAGE, 0)
    editor.click_cell(RULE, 2, 4)  # the comment column chooses nothing
    assert editor.shows(POWER_PAGE)
