// The compiled rule table: one entry per rule in force of setio.bin, in rule
// order. A rule runner walks the steps of its entry; the dispatch walks the
// whole table for every event raised.
//
// A rule's action list is read with the shared parser (settings/action_list.h).
// A rule whose list is invalid stays in the table with no steps: it runs
// nothing. A list of more than 15 actions keeps its first 15, as the editor
// stores no longer list.
#pragma once

#include <vector>

#include "settings/action_list.h"
#include "settings/slot_file.h"

namespace halvik::engine {

struct CompiledRule {
  int rule = 0;   // 0-99
  int event = 0;  // field 2 as a number
  std::vector<settings::ActionStep> steps;  // at most kMaxRuleActions
};

using RuleTable = std::vector<CompiledRule>;

RuleTable CompileRules(const settings::Slots& setio);

// Positions in the table of the rules for this event, in rule order.
std::vector<size_t> RulesForEvent(const RuleTable& rules, int event);

// True when a rule in force lists this action number (the power loader asks).
bool IsActionNamed(const RuleTable& rules, int action);

// Distinct event numbers named by rules in force within [first, last], in
// the order the rules name them.
std::vector<int> NamedEvents(const RuleTable& rules, int first, int last);

}  // namespace halvik::engine
