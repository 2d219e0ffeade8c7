// The engine's process-wide state that other threads reach: the log sink,
// the published tables and the environment.
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "engine/plugin.h"
#include "settings/text_forms.h"

namespace halvik::engine {
namespace {

std::atomic<LogSink> gLogSink{nullptr};
std::mutex gTablesLock;
TablesPtr gTables = std::make_shared<const EngineTables>();
EngineEnv gEnv;

}  // namespace

void AddLogLine(int kind, std::string_view text) {
  if (LogSink sink = gLogSink.load()) sink(kind, text);
}

void AddLogLinef(int kind, const char* format, ...) {
  // A log row shows at most 255 bytes of text; a longer line is cut.
  char line[512];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (n < 0) return;
  if (static_cast<size_t>(n) < sizeof line) {
    AddLogLine(kind, std::string_view(line, static_cast<size_t>(n)));
  } else {
    AddLogLine(kind, settings::CutCp932(line, sizeof line - 1));
  }
}

void SetLogSink(LogSink sink) { gLogSink.store(sink); }

TablesPtr CurrentTables() {
  std::lock_guard<std::mutex> hold(gTablesLock);
  return gTables;
}

void PublishTables(TablesPtr tables) {
  std::lock_guard<std::mutex> hold(gTablesLock);
  gTables = tables ? std::move(tables) : std::make_shared<const EngineTables>();
}

const EngineEnv& Env() { return gEnv; }
void SetEnv(const EngineEnv& env) { gEnv = env; }

}  // namespace halvik::engine
