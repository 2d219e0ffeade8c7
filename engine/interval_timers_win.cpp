// The engine's own start step: one window timer of the hub per loaded
// interval event, identifier = event number.
#include <windows.h>

#include "engine/clock_events.h"
#include "engine/plugins.h"

namespace halvik::engine {

void StartIntervalTimers(const TablesPtr& tables, const EngineEnv& env) {
  for (const IntervalTimer& timer : PlanIntervalTimers(*tables)) {
    if (timer.periodMs == 0) {
      AddLogLinef(0, timer.refusal, timer.event);
      continue;
    }
    SetTimer(static_cast<HWND>(env.hubWindow), static_cast<UINT_PTR>(timer.event), timer.periodMs, nullptr);
  }
}

}  // namespace halvik::engine
