// Waiting on the thread that owns windows without blocking the threads that
// SendMessage to it: the wait serves sent messages as they arrive.
#pragma once

#include <windows.h>

namespace halvik::win {

// Waits until handle is signalled or ms have passed, serving messages sent
// to this thread's windows meanwhile. Returns true when signalled.
bool WaitServingSentMessages(HANDLE handle, DWORD ms);

}  // namespace halvik::win
