// The board in the engine halvik: one board layer and one board thread for
// the process, and the functions the engine's wiring table
// (engine/plugins_win.cpp) calls. Windows only (engine_board_win.cpp).
//
//   start step   StartBoardThread: when at least one IR receive event is
//                loaded, the board thread polls with read part 0 and hands
//                each signature to the hub (WM_COMMAND 115, lParam = the
//                received bytes, at least 8).
//   actions      RunIrSendAction (100-199): queues the slot's code, waiting
//                while another is pending; RunPowerActionCall (800-899).
//   load hook    ApplyPowerInitialStates after pwrsnd.bin (reload code 1800).
//   close step   StopBoard: stop request, a short wait for the thread, close.
#pragma once

#include "engine/plugin.h"

namespace halvik::board {

void StartBoardThread(const engine::TablesPtr& tables, const engine::EngineEnv& env);
void RunIrSendAction(const engine::ActionCall& call);
void RunPowerActionCall(const engine::ActionCall& call);
void ApplyPowerInitialStates(const engine::TablesPtr& tables, const engine::EngineEnv& env);
void StopBoard(const engine::EngineEnv& env);

}  // namespace halvik::board
