"""Outlets: initial states at load, power actions, and the board going away."""
from peers_board import answer_box, start_engine, vboard, wait_until, write_settings  # noqa: F401

SIGNATURE = "1C-6B-2A-5D-00-FF-00-FF-11-22-33-44-55-66-77-88-"
CODE = "8D-46-09-09-09-1A-FF-"
RETRY_TEXT = "ミレコ吸い出しＵＳＢ装置を使用出来ません。再試行しますか？"


def test_initial_states_at_load_and_a_power_action(wine, progdir, vboard):
    write_settings(progdir, {
        "setio.bin": {"000": ["○", "100", "800,806", ""], "001": ["○", "300", "803,801", ""]},
        "rmtrcv.bin": {"100": ["居間", "電源", SIGNATURE]},
        "pwrsnd.bin": {
            "800": ["第三製品のパワーオン", "パワーオフする", ""],
            "801": ["第四製品のパワーオフ", "パワーオンする", ""],
            "802": ["第一製品のパワーオン", "パワーオンする", "no rule names 802"],
            "803": ["第ニ製品のパワーオフ", "パワーオフする", ""],
            "806": ["第ニ製品のパワーオン", "パワーオンする", "slot 6 comes after 803: on wins"],
        },
    })
    engine = start_engine(wine, progdir, vboard)
    vboard.wait_initialised()
    wait_until(lambda: vboard.outlets() == "0 1 0 1", "the initial states")
    vboard.press_when_ready(CODE, SIGNATURE)
    wait_until(lambda: vboard.outlets() == "0 1 1 1", "action 800 to switch appliance 2 on")
    assert engine.poll() is None


def test_the_board_pulled_while_running_and_replugged(wine, progdir, vboard, ui):
    write_settings(progdir, {
        "setio.bin": {"000": ["○", "100", "800", ""]},
        "rmtrcv.bin": {"100": ["居間", "電源", SIGNATURE]},
        "pwrsnd.bin": {"800": ["第一製品のパワーオン", "何もしない", ""]},
    })
    engine = start_engine(wine, progdir, vboard)
    vboard.wait_initialised()
    vboard.pull()
    # The next poll fails once, with the transfer's message; then the board
    # thread waits for the board to come back.
    text = answer_box(ui, "OK")
    assert "i8051 bulk" in text
    assert engine.poll() is None
    vboard.plug()
    vboard.wait_initialised(downloads=2)
    vboard.press_when_ready(CODE, SIGNATURE)
    wait_until(lambda: vboard.outlets() == "1 0 0 0", "the rule after the replug")
    assert engine.poll() is None


def test_a_missing_board_shows_the_retry_box_and_no_leaves_the_engine_running(wine, progdir, vboard, ui):
    write_settings(progdir, {
        "setio.bin": {"000": ["○", "100", "800", ""]},
        "rmtrcv.bin": {"100": ["居間", "電源", SIGNATURE]},
        "pwrsnd.bin": {"800": ["第一製品のパワーオン", "何もしない", ""]},
    })
    vboard.pull()
    engine = start_engine(wine, progdir, vboard)
    vboard.wait_open_attempt()
    text = answer_box(ui, "NO")
    assert RETRY_TEXT in text
    assert "はい:再試行" in text
    ui("find", "--class", "HALVIK-TOP-CLASS-NAME", "--timeout", "5000")
    assert engine.poll() is None
    assert vboard.status()["downloads"] == "0"


def test_yes_in_the_retry_box_tries_again_and_cancel_ends_the_engine(wine, progdir, vboard, ui):
    write_settings(progdir, {
        "setio.bin": {"000": ["○", "100", "800", ""]},
        "rmtrcv.bin": {"100": ["居間", "電源", SIGNATURE]},
        "pwrsnd.bin": {"800": ["第一製品のパワーオン", "何もしない", ""]},
    })
    vboard.pull()
    engine = start_engine(wine, progdir, vboard)
    vboard.wait_open_attempt()
    assert RETRY_TEXT in answer_box(ui, "YES")
    assert RETRY_TEXT in answer_box(ui, "CANCEL")
    wait_until(lambda: engine.poll() is not None, "the engine to close after Cancel", 20)
