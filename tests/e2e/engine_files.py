"""Settings files for the engine's end-to-end tests, built byte by byte.

A slot file is 8 header bytes (1, then seven 0) and 100 slots; an empty slot
is the byte 0, a filled one its fields, each a 1-byte length, the CP932 text
and a 0 byte. A single-record file is the header and its fields.
"""
from __future__ import annotations

import datetime


def field(text: str) -> bytes:
    data = text.encode("cp932")
    assert len(data) < 256, text
    return bytes([len(data)]) + data + b"\0"


def slot_file(slots: dict[int, list[str]]) -> bytes:
    out = bytearray(b"\x01" + b"\0" * 7)
    for i in range(100):
        record = slots.get(i)
        out += b"".join(field(f) for f in record) if record else b"\0"
    return bytes(out)


def record_file(fields: list[str]) -> bytes:
    return b"\x01" + b"\0" * 7 + b"".join(field(f) for f in fields)


def clock(t: datetime.datetime) -> str:
    return f"{t.hour:02d}時{t.minute:02d}分"


def window_around_now(before_min: int = 5, after_min: int = 30) -> tuple[str, str]:
    """A daily window that holds the coming minutes (the whole day near midnight)."""
    now = datetime.datetime.now()
    start, end = now - datetime.timedelta(minutes=before_min), now + datetime.timedelta(minutes=after_min)
    if start.date() != now.date() or end.date() != now.date():
        return "00時00分", "23時59分"
    return clock(start), clock(end)


def interval_rule_folder(progdir, actions: str, seconds: int = 2, commands: dict | None = None,
                         captures: dict | None = None) -> None:
    """Rule 000 runs `actions` on interval event 401 every `seconds` around now."""
    start, end = window_around_now()
    progdir.write("setio.bin", slot_file({0: ["○", "401", actions, "test"]}))
    progdir.write("intrcv.bin", slot_file({1: ["毎日", "", "", start, end, str(seconds), ""]}))
    if commands:
        progdir.write("cmdsnd.bin", slot_file({i: [k, f, ""] for i, (k, f) in commands.items()}))
    if captures:
        progdir.write("capsnd.bin", slot_file(
            {i: [k, "320*240", "JPG", "wav", str(s), f, ""] for i, (k, s, f) in captures.items()}))
