// Event dispatch and the rule runner. Raising an event logs it and starts
// one rule runner per rule in force for that event, in rule order; a runner
// carries out its rule's steps in order, each through the executor of the
// action's category, and sleeps each step's wait after it. Direct actions
// skip the rules: one action, event number 9999, then its wait.
//
// The decisions live here; threads and the start handshake are the
// RunnerStarter's (engine/hub_win.cpp starts a thread per runner and waits for
// it at most 1000 ms, serving sent messages meanwhile).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/plugin.h"

namespace halvik::engine {

inline constexpr int kDirectActionEvent = 9999;

// One action category: action numbers base .. base + 99.
struct ActionCategory {
  int base;
  const char* name;   // as the log names it
  Executor executor;  // nullptr: the category is not available in this build
};

// Finds the category of the action and calls its executor. An action outside
// every category does nothing; a category without executor logs so.
void CarryOutAction(int action, int event, const EngineTables& tables, const EngineEnv& env,
                    std::span<const ActionCategory> categories);

// The body of a rule runner or direct action: each step, then its wait.
void RunSteps(std::span<const settings::ActionStep> steps, int event, const EngineTables& tables,
              const EngineEnv& env, std::span<const ActionCategory> categories);

// What a rule runner takes from its starter.
struct RunnerJob {
  TablesPtr tables;  // the snapshot the runner keeps for its whole run
  size_t rule = 0;   // position in tables->rules
  int event = 0;
};

struct DirectJob {
  TablesPtr tables;
  settings::ActionStep step;
};

class RunnerStarter {
 public:
  virtual ~RunnerStarter() = default;
  // Starts a runner thread; returns when it has taken the job or after the
  // start handshake timed out.
  virtual void StartRuleRunner(const RunnerJob& job) = 0;
  // Starts a direct-action thread; does not wait for it.
  virtual void StartDirectAction(const DirectJob& job) = 0;
};

// Hub thread only.
void RaiseEvent(int event, const TablesPtr& tables, RunnerStarter& starter);

// Commands 116 and 118: logs "メール受信あり\tイベント番号:%d" (or the net
// form) and raises each event in the order found.
enum class HandOverSource { kMail, kNet };
void RaiseHandedOver(HandOverSource source, std::span<const int> events, const TablesPtr& tables,
                     RunnerStarter& starter);

// Command 115: the events of every IR receive entry whose 8 bytes equal the
// first 8 bytes of the received signature, in table order.
std::vector<int> MatchIrSignature(const EngineTables& tables, std::span<const uint8_t> signature);

// Command 701: lParam = action | wait << 16.
DirectJob DirectJobFrom(uint32_t parameter, const TablesPtr& tables);

}  // namespace halvik::engine
