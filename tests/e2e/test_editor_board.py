"""The editor's board pages against the virtual board: learning a button by
two captures, capturing and sending a full code, switching an outlet."""
import pytest

from editor_ui import RULE, Editor, read_slots
from harness import wait_for
from peers_board import vboard  # noqa: F401

LEARNING, IR_SEND, POWER = "リモコン受信設定", "リモコン送信設定", "電気製品のパワーオンオフ操作"
# Signatures without an 0xFF byte: the code text of a capture ends after the
# first one. A capture holds the 16 signature bytes of the board's reply.
SIGNATURE = "1C-6B-2A-5D-01-02-03-04-11-22-33-44-55-66-77-88-"
OTHER = "2C-6B-2A-5D-01-02-03-04-11-22-33-44-55-66-77-88-"
CODE = "8D-46-09-09-09-1A-09-1A-09-09-FF-"


@pytest.fixture
def editor(wine, progdir, ui, tmp_path_factory):
    return Editor(wine, progdir, ui, tmp_path_factory.mktemp("helpers"))


def capture(editor, vboard, title, button, signature=None, field=1082):
    before = editor.get(title, field)
    editor.click(title, button)
    vboard.press_when_ready(CODE, signature)
    return wait_for(lambda: (lambda t: t if t and t != before else None)(editor.get(title, field)), 30,
                    what="the capture in its field")


def test_learning_a_button_by_two_captures(editor, progdir, vboard):
    editor.start(env=vboard.env)
    first = capture(editor, vboard, LEARNING, 1032, SIGNATURE, 1082)
    assert first.startswith(SIGNATURE)
    second = capture(editor, vboard, LEARNING, 1033, SIGNATURE, 1083)
    assert second.startswith(SIGNATURE)
    assert editor.get(LEARNING, 1085) == "１回目と２回目は頭１６文字は一致しました"
    assert editor.get(LEARNING, 1086) == editor.get(LEARNING, 1087) == str(len(first) // 3)
    editor.screenshot("page_learning_captured")
    editor.set(LEARNING, 1080, "居間のリモコン")
    editor.set(LEARNING, 1081, "電源")
    editor.set(LEARNING, 1084, "100")
    editor.click(LEARNING, 1)
    assert read_slots(progdir.read("rmtrcv.bin"), 3)[0] == ["居間のリモコン", "電源", first]
    # A capture of another button does not match the first.
    capture(editor, vboard, LEARNING, 1033, OTHER, 1083)
    assert editor.get(LEARNING, 1085) == "１回目と２回目は一致しません"
    editor.click(LEARNING, 1)
    assert editor.msgbox() == "１回目と２回目の読み取り内容が違います"


def test_capturing_and_sending_a_full_code(editor, progdir, vboard):
    editor.start(env=vboard.env)
    editor.select(RULE, 1014, text="1xx リモコン送信")
    first = capture(editor, vboard, IR_SEND, 1032, None, 1082)
    assert first.startswith(CODE.split("-FF-")[0])
    capture(editor, vboard, IR_SEND, 1033, None, 1083)
    count = int(editor.get(IR_SEND, 1086))
    assert editor.get(IR_SEND, 1085) == f"{count + 1} 桁目で一致しません"
    editor.click(IR_SEND, 1034)
    sent = wait_for(lambda: (lambda s: s if s[0] >= 1 else None)(vboard.sent()), 30, what="the transmission")
    assert sent[1].startswith(CODE)
    wait_for(lambda: editor.get(IR_SEND, 1085) == "リモコン送信が完了しました", 30, what="the status")


@pytest.mark.parametrize("operation,state,outlets,boxes", [
    (1051, 1059, "1 0 0 0", [("実行", "パワー実行を行います")]),
    (1054, 1061, "0 0 0 0", [("初期設定", "パワー初期設定を行います"), ("実行", "パワー実行を行います")]),
])
def test_the_power_test_switches_an_outlet(editor, vboard, operation, state, outlets, boxes):
    editor.start(env=vboard.env)
    editor.select(RULE, 1014, text="8xx 電気製品の電源オンオフ")
    editor.check(POWER, operation)
    editor.check(POWER, state)
    editor.click(POWER, 1032)
    for caption, text in boxes:
        assert editor.msgbox(title=caption) == text
    wait_for(lambda: vboard.outlets() == outlets, 30, what=f"outlets {outlets}")
