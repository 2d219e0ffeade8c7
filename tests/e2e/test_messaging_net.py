"""The engine's net listener and net send under Wine, with Linux peers."""
from __future__ import annotations

import socket

from conftest import free_port
from peers_messaging import scratch, start_engine, tcp_listener, wait_log, write_settings  # noqa: F401


def send_text(port: int, data: bytes) -> None:
    with socket.create_connection(("127.0.0.1", port), timeout=10) as s:
        s.sendall(data)


def wait_ready(ui):
    wait_log(ui, lambda m: "ネット受信準備完了しました" in m, 30, "the listener to be ready")


def test_a_text_fires_a_rule_whose_net_send_reaches_a_linux_listener(wine, progdir, ui, tcp_listener):
    port = free_port()
    write_settings(progdir, {
        "setio.bin": {"000": ["○", "501", "701", "net to net"], "001": ["○", "502", "702", "other port"]},
        "netrcv.bin": {"501": ["待ち", "127.0.0.1", str(port), "LIGHT ON", ""],
                       "502": ["待ち", "10.9.9.9", str(port), "LIGHT", ""]},
        "netsnd.bin": {"701": ["する", "127.0.0.1", str(tcp_listener.port), "照明がつきました", ""],
                       "702": ["する", "127.0.0.1", str(tcp_listener.port), "not this", ""]},
    })
    start_engine(wine, progdir, ui)
    wait_ready(ui)
    send_text(port, b"LIGHT ON\0tail")
    assert tcp_listener.received(1, timeout=30) == "照明がつきました".encode("cp932") + b"\0"
    lines = wait_log(ui, lambda m: "ネット受信あり\tイベント番号:501" in m, 20, "the hand-over")
    assert "データ受信: LIGHT ON" in lines
    assert not any("502" in line for line in lines)  # the entry of another source address
    assert ("ネット送信　接続されました 相手のアドレスは 127.0.0.1,ポート番号は %d です" % tcp_listener.port) in lines


def test_direct_actions_with_dots_run_each_action(wine, progdir, ui, tcp_listener):
    port = free_port()
    write_settings(progdir, {
        "setio.bin": {"000": ["○", "501", "703", "keeps the listener"]},
        "netrcv.bin": {"501": ["待ち", "127.0.0.1", str(port), "never sent", ""]},
        "netrcvd.bin": ["127.0.0.1", "act="],
        "netsnd.bin": {"701": ["する", "127.0.0.1", str(tcp_listener.port), "first", ""],
                       "702": ["する", "127.0.0.1", str(tcp_listener.port), "second", ""]},
    })
    start_engine(wine, progdir, ui)
    wait_ready(ui)
    send_text(port, b"act=701.702\0")
    got = {tcp_listener.received(1, timeout=30), tcp_listener.received(2, timeout=30)}
    assert got == {b"first\0", b"second\0"}
