"""The engine's mail watcher and mail sender under Wine, against dovecot and
an SMTP server on loopback."""
from __future__ import annotations

import base64
import re

from harness import wait_for
from peers_messaging import (ftp_server, interval_event, log_messages, mailbox, scratch, smtp_box,  # noqa: F401
                             start_engine, tcp_listener, wait_log, write_settings)


def encoded(text: str) -> str:
    return "=?ISO-2022-JP?B?" + base64.b64encode(text.encode("iso2022_jp")).decode() + "?="


def mail(sender: str, subject: str, date: str = "Tue, 7 Jan 2003 20:15:00 -0000") -> bytes:
    return (f"From: {sender}\r\nTo: testuser@example.jp\r\nSubject: {subject}\r\nDate: {date}\r\n"
            "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n\r\nbody\r\n").encode()


def test_an_arriving_mail_fires_its_rule_within_a_poll_and_is_deleted(wine, progdir, ui, mailbox, tcp_listener):
    write_settings(progdir, {
        "setio.bin": {"000": ["○", "201", "701", "mail to net"]},
        "setmail.bin": [mailbox.host, "", "testuser", "testpass", "山田太郎", "60"],
        "mailrcv.bin": {"201": ["taro@example.jp", "照明", ""]},
        "netsnd.bin": {"701": ["する", "127.0.0.1", str(tcp_listener.port), "照明がつきました", ""]},
    })
    start_engine(wine, progdir, ui)
    mailbox.deliver(mail(f"{encoded('山田太郎')} <taro@example.jp>", encoded("照明をつけて")))
    mailbox.deliver(mail("hanako@example.jp", encoded("照明")))

    assert tcp_listener.received(1, timeout=75) == "照明がつきました".encode("cp932") + b"\0"
    lines = wait_log(ui, lambda m: "メール受信終了" in m, 30, "the end of the mailbox check")
    start = lines.index("メール受信開始")
    check = lines[start:lines.index("メール受信終了")]
    assert check[:4] == [
        "メール受信開始",
        "*1/2   題名:照明をつけて   発信元:山田太郎 <taro@example.jp>   日付:01/08 05:15",
        "*2/2   題名:照明   発信元:hanako@example.jp   日付:01/08 05:15",
        "メール受信あり\tイベント番号:201",
    ], lines
    assert "イベント発生 201" in check, lines
    # The matched mail is gone from the server; the other one stays.
    remaining = mailbox.messages()
    assert len(remaining) == 1
    assert b"hanako@example.jp" in remaining[0].read_bytes()


def test_a_rule_sends_a_mail_that_arrives_with_the_exact_headers(wine, progdir, ui, smtp_box, scratch):
    body = scratch / "body.txt"
    body.write_bytes("照明をつけました。\r\n.\r\n以上\r\n".encode("cp932"))
    write_settings(progdir, {
        "setio.bin": {"000": ["○", "401", "201", "interval to mail"]},
        "intrcv.bin": {"401": interval_event(3)},
        "setmail.bin": ["", smtp_box.host, "taro", "unused", "山田太郎", "60"],
        "mailsnd.bin": {"201": ["hanako@example.jp", "お知らせ", wine.winpath(body)]},
    })
    start_engine(wine, progdir, ui)
    raw = smtp_box.mail(1, timeout=60)
    head, _, text = raw.partition(b"\r\n\r\n")
    headers = head.split(b"\r\n")
    assert re.fullmatch(rb"Date: (Mon|Tue|Wed|Thu|Fri|Sat|Sun), \d\d (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)"
                        rb" \d{4}  \d\d:\d\d:\d\d  \+0900", headers[0]), headers[0]
    assert headers[1:] == [
        b"From: =?iso-2022-jp?B?" + base64.b64encode("山田太郎".encode("iso2022_jp")) + b"?=<taro@" +
        smtp_box.host.encode() + b">",
        b"Mime-Version: 1.0",
        b"Content-Type: text/plain; charset=ISO-2022-JP",
        b"Subject: =?iso-2022-jp?B?" + base64.b64encode("お知らせ".encode("iso2022_jp")) + b"?=",
    ]
    assert text == "照明をつけました。\r\n.\r\n以上\r\n\r\n".encode("iso2022_jp")
    envelope = smtp_box.envelope(1).splitlines()
    assert envelope[0] != "helo " and envelope[0].startswith("helo ")
    assert envelope[1:] == [f"from taro@{smtp_box.host}", "to hanako@example.jp"]
    lines = wait_log(ui, lambda m: "メール送信終了" in m, 20, "the end of the sending")
    assert lines.index("メール送信開始") < lines.index("メール送信終了")


def test_the_mail_direct_action_runs_the_actions_its_subject_names(wine, progdir, ui, mailbox, tcp_listener):
    write_settings(progdir, {
        "setio.bin": {"000": ["○", "201", "703", "keeps the watcher busy"]},
        "setmail.bin": [mailbox.host, "", "testuser", "testpass", "山田太郎", "60"],
        "mailrcv.bin": {"201": ["taro@example.jp", "never", ""]},
        "mailrcvd.bin": ["boss@example.jp", "実行="],
        "netsnd.bin": {"701": ["する", "127.0.0.1", str(tcp_listener.port), "first", ""],
                       "702": ["する", "127.0.0.1", str(tcp_listener.port), "second", ""]},
    })
    start_engine(wine, progdir, ui)
    mailbox.deliver(mail("Boss <boss@example.jp>", encoded("実行=701.702")))
    got = {tcp_listener.received(1, timeout=75), tcp_listener.received(2, timeout=30)}
    assert got == {b"first\0", b"second\0"}
    wait_for(lambda: not mailbox.messages(), 20, what="the mail to be deleted")
