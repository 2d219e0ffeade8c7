// The program's wiring: which executor carries out each action category,
// which subsystem starts at which step of the start sequence, and what runs
// after a file has been loaded. The tables are in engine/plugins_win.cpp, the
// one file a subsystem edits to plug in (see engine/README.md).
#pragma once

#include <span>

#include "engine/dispatch.h"

namespace halvik::engine {

// The start sequence after the settings are loaded and timer 1 runs, in
// this order: mail watcher, board thread (only when an IR receive event is
// loaded), macro thread, net listeners (one per distinct port, each start
// waited for up to 1000 ms), interval timers. Runs on the hub thread.
struct StartStep {
  const char* name;
  void (*start)(const TablesPtr& tables, const EngineEnv& env);  // nullptr: not in this build
};

// Runs on the hub thread after the file of reloadCode has been (re)loaded
// and the new tables published.
struct LoadHook {
  int reloadCode;
  void (*afterLoad)(const TablesPtr& tables, const EngineEnv& env);
};

// Runs on the hub thread when the engine closes for the editor (WM_CLOSE),
// before the window is destroyed: the board thread's stop request and the
// closing of the board.
struct CloseStep {
  const char* name;
  void (*close)(const EngineEnv& env);
};

std::span<const ActionCategory> ActionCategories();
std::span<const CloseStep> CloseSteps();
std::span<const StartStep> StartSteps();
std::span<const LoadHook> LoadHooks();

// The engine's own start step: one window timer per loaded interval event.
void StartIntervalTimers(const TablesPtr& tables, const EngineEnv& env);

}  // namespace halvik::engine
