// Stopping the board thread before the device is closed, for the programs
// that own a board (engine and editor).
#pragma once

#include "board/ir.h"

namespace halvik::board {

// How long closing waits for the board thread to leave its loop, so that it
// does not find the device closed under a transfer.
inline constexpr int kChannelStopWaitMs = 1000;

// Asks the thread to stop and waits up to kChannelStopWaitMs for it, serving
// the messages it sends this thread's windows meanwhile (it may be posting a
// status text with SendMessage while it winds down).
void StopChannelServingMessages(IrChannel& channel);

}  // namespace halvik::board
