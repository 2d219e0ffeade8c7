"""halvik-settings: the Windows build under Wine agrees byte for byte with the
native build, on the demo folder and on a folder full of findings."""
import json
import shutil
import subprocess
from pathlib import Path

import pytest

from harness import BUILD_NATIVE, FIXTURES, find_built

DEMO = FIXTURES / "demo"
BIN_NAMES = sorted(p.name for p in DEMO.glob("*.bin"))

# Every kind of finding, and a field whose bytes are not CP932 (added below).
FINDINGS_JSON = {
    "setio.bin": {
        "000": ["有", "302", "300,,800", ""],
        "001": ["○", "950", "300/5,801,800x", "注釈"],
        "002": ["○", "400", ",".join(["300"] * 16), ""],
    },
    "timrcv.bin": {"300": ["毎週", "", "", "7時05分", ""], "301": ["曜日指定", "", "", "08時00分", ""]},
    "intrcv.bin": {"400": ["日指定", "", "1,15", "22時00分", "02時00分", "0", ""]},
    "netrcv.bin": {"500": ["接続", "1.2.3.4", "70000", "x" * 40, ""]},
    "cmdsnd.bin": {"300": ["ショートカットの実行", "", ""]},
    "ftpsnd.bin": {"400": ["s", "u", "abc", "a", "b", "y", "N", "N"]},
    "pwrsnd.bin": {"800": ["第二製品のパワーオン", "そのまま", ""]},
    "rmtrcv.bin": {"100": ["r", "b", "01-02-"]},
}


@pytest.fixture(scope="module")
def native():
    exe = BUILD_NATIVE / "tools" / "halvik-settings"
    assert exe.is_file(), "build the native preset first"
    return exe


@pytest.fixture(scope="module")
def findings_folder(native, tmp_path_factory):
    folder = tmp_path_factory.mktemp("findings")
    doc = json.dumps(FINDINGS_JSON, ensure_ascii=False).encode()
    r = subprocess.run([native, "import", folder], input=doc, capture_output=True)
    assert r.returncode == 0, r.stderr
    # A mail account whose name field holds a lead byte without its trail byte.
    (folder / "setmail.bin").write_bytes(b"\x01" + b"\0" * 7 + b"\x01a\0\x01b\0\x01c\0\0\0\x02\x82 \0\x0260\0")
    return folder


class Tools:
    def __init__(self, wine, native):
        self.wine, self.native, self.exe = wine, native, find_built("halvik-settings.exe")

    def windows(self, *args, input=None):
        args = [self.wine.winpath(a) if isinstance(a, Path) else a for a in args]
        return self.wine.run(self.exe, *args, input=input, timeout=120)

    def linux(self, *args, input=None):
        return subprocess.run([self.native, *args], input=input, capture_output=True, timeout=60)


@pytest.fixture
def tools(wine, native):
    return Tools(wine, native)


def same(tools, *args, input=None):
    w, n = tools.windows(*args, input=input), tools.linux(*args, input=input)
    assert (w.returncode, w.stdout) == (n.returncode, n.stdout), (args, w.stderr[-2000:], n.stderr[-2000:])
    return n


def test_show_export_and_check_print_the_same_bytes(tools, findings_folder):
    for name in BIN_NAMES:
        r = same(tools, "show", DEMO / name)
        assert r.returncode == 0 and r.stdout.startswith(name.encode() + b": ")
    assert "パスワード: secret123\n" in same(tools, "show", DEMO / "ftpsnd.bin", "--decode-passwords").stdout.decode()
    assert same(tools, "export", DEMO).stdout.startswith(b'{\n  "passwords": "encoded",\n')
    assert same(tools, "export", DEMO, "--decode-passwords").stdout == (DEMO / "demo.json").read_bytes()
    assert same(tools, "check", DEMO).stdout == b""
    assert same(tools, "show", findings_folder / "setmail.bin").stdout.decode().endswith(
        "氏名（漢字）: \\x82 \n受信問い合わ間隔: 60\n")

    found = same(tools, "check", findings_folder)
    assert found.returncode == 1
    lines = found.stdout.decode().splitlines()
    expected = [
        'setio.bin 000 field 1: not a mark ("○" or "Ｘ"): "有" reads as "Ｘ"',
        "setio.bin 000 field 2: event 302 is not registered (its slot of timrcv.bin is empty)",
        'setio.bin 000 field 3: the engine refuses the action list "300,,800"',
        "setio.bin 001 field 2: event 950 is in no event category (100-599)",
        'setio.bin 001 field 3: the engine stops reading the action list at "x" and runs 2 action(s)',
        "setio.bin 001 field 3: action 801 is not registered (its slot of pwrsnd.bin is empty)",
        "setio.bin 002 field 3: 16 actions; the engine runs the first 15",
        "setmail.bin field 5: byte 0 is not CP932 text: \"\\x82 \"",
        "rmtrcv.bin 100 field 3: a signature of 2 bytes; the engine compares 8",
        'timrcv.bin 300 field 1: "毎週" is not in the day kind table; it reads as "毎日"',
        'timrcv.bin 300 field 4: not a clock time as the editor writes it (00時00分): "7時05分" reads as 07:05',
        'timrcv.bin 301 field 2: no weekday chosen for "曜日指定": the event never occurs',
        'intrcv.bin 400 field 3: not a day list as the editor writes it (01,15,31): "1,15" reads as "01"',
        'intrcv.bin 400 field 6: interval "0" reads as 0 seconds: the engine starts no timer for it',
        "intrcv.bin 400 field 5: the daily window 22:00-02:00 ends before it starts: it never opens",
        'netrcv.bin 500 field 1: not "する" or "待ち": "接続" reads as "待ち"',
        'netrcv.bin 500 field 3: not a port (1-65535): "70000" reads as 70000',
        'netrcv.bin 500 field 4: 40 bytes; the engine keeps the first 31: "' + "x" * 31 + '"',
        'cmdsnd.bin 300 field 2: no file to open for "ショートカットの実行"',
        "ftpsnd.bin 400 field 3: not a stored password (upper-case hexadecimal, 16 characters a block, "
        "as the editor enciphers it)",
        'ftpsnd.bin 400 field 6: not Y or N: "y" reads as N',
        'pwrsnd.bin 800 field 1: "第二製品のパワーオン" is not in the power operation table; the action does nothing',
        'pwrsnd.bin 800 field 2: "そのまま" is not in the power initial state table; the action does nothing',
    ]
    assert lines == expected
    # The folder cannot be exported exactly: both builds refuse alike.
    refused = same(tools, "export", findings_folder)
    assert refused.returncode == 1 and refused.stdout == b""


def files_of(folder):
    return {p.name: p.read_bytes() for p in sorted(folder.iterdir())}


def test_import_writes_the_same_files_as_the_native_build(tools, progdir):
    # A Japanese folder name: the path goes to Windows as UTF-16 and back.
    win_dir, native_dir = progdir.path / "設定", progdir.path / "native"
    win_dir.mkdir()
    native_dir.mkdir()
    doc = (DEMO / "demo.json").read_bytes()
    w = tools.windows("import", win_dir, input=doc)
    assert w.returncode == 0, w.stderr
    assert tools.linux("import", str(native_dir), input=doc).returncode == 0
    demo = {name: (DEMO / name).read_bytes() for name in BIN_NAMES}
    assert files_of(win_dir) == demo
    assert files_of(native_dir) == demo


def test_export_then_import_under_wine_reproduces_the_files(tools, progdir):
    for option in ([], ["--decode-passwords"]):
        out = progdir.path / ("copy" + "".join(option))
        out.mkdir()
        exported = tools.windows("export", DEMO, *option)
        assert exported.returncode == 0 and exported.stderr == b""
        assert tools.windows("import", out, input=exported.stdout).returncode == 0
        assert files_of(out) == {name: (DEMO / name).read_bytes() for name in BIN_NAMES}


@pytest.mark.parametrize("doc,message", [
    (b'{"setio.bin": {"000": ["\xe2\x97\x8b", "1", "2", "x",]}}', "not valid JSON: a comma before ']'"),
    ('{"cmdsnd.bin": {"300": ["再起動", "〜", ""]}}'.encode(), "U+301C cannot be written in CP932; write U+FF5E"),
    ('{"cmdsnd.bin": {"300": ["再起動", "%s", ""]}}' % ("あ" * 128), "256 bytes in CP932; a field holds at most 255"),
    (b'{"mailsnd.bin": {"237": ["a", "b", "c"]}, "setio.bin": {"100": ["a", "b", "c", "d"]}}',
     '"100" is not one of its registration numbers'),
    ('{"rmtsnd.bin": {"100": ["a", "", "%s"]}}' % ("A" * 65422), "would take 65537 bytes; the file holds at most 65536"),
], ids=["malformed-json", "wave-dash", "field-256-bytes", "bad-registration-number", "file-too-large"])
def test_bad_input_writes_nothing(tools, progdir, doc, message):
    folder = progdir.path / "設定"
    folder.mkdir()
    (folder / "setio.bin").write_bytes(b"old rules")
    r = tools.windows("import", folder, input=doc if isinstance(doc, bytes) else doc.encode())
    assert r.returncode == 1
    err = r.stderr.decode("utf-8")
    assert message in err and "nothing written" in err
    assert files_of(folder) == {"setio.bin": b"old rules"}
