// The shell seam of the Windows build.
#pragma once

#include "engine/plugin.h"

namespace halvik::engine {

// Ends the session with ExitWindowsEx after enabling "SeShutdownPrivilege"
// in the process token; opens with ShellExecuteW "open", SW_SHOW. Neither
// reports anything: a refused shutdown or a missing file leaves no trace.
Shell& WindowsShell();

// Shell "open" of a companion program of the program folder, no parameters,
// no working folder, shown normally (tray commands 702-704).
void StartCompanion(const std::string& folder, const char* program);

}  // namespace halvik::engine
