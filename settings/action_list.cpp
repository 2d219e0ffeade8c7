#include "settings/action_list.h"

#include <string>

#include "settings/text_forms.h"

namespace halvik::settings {
namespace {

bool ParseEntry(const std::string& entry, ActionStep& step) {
  size_t slash = entry.find('/');
  std::string_view number = std::string_view(entry).substr(0, slash);
  if (number.empty() || number.size() > 9) return false;
  long action = ReadNumber(number);
  if (action < 1 || action > 9999) return false;
  long wait = slash == std::string::npos ? 0 : ReadNumber(std::string_view(entry).substr(slash + 1));
  step.action = static_cast<int>(action);
  step.waitSeconds = static_cast<int>(wait > 65535 ? 65535 : wait);
  return true;
}

}  // namespace

ActionListStatus CheckActionList(std::string_view text, std::vector<ActionStep>& steps,
                                 ActionListSyntax syntax) {
  steps.clear();
  std::vector<std::string> entries;
  std::string current;
  bool stopped = false;
  for (char c : text) {
    if (c == '\0') break;
    if (c == ' ') continue;
    if ((c >= '0' && c <= '9') || c == '/') {
      current.push_back(c);
    } else if (c == ',' || (syntax.dotSeparates && c == '.')) {
      if (current.empty()) return ActionListStatus::kEmptyEntry;
      entries.push_back(current);
      current.clear();
    } else {
      stopped = true;
      break;
    }
  }
  if (!stopped && !current.empty()) entries.push_back(current);
  if (entries.empty()) return ActionListStatus::kNoEntry;
  for (const std::string& entry : entries) {
    ActionStep step;
    if (!ParseEntry(entry, step)) {
      steps.clear();
      return ActionListStatus::kBadNumber;
    }
    steps.push_back(step);
  }
  return ActionListStatus::kValid;
}

bool ParseActionList(std::string_view text, std::vector<ActionStep>& steps, ActionListSyntax syntax) {
  return CheckActionList(text, steps, syntax) == ActionListStatus::kValid;
}

}  // namespace halvik::settings
