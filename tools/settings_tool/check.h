// `check`: every field of a settings folder that the engine would read other
// than it looks, so that a person sees it before the engine silently does
// something else (or nothing):
//
//   - a word not in its table (a PC control, capture or power word; "第二"
//     with the kanji in place of the katakana ニ), a mark that is not "○"/"Ｘ",
//     a Y/N, connection word or day kind not as the editor writes it;
//   - a number that is not numeric, a port outside 1-65535, an interval of 0;
//   - a clock time, weekday text or day list not in the editor's form; a
//     weekday or day kind with nothing chosen; a daily window that ends
//     before it starts (it never opens);
//   - bad code text, a signature shorter than the 8 bytes compared, an IR code
//     longer than the 200 bytes sent; a stored password that is not one;
//   - a text longer than the engine keeps of it;
//   - an action list the engine refuses or reads only in part, more than 15
//     actions, and an event or action number a rule names whose slot is empty
//     (or that lies in no category);
//   - bytes that are not CP932 text.
//
// Comments and the fields the engine does not read are not checked.
#pragma once

#include <string>
#include <vector>

#include "tools/settings_tool/settings_folder.h"

namespace halvik::tools {

struct Finding {
  std::string file;
  int number = -1;  // registration number, -1 for a single-record file
  int field = 0;    // counted from 1
  std::string message;  // UTF-8

  // "setio.bin 003 field 3: ..." / "setmail.bin field 4: ..."
  std::string Line() const;
};

// Findings in file order (the engine's load order), then slot and field order.
std::vector<Finding> CheckSettings(const SettingsFolder& folder);

}  // namespace halvik::tools
