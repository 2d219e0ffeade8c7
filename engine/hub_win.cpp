// halvik.exe: program entry, the hidden hub window and its tray icon. The
// hub thread alone loads settings and raises events; rule runners and
// direct actions run on threads of their own.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <winsock2.h>

#include <memory>

#include "engine/clock_events.h"
#include "engine/dispatch.h"
#include "engine/log_window_win.h"
#include "engine/plugins.h"
#include "engine/resource.h"
#include "engine/runners_win.h"
#include "engine/shell_win.h"
#include "win/log_window_win.h"
#include "win/text.h"

namespace halvik::engine {
namespace {

constexpr wchar_t kClassName[] = L"HALVIK-TOP-CLASS-NAME";
constexpr UINT kTrayCallback = WM_APP + 100;  // 0x8064
constexpr UINT_PTR kTimeOfDayTimer = 1;
constexpr UINT kTimeOfDayPeriodMs = 10000;

struct Hub {
  HINSTANCE instance = nullptr;
  HANDLE mutex = nullptr;
  HWND window = nullptr;
  HMENU trayMenu = nullptr;
  UINT taskbarCreated = 0;
  NOTIFYICONDATAW tray{};
  std::string folder;
  HANDLE ruleThreadEvent = nullptr, netListenerEvent = nullptr, netSendEvent = nullptr;
  TimeOfDayCheck timeOfDay;
  IntervalCheck interval;
};
Hub gHub;

LocalTime Now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wDayOfWeek, t.wHour, t.wMinute, t.wSecond};
}

void SleepMs(unsigned ms) { Sleep(ms); }

ThreadStarter gStarter;

void Raise(const std::vector<int>& events) {
  for (int event : events) RaiseEvent(event, CurrentTables(), gStarter);
}

// ---- settings -----------------------------------------------------------

void Reload(int code) {
  auto next = std::make_shared<EngineTables>(*CurrentTables());
  if (LoadByReloadCode(code, gHub.folder, *next) != 0) return;  // codes not in the table are ignored
  if (code == 300) gHub.timeOfDay.Load(next->timeOfDay);
  if (code == 400) gHub.interval.Load(next->interval);
  TablesPtr published = std::move(next);
  PublishTables(published);
  for (const LoadHook& hook : LoadHooks()) {
    if (hook.reloadCode == code && hook.afterLoad != nullptr) hook.afterLoad(published, Env());
  }
}

// ---- tray ---------------------------------------------------------------

void AddTrayIcon() { Shell_NotifyIconW(NIM_ADD, &gHub.tray); }

void ShowTrayMenu(HWND window) {
  SetForegroundWindow(window);
  POINT at;
  GetCursorPos(&at);
  TrackPopupMenu(gHub.trayMenu, TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr);
  PostMessageW(window, WM_NULL, 0, 0);  // lets the menu close properly
}

INT_PTR CALLBACK VersionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK)) {
    EndDialog(dialog, 0);
    return TRUE;
  }
  return FALSE;
}

void OpenEditor(HWND window) {
  MessageBoxW(nullptr, L"ハルヴィクを一時的に終了します", L"確認",
              MB_OK | MB_ICONINFORMATION | MB_TOPMOST | MB_SYSTEMMODAL);
  ShellExecuteW(nullptr, L"open", win::WideFromCp932(gHub.folder + "halvikx.exe").c_str(), L"1", nullptr,
                SW_SHOWNORMAL);
  SendMessageW(window, WM_CLOSE, 0, 0);
}

// ---- the hub ------------------------------------------------------------

void StartSequence(HWND window) {
  gHub.window = window;
  gHub.tray.cbSize = sizeof gHub.tray;
  gHub.tray.hWnd = window;
  gHub.tray.uID = 1;
  gHub.tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  gHub.tray.uCallbackMessage = kTrayCallback;
  gHub.tray.hIcon = LoadIconW(gHub.instance, MAKEINTRESOURCEW(IDI_HALVIK));
  lstrcpynW(gHub.tray.szTip, L"ハルヴィク", ARRAYSIZE(gHub.tray.szTip));
  AddTrayIcon();

  EngineEnv env;
  env.folder = gHub.folder;
  env.hubWindow = window;
  env.shell = &WindowsShell();
  env.sleepMs = SleepMs;
  env.ruleThreadEvent = gHub.ruleThreadEvent;
  env.netListenerEvent = gHub.netListenerEvent;
  env.netSendEvent = gHub.netSendEvent;
  SetEnv(env);

  StartEngineLog(gHub.instance, gHub.folder);
  AddLogLine(0, "ハルヴィクが起動しました");
  SendMessageW(window, WM_COMMAND, kCommandLoadAll, 0);
  SetTimer(window, kTimeOfDayTimer, kTimeOfDayPeriodMs, nullptr);
  const TablesPtr tables = CurrentTables();
  for (const StartStep& step : StartSteps()) {
    if (step.start != nullptr) step.start(tables, Env());
  }
}

void OnTimer(UINT_PTR id) {
  if (id == kTimeOfDayTimer) {
    if (!gHub.timeOfDay.Empty()) Raise(gHub.timeOfDay.Check(Now()));
    return;
  }
  if (gHub.interval.Empty()) return;
  IntervalCheck::Tick tick = gHub.interval.OnTimer(static_cast<int>(id), Now());
  if (tick.occurred) AddLogLinef(0, "インターバルタイマー発生 イベント:%d", static_cast<int>(id));
  Raise(tick.raise);
}

void OnCommand(HWND window, int command, LPARAM lParam) {
  switch (command) {
    case kCommandVersion:
      DialogBoxParamW(gHub.instance, MAKEINTRESOURCEW(IDD_VERSION), window, VersionProc, 0);
      break;
    case kCommandQuit:
      DestroyWindow(window);
      break;
    case kCommandEditor:
      OpenEditor(window);
      break;
    case kCommandShowLog:
      win::ShowLogWindow();
      break;
    case kCommandIrReceived:
      if (lParam != 0) {
        const auto* signature = reinterpret_cast<const uint8_t*>(lParam);
        Raise(MatchIrSignature(*CurrentTables(), {signature, settings::kSignatureBytes}));
      }
      break;
    case kCommandMailEvents:
    case kCommandNetEvents:
      if (lParam != 0) {
        const auto* found = reinterpret_cast<const HandOverEvents*>(lParam);
        RaiseHandedOver(command == kCommandMailEvents ? HandOverSource::kMail : HandOverSource::kNet,
                        {found->events, found->count}, CurrentTables(), gStarter);
      }
      break;
    case kCommandLoadAll:
      for (const ReloadCode& code : ReloadCodes()) SendMessageW(window, WM_COMMAND, kCommandReload, code.code);
      break;
    case kCommandReload:
      Reload(LOWORD(lParam));
      break;
    case kCommandDirectAction:
      gStarter.StartDirectAction(DirectJobFrom(static_cast<uint32_t>(lParam), CurrentTables()));
      break;
    case kCommandPlayer:
      StartCompanion(gHub.folder, "vistamo.exe");
      break;
    case kCommandCapture:
      StartCompanion(gHub.folder, "glimra.exe");
      break;
    case kCommandRecorder:
      StartCompanion(gHub.folder, "tonelog.exe");
      break;
  }
}

LRESULT CALLBACK HubProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == gHub.taskbarCreated && message != 0) AddTrayIcon();  // the shell restarted
  switch (message) {
    case WM_CREATE:
      StartSequence(window);
      break;
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case kTrayCallback:
      if (lParam == WM_RBUTTONUP) ShowTrayMenu(window);
      break;
    case WM_COMMAND:
      OnCommand(window, LOWORD(wParam), lParam);
      break;
    case WM_CLOSE:
      for (const CloseStep& step : CloseSteps()) {
        if (step.close != nullptr) step.close(Env());
      }
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      Shell_NotifyIconW(NIM_DELETE, &gHub.tray);
      ReleaseMutex(gHub.mutex);
      CloseHandle(gHub.mutex);
      gHub.mutex = nullptr;
      PostQuitMessage(0);
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

std::string ProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, n);
  folder.erase(folder.find_last_of(L'\\') + 1);
  return win::Cp932FromWide(folder);
}

}  // namespace

int Main(HINSTANCE instance) {
  gHub.instance = instance;
  gHub.mutex = CreateMutexW(nullptr, TRUE, L"HALVIK");
  if (gHub.mutex == nullptr || GetLastError() == ERROR_ALREADY_EXISTS) return 0;  // one engine at a time
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  gHub.folder = ProgramFolder();
  WSADATA wsa;
  const bool sockets = WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
  gHub.taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  gHub.ruleThreadEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  gStarter.SetHandshakeEvent(gHub.ruleThreadEvent);
  gHub.netListenerEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  gHub.netSendEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);

  WNDCLASSW wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = HubProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kClassName;
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, kClassName, L"メニュー画面", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                0, 0, 408, 110, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return -1;
  ShowWindow(window, SW_HIDE);
  gHub.trayMenu = GetSubMenu(LoadMenuW(instance, L"ICONPOPUPMENU"), 0);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  win::EndLogWindow();
  if (sockets) WSACleanup();
  return 0;
}

}  // namespace halvik::engine

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return halvik::engine::Main(instance); }
