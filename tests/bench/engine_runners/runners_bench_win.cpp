// Raises one event that 100 rules in force name and prints, per round, how
// long after the raise the runners carried out their first action: the
// first, the median, the 100th. Each runner's first action is one of a
// category without executor, which logs at once; the log sink takes the time.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

#include "engine/dispatch.h"
#include "engine/runners_win.h"

namespace {

using namespace halvik::engine;

LARGE_INTEGER gFrequency;
std::atomic<int> gCount{0};
LONGLONG gStamps[100];

void StampLine(int, std::string_view) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  const int i = gCount.fetch_add(1);
  if (i >= 0 && i < 100) gStamps[i] = now.QuadPart;
}

double Ms(LONGLONG ticks) { return 1000.0 * static_cast<double>(ticks) / static_cast<double>(gFrequency.QuadPart); }

}  // namespace

int main() {
  QueryPerformanceFrequency(&gFrequency);
  auto tables = std::make_shared<EngineTables>();
  for (int i = 0; i < 100; ++i) tables->rules.push_back({i, 401, {{150, 0}}});
  EngineEnv env;
  env.sleepMs = [](unsigned ms) { Sleep(ms); };
  SetEnv(env);
  HANDLE handshake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  ThreadStarter starter;
  starter.SetHandshakeEvent(handshake);

  std::printf("round  first_ms  median_ms  last_ms  (raise -> first action of runner 1 / 50 / 100)\n");
  for (int round = 1; round <= 5; ++round) {
    gCount = 0;
    SetLogSink(nullptr);  // RaiseEvent's own line is not a runner start
    LARGE_INTEGER raised;
    QueryPerformanceCounter(&raised);
    SetLogSink(StampLine);
    // The raise logs "イベント発生 401" first: skip it.
    gCount = -1;
    RaiseEvent(401, tables, starter);
    const ULONGLONG deadline = GetTickCount64() + 10000;
    while (gCount.load() < 100 && GetTickCount64() < deadline) Sleep(1);
    if (gCount.load() < 100) {
      std::printf("%5d  only %d of 100 runners started within 10 s\n", round, gCount.load());
      continue;
    }
    std::vector<LONGLONG> stamps(gStamps, gStamps + 100);
    std::sort(stamps.begin(), stamps.end());
    std::printf("%5d  %8.3f  %9.3f  %7.3f\n", round, Ms(stamps[0] - raised.QuadPart),
                Ms(stamps[49] - raised.QuadPart), Ms(stamps[99] - raised.QuadPart));
    Sleep(200);
  }
  return 0;
}
