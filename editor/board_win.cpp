// The editor's use of the board: capturing remote buttons on the learning and
// IR send pages, sending a captured code, and switching an outlet from the
// power page. One board and one board thread for the program; the page that
// started an operation gets its status box as the board's status window and
// its WM_COMMAND 115 when a capture arrives.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "board/access.h"
#include "board/channel_stop_win.h"
#include "board/firmware_image.h"
#include "board/host_win.h"
#include "board/ir.h"
#include "board/power.h"
#include "editor/board_win.h"
#include "settings/text_forms.h"
#include "win/log_window_win.h"
#include "win/text.h"
#include "win/wait_win.h"

namespace halvik::editor {
namespace {

constexpr int kStatusBox = 1085;
constexpr size_t kLearningBytes = 160;
constexpr size_t kIrSendBytes = 240;

HWND volatile gStatusWindow = nullptr;

class EditorHost final : public board::WindowsBoardHost {
 public:
  void CloseMainWindow() override {
    if (HWND main = Editor().mainWindow) PostMessageW(main, WM_CLOSE, 0, 0);
  }
  void ShowStatus(std::string_view text) override {
    if (HWND status = gStatusWindow) SetWindowTextW(status, win::WideFromCp932(text).c_str());
  }
  void Log(int kind, std::string_view text) override { win::AddLogWindowLine(kind, text); }
  // The firmware file a board developer may put over the built-in image.
  void OverrideImage(std::span<uint8_t> image) override {
    HANDLE file = CreateFileW(L"g:\\gpfwnet\\bulktest.bix", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD read = 0;
    (void)ReadFile(file, image.data(), static_cast<DWORD>(std::min<size_t>(image.size(), board::kFirmwareSize)),
                   &read, nullptr);
    CloseHandle(file);
  }
  void Notify(uintptr_t window, std::span<const uint8_t>) override {
    SendMessageW(reinterpret_cast<HWND>(window), WM_COMMAND, kCommandIrReceived, 0);
  }
};

struct EditorBoard {
  EditorHost host;
  std::unique_ptr<board::Driver> driver = board::MakeDriver();
  board::Board board{*driver, host, board::kFirmwareImage};
  board::IrChannel channel{board, board::kEditorProfile};
};

// Made on first use and never destroyed: a board thread still inside a
// message box must not hold up the end of the process.
EditorBoard& TheBoard() {
  static EditorBoard* board = new EditorBoard();
  return *board;
}
bool gBoardMade = false;

EditorBoard& UseBoard() {
  gBoardMade = true;
  return TheBoard();
}

void SetStatusWindow(PageWindow& page) { gStatusWindow = GetDlgItem(page.hwnd, kStatusBox); }

void StartThread(EditorBoard& b, PageWindow& page) {
  if (b.channel.Running()) return;
  SetControlText(page.hwnd, kStatusBox, "ミレコＵＳＢの使用準備中です");
  b.channel.Start();
}

int CountBeforeEnd(std::span<const uint8_t> bytes) {
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == 0xFF) return static_cast<int>(i);
  }
  return static_cast<int>(bytes.size());
}

}  // namespace

void StartCapture(PageWindow& page, int capture) {
  EditorBoard& b = UseBoard();
  page.capture = capture;
  b.channel.SetReadPart(page.def->id == PageId::kIrSend ? 1 : 0);
  b.channel.SetReceive(true);
  b.channel.SetNotifyWindow(reinterpret_cast<uintptr_t>(page.hwnd));
  SetStatusWindow(page);
  StartThread(b, page);
}

void TakeCapture(PageWindow& page) {
  if (!gBoardMade || page.capture == 0) return;
  std::vector<uint8_t> data = TheBoard().channel.ReceivedData();
  bool learning = page.def->id == PageId::kLearning;
  std::span<const uint8_t> bytes(data.data(), std::min(data.size(), learning ? kLearningBytes : kIrSendBytes));
  std::string text = settings::CodeText(bytes);
  int count = CountBeforeEnd(bytes);
  int field = page.capture == 1 ? 1082 : 1083;
  int other = page.capture == 1 ? 1083 : 1082;
  SetControlText(page.hwnd, field, text);
  char number[16];
  std::snprintf(number, sizeof number, "%d", count);
  SetControlText(page.hwnd, page.capture == 1 ? 1086 : 1087, number);
  std::string otherText = ControlText(page.hwnd, other, 1023);
  if (learning) {
    bool same = text.substr(0, kCompareCharacters) == otherText.substr(0, kCompareCharacters);
    SetControlText(page.hwnd, kStatusBox,
                   same ? "１回目と２回目は頭１６文字は一致しました" : "１回目と２回目は一致しません");
    return;
  }
  // Two characters a byte, for as many bytes as this capture has.
  int position = 0;
  while (position < count && text.substr(static_cast<size_t>(position) * 3, 2) ==
                                 otherText.substr(static_cast<size_t>(position) * 3, 2)) {
    ++position;
  }
  char message[64];
  std::snprintf(message, sizeof message, "%d 桁目で一致しません", position + 1);
  SetControlText(page.hwnd, kStatusBox, message);
}

void TestIrSend(PageWindow& page) {
  EditorBoard& b = UseBoard();
  SetStatusWindow(page);
  std::vector<uint8_t> code = settings::ReadCodeText(ControlText(page.hwnd, 1082, 1023), kIrSendBytes);
  code.resize(kIrSendBytes, 0);
  b.channel.QueueCodeNow(code);
  // Only the captures announce the preparation; the test's own status is
  // the thread's "リモコン送信が完了しました".
  b.channel.Start();
}

void TestPower(PageWindow& page) {
  Form form = ReadForm(page);
  int operation = form.FirstChecked(1051, 8);
  int state = form.FirstChecked(1059, 3);
  if (operation < 0 || state < 0) return;
  EditorBoard& b = UseBoard();
  int appliance = operation / 2;
  if (state != 0) {
    AskQuestion("パワー初期設定を行います", "初期設定", MB_OK);
    (void)board::SwitchAppliance(b.board, appliance, state == 2);
  }
  AskQuestion("パワー実行を行います", "実行", MB_OK);
  (void)board::SwitchAppliance(b.board, appliance, operation % 2 == 0);
}

void StopBoardThread() {
  if (gBoardMade && TheBoard().channel.Running()) TheBoard().channel.RequestStop();
}

void CloseBoard() {
  if (!gBoardMade) return;
  EditorBoard& b = TheBoard();
  board::StopChannelServingMessages(b.channel);
  b.board.CloseBoard();
}

}  // namespace halvik::editor
