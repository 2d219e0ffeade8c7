// The action list of a rule ("10/3,20/5,30/8") and of a direct action. One
// parser for the engine, the editor and the settings tool, so that what the
// editor stores is exactly what the engine runs.
//
// Grammar: entries separated by ","; an entry is an action number, optionally
// "/" and a wait in whole seconds; spaces anywhere are ignored. The walk stops
// at the first other character: the entries completed so far count, the one
// in progress is dropped. A "," after an empty entry makes the list invalid;
// a list ending with "," reads as if the comma were absent. Action numbers
// must be 1 to 9999.
#pragma once

#include <string_view>
#include <vector>

namespace halvik::settings {

inline constexpr size_t kMaxRuleActions = 15;

struct ActionStep {
  int action = 0;
  int waitSeconds = 0;  // 0..65535
  bool operator==(const ActionStep&) const = default;
};

struct ActionListSyntax {
  // Direct actions in mails and texts also accept "." between entries, so
  // that "act=10.20.30" runs 10, 20 and 30.
  bool dotSeparates = false;
};

// Why a list is invalid, for the editor's messages.
enum class ActionListStatus {
  kValid,
  kEmptyEntry,  // a "," with no entry before it
  kNoEntry,     // no entry was completed
  kBadNumber,   // an entry whose action number is missing or outside 1-9999
};

// Fills steps and returns true for a valid list, false (steps empty) when invalid.
[[nodiscard]] ActionListStatus CheckActionList(std::string_view text, std::vector<ActionStep>& steps,
                                               ActionListSyntax syntax = {});
[[nodiscard]] bool ParseActionList(std::string_view text, std::vector<ActionStep>& steps,
                                   ActionListSyntax syntax = {});

}  // namespace halvik::settings
