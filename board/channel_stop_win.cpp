#include "board/channel_stop_win.h"

#include <windows.h>

#include "win/wait_win.h"

namespace halvik::board {

void StopChannelServingMessages(IrChannel& channel) {
  if (!channel.Running()) return;
  channel.RequestStop();
  HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  for (int waited = 0; channel.Running() && waited < kChannelStopWaitMs; waited += 20) {
    win::WaitServingSentMessages(never, 20);
  }
  CloseHandle(never);
}

}  // namespace halvik::board
