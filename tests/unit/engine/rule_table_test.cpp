#include "engine/rule_table.h"

#include <gtest/gtest.h>

namespace halvik::engine {
namespace {

using settings::ActionStep;
using Steps = std::vector<ActionStep>;

settings::Slots RuleSlots(std::initializer_list<std::pair<int, settings::Record>> rules) {
  settings::Slots slots;
  for (const auto& [i, r] : rules) slots[i] = r;
  return slots;
}

TEST(RuleTable, KeepsRulesInForceInRuleOrderWithTheirSteps) {
  const auto slots = RuleSlots({
      {7, {"○", "401", "210/5,801", "c"}},
      {2, {"Ｘ", "401", "300", ""}},       // kept in the file, not in force
      {3, {"○", "305", "301,302/3", ""}},
      {9, {"○", "401", "abc", ""}},       // invalid list: in the table, runs nothing
      {11, {"○ yes", "101", "5,", ""}},   // mark read by its first character
  });
  const RuleTable rules = CompileRules(slots);
  ASSERT_EQ(rules.size(), 4u);
  EXPECT_EQ(rules[0].rule, 3);
  EXPECT_EQ(rules[0].event, 305);
  EXPECT_EQ(rules[0].steps, (Steps{{301, 0}, {302, 3}}));
  EXPECT_EQ(rules[1].rule, 7);
  EXPECT_EQ(rules[1].steps, (Steps{{210, 5}, {801, 0}}));
  EXPECT_EQ(rules[2].rule, 9);
  EXPECT_TRUE(rules[2].steps.empty());
  EXPECT_EQ(rules[3].rule, 11);
  EXPECT_EQ(rules[3].steps, (Steps{{5, 0}}));

  EXPECT_EQ(RulesForEvent(rules, 401), (std::vector<size_t>{1, 2}));
  EXPECT_TRUE(RulesForEvent(rules, 999).empty());
}

TEST(RuleTable, ListOverFifteenActionsKeepsTheFirstFifteen) {
  std::string list;
  for (int i = 1; i <= 17; ++i) list += std::to_string(100 + i) + "/1,";
  const RuleTable rules = CompileRules(RuleSlots({{0, {"○", "401", list, ""}}}));
  ASSERT_EQ(rules.size(), 1u);
  ASSERT_EQ(rules[0].steps.size(), 15u);
  EXPECT_EQ(rules[0].steps.back(), (ActionStep{115, 1}));
  EXPECT_FALSE(IsActionNamed(rules, 116));
}

TEST(RuleTable, NamedEventsAndActions) {
  const RuleTable rules = CompileRules(RuleSlots({
      {0, {"○", "402", "300", ""}},
      {1, {"○", "401", "801/2", ""}},
      {2, {"○", "402", "802", ""}},
      {3, {"○", "305", "9999", ""}},
      {4, {"Ｘ", "403", "803", ""}},
  }));
  EXPECT_EQ(NamedEvents(rules, 400, 499), (std::vector<int>{402, 401}));
  EXPECT_EQ(NamedEvents(rules, 300, 399), (std::vector<int>{305}));
  EXPECT_TRUE(IsActionNamed(rules, 801));
  EXPECT_TRUE(IsActionNamed(rules, 9999));
  EXPECT_FALSE(IsActionNamed(rules, 803));  // only in a rule not in force
  EXPECT_FALSE(IsActionNamed(rules, 2));    // a wait is no action
}

}  // namespace
}  // namespace halvik::engine
