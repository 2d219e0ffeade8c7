// Matching of received texts, entry building, direct steps.
#include <gtest/gtest.h>

#include "messaging/mail_watcher.h"
#include "messaging/text_match.h"

namespace halvik::messaging {
namespace {

using settings::ActionStep;

const std::vector<MatchEntry> kEntries = {
    {"a@x", "LIGHT", 201}, {"a@x", "LIGHT ON", 202}, {"a@x", "TV", 203},
    {"a@x", "ON", 204},    {"b@x", "TV", 205},       {"a@x", "", 206},
    {"a@x", "照明", 207},  {"a@x", "TV", 208},
};

TEST(MatchText, LongestStringAtEachPositionInOrder) {
  struct Case {
    std::string source, text;
    std::vector<int> events;
  } cases[] = {
      {"a@x", "LIGHT ON please", {202, 204}},   // LIGHT ON beats LIGHT; ON at its own position
      {"a@x", "LIGHT", {201}},
      {"a@x", "TV ON", {203, 204}},             // earlier entry wins at equal length
      {"a@x", "TV TV", {203, 203}},             // each occurrence counts
      {"b@x", "TV ON", {205}},
      {"A@x", "TV ON", {}},                     // the source compares exactly
      {"a@x", "nothing here", {}},
      {"a@x", "照明をON", {207, 204}},
      {"a@x", "\x83\x54V", {}},                 // "T" as the trail byte of a double-byte character
  };
  for (const Case& c : cases) EXPECT_EQ(MatchText(kEntries, c.source, c.text), c.events) << c.text;
}

TEST(MatchText, OnlyTheFirst256BytesAndAtMostTheLimit) {
  std::string text(254, '-');
  text += "TVTV";
  EXPECT_EQ(MatchText(kEntries, "a@x", text), (std::vector<int>{203}));  // second TV ends past byte 256
  std::string many;
  for (int i = 0; i < 120; ++i) many += "ON";
  EXPECT_EQ(MatchText(kEntries, "a@x", many).size(), 100u);
  EXPECT_EQ(MatchText(kEntries, "a@x", many, 5).size(), 5u);
}

TEST(ListeningPorts, DistinctInOrderOfFirstAppearance) {
  std::vector<MatchEntry> net = {{"a", "x", 501, 6000}, {"b", "y", 502, 5000}, {"c", "z", 503, 6000}};
  EXPECT_EQ(ListeningPorts(net), (std::vector<long>{6000, 5000}));
}

TEST(DirectSteps, ActionListAfterTheDirectString) {
  settings::DirectActionSetting direct{"10.0.0.1", "act="};
  struct Case {
    std::string source, text;
    std::vector<ActionStep> steps;
  } cases[] = {
      {"10.0.0.1", "act=310,320/5", {{310, 0}, {320, 5}}},
      {"10.0.0.1", "please act=10.20.30 now", {{10, 0}, {20, 0}}},  // the space ends the list
      {"10.0.0.1", "act=10.20.30", {{10, 0}, {20, 0}, {30, 0}}},
      {"10.0.0.1", "act=1 act=2", {}},                               // "1 a..." : the list stops at "a"
      {"10.0.0.1", "no direct string", {}},
      {"10.0.0.2", "act=310", {}},
      {"10.0.0.1", "act=0", {}},
      {"10.0.0.1", "act=", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(DirectSteps(direct, c.source, c.text), c.steps) << c.text;
  EXPECT_TRUE(DirectSteps({"10.0.0.1", ""}, "10.0.0.1", "310").empty());
  EXPECT_TRUE(DirectSteps({"", "act="}, "", "act=310").empty());
}

}  // namespace
}  // namespace halvik::messaging
