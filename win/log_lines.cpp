#include "win/log_lines.h"

#include <cstdio>

#include "settings/text_forms.h"

namespace halvik::win {

std::string LogTimeText(int hour, int minute, int second) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour % 100, minute % 100, second % 100);
  return text;
}

std::string LogKindText(int kind) {
  char text[16];
  std::snprintf(text, sizeof text, "%2d", kind);
  return text;
}

std::string SavedLogLines(const std::vector<LogRow>& rows) {
  std::string out;
  for (const LogRow& row : rows) {
    out += row.time;
    out += ' ';
    // Cut on a character boundary: a half character would garble the file.
    out += settings::CutCp932(row.message, kLogSavedMessageBytes);
    out += '\n';
  }
  return out;
}

}  // namespace halvik::win
