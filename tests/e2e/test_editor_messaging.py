"""The editor's mail and FTP tests against real servers on loopback."""
import pytest

from editor_ui import RULE, Editor
from peers_messaging import ftp_server, scratch, smtp_box  # noqa: F401

MAIL_SEND, MAIL_SERVER, FTP = "メール送信設定", "メールサーバ設定", "FTP送信"


@pytest.fixture
def editor(wine, progdir, ui, tmp_path_factory):
    return Editor(wine, progdir, ui, tmp_path_factory.mktemp("helpers"))


def set_mail_account(editor, smtp_host):
    editor.click(MAIL_SEND, 1032)
    editor.ui("wait", "--title", MAIL_SERVER)
    for id, text in {1080: "pop.example.jp", 1081: smtp_host, 1082: "taro", 1083: "pw", 1084: "山田太郎",
                     1085: "60"}.items():
        editor.set(MAIL_SERVER, id, text)
    editor.click(MAIL_SERVER, 1)
    editor.ui("wait", "--title", MAIL_SERVER, "--gone")


def fill_mail(editor, progdir, to):
    progdir.write("body.txt", "本日の報告です\r\n".encode("cp932"))
    editor.set(MAIL_SEND, 1080, to)
    editor.set(MAIL_SEND, 1081, "テスト")
    editor.set(MAIL_SEND, 1082, progdir.winpath("body.txt"))


def test_the_mail_test_reaches_the_server(editor, progdir, smtp_box):
    editor.start()
    editor.select(RULE, 1014, text="2xx メール送信")
    set_mail_account(editor, smtp_box.host)
    fill_mail(editor, progdir, "hanako@example.jp")
    editor.click(MAIL_SEND, 1034)
    assert editor.msgbox() == "送信が終了しました"
    raw = smtp_box.mail(1)
    assert "本日の報告です".encode("iso-2022-jp") in raw
    assert smtp_box.envelope(1).splitlines()[1:] == [f"from taro@{smtp_box.host}", "to hanako@example.jp"]


def test_a_refused_mail_shows_the_servers_reply_first(editor, progdir, smtp_box):
    editor.start()
    editor.select(RULE, 1014, text="2xx メール送信")
    set_mail_account(editor, smtp_box.host)
    fill_mail(editor, progdir, "nobody@refused.example")
    editor.click(MAIL_SEND, 1034)
    assert editor.msgbox().startswith("550")
    assert editor.msgbox() == "送信が終了しました"


def test_a_missing_body_file_sends_nothing(editor, progdir, smtp_box):
    editor.start()
    editor.select(RULE, 1014, text="2xx メール送信")
    set_mail_account(editor, smtp_box.host)
    fill_mail(editor, progdir, "hanako@example.jp")
    editor.set(MAIL_SEND, 1082, progdir.winpath("missing.txt"))
    editor.click(MAIL_SEND, 1034)
    assert editor.msgbox() == "本文ファイル名のファイルがありません"
    assert not (smtp_box.dir / "1.eml").exists()


def test_the_ftp_test_uploads_the_file(editor, progdir, ftp_server):
    progdir.write("up.txt", b"hello ftp\r\n")
    editor.start()
    editor.select(RULE, 1014, text="4xx ファイル送信")
    for id, text in {1080: ftp_server.host, 1081: ftp_server.user, 1082: ftp_server.password,
                     1083: "up.txt", 1084: progdir.winpath("up.txt")}.items():
        editor.set(FTP, id, text)
    editor.check(FTP, 1140)
    editor.check(FTP, 1141)
    editor.click(FTP, 1032)
    assert ftp_server.file("up.txt") == b"hello ftp\r\n"
