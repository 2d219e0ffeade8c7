// Rule runners and direct actions as Windows threads. A rule runner signals
// the rule-thread event once it has its job; the hub waits for that at most
// 1000 ms, serving sent messages meanwhile, before it starts the next one.
#pragma once

#include <windows.h>

#include "engine/dispatch.h"

namespace halvik::engine {

class ThreadStarter : public RunnerStarter {
 public:
  void SetHandshakeEvent(HANDLE event) { handshake_ = event; }
  void StartRuleRunner(const RunnerJob& job) override;
  void StartDirectAction(const DirectJob& job) override;

 private:
  HANDLE handshake_ = nullptr;
};

}  // namespace halvik::engine
