#include <windows.h>

#include <cstdio>

#include "board/access.h"
#include "board/channel_stop_win.h"
#include "board/engine_board.h"
#include "board/firmware_image.h"
#include "board/host_win.h"
#include "board/ir.h"
#include "board/power.h"
#include "engine/rule_table.h"
#include "win/text.h"
#include "win/wait_win.h"

namespace halvik::board {
namespace {


class EngineHost final : public WindowsBoardHost {
 public:
  void CloseMainWindow() override {
    // Posted: the box may be up on the hub thread itself (initial states at load).
    if (HWND hub = static_cast<HWND>(engine::Env().hubWindow)) PostMessageW(hub, WM_CLOSE, 0, 0);
  }
  void ShowStatus(std::string_view) override {}  // the engine has no status window
  void Log(int kind, std::string_view text) override { engine::AddLogLine(kind, text); }
  void Notify(uintptr_t window, std::span<const uint8_t> received) override {
    SendMessageW(reinterpret_cast<HWND>(window), WM_COMMAND, engine::kCommandIrReceived,
                 reinterpret_cast<LPARAM>(received.data()));
  }
};

struct EngineBoard {
  EngineHost host;
  std::unique_ptr<Driver> driver = MakeDriver();
  Board board{*driver, host, kFirmwareImage};
  IrChannel channel{board, kEngineProfile};
};

// Made on first use and never destroyed: a board thread still waiting in a
// message box must not hold up the end of the process.
EngineBoard& TheBoard() {
  static EngineBoard* board = new EngineBoard();
  return *board;
}

}  // namespace

void StartBoardThread(const engine::TablesPtr& tables, const engine::EngineEnv& env) {
  if (tables->irReceive.empty()) return;
  EngineBoard& b = TheBoard();
  b.channel.SetReadPart(0);
  b.channel.SetReceive(true);
  b.channel.SetNotifyWindow(reinterpret_cast<uintptr_t>(env.hubWindow));
  b.channel.Start();
}

void RunIrSendAction(const engine::ActionCall& call) {
  const auto& row = call.tables.irSend[static_cast<size_t>(call.slot)];
  if (!row) return;
  TheBoard().channel.QueueCode(row->code);
}

void RunPowerActionCall(const engine::ActionCall& call) {
  RunPowerAction(call.tables.power[static_cast<size_t>(call.slot)], TheBoard().board);
}

void ApplyPowerInitialStates(const engine::TablesPtr& tables, const engine::EngineEnv&) {
  ApplyInitialStates(
      tables->power, [&](int action) { return engine::IsActionNamed(tables->rules, action); }, TheBoard().board);
}

void StopBoard(const engine::EngineEnv&) {
  EngineBoard& b = TheBoard();
  StopChannelServingMessages(b.channel);
  b.board.CloseBoard();
}

}  // namespace halvik::board
