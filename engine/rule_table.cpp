#include "engine/rule_table.h"

#include <algorithm>

#include "settings/catalogue.h"

namespace halvik::engine {

RuleTable CompileRules(const settings::Slots& setio) {
  RuleTable rules;
  for (int i = 0; i < settings::kSlotCount; ++i) {
    if (!settings::SlotIsFilled(setio[i])) continue;
    settings::RuleSetting setting = settings::ReadRule(setio[i]);
    if (!setting.inForce) continue;
    CompiledRule rule;
    rule.rule = i;
    // Event numbers are three digits; a longer number names no event.
    rule.event = setting.eventNumber > 0xFFFF ? 0xFFFF : static_cast<int>(setting.eventNumber);
    if (settings::ParseActionList(setting.actionList, rule.steps) &&
        rule.steps.size() > settings::kMaxRuleActions) {
      rule.steps.resize(settings::kMaxRuleActions);
    }
    rules.push_back(std::move(rule));
  }
  return rules;
}

std::vector<size_t> RulesForEvent(const RuleTable& rules, int event) {
  std::vector<size_t> found;
  for (size_t i = 0; i < rules.size(); ++i) {
    if (rules[i].event == event) found.push_back(i);
  }
  return found;
}

bool IsActionNamed(const RuleTable& rules, int action) {
  for (const CompiledRule& rule : rules) {
    for (const settings::ActionStep& step : rule.steps) {
      if (step.action == action) return true;
    }
  }
  return false;
}

std::vector<int> NamedEvents(const RuleTable& rules, int first, int last) {
  std::vector<int> events;
  for (const CompiledRule& rule : rules) {
    if (rule.event < first || rule.event > last) continue;
    if (std::find(events.begin(), events.end(), rule.event) == events.end()) events.push_back(rule.event);
  }
  return events;
}

}  // namespace halvik::engine
