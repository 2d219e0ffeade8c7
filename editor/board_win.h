// The editor's board operations (board_win.cpp), called by the page handlers.
#pragma once

#include "editor/editor_win.h"

namespace halvik::editor {

// WM_COMMAND wParam the board thread sends a page when a capture arrived.
inline constexpr int kCommandIrReceived = 115;

// "一回目の読み取り開始" (capture 1) / "二回目の読み取り開始" (capture 2).
void StartCapture(PageWindow& page, int capture);
// WM_COMMAND 115: the capture into its field, its byte count, the comparison.
void TakeCapture(PageWindow& page);
// "動作確認テスト" on the IR send page: sends the first capture's code.
void TestIrSend(PageWindow& page);
// "動作確認" on the power page: the initial state, then the operation.
void TestPower(PageWindow& page);
// The stop request of the board thread (a page closing, the program ending).
void StopBoardThread();
// Stops the board thread (waiting up to a second) and closes the board device
// if it is open: the program's way out.
void CloseBoard();

}  // namespace halvik::editor
