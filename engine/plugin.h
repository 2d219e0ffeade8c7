// How the other subsystems plug into the engine: the log, the loaded tables,
// the hub window, the action executors and the start sequence. Everything a
// watcher or an executor needs from the engine is in this header; the
// engine's own files (hub, dispatch, timers) stay private to engine/.
//
//   log       AddLogLine(kind, text) / AddLogLinef, from any thread. Kind 0
//             for every engine message (the board's one exception uses 1).
//   tables    CurrentTables(): a shared_ptr snapshot of everything loaded.
//             Take it once per job and keep it; the hub replaces the tables
//             on reload, a snapshot never changes under you.
//   hub       Env().hubWindow is the engine's hidden main window (an HWND in
//             the Windows build). Watchers hand what they found over with
//             SendMessage(hub, WM_COMMAND, command, lParam) (kCommand* below),
//             so they wait until the events have been raised.
//   actions   engine/action_table.cpp holds one row per action category:
//             base, name, executor. A subsystem puts its Executor there; a
//             row without one logs that the category is not available and
//             the action's wait still applies.
//   start     engine/start_steps.cpp holds the start sequence after the
//             settings are loaded: mail watcher, board thread, macro thread,
//             net listeners, interval timers. A subsystem puts its start
//             function in its row.
//   loading   a row of engine/start_steps.cpp's load hooks runs after one
//             reload code has been loaded (the power file switches the
//             appliances that rules name to their initial state).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/tables.h"

namespace halvik::engine {

// ---- log ----------------------------------------------------------------

// Adds one row to the engine's log window; does nothing while the log is
// paused or before it exists. Thread-safe.
void AddLogLine(int kind, std::string_view text);
void AddLogLinef(int kind, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Where the lines go: the log window in the program, a recorder in tests.
using LogSink = void (*)(int kind, std::string_view text);
void SetLogSink(LogSink sink);

// ---- tables -------------------------------------------------------------

using TablesPtr = std::shared_ptr<const EngineTables>;
// The tables in force; never null (empty tables before the first load).
TablesPtr CurrentTables();
// The hub publishes a new set after each load. Hub thread only.
void PublishTables(TablesPtr tables);

// ---- the platform seams an action uses -----------------------------------

// Session ends and shell starts. The Windows build ends the session with
// ExitWindowsEx after enabling the shutdown privilege and starts programs
// with ShellExecuteW "open", shown; tests record the requests.
class Shell {
 public:
  virtual ~Shell() = default;
  virtual void EndSession(unsigned ewxFlags) = 0;
  virtual void Open(const std::string& file, const std::string& parameters) = 0;
};

// The ExitWindowsEx flags, so that portable code can name them.
inline constexpr unsigned kEwxLogOff = 0x0, kEwxShutdown = 0x1, kEwxReboot = 0x2,
                          kEwxForce = 0x4, kEwxPowerOff = 0x8;

struct EngineEnv {
  std::string folder;          // program folder, CP932, with its trailing backslash
  void* hubWindow = nullptr;   // HWND of the hub in the Windows build
  Shell* shell = nullptr;
  void (*sleepMs)(unsigned ms) = nullptr;
  // The start-handshake events (auto-reset HANDLEs in the Windows build):
  // a thread that takes its parameters from its starter's stack sets its
  // event once it has copied them; the starter waits at most
  // kStartHandshakeMs with win::WaitServingSentMessages when it is the hub.
  void* ruleThreadEvent = nullptr;
  void* netListenerEvent = nullptr;
  void* netSendEvent = nullptr;
};
const EngineEnv& Env();
void SetEnv(const EngineEnv& env);  // once at start, before any thread runs

// ---- executors ----------------------------------------------------------

// One action to carry out, on the thread of its rule runner or direct action.
struct ActionCall {
  int action = 0;  // action number, e.g. 210
  int slot = 0;    // action number - category base, 0-99
  int event = 0;   // the event that started it; 9999 for a direct action
  const EngineTables& tables;
  const EngineEnv& env;
};
// Returns when the action has been carried out or handed to its own thread.
// Errors go to the log; nothing propagates.
using Executor = void (*)(const ActionCall& call);

// ---- hub commands (WM_COMMAND low word to Env().hubWindow) ----------------

inline constexpr int kCommandVersion = 103;
inline constexpr int kCommandQuit = 110;
inline constexpr int kCommandEditor = 112;
inline constexpr int kCommandShowLog = 113;
// Board thread: an IR signature was received; lParam points to the 8
// signature bytes (const uint8_t[8]), valid during the SendMessage.
inline constexpr int kCommandIrReceived = 115;
// Mail watcher / net listener: lParam points to a HandOverEvents, valid
// during the SendMessage.
inline constexpr int kCommandMailEvents = 116;
inline constexpr int kCommandNetEvents = 118;
inline constexpr int kCommandLoadAll = 141;
inline constexpr int kCommandReload = 142;  // lParam low word = reload code
// Net listener: one direct action; lParam = action | (wait seconds << 16).
inline constexpr int kCommandDirectAction = 701;
inline constexpr int kCommandPlayer = 702;
inline constexpr int kCommandCapture = 703;
inline constexpr int kCommandRecorder = 704;

struct HandOverEvents {
  const int* events = nullptr;
  size_t count = 0;
};

inline constexpr uint32_t DirectActionParameter(int action, int waitSeconds) {
  return (static_cast<uint32_t>(action) & 0xFFFF) | (static_cast<uint32_t>(waitSeconds & 0xFFFF) << 16);
}

// The start handshakes of the threads that get their parameters from the
// starter's stack: the starter waits at most this long for the new thread to
// signal that it has taken them.
inline constexpr unsigned kStartHandshakeMs = 1000;

}  // namespace halvik::engine
