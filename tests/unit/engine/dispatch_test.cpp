#include "engine/dispatch.h"

#include <gtest/gtest.h>

#include "log_recorder.h"

namespace halvik::engine {
namespace {

using settings::ActionStep;

// What the executors saw and how long the runner slept, in order.
std::vector<std::string> gTrace;

void Trace(const ActionCall& c) {
  gTrace.push_back("act " + std::to_string(c.action) + " slot " + std::to_string(c.slot) + " event " +
                   std::to_string(c.event));
}
void SleepTrace(unsigned ms) { gTrace.push_back("sleep " + std::to_string(ms)); }

const ActionCategory kCategories[] = {
    {100, "赤外線送信", nullptr}, {200, "メール送信", Trace}, {300, "PC制御", Trace}, {800, "電源制御", Trace},
};

class RecordingStarter : public RunnerStarter {
 public:
  void StartRuleRunner(const RunnerJob& job) override {
    runs.push_back({job.rule, job.event});
    // The runner keeps its own snapshot; the hub may publish new tables.
    EXPECT_TRUE(job.tables);
  }
  void StartDirectAction(const DirectJob& job) override { directs.push_back(job.step); }
  std::vector<std::pair<size_t, int>> runs;
  std::vector<ActionStep> directs;
};

TablesPtr TablesWithRules(std::initializer_list<CompiledRule> rules) {
  auto t = std::make_shared<EngineTables>();
  t->rules = rules;
  return t;
}

TEST(Dispatch, RaiseStartsOneRunnerPerMatchingRuleInRuleOrder) {
  LogRecorder log;
  RecordingStarter starter;
  auto tables = TablesWithRules({{3, 101, {{210, 0}}}, {5, 401, {{300, 1}}}, {8, 101, {{220, 0}}}});
  RaiseEvent(101, tables, starter);
  EXPECT_EQ(starter.runs, (std::vector<std::pair<size_t, int>>{{0, 101}, {2, 101}}));
  RaiseEvent(999, tables, starter);  // no rule: only the log line
  EXPECT_EQ(starter.runs.size(), 2u);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"0:イベント発生 101", "0:イベント発生 999"}));
}

TEST(Dispatch, RunnerCarriesOutStepsInOrderAndSleepsEachWait) {
  LogRecorder log;
  gTrace.clear();
  EngineTables tables;
  EngineEnv env;
  env.sleepMs = SleepTrace;
  const ActionStep steps[] = {{210, 5}, {950, 7}, {150, 2}, {301, 0}, {899, 0}, {99, 1}};
  RunSteps(steps, 401, tables, env, kCategories);
  EXPECT_EQ(gTrace, (std::vector<std::string>{
                        "act 210 slot 10 event 401", "sleep 5000",
                        "sleep 7000",  // 950: no category, the wait still applies
                        "sleep 2000",  // 150: category not available
                        "act 301 slot 1 event 401", "act 899 slot 99 event 401",
                        "sleep 1000",  // 99: below every category
                    }));
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"0:アクション150: 赤外線送信は使用できません"}));
}

TEST(Dispatch, DirectActionParameterAndEvent) {
  auto tables = TablesWithRules({});
  DirectJob job = DirectJobFrom(DirectActionParameter(305, 3), tables);
  EXPECT_EQ(job.step, (ActionStep{305, 3}));
  EXPECT_EQ(DirectJobFrom(0xFFFF0001u, tables).step, (ActionStep{1, 65535}));

  gTrace.clear();
  EngineEnv env;
  env.sleepMs = SleepTrace;
  RunSteps({&job.step, 1}, kDirectActionEvent, *tables, env, kCategories);
  EXPECT_EQ(gTrace, (std::vector<std::string>{"act 305 slot 5 event 9999", "sleep 3000"}));
}

TEST(Dispatch, HandedOverEventsAreLoggedThenRaisedInOrder) {
  LogRecorder log;
  RecordingStarter starter;
  auto tables = TablesWithRules({{0, 201, {{300, 0}}}, {1, 502, {{300, 0}}}});
  const int mail[] = {203, 201};
  RaiseHandedOver(HandOverSource::kMail, mail, tables, starter);
  const int net[] = {502};
  RaiseHandedOver(HandOverSource::kNet, net, tables, starter);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{
                             "0:メール受信あり\tイベント番号:203", "0:イベント発生 203",
                             "0:メール受信あり\tイベント番号:201", "0:イベント発生 201",
                             "0:ネット受信あり\tイベント番号:502", "0:イベント発生 502"}));
  EXPECT_EQ(starter.runs, (std::vector<std::pair<size_t, int>>{{0, 201}, {1, 502}}));
}

TEST(Dispatch, IrSignatureMatchesEveryEqualEntryOnItsFirstEightBytes) {
  EngineTables t;
  t.irReceive = {{101, {{1, 2, 3, 4, 5, 6, 7, 8}}}, {102, {{1, 2, 3, 4, 5, 6, 7, 9}}},
                 {105, {{1, 2, 3, 4, 5, 6, 7, 8}}}};
  const uint8_t received[] = {1, 2, 3, 4, 5, 6, 7, 8, 0xAA, 0xBB};
  EXPECT_EQ(MatchIrSignature(t, received), (std::vector<int>{101, 105}));
  const uint8_t shortSignature[] = {1, 2, 3};
  EXPECT_TRUE(MatchIrSignature(t, shortSignature).empty());
}

}  // namespace
}  // namespace halvik::engine

namespace halvik::engine {
namespace {

TEST(Log, FormattedLinesAreCutOnACharacterBoundary) {
  LogRecorder log;
  const std::string longText = std::string(510, 'a') + "あ";  // the character would end at byte 512
  AddLogLinef(0, "%s", longText.c_str());
  AddLogLinef(1, "イベント発生 %d", 305);
  SetLogSink(nullptr);
  AddLogLine(0, "nobody listens");  // no sink: dropped, no crash
  const auto lines = log.lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "0:" + std::string(510, 'a'));
  EXPECT_EQ(lines[1], "1:イベント発生 305");
}

}  // namespace
}  // namespace halvik::engine
