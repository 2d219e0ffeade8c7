// The engine's log window (see win/log_window_win.h).
#pragma once

#include <windows.h>

#include <string>

#include "engine/plugin.h"

namespace halvik::engine {

// Starts the log thread, waits until the window exists, and routes
// AddLogLine to it.
bool StartEngineLog(HINSTANCE instance, const std::string& folder);

}  // namespace halvik::engine
