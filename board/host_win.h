// What the Windows programs that own a board (engine and editor) answer the
// access layer alike: its boxes (no caption, information icon, system-modal,
// topmost), the debugger output, sleeping and the local time. Each program
// adds its own main window, status, log and notification.
#pragma once

#include <string>
#include <string_view>

#include "board/access.h"

namespace halvik::board {

class WindowsBoardHost : public BoardHost {
 public:
  void ShowError(std::string_view text) override;
  RetryAnswer AskRetry(std::string_view text) override;
  void DebugOutput(std::string_view text) override;
  void Sleep(int ms) override;
  std::string LocalTimeText() override;
};

}  // namespace halvik::board
