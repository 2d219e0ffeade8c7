// A program's log window: a modeless-looking dialog run modally on a thread
// of its own, hidden until shown, with a pause button, a clear button, "save
// to the log file" (appends the rows, win/log_lines.h) and "delete the log
// file", over a report list of time, kind (a hidden column) and message.
// Closing it only hides it; it keeps collecting rows for the whole run.
//
// AddLine may be called from any thread. One lock serialises the appends, so
// a row's index and its texts belong together; the rows reach the list as
// list-view messages sent to the log thread.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace halvik::win {

struct LogWindowLayout {
  int dialogId;  // template: caption, buttons and the list
  int iconId;    // the program's icon, shown in the caption and the taskbar
  int pauseId, clearId, saveId, deleteId, listId;
  const char* pauseText;   // CP932, e.g. "ログ停止"
  const char* resumeText;  // e.g. "ログ再開"
  bool centre = true;      // centred on the screen, or moved to (x, y)
  int x = 0, y = 0;
};

// Starts the log thread and returns once the window exists (true), or false
// when the dialog could not be created. logFile is CP932.
[[nodiscard]] bool StartLogWindow(HINSTANCE instance, const LogWindowLayout& layout, const std::string& logFile);
// Appends a row with the local time; nothing while paused or without window.
void AddLogWindowLine(int kind, std::string_view text);
void ShowLogWindow();
// The dialog, for a program that places it itself; nullptr before it exists.
HWND LogWindowHandle();
// Ends the log dialog (the program is closing); later lines are dropped.
void EndLogWindow();

}  // namespace halvik::win
