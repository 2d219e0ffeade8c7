// The rows of a log window (the engine's and the editor's) and the format
// they are saved in. A row is local time "HH:MM:SS", a kind shown as "%2d"
// and a CP932 message. "Save" appends to the log file, per row in order:
//   time text, one space, the message (at most 255 bytes), a line feed 0x0A
// The kind is not written and there is no carriage return.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace halvik::win {

inline constexpr size_t kLogSavedMessageBytes = 255;

struct LogRow {
  std::string time;  // "HH:MM:SS"
  int kind = 0;
  std::string message;
};

std::string LogTimeText(int hour, int minute, int second);
std::string LogKindText(int kind);
// The bytes that saving these rows appends to the log file.
std::string SavedLogLines(const std::vector<LogRow>& rows);

}  // namespace halvik::win
