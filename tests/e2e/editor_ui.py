"""Driving halvikx as a person would: typing into its fields, pressing its
buttons, right-clicking rows of its lists and choosing from the row menu,
reading what its lists and message boxes show.

Mouse clicks go through xdotool on the Xvfb display (the Wine desktop covers
it at 0,0); where to click comes from a small helper, cellrect.exe, compiled
here with mingw-w64, that prints the screen rectangle of a control or of one
list cell."""
from __future__ import annotations

import shutil
import subprocess
import time
from pathlib import Path

from harness import ARTIFACTS, wait_for

SCREENS = ARTIFACTS / "screens"

RULE = "発生イベント対応実行アクション設定"
HERE = Path(__file__).resolve().parent
_CELLRECT: Path | None = None


def cellrect_exe(build_dir: Path) -> Path:
    global _CELLRECT
    if _CELLRECT is None or not _CELLRECT.exists():
        out = build_dir / "cellrect.exe"
        subprocess.run(["x86_64-w64-mingw32-g++", "-municode", "-O1", "-o", str(out),
                        str(HERE / "editor_helpers" / "cellrect.cpp"), "-lcomctl32"], check=True)
        _CELLRECT = out
    return _CELLRECT


def recordargs_exe(build_dir: Path) -> Path:
    """A stand-in program that writes its command line to NAME.args beside itself."""
    out = build_dir / "recordargs.exe"
    if not out.exists():
        subprocess.run(["x86_64-w64-mingw32-g++", "-municode", "-O1", "-static", "-o", str(out),
                        str(HERE / "editor_helpers" / "recordargs.cpp")], check=True)
    return out


def cp932(text: str) -> bytes:
    return text.encode("cp932")


def slot_file(slots: dict[int, list[str]], wide_field: int = -1) -> bytes:
    """The bytes of a slot file: the 8-byte header, then 100 slots, each the
    single byte 0 when empty or its fields as length, bytes and a 0 byte."""
    out = bytearray(b"\x01" + b"\x00" * 7)
    for i in range(100):
        fields = slots.get(i)
        if not fields:
            out += b"\x00"
            continue
        for n, field in enumerate(fields):
            data = cp932(field)
            out += (len(data).to_bytes(2, "little") if n == wide_field else bytes([len(data)]))
            out += data + b"\x00"
    return bytes(out)


def record_file(fields: list[str]) -> bytes:
    out = bytearray(b"\x01" + b"\x00" * 7)
    for field in fields:
        data = cp932(field)
        out += bytes([len(data)]) + data + b"\x00"
    return bytes(out)


class Editor:
    def __init__(self, wine, progdir, ui, tmp: Path):
        self.wine, self.progdir, self.ui = wine, progdir, ui
        self.cellrect = cellrect_exe(tmp)
        self.recordargs = recordargs_exe(tmp)
        self.proc = None

    def install_stand_in(self, name: str):
        """Puts the stand-in program into the program folder as name."""
        shutil.copy2(self.recordargs, self.progdir.path / name)

    def started_args(self, name: str, timeout: float = 10) -> str:
        """The command line the stand-in called name was started with."""
        args = self.progdir.path / (Path(name).stem + ".args")
        wait_for(args.exists, timeout, what=f"{name} started")
        time.sleep(0.3)
        return args.read_text("utf-8")

    # -- the program --------------------------------------------------------
    def start(self, *args, env=None):
        self.progdir.install("halvikx.exe")
        self.proc = self.wine.start(self.progdir.exe("halvikx.exe"), *args, env=env)
        # A driver started while the editor's first Wine process is still
        # bringing up the wineserver can race it: give the editor a head start,
        # then look for its rule page with short tries.
        time.sleep(3)
        wait_for(lambda: self.ui("find", "--title", RULE, "--timeout", "2000", check=False).strip(),
                 90, interval=0.5, what="the rule page")
        assert self.proc.poll() is None, f"halvikx ended with {self.proc.returncode} after showing its rule page"
        return self.proc

    def close_rule_page(self):
        self.ui("close", "--title", RULE)

    # -- controls -----------------------------------------------------------
    def set(self, title: str, id: int, text: str):
        self.ui("settext", "--title", title, "--id", str(id), "--text", text)

    def get(self, title: str, id: int) -> str:
        return self.ui("gettext", "--title", title, "--id", str(id)).rstrip("\n")

    def check(self, title: str, id: int, state: bool = True):
        self.ui("check", "--title", title, "--id", str(id), "--state", "1" if state else "0")

    def checked(self, title: str, id: int) -> bool:
        return self.ui("getcheck", "--title", title, "--id", str(id)).strip() == "1"

    def click(self, title: str, id: int):
        self.ui("click", "--title", title, "--id", str(id))

    def select(self, title: str, id: int, text: str | None = None, index: int | None = None):
        how = ["--text", text] if text is not None else ["--index", str(index)]
        self.ui("select", "--title", title, "--id", str(id), *how)

    def selected_text(self, title: str, id: int) -> str:
        return self.get(title, id)

    def _cellrect(self, *args) -> subprocess.CompletedProcess:
        return subprocess.run(["wine", str(self.cellrect), *map(str, args)], env=self.wine.env,
                              capture_output=True, timeout=30)

    def visible(self, title: str) -> bool:
        r = self._cellrect(title)
        return r.returncode == 0 and r.stdout.strip() == b"1"

    def shows(self, title: str, timeout: float = 10) -> bool:
        """Whether the window comes to be shown within the timeout (pages are
        shown from the rule page's message loop, a moment after a choice)."""
        deadline = time.monotonic() + timeout
        while True:
            if self.visible(title):
                return True
            if time.monotonic() > deadline:
                return False
            time.sleep(0.3)

    def msgbox(self, button: str = "OK", title: str | None = None) -> str:
        args = ["msgbox", "--button", button, "--timeout", "10000"]
        if title:
            args += ["--box-title", title]
        return self.ui(*args).strip()

    def rows(self, title: str) -> list[list[str]]:
        out = self.ui("listview", "--title", title, "--id", "1039")
        return [line.split("\t") for line in out.split("\n")[:100]]

    def row(self, title: str, n: int) -> list[str]:
        return self.ui("listview", "--title", title, "--id", "1039", "--row", str(n)).rstrip("\n").split("\t")

    # -- the mouse and keyboard ---------------------------------------------
    def _rect(self, title: str, id: int, row: int | None = None, column: int | None = None):
        args = [title, str(id)] + ([str(row), str(column)] if row is not None else [])
        r = self._cellrect(*args)
        if r.returncode != 0:
            return None
        return tuple(int(v) for v in r.stdout.split())

    def in_view(self, title: str, row: int) -> bool:
        """Whether the row of the window's list is in view (a partly visible row counts)."""
        r = self._cellrect(title, "1039", "view")
        assert r.returncode == 0, r.stderr
        top, count = (int(v) for v in r.stdout.split())
        return top <= row <= top + count

    def resize(self, title: str, width: int, height: int):
        assert self._cellrect(title, "size", width, height).returncode == 0

    def place(self, title: str, x: int, y: int, width: int, height: int):
        assert self._cellrect(title, "place", x, y, width, height).returncode == 0

    def window_rect(self, title: str):
        """The window's own rectangle: the rectangle of its list's parent."""
        return self._rect(title, 1039)

    def _xdotool(self, *args):
        subprocess.run(["xdotool", *args], env={"DISPLAY": self.wine.display}, check=True, timeout=30)

    def click_cell(self, title: str, row: int, column: int, button: int = 1):
        self.ui("lvselect", "--title", title, "--id", "1039", "--row", str(row))  # scrolls it into view
        rect = wait_for(lambda: self._rect(title, 1039, row, column), 10, what="cell rectangle")
        self.click_at((rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2, button)

    def click_at(self, x: int, y: int, button: int = 1):
        self._xdotool("mousemove", str(x), str(y))
        time.sleep(0.2)
        self._xdotool("click", str(button))
        time.sleep(0.4)

    def menu_item(self, item: str):
        """Chooses "■設定変更" or "■設定削除" from the open row menu."""
        keys = {"■設定変更": ["Down", "Return"], "■設定削除": ["Down", "Down", "Return"]}[item]
        for key in keys:
            self._xdotool("key", key)
            time.sleep(0.15)
        time.sleep(0.4)

    def row_menu(self, title: str, row: int, item: str):
        """Right-clicks the row and chooses "■設定変更" or "■設定削除" from its menu."""
        self.click_cell(title, row, 0, button=3)
        self.menu_item(item)

    def screenshot(self, name: str) -> Path:
        """A screenshot kept for a person to look at, under artifacts/screens/."""
        time.sleep(0.5)
        return self.wine.screenshot(SCREENS / f"{name}.png")


def read_slots(data: bytes, fields: int, wide_field: int = -1) -> dict[int, list[str]]:
    """The filled slots of a slot file, as texts."""
    slots, at = {}, 8
    for i in range(100):
        if at >= len(data) or data[at] == 0:
            at += 1
            continue
        record = []
        for n in range(fields):
            width = 2 if n == wide_field else 1
            length = int.from_bytes(data[at:at + width], "little")
            record.append(data[at + width:at + width + length].decode("cp932"))
            at += width + length + 1
        slots[i] = record
    return slots
