// The messaging threads and executors of the engine (see engine_plugin.h).
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

#include "messaging/engine_plugin.h"
#include "messaging/ftp_upload.h"
#include "messaging/mail_sender.h"
#include "messaging/mail_watcher.h"
#include "messaging/net_text.h"
#include "messaging/server_address.h"
#include "win/text.h"
#include "win/wait_win.h"

namespace halvik::messaging {
namespace {

constexpr UINT kSocketMessage = 2900;
constexpr UINT_PTR kMailTimer = 9;
constexpr UINT_PTR kIdleTimer = 10;
constexpr UINT kIdleCheckMs = 10000;
constexpr DWORD kIdleConnectionMs = 60000;  // a peer that never sends is let go
constexpr size_t kMaxConnections = 64;

void EngineLog(int kind, std::string_view text) { engine::AddLogLine(kind, text); }

HWND Hub(const engine::EngineEnv& env) { return static_cast<HWND>(env.hubWindow); }

void ShowBox(const std::string& text) {
  MessageBoxW(nullptr, win::WideFromCp932(text).c_str(), L"",
              MB_OK | MB_ICONINFORMATION | MB_TOPMOST | MB_SYSTEMMODAL);
}

// A never-shown window of its own class, for the thread that calls it.
HWND CreateHiddenWindow(const wchar_t* className, const char* title, WNDPROC proc) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = className;
  RegisterClassW(&wc);  // a second thread finds the class registered
  return CreateWindowExW(0, className, win::WideFromCp932(title).c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                         CW_USEDEFAULT, 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
}

// WM_CLOSE ends the window, and with it the thread's message loop.
LRESULT HiddenWindowDefault(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    DestroyWindow(window);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RunMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Direct steps first, one request each, then the matched events.
void HandOver(HWND hub, int command, const std::vector<settings::ActionStep>& steps, const std::vector<int>& events) {
  for (const settings::ActionStep& step : steps) {
    SendMessageW(hub, WM_COMMAND, engine::kCommandDirectAction,
                 static_cast<LPARAM>(engine::DirectActionParameter(step.action, step.waitSeconds)));
  }
  if (events.empty()) return;
  engine::HandOverEvents found{events.data(), events.size()};
  SendMessageW(hub, WM_COMMAND, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(&found));
}

// ---- mail watcher ---------------------------------------------------------

struct MailThreadState {
  HWND hub = nullptr;
  std::unique_ptr<MailWatcher> watcher;
};
MailThreadState gMail;

void MailTick() {
  engine::TablesPtr tables = engine::CurrentTables();
  std::vector<MatchEntry> entries;
  for (const auto& e : tables->mailReceive) entries.push_back({e.setting.sender, e.setting.subjectString, e.event});
  settings::MailAccount account = tables->mailAccount.value_or(settings::MailAccount{});
  gMail.watcher->SetSettings(account, std::move(entries), tables->mailDirect.value_or(settings::DirectActionSetting{}));
  (void)gMail.watcher->Tick();
}

LRESULT CALLBACK MailProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      SetTimer(window, kMailTimer, kMailPollMs, nullptr);
      return 0;
    case WM_TIMER:
      if (wParam == kMailTimer) MailTick();
      return 0;
  }
  return HiddenWindowDefault(window, message, wParam, lParam);
}

DWORD WINAPI MailThread(void*) {
  gMail.watcher = std::make_unique<MailWatcher>(
      SystemNetwork(), SystemClock(), EngineLog,
      [](const MailCheckResult& r) { HandOver(gMail.hub, engine::kCommandMailEvents, r.directSteps, r.events); });
  if (CreateHiddenWindow(L"MAILRCV=CLASS", "メール受信", MailProc)) RunMessageLoop();
  return 0;
}

// ---- net listeners ----------------------------------------------------------

struct Connection {
  std::string source;
  DWORD acceptedAt = 0;
};

struct Listener {
  HWND hub = nullptr;
  SOCKET listening = INVALID_SOCKET;
  std::map<SOCKET, Connection> connections;
  int accepted = 0;
};

// One listener per thread; its window finds it through the thread.
thread_local Listener* tListener = nullptr;

struct ListenerStart {
  long port;
  HWND hub;
  HANDLE ready;
};

void CloseConnection(Listener& l, SOCKET s) {
  closesocket(s);
  l.connections.erase(s);
}

void OnAccept(HWND window, Listener& l) {
  sockaddr_in peer{};
  int size = sizeof peer;
  SOCKET s = accept(l.listening, reinterpret_cast<sockaddr*>(&peer), &size);
  if (s == INVALID_SOCKET) return;
  ++l.accepted;
  std::string source = DottedText(ntohl(peer.sin_addr.s_addr));
  EngineLog(0, AcceptedLine(source, ntohs(peer.sin_port)));
  if (l.connections.size() >= kMaxConnections) {
    closesocket(s);  // too many silent peers: this one is not followed
    return;
  }
  l.connections[s] = {source, GetTickCount()};
  if (WSAAsyncSelect(s, window, kSocketMessage, FD_READ | FD_CLOSE) != 0) {
    char text[64];
    std::snprintf(text, sizeof text, "error:WSAAsyncSelect(): %d \n", WSAGetLastError());
    EngineLog(0, text);
    CloseConnection(l, s);
    return;
  }
  EngineLog(0, WaitingLine(l.accepted));
}

void OnRead(Listener& l, SOCKET s) {
  auto it = l.connections.find(s);
  if (it == l.connections.end()) return;
  std::string source = it->second.source;
  char buffer[kNetTextLimit];
  int got = recv(s, buffer, sizeof buffer, 0);
  CloseConnection(l, s);
  if (got <= 0) return;
  engine::TablesPtr tables = engine::CurrentTables();
  std::vector<MatchEntry> entries;
  for (const auto& e : tables->netReceive) entries.push_back({e.setting.source, e.setting.text, e.event, e.setting.port});
  ReceivedText text = HandleReceivedText(std::string_view(buffer, static_cast<size_t>(got)), source, entries,
                                         tables->netDirect.value_or(settings::DirectActionSetting{}), EngineLog);
  HandOver(l.hub, engine::kCommandNetEvents, text.directSteps, text.events);
}

void CloseIdleConnections(Listener& l) {
  DWORD now = GetTickCount();
  std::vector<SOCKET> idle;
  for (const auto& [s, c] : l.connections) {
    if (now - c.acceptedAt > kIdleConnectionMs) idle.push_back(s);
  }
  for (SOCKET s : idle) CloseConnection(l, s);
}

LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Listener* l = tListener;
  switch (message) {
    case kSocketMessage:
      if (!l) return 0;
      if (WSAGETSELECTEVENT(lParam) == FD_ACCEPT) {
        OnAccept(window, *l);
      } else if (WSAGETSELECTEVENT(lParam) == FD_READ) {
        OnRead(*l, static_cast<SOCKET>(wParam));
      } else if (WSAGETSELECTEVENT(lParam) == FD_CLOSE) {
        if (l->connections.count(static_cast<SOCKET>(wParam))) CloseConnection(*l, static_cast<SOCKET>(wParam));
      }
      return 0;
    case WM_TIMER:
      if (l && wParam == kIdleTimer) CloseIdleConnections(*l);
      return 0;
  }
  return HiddenWindowDefault(window, message, wParam, lParam);
}

ULONG BindAddress() {
  const char* bind = std::getenv("HALVIK_NET_BIND");
  std::optional<Ipv4> address = bind ? ParseDottedIpv4(bind) : std::nullopt;
  return htonl(address ? *address : INADDR_ANY);
}

DWORD WINAPI ListenerThread(void* parameter) {
  ListenerStart start = *static_cast<ListenerStart*>(parameter);
  SetEvent(start.ready);  // the hub may start the next listener
  Listener listener;
  listener.hub = start.hub;
  tListener = &listener;
  HWND window = CreateHiddenWindow(L"NETRCV-CLASS", "ネット受信", ListenerProc);
  if (!window) return 0;
  auto Fail = [&](const char* format) {
    char text[64];
    std::snprintf(text, sizeof text, format, WSAGetLastError());
    ShowBox(text);
    if (listener.listening != INVALID_SOCKET) closesocket(listener.listening);
    DestroyWindow(window);
    return 0;
  };
  listener.listening = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener.listening == INVALID_SOCKET) return Fail("error:socket(): %d \n");
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_port = htons(static_cast<u_short>(start.port));
  at.sin_addr.s_addr = BindAddress();
  if (bind(listener.listening, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0) return Fail("error:bindt(): %d \n");
  if (listen(listener.listening, 5) != 0 ||
      WSAAsyncSelect(listener.listening, window, kSocketMessage, FD_ACCEPT | FD_READ) != 0) {
    return Fail("error:WSAAsyncSelect(): %d \n");
  }
  SetTimer(window, kIdleTimer, kIdleCheckMs, nullptr);
  EngineLog(0, "ネット受信準備完了しました");
  RunMessageLoop();
  return 0;
}

// ---- threads of one action ------------------------------------------------

template <typename Job>
void StartJobThread(std::unique_ptr<Job> job, DWORD(WINAPI* body)(void*)) {
  HANDLE thread = CreateThread(nullptr, 0, body, job.get(), 0, nullptr);
  if (!thread) return;  // the job is dropped with its inputs
  job.release();        // the thread owns it now
  CloseHandle(thread);
}

DWORD WINAPI FtpThread(void* parameter) {
  std::unique_ptr<settings::FtpSendAction> upload(static_cast<settings::FtpSendAction*>(parameter));
  (void)UploadFileWithWinInet(*upload, EngineLog);
  return 0;
}

struct NetSendJob {
  std::string host;
  long port = 0;
  std::string text;
};

DWORD WINAPI NetSendThread(void* parameter) {
  std::unique_ptr<NetSendJob> job(static_cast<NetSendJob*>(parameter));
  std::string box;
  if (SendNetText(job->host, job->port, job->text, SystemNetwork(), SystemClock(), EngineLog, &box) ==
          NetSendStatus::kNoSocket &&
      !box.empty()) {
    ShowBox(box);
  }
  return 0;
}

}  // namespace

void StartMailWatcher(const engine::TablesPtr&, const engine::EngineEnv& env) {
  if (gMail.hub) return;  // one mail thread for the engine's life
  gMail.hub = Hub(env);
  HANDLE thread = CreateThread(nullptr, 0, MailThread, nullptr, 0, nullptr);
  if (thread) CloseHandle(thread);
}

void StartNetListeners(const engine::TablesPtr& tables, const engine::EngineEnv& env) {
  std::vector<MatchEntry> entries;
  for (const auto& e : tables->netReceive) entries.push_back({e.setting.source, e.setting.text, e.event, e.setting.port});
  for (long port : ListeningPorts(entries)) {
    ListenerStart start{port, Hub(env), static_cast<HANDLE>(env.netListenerEvent)};
    HANDLE thread = CreateThread(nullptr, 0, ListenerThread, &start, 0, nullptr);
    if (!thread) continue;
    win::WaitServingSentMessages(start.ready, engine::kStartHandshakeMs);
    CloseHandle(thread);
  }
}

void RunMailSendAction(const engine::ActionCall& call) {
  const auto& slot = call.tables.mailSend[call.slot];
  if (!slot) return;
  MailToSend mail = MailFromAccount(call.tables.mailAccount.value_or(settings::MailAccount{}), slot->recipient,
                                    slot->subject, slot->bodyFile);
  (void)SendMail(mail, SystemNetwork(), EngineLog);
}

void RunFtpAction(const engine::ActionCall& call) {
  const auto& slot = call.tables.ftpSend[call.slot];
  if (!slot) return;
  StartJobThread(std::make_unique<settings::FtpSendAction>(*slot), FtpThread);
}

void RunNetSendAction(const engine::ActionCall& call) {
  const auto& slot = call.tables.netSend[call.slot];
  if (!slot) return;
  StartJobThread(std::make_unique<NetSendJob>(NetSendJob{slot->address, slot->port, slot->text}), NetSendThread);
}

}  // namespace halvik::messaging
