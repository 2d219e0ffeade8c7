#include "engine/dispatch.h"

#include <algorithm>

namespace halvik::engine {

void CarryOutAction(int action, int event, const EngineTables& tables, const EngineEnv& env,
                    std::span<const ActionCategory> categories) {
  for (const ActionCategory& category : categories) {
    if (action < category.base || action >= category.base + settings::kSlotCount) continue;
    if (category.executor == nullptr) {
      AddLogLinef(0, "アクション%d: %sは使用できません", action, category.name);
      return;
    }
    category.executor(ActionCall{action, action - category.base, event, tables, env});
    return;
  }
}

void RunSteps(std::span<const settings::ActionStep> steps, int event, const EngineTables& tables,
              const EngineEnv& env, std::span<const ActionCategory> categories) {
  for (const settings::ActionStep& step : steps) {
    CarryOutAction(step.action, event, tables, env, categories);
    if (step.waitSeconds != 0 && env.sleepMs != nullptr) {
      env.sleepMs(static_cast<unsigned>(step.waitSeconds) * 1000u);
    }
  }
}

void RaiseEvent(int event, const TablesPtr& tables, RunnerStarter& starter) {
  AddLogLinef(0, "イベント発生 %d", event);
  for (size_t rule : RulesForEvent(tables->rules, event)) {
    starter.StartRuleRunner(RunnerJob{tables, rule, event});
  }
}

void RaiseHandedOver(HandOverSource source, std::span<const int> events, const TablesPtr& tables,
                     RunnerStarter& starter) {
  const char* format = source == HandOverSource::kMail ? "メール受信あり\tイベント番号:%d"
                                                       : "ネット受信あり\tイベント番号:%d";
  for (int event : events) {
    AddLogLinef(0, format, event);
    RaiseEvent(event, tables, starter);
  }
}

std::vector<int> MatchIrSignature(const EngineTables& tables, std::span<const uint8_t> signature) {
  std::vector<int> events;
  if (signature.size() < settings::kSignatureBytes) return events;
  for (const auto& entry : tables.irReceive) {
    if (std::equal(entry.setting.signature.begin(), entry.setting.signature.end(), signature.begin())) {
      events.push_back(entry.event);
    }
  }
  return events;
}

DirectJob DirectJobFrom(uint32_t parameter, const TablesPtr& tables) {
  return DirectJob{tables, {static_cast<int>(parameter & 0xFFFF), static_cast<int>(parameter >> 16)}};
}

}  // namespace halvik::engine
