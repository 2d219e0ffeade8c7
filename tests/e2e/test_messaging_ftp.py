"""The engine's FTP upload under Wine (WinInet) against vsftpd."""
from __future__ import annotations

from peers_messaging import ftp_server, interval_event, scratch, start_engine, wait_log, write_settings  # noqa: F401

TEXT = "照明の記録\r\nASCII line\r\nｶﾀｶﾅ\r\n".encode("cp932")


def test_ftp_actions_upload_their_files_converted_and_unchanged(wine, progdir, ui, ftp_server, scratch):
    local = scratch / "記録.txt"
    local.write_bytes(TEXT)
    local_win = wine.winpath(local)
    write_settings(progdir, {
        # Two uploads a round, two seconds apart (Wine's WinInet now and then
        # fails one of two sessions that start at the same moment).
        "setio.bin": {"000": ["○", "401", "401/2,402", "uploads"]},
        "intrcv.bin": {"401": interval_event(8)},
        "ftpsnd.bin": {
            # passive, ASCII, converted to EUC-JP
            "401": [ftp_server.host, ftp_server.user, ftp_server.password, "euc.txt", local_win, "Y", "N", "Y"],
            # active, binary: convert does not apply
            "402": [ftp_server.host, ftp_server.user, ftp_server.password, "bin.txt", local_win, "N", "Y", "Y"],
        },
    })
    start_engine(wine, progdir, ui)
    euc = "照明の記録\r\nASCII line\r\nｶﾀｶﾅ\r\n".encode("euc_jp")
    # vsftpd stores an ASCII upload with its CR LF line ends as LF.
    assert ftp_server.file("euc.txt", len(euc.replace(b"\r\n", b"\n"))) == euc.replace(b"\r\n", b"\n")
    assert ftp_server.file("bin.txt", len(TEXT)) == TEXT
    lines = wait_log(ui, lambda m: m.count("ＦＴＰ送信終了") >= 2, 30, "two finished uploads")
    assert "ＦＴＰ送信開始" in lines
    assert not any("エラー" in line for line in lines), lines


def test_a_wrong_password_is_a_connect_error(wine, progdir, ui, ftp_server, scratch):
    local = scratch / "a.txt"
    local.write_bytes(b"x")
    write_settings(progdir, {
        "setio.bin": {"000": ["○", "401", "401", "upload"]},
        "intrcv.bin": {"401": interval_event(3)},
        "ftpsnd.bin": {"401": [ftp_server.host, ftp_server.user, "wrong", "a.txt", wine.winpath(local), "Y", "Y", "N"]},
    })
    start_engine(wine, progdir, ui)
    lines = wait_log(ui, lambda m: "ＦＴＰ送信接続エラー" in m, 60, "the connect error")
    assert "ＦＴＰ送信終了" not in lines
