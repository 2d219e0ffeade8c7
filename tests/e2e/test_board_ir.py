"""The engine and the board under Wine, against the virtual board: remote
buttons raise their IR events, IR send actions transmit, outlets switch."""
from peers_board import code_text, start_engine, vboard, wait_until, write_settings  # noqa: F401

# A remote button: its 16-byte signature and the full code the board captured.
SIGNATURE = "1C-6B-2A-5D-00-FF-00-FF-11-22-33-44-55-66-77-88-"
CODE = "8D-46-09-09-09-1A-09-1A-09-09-FF-"
# The same button taught again: only the first 8 bytes take part.
SIGNATURE_LATER_BYTES_DIFFER = "1C-6B-2A-5D-00-FF-00-FF-99-99-99-99-99-99-99-99-"
OTHER_BUTTON = "1C-6B-2A-5D-00-FF-00-FE-11-22-33-44-55-66-77-88-"

POWER = {
    "800": ["第一製品のパワーオン", "何もしない", ""],
    "801": ["第ニ製品のパワーオン", "何もしない", ""],
    "802": ["第三製品のパワーオン", "何もしない", ""],
    "803": ["第四製品のパワーオン", "何もしない", ""],
}


def signature_field(signature: str) -> str:
    return signature[:24]  # the editor stores the first capture; the engine reads 8 bytes


def test_a_button_press_raises_its_event_and_runs_the_rule(wine, progdir, vboard):
    write_settings(progdir, {
        "setio.bin": {"000": ["○", "100", "800", "電源ボタンで照明"]},
        "rmtrcv.bin": {"100": ["居間のリモコン", "電源", SIGNATURE]},
        "pwrsnd.bin": POWER,
    })
    engine = start_engine(wine, progdir, vboard)
    vboard.wait_initialised()
    assert vboard.outlets() == "0 0 0 0"
    vboard.press_when_ready(CODE, OTHER_BUTTON)  # not registered: dropped
    vboard.press_when_ready(CODE, SIGNATURE_LATER_BYTES_DIFFER)
    wait_until(lambda: vboard.outlets() == "1 0 0 0", "the rule to switch appliance 0 on")
    assert engine.poll() is None


def test_two_settings_taught_from_one_button_both_fire(wine, progdir, vboard):
    write_settings(progdir, {
        "setio.bin": {"000": ["○", "105", "801", ""], "001": ["○", "103", "803", ""],
                      "002": ["Ｘ", "104", "800", "not in force"]},
        "rmtrcv.bin": {"103": ["居間", "電源", SIGNATURE], "105": ["寝室", "電源", signature_field(SIGNATURE)],
                       "104": ["台所", "電源", SIGNATURE]},
        "pwrsnd.bin": POWER,
    })
    start_engine(wine, progdir, vboard)
    vboard.wait_initialised()
    vboard.press_when_ready(CODE, SIGNATURE)
    wait_until(lambda: vboard.outlets() == "0 1 0 1", "both rules to run")
    assert vboard.outlets() == "0 1 0 1"  # the rule not in force did not run


def test_an_ir_send_action_transmits_the_stored_code(wine, progdir, vboard):
    stored = bytes((i * 7 + 1) % 250 for i in range(300)) + b"\xff"  # longer than the board sends
    write_settings(progdir, {
        "setio.bin": {"000": ["○", "100", "150", ""]},
        "rmtrcv.bin": {"100": ["居間", "電源", SIGNATURE]},
        "rmtsnd.bin": {"150": ["テレビ", "電源", code_text(stored)]},
    })
    start_engine(wine, progdir, vboard)
    vboard.wait_initialised()
    vboard.press_when_ready(CODE, SIGNATURE)
    count, text = wait_until(lambda: (lambda s: s if s[0] >= 1 else None)(vboard.sent()), "the transmission")
    assert count == 1
    assert text == code_text(stored[:186]).rstrip("-") + "-"
    assert len(text) == 186 * 3


def test_a_short_code_is_sent_up_to_its_end(wine, progdir, vboard):
    write_settings(progdir, {
        "setio.bin": {"000": ["○", "100", "150", ""]},
        "rmtrcv.bin": {"100": ["居間", "電源", SIGNATURE]},
        "rmtsnd.bin": {"150": ["テレビ", "音量", "1A-05-FF-"]},
    })
    start_engine(wine, progdir, vboard)
    vboard.wait_initialised()
    vboard.press_when_ready(CODE, SIGNATURE)
    assert wait_until(lambda: (lambda s: s if s[0] >= 1 else None)(vboard.sent()), "the transmission") == \
        (1, "1A-05-FF-")


def test_the_walkthrough_of_docs_board_md(wine, progdir, vboard):
    # A button pressed by its code alone: the board computes the signature.
    write_settings(progdir, {
        "setio.bin": {"000": ["○", "100", "800", "電源ボタンで照明"]},
        "rmtrcv.bin": {"100": ["居間のリモコン", "電源", "06-14-00-00-00-00-00-00-"]},
        "pwrsnd.bin": {"800": ["第一製品のパワーオン", "何もしない", ""]},
    })
    start_engine(wine, progdir, vboard)
    vboard.wait_initialised()
    assert vboard.press_when_ready("8D-46-09-09-09-1A-09-1A-09-09-09-FF-") == \
        "ok 06-14-00-00-00-00-00-00-00-00-00-00-00-00-00-00-"
    wait_until(lambda: vboard.outlets() == "1 0 0 0", "the rule")


def test_no_ir_event_means_no_board_thread_until_the_first_ir_send(wine, progdir, vboard):
    write_settings(progdir, {
        # A registered button that no rule names, and an IR send every 2 s.
        "setio.bin": {"000": ["○", "400", "150", ""]},
        "rmtrcv.bin": {"100": ["居間", "電源", SIGNATURE]},
        "intrcv.bin": {"400": ["毎日", "", "", "00時00分", "23時59分", "2", ""]},
        "rmtsnd.bin": {"150": ["テレビ", "音量", "1A-05-FF-"]},
    })
    start_engine(wine, progdir, vboard)
    count, text = wait_until(lambda: (lambda s: s if s[0] >= 2 else None)(vboard.sent()), "two transmissions", 30)
    assert text == "1A-05-FF-"
    status = vboard.status()
    assert status["downloads"] == "1"  # one board thread, initialised once
    assert status["polls"] == "0"  # started by the send: it does not poll for signals
