"""The category pages of the editor, each as a person uses it: choose the page,
fill its fields, register, compare the slot file byte for byte, load the row
back with "■設定変更" and see the same fields, delete it; then the page's
check messages in their order."""
import re
import subprocess

import pytest

from editor_ui import RULE, Editor, read_slots, slot_file
from harness import BUILD_NATIVE


@pytest.fixture
def editor(wine, progdir, ui, tmp_path_factory):
    return Editor(wine, progdir, ui, tmp_path_factory.mktemp("helpers"))


class P:
    """One page: how to choose it, what to enter, what it stores."""

    def __init__(self, name, choice, title, file, entries, number, row, cells, column0=None,
                 wide_field=-1, checks=(), cleared=None):
        self.name, self.choice, self.title, self.file = name, choice, title, file
        self.entries, self.number, self.row, self.cells = entries, number, row, cells
        self.column0, self.wide_field, self.checks = column0, wide_field, checks


def apply(editor, title, entries):
    for kind, id, value in entries:
        if kind == "set":
            editor.set(title, id, value)
        elif kind == "check":
            editor.check(title, id, value)
        elif kind == "select":
            editor.select(title, id, index=value)


def read_back(editor, title, entries):
    values = []
    for kind, id, value in entries:
        if kind == "set":
            values.append((id, editor.get(title, id)))
        elif kind == "check":
            values.append((id, editor.checked(title, id)))
        elif kind == "select":
            values.append((id, editor.get(title, id)))
    return values


def expected_back(entries, hours=(1015, 1017)):
    values = []
    for kind, id, value in entries:
        if kind == "select":
            value = f"{value:2d}時" if id in hours else f"{value:2d}分"
        values.append((id, value))
    return values


EVENT, ACTION = 1013, 1014
ok_ftp = [("set", 1080, "ftp.example.jp"), ("set", 1081, "user"), ("set", 1082, "pw"),
          ("set", 1083, "/www/a.txt"), ("set", 1084, "C:\\a.txt")]
ok_mail = [("set", 1080, "hanako@example.jp"), ("set", 1081, "件名"), ("set", 1082, "C:\\本文.txt")]
ok_capture = [("check", 1054, True), ("set", 1080, "10"), ("set", 1081, "C:\\r.mp3")]
ir_codes = [("set", 1082, "1A-05-FF-"), ("set", 1083, "1A-05-FF-")]
# A learned signature as the board captures it: at least the 8 bytes the engine compares.
LEARNED = "1A-05-33-44-55-66-77-88-99-FF-"
learned_codes = [("set", 1082, LEARNED), ("set", 1083, LEARNED)]

PAGES = [
    P("time_of_day", (EVENT, "3xx 指定時刻タイマー発生"), "時刻指定設定", "timrcv.bin",
      [("check", 1052, True), ("check", 1141, True), ("check", 1145, True), ("select", 1015, 7),
       ("select", 1016, 5), ("set", 1083, "朝の合図")], "310", 10,
      ["曜日指定", "月金", "", "07時05分", "朝の合図"],
      checks=[([("set", 1084, "400")], "登録番号が間違っています(300-399まで)")]),
    P("interval", (EVENT, "4xx インターバルタイマー発生"), "インターバルタイマー", "intrcv.bin",
      [("check", 1053, True), ("check", 1147, True), ("check", 1161, True), ("check", 1177, True),
       ("select", 1015, 9), ("select", 1016, 0), ("select", 1017, 17), ("select", 1018, 30),
       ("set", 1085, "600"), ("set", 1083, "")], "450", 50,
      ["日指定", "", "01,15,31", "09時00分", "17時30分", "600", ""],
      checks=[([("set", 1084, "399")], "登録番号が間違っています(400-499まで)")]),
    P("net_receive", (EVENT, "5xx ネットから受信発生"), "ネットから受信", "netrcv.bin",
      [("set", 1080, "127.0.0.1"), ("set", 1081, "10001"), ("set", 1082, "ON"), ("set", 1083, "照明")],
      "500", 0, ["待ち", "127.0.0.1", "10001", "ON", "照明"],
      checks=[([("set", 1084, "600")], "登録番号が間違っています(500-599まで)")]),
    P("mail_receive", (EVENT, "2xx メール受信"), "メール受信設定", "mailrcv.bin",
      [("set", 1080, "taro@example.jp"), ("set", 1081, "act"), ("set", 1082, "メモ")],
      "250", 50, ["taro@example.jp", "act", "メモ"], column0="250",
      checks=[([("set", 1083, "300")], "登録番号が間違っています(200-299まで)")]),
    P("mail_send", (ACTION, "2xx メール送信"), "メール送信設定", "mailsnd.bin", ok_mail,
      " 205x", 5, ["hanako@example.jp", "件名", "C:\\本文.txt"], column0=" 205x",
      checks=[([("set", 1080, "")], "メールアドレスを設定下さい"),
              ([("set", 1081, "")], "メールタイトル設定下さい"),
              ([("set", 1082, "")], "本文ファイル名を設定下さい"),
              ([("set", 1083, "")], "登録番号が間違っています(200-299まで)")]),
    P("command", (ACTION, "3xx パソコン制御"), "コマンド実行設定", "cmdsnd.bin",
      [("check", 1056, True), ("set", 1080, "C:\\a.mp3"), ("set", 1081, "音楽")], "305", 5,
      ["メディアファイル実行", "C:\\a.mp3", "音楽"], column0="305",
      checks=[([("check", 1055, True), ("set", 1080, "")], "実行するファイルをドラッグして下さい"),
              ([("check", 1054, True), ("set", 1082, "400")], "登録番号が間違っています(300-399まで)"),
              # A file name longer than a field can hold is refused, not stored cut.
              ([("set", 1080, "C:\\" + "a" * 300)],
               "設定ファイルに保存できませんでした(項目が長すぎるか、ファイルに書き込めません)")]),
    P("ftp", (ACTION, "4xx ファイル送信"), "FTP送信", "ftpsnd.bin",
      ok_ftp + [("check", 1140, True), ("check", 1141, False), ("check", 1142, True)], "401", 1,
      ["ftp.example.jp", "user", None, "/www/a.txt", "C:\\a.txt", "Y", "N", "Y"], column0="401",
      checks=[([("set", 1080, "")], "サーバ名を入力ください"),
              ([("set", 1081, "")], "ユーザＩＤを入力ください"),
              ([("set", 1082, "")], "パスワードを入力ください"),
              ([("set", 1083, "")], "サーバフォルダ名を入力ください"),
              ([("set", 1084, "")], "ローカルファイル名を入力ください"),
              ([("set", 1085, "500")], "登録番号が間違っています(400-499まで)")]),
    P("capture", (ACTION, "6xx キャプチャー保存"), "キャプチャー保存", "capsnd.bin",
      ok_capture + [("check", 1058, True), ("set", 1082, "録音")], "610", 10,
      ["サウンド", "320*240", "JPG", "mp3", "10", "C:\\r.mp3", "録音"],
      checks=[([("set", 1080, "")], "記録時間を入力ください"),
              ([("set", 1081, "")], "保存ファイル名を入力ください"),
              ([("set", 1084, "700")], "登録番号が間違っています(600-699まで)")]),
    P("net_send", (ACTION, "7xx ネットヘ送信"), "ネットへの送信", "netsnd.bin",
      [("set", 1080, "10.0.0.2"), ("set", 1081, "5000"), ("set", 1082, "LIGHT"), ("set", 1083, "")],
      "700", 0, ["する", "10.0.0.2", "5000", "LIGHT", ""],
      checks=[([("set", 1084, "800")], "登録番号が間違っています(700-799まで)")]),
    P("power", (ACTION, "8xx 電気製品の電源オンオフ"), "電気製品のパワーオンオフ操作", "pwrsnd.bin",
      [("check", 1054, True), ("check", 1061, True), ("set", 1081, "照明")], "801", 1,
      ["第ニ製品のパワーオフ", "パワーオンする", "照明"], column0="801",
      checks=[([("set", 1082, "900")], "登録番号が間違っています(800-899まで)")]),
    P("learning", (EVENT, "1xx リモコン受信"), "リモコン受信設定", "rmtrcv.bin",
      [("set", 1080, "テレビ"), ("set", 1081, "電源")] + learned_codes, "150", 50,
      ["テレビ", "電源", LEARNED],
      checks=[([("set", 1083, "1A-06-33-44-55-66-77-88-99-FF-")], "１回目と２回目の読み取り内容が違います"),
              ([("set", 1082, ""), ("set", 1083, "")], "読み取りを行って下さい"),
              ([("set", 1080, "")], "リモコン名を入れて下さい"),
              ([("set", 1081, "")], "ボタン名を入れて下さい"),
              ([("set", 1084, "200")], "登録番号が間違っています(1-99まで)")]),
    P("ir_send", (ACTION, "1xx リモコン送信"), "リモコン送信設定", "rmtsnd.bin",
      [("set", 1080, "テレビ"), ("set", 1081, "")] + ir_codes, "199", 99,
      ["テレビ", "", "1A-05-FF-"], wide_field=2,
      checks=[([("set", 1082, "")], "読み取りを行って下さい"),
              ([("set", 1080, "")], "リモコン名を入力下さい"),
              ([("set", 1084, "99")], "登録番号が間違っています(1-99まで)")]),
]


def registration_field(page):
    return {"mail_receive": 1083, "mail_send": 1083, "command": 1082, "ftp": 1085,
            "power": 1082}.get(page.name, 1084)


@pytest.mark.parametrize("page", PAGES, ids=[p.name for p in PAGES])
def test_page(editor, progdir, page):
    editor.start()
    editor.select(RULE, page.choice[0], text=page.choice[1])
    assert editor.shows(page.title)
    reg = registration_field(page)
    apply(editor, page.title, page.entries)
    editor.set(page.title, reg, page.number)
    editor.click(page.title, 1)
    editor.screenshot(f"page_{page.name}")

    fields = len(page.cells)
    stored = read_slots(progdir.read(page.file), fields, page.wide_field)
    assert list(stored) == [page.row]
    if page.name == "ftp":  # the password is stored only enciphered
        assert re.fullmatch(r"[0-9A-F]{16}", stored[page.row][2])
        expected = dict(enumerate(page.cells))
        expected[2] = stored[page.row][2]
        cells = [expected[i] for i in range(fields)]
    else:
        cells = page.cells
    assert progdir.read(page.file) == slot_file({page.row: cells}, page.wide_field)
    # The engine's loaders read every field as the page shows it.
    check = subprocess.run([BUILD_NATIVE / "tools" / "halvik-settings", "check", progdir.path],
                           capture_output=True, text=True, timeout=60)
    assert (check.returncode, check.stdout) == (0, ""), check.stdout
    if page.name == "ir_send":  # the dump of registered codes, in the program folder
        assert progdir.read("remocon.txt") == b"1A-05-FF-\r\n"
    shown = editor.row(page.title, page.row)
    assert shown[1:] == cells
    if page.column0:
        assert shown[0] == page.column0

    # Load it back into emptied fields.
    for kind, id, value in page.entries:
        if kind == "set":
            editor.set(page.title, id, "x")
    editor.row_menu(page.title, page.row, "■設定変更")
    number = int(re.search(r"\d+", page.number)[0])
    assert editor.get(page.title, reg) == f"{number:03d}"
    assert read_back(editor, page.title, page.entries) == expected_back(page.entries)

    # The checks, each case from the loaded, valid fields.
    for changes, message in page.checks:
        editor.row_menu(page.title, page.row, "■設定変更")
        apply(editor, page.title, changes)
        editor.click(page.title, 1)
        assert editor.msgbox() == message, changes
    assert progdir.read(page.file) == slot_file({page.row: cells}, page.wide_field)

    editor.row_menu(page.title, page.row, "■設定削除")
    assert editor.row(page.title, page.row)[1:] == [""] * fields
    assert progdir.read(page.file) == slot_file({}, page.wide_field)


def test_resizing_and_closing_a_page(editor, progdir):
    editor.start()
    title = "コマンド実行設定"
    editor.select(RULE, 1014, text="3xx パソコン制御")
    editor.set(title, 1081, "まだ登録していない")
    editor.resize(title, 500, 600)
    before = editor._rect(title, 1039)
    editor.resize(title, 620, 700)
    after = editor._rect(title, 1039)
    # The list keeps its top-left corner and follows the window's right and
    # bottom edges.
    assert after[:2] == before[:2]
    assert (after[2] - before[2], after[3] - before[3]) == (120, 100)
    editor.screenshot("page_command_resized")
    # Closing with the close box only hides the page; chosen again it shows
    # the same fields.
    editor.ui("close", "--title", title)
    assert not editor.visible(title)
    editor.select(RULE, 1014, text="4xx ファイル送信")
    editor.select(RULE, 1014, text="3xx パソコン制御")
    assert editor.shows(title)
    assert editor.get(title, 1081) == "まだ登録していない"


def test_choosing_a_file_fills_the_field_and_remembers_the_folder(editor, progdir):
    body = progdir.path / "mail" / "body.txt"
    body.parent.mkdir()
    body.write_bytes(b"hello\r\n")
    editor.start()
    title, dialog = "メール送信設定", "メール本文ファイル選択"
    editor.select(RULE, 1014, text="2xx メール送信")
    editor.set(title, 1082, "before")
    editor.click(title, 1033)
    editor.ui("wait", "--title", dialog)
    editor.screenshot("file_dialog")
    editor.ui("command", "--title", dialog, "--id", "2")  # cancel: the field stays as it was
    editor.ui("wait", "--title", dialog, "--gone")
    assert editor.get(title, 1082) == "before"

    editor.click(title, 1033)
    editor.ui("wait", "--title", dialog)
    editor.set(dialog, 1148, editor.wine.winpath(body))
    editor.ui("command", "--title", dialog, "--id", "1")
    editor.ui("wait", "--title", dialog, "--gone")
    assert editor.get(title, 1082) == editor.wine.winpath(body)

    # The next dialog opens in that folder: a bare name is found there.
    editor.click(title, 1033)
    editor.ui("wait", "--title", dialog)
    editor.set(dialog, 1148, "body.txt")
    editor.ui("command", "--title", dialog, "--id", "1")
    editor.ui("wait", "--title", dialog, "--gone")
    assert editor.get(title, 1082) == editor.wine.winpath(body)


def test_row_menu_after_a_right_click_on_no_row_touches_nothing(editor, progdir):
    title = "コマンド実行設定"
    stored = slot_file({2: ["ファイルを開く", "C:\\memo.txt", "メモ"]})
    progdir.write("cmdsnd.bin", stored)
    editor.start()
    editor.select(RULE, 1014, text="3xx パソコン制御")
    assert editor.shows(title)
    # Wide enough that the list has room to the right of its last column.
    editor.place(title, 0, 0, 1000, 600)
    row_before = editor.row(title, 2)
    editor.row_menu(title, 2, "■設定変更")  # a right-click on row 2 marks it ...
    assert editor.get(title, 1080) == "C:\\memo.txt"
    last = editor._rect(title, 1039, 2, 3)
    listed = editor._rect(title, 1039)
    assert listed[2] - last[2] > 40, "no room beside the columns"
    editor.click_at(last[2] + 20, (last[1] + last[3]) // 2, button=3)  # ... this one hits no row
    editor.menu_item("■設定削除")
    assert editor.row(title, 2) == row_before
    assert progdir.read("cmdsnd.bin") == stored
