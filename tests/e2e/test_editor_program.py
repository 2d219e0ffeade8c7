"""The editor program as a whole: one instance only, the question whether to
start the engine again, the settings log window, the record dialogs, the test
buttons that start other programs, and the texts under a non-Japanese locale."""
import re
import subprocess
import time

import pytest

from editor_ui import RULE, Editor, cp932, read_slots, record_file, slot_file
from harness import wait_for

LOG = "設定ログ(HalvikX)"


@pytest.fixture
def editor(wine, progdir, ui, tmp_path_factory):
    return Editor(wine, progdir, ui, tmp_path_factory.mktemp("helpers"))


def test_a_second_start_shows_nothing(editor, wine, progdir, ui):
    first = editor.start()
    second = wine.run(progdir.exe("halvikx.exe"), timeout=60)
    assert second.returncode == 0
    assert first.poll() is None
    tree = ui("tree")
    assert tree.count(RULE) == 1


@pytest.mark.parametrize("command_line,asks", [("1", True), ("1abc", True), ("", False), ("2", False)])
def test_restart_question(editor, progdir, command_line, asks):
    editor.install_stand_in("halvik.exe")
    proc = editor.start(*([command_line] if command_line else []))
    editor.close_rule_page()
    if asks:
        assert editor.msgbox("YES", title="確認") == "ハルヴィクを再起動しますか"
        # started from the program folder, with no parameters
        assert editor.started_args("halvik.exe").strip().strip('"').endswith("\\prog\\halvik.exe")
    wait_for(lambda: proc.poll() is not None, 20, what="the editor to end")
    assert proc.returncode == 0
    if not asks:
        time.sleep(1)
        assert not progdir.exists("halvik.args")


def test_restart_declined_starts_nothing(editor, progdir):
    editor.install_stand_in("halvik.exe")
    proc = editor.start("1")
    editor.close_rule_page()
    assert editor.msgbox("NO", title="確認") == "ハルヴィクを再起動しますか"
    wait_for(lambda: proc.poll() is not None, 20, what="the editor to end")
    time.sleep(1)
    assert not progdir.exists("halvik.args")


def test_settings_log_window(editor, progdir):
    progdir.write("halvik.log", cp932("09:00:00 ハルヴィクが起動しました\n"))
    editor.start()
    assert not editor.visible(LOG)
    editor.click(RULE, 1032)
    assert editor.shows(LOG)
    rows = editor.rows(LOG)
    assert [r[1:] for r in rows if r != [""]] == [[" 0", "ファイル設定アプリ開始しました"]]
    stamp = rows[0][0]
    editor.screenshot("settings_log")
    editor.click(LOG, 1034)
    editor.click(LOG, 1034)  # saving twice appends the rows twice
    line = cp932(f"{stamp} ファイル設定アプリ開始しました\n")
    assert progdir.read("halvik.log") == cp932("09:00:00 ハルヴィクが起動しました\n") + line + line
    editor.click(LOG, 1035)
    assert not progdir.exists("halvik.log")
    editor.click(LOG, 1034)
    assert progdir.read("halvik.log") == line
    editor.click(LOG, 1032)
    assert editor.get(LOG, 1032) == "ログ再開"
    editor.click(LOG, 1032)
    assert editor.get(LOG, 1032) == "ログ停止"
    editor.click(LOG, 1033)
    assert [r for r in editor.rows(LOG) if r != [""]] == []
    editor.ui("close", "--title", LOG)
    wait_for(lambda: not editor.visible(LOG), 5, what="the log window hidden")


MAIL_SERVER = "メールサーバ設定"


def test_mail_server_dialog(editor, progdir):
    editor.start()
    editor.select(RULE, 1013, text="2xx メール受信")
    editor.click("メール受信設定", 1032)
    editor.ui("wait", "--title", MAIL_SERVER)
    values = {1080: "pop.example.jp", 1081: "smtp.example.jp", 1082: "taro", 1083: "秘密のpw",
              1084: "山田太郎", 1085: "5"}
    messages = {1080: "受信サーバ名を入れて下さい", 1081: "送信サーバ名を入れて下さい", 1082: "ユーザＩＤを入れて下さい",
                1083: "パスワードを入れて下さい", 1084: "氏名を入れて下さい", 1085: "時間間隔を入れて下さい"}
    editor.screenshot("mail_server_dialog")
    for empty in values:  # each empty field in its order, the later ones empty too
        for id in values:
            editor.set(MAIL_SERVER, id, values[id] if id < empty else "")
        editor.click(MAIL_SERVER, 1)
        assert editor.msgbox() == messages[empty]
    for id, text in values.items():
        editor.set(MAIL_SERVER, id, text)
    editor.set(MAIL_SERVER, 1083, "p" * 120)
    editor.click(MAIL_SERVER, 1)
    assert editor.msgbox() == "パスワードは119バイトまでにして下さい"
    assert not progdir.exists("setmail.bin")
    editor.set(MAIL_SERVER, 1083, values[1083])
    editor.click(MAIL_SERVER, 1)
    wait_for(lambda: progdir.exists("setmail.bin"), 5, what="setmail.bin")
    stored = progdir.read("setmail.bin")
    fields = read_slots(b"\x01" + b"\x00" * 7 + stored[8:] + b"\x00" * 400, 6)  # one record reads as slot 0
    assert fields[0][:3] == ["pop.example.jp", "smtp.example.jp", "taro"]
    assert fields[0][4:] == ["山田太郎", "5"]
    assert re.fullmatch(r"([0-9A-F]{16})+", fields[0][3])  # enciphered, never the password itself
    # Reopening from the mail send page shows what is stored, the password deciphered.
    editor.select(RULE, 1014, text="2xx メール送信")
    editor.click("メール送信設定", 1032)
    editor.ui("wait", "--title", MAIL_SERVER)
    assert [editor.get(MAIL_SERVER, id) for id in values] == list(values.values())
    editor.ui("command", "--title", MAIL_SERVER, "--id", "2")  # Esc closes without saving
    editor.ui("wait", "--title", MAIL_SERVER, "--gone")
    assert progdir.read("setmail.bin") == stored


@pytest.mark.parametrize("page,button,title,file,label_message", [
    ("メール受信設定", 1033, "メールダイレトアクション指定", "mailrcvd.bin", "メールアドレスを入れて下さい"),
    ("ネットから受信", 1032, "ネットダイレトアクション指定", "netrcvd.bin", "IPアドレスを入れて下さい"),
], ids=["mail", "net"])
def test_direct_action_dialogs(editor, progdir, page, button, title, file, label_message):
    editor.start()
    editor.select(RULE, 1013, text="2xx メール受信" if file == "mailrcvd.bin" else "5xx ネットから受信発生")
    editor.click(page, button)
    editor.ui("wait", "--title", title)
    editor.click(title, 1)
    assert editor.msgbox() == label_message
    editor.set(title, 1080, "127.0.0.1")
    editor.click(title, 1)
    assert editor.msgbox() == "アクション文字列入れて下さい"
    assert editor.get(title, 1080) == "127.0.0.1"  # the typed text stays
    editor.set(title, 1081, "act=")
    editor.click(title, 1)
    editor.ui("wait", "--title", title, "--gone")
    assert progdir.read(file) == record_file(["127.0.0.1", "act="])
    editor.click(page, button)
    editor.ui("wait", "--title", title)
    assert [editor.get(title, 1080), editor.get(title, 1081)] == ["127.0.0.1", "act="]


def test_test_buttons_start_the_recorder_the_player_and_files(editor, progdir):
    editor.install_stand_in("tonelog.exe")
    editor.install_stand_in("vistamo.exe")
    editor.install_stand_in("opened.exe")
    editor.start()
    capture = "キャプチャー保存"
    editor.select(RULE, 1014, text="6xx キャプチャー保存")
    editor.check(capture, 1054)
    editor.set(capture, 1080, "10")
    editor.set(capture, 1081, "C:\\r.wav")
    editor.click(capture, 1033)
    assert editor.started_args("tonelog.exe").endswith(" C:\\r.wav t=   10")

    command = "コマンド実行設定"
    editor.select(RULE, 1014, text="3xx パソコン制御")
    editor.check(command, 1056)
    editor.set(command, 1080, "C:\\a.mp3")
    editor.click(command, 1032)
    assert editor.started_args("vistamo.exe").endswith(' "C:\\a.mp3 p=y"')

    editor.check(command, 1055)  # a file opened as the shell opens it
    editor.set(command, 1080, progdir.winpath("opened.exe"))
    editor.click(command, 1032)
    assert editor.started_args("opened.exe")


def test_texts_under_a_non_japanese_locale(editor, wine, progdir):
    acp = progdir.path / "acp.exe"
    editor.install_stand_in("acp.exe")
    locale = {"LC_ALL": "C.UTF-8", "LANG": "C.UTF-8"}
    wine.run(acp, env=locale)
    code_page = (progdir.path / "acp.args").read_text()
    progdir.write("timrcv.bin", slot_file({5: ["曜日指定", "月金", "", "07時05分", "朝の合図"]}))
    # A Windows of another language has the pages' font, ＭＳ Ｐゴシック; Wine
    # maps that name to a font of its own only under a Japanese locale, so
    # the screenshot would show empty boxes without this mapping.
    subprocess.run(["wine", "reg", "add", r"HKCU\Software\Wine\Fonts\Replacements", "/v", "ＭＳ Ｐゴシック",
                    "/d", "Noto Sans CJK JP", "/f"], env=wine.env, capture_output=True, timeout=60)
    editor.start(env=locale)  # found by its Japanese caption
    assert [editor.get(RULE, id) for id in (1, 1032)] == ["設定の登録", "ログ表示"]
    assert editor.get(RULE, 1013) == "1xx リモコン受信"
    editor.select(RULE, 1013, text="3xx 指定時刻タイマー発生")
    assert editor.row("時刻指定設定", 5) == ["305", "曜日指定", "月金", "", "07時05分", "朝の合図"]
    editor.set(RULE, 1080, "305")
    editor.set(RULE, 1081, "801")
    editor.set(RULE, 1082, "日本語のコメント")
    editor.set(RULE, 1083, "1")
    editor.click(RULE, 1)
    assert progdir.read("setio.bin") == slot_file({1: ["○", "305", "801", "日本語のコメント"]})
    editor.screenshot("rule_page_c_locale")
    assert code_page == "1252", "the locale did not change the ANSI code page"
