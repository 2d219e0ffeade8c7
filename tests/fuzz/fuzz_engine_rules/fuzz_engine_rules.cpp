// Feeds arbitrary bytes to the engine as setio.bin, timrcv.bin and
// intrcv.bin images: compiles the rules, takes the events they name, and
// runs the clock checks over a day of minutes and a dispatch of every named
// event, with executors that touch their slot.
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/clock_events.h"
#include "engine/dispatch.h"

namespace {

using namespace halvik;
using namespace halvik::engine;

class NullStarter : public RunnerStarter {
 public:
  explicit NullStarter(const EngineEnv& env) : env_(env) {}
  void StartRuleRunner(const RunnerJob& job) override {
    RunSteps(job.tables->rules.at(job.rule).steps, job.event, *job.tables, env_, kCategories);
  }
  void StartDirectAction(const DirectJob& job) override {
    RunSteps({&job.step, 1}, kDirectActionEvent, *job.tables, env_, kCategories);
  }
  static void Touch(const ActionCall& call) {
    if (call.slot < 0 || call.slot >= settings::kSlotCount) __builtin_trap();
    (void)call.tables.pcControl[call.slot];
  }
  static constexpr ActionCategory kCategories[] = {{100, "a", nullptr}, {300, "b", Touch}, {800, "c", Touch}};

 private:
  const EngineEnv& env_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  const size_t third = size / 3;
  auto tables = std::make_shared<EngineTables>();
  tables->rules = CompileRules(settings::ParseSlotImage(settings::ShapeOf("setio.bin"), bytes.first(third)));
  const settings::Slots times = settings::ParseSlotImage(settings::ShapeOf("timrcv.bin"), bytes.subspan(third, third));
  const settings::Slots intervals = settings::ParseSlotImage(settings::ShapeOf("intrcv.bin"), bytes.subspan(2 * third));
  for (int e : NamedEvents(tables->rules, 300, 399)) {
    if (settings::SlotIsFilled(times[e - 300])) tables->timeOfDay.push_back({e, settings::ReadTimeOfDayEvent(times[e - 300])});
  }
  for (int e : NamedEvents(tables->rules, 400, 499)) {
    if (settings::SlotIsFilled(intervals[e - 400])) tables->interval.push_back({e, settings::ReadIntervalEvent(intervals[e - 400])});
  }
  (void)PlanIntervalTimers(*tables);
  EngineEnv env;
  NullStarter starter(env);
  TimeOfDayCheck timeOfDay;
  timeOfDay.Load(tables->timeOfDay);
  IntervalCheck interval;
  interval.Load(tables->interval);
  for (int minute = 0; minute < 24 * 60; minute += 7) {
    const LocalTime now{2026, 12, 1 + minute % 31, minute % 7, minute / 60, minute % 60, 0};
    for (int e : timeOfDay.Check(now)) RaiseEvent(e, tables, starter);
    for (const auto& entry : tables->interval) {
      for (int e : interval.OnTimer(entry.event, now).raise) RaiseEvent(e, tables, starter);
    }
  }
  for (const CompiledRule& rule : tables->rules) {
    RaiseEvent(rule.event, tables, starter);
    (void)IsActionNamed(tables->rules, rule.event);
  }
  return 0;
}
