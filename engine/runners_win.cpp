#include "engine/runners_win.h"

#include <memory>

#include "engine/plugins.h"
#include "win/wait_win.h"

namespace halvik::engine {
namespace {

struct RunnerStart {
  RunnerJob job;
  HANDLE handshake;
};

DWORD WINAPI RuleRunnerThread(void* parameter) {
  // The job is the thread's own copy (a runner that signals late must not
  // read a starter's reused stack); the handshake keeps the runners starting
  // one after the other in rule order.
  std::unique_ptr<RunnerStart> start(static_cast<RunnerStart*>(parameter));
  SetEvent(start->handshake);
  const RunnerJob& job = start->job;
  RunSteps(job.tables->rules[job.rule].steps, job.event, *job.tables, Env(), ActionCategories());
  return 0;
}

DWORD WINAPI DirectActionThread(void* parameter) {
  std::unique_ptr<DirectJob> job(static_cast<DirectJob*>(parameter));
  RunSteps({&job->step, 1}, kDirectActionEvent, *job->tables, Env(), ActionCategories());
  return 0;
}

}  // namespace

void ThreadStarter::StartRuleRunner(const RunnerJob& job) {
  auto start = std::make_unique<RunnerStart>(RunnerStart{job, handshake_});
  HANDLE thread = CreateThread(nullptr, 0, RuleRunnerThread, start.get(), 0, nullptr);
  if (thread == nullptr) {
    AddLogLinef(0, "ルール%03d: スレッドを開始できません", job.tables->rules[job.rule].rule);
    return;
  }
  start.release();
  CloseHandle(thread);
  win::WaitServingSentMessages(handshake_, kStartHandshakeMs);
}

void ThreadStarter::StartDirectAction(const DirectJob& job) {
  auto copy = std::make_unique<DirectJob>(job);
  HANDLE thread = CreateThread(nullptr, 0, DirectActionThread, copy.get(), 0, nullptr);
  if (thread == nullptr) return;
  copy.release();
  CloseHandle(thread);
}

}  // namespace halvik::engine
