// halvikx: start-up, the hidden main window that owns the program's lifetime,
// and the way out (with the question whether to start the engine again when
// the engine started the editor).
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "editor/board_win.h"
#include "editor/editor_win.h"
#include "win/log_window_win.h"
#include "win/text.h"

namespace halvik::editor {
namespace {

constexpr wchar_t kClassName[] = L"HALVIKX-TOP-CLASS-NAME";
HANDLE gMutex = nullptr;

std::string ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  folder.resize(folder.find_last_of(L'\\') + 1);
  return win::Cp932FromWide(folder);
}

// The settings log: dialog 147, hidden at (0, 400) until "ログ表示".
void StartSettingsLog() {
  static const win::LogWindowLayout kLayout = {147,  0,          1032,       1033, 1034, 1035, 1039,
                                           "ログ停止", "ログ再開", false,      0,    400};
  // Without its log window the editor still edits; entries are then dropped.
  (void)win::StartLogWindow(Editor().instance, kLayout, Editor().folder + "halvik.log");
}

void StartEngine() {
  std::wstring path = win::WideFromCp932(Editor().folder + "halvik.exe");
  ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  EditorState& editor = Editor();
  switch (message) {
    case WM_CREATE:
      editor.mainWindow = hwnd;
      StartSettingsLog();
      CreateRulePage();
      win::AddLogWindowLine(0, "ファイル設定アプリ開始しました");
      if (HWND log = win::LogWindowHandle()) ShowWindow(log, SW_HIDE);
      return 0;
    case WM_CLOSE:
      CloseBoard();
      if (editor.startedByEngine &&
          AskQuestion("ハルヴィクを再起動しますか", "確認", MB_YESNO) == IDYES) {
        StartEngine();
      }
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      if (gMutex != nullptr) ReleaseMutex(gMutex);
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

EditorState& Editor() {
  static EditorState state;
  return state;
}

void EndEditor() {
  EditorState& editor = Editor();
  CloseBoard();
  ShowWindow(editor.rule.hwnd, SW_HIDE);
  SendMessageW(editor.mainWindow, WM_CLOSE, 0, 0);
}

}  // namespace halvik::editor

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  using namespace halvik::editor;
  EditorState& editor = Editor();
  editor.instance = instance;
  editor.startedByEngine = commandLine != nullptr && commandLine[0] == L'1';

  gMutex = CreateMutexW(nullptr, TRUE, L"HALVIKX");
  if (gMutex == nullptr || GetLastError() == ERROR_ALREADY_EXISTS) return 0;

  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  editor.folder = ProgramFolder();
  WSADATA wsa;
  WSAStartup(MAKEWORD(1, 1), &wsa);

  WNDCLASSW wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = MainProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kClassName;
  RegisterClassW(&wc);
  HWND main = CreateWindowW(kClassName, halvik::win::WideFromCp932("メニュー画面").c_str(),
                            WS_POPUP | WS_BORDER | WS_DLGFRAME | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 408, 110,
                            nullptr, nullptr, instance, nullptr);
  if (main == nullptr) return -1;
  ShowWindow(main, SW_HIDE);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    // Tab, Enter and the arrow keys work in the pages as in any dialog.
    HWND active = GetActiveWindow();
    if (active != nullptr && IsDialogMessageW(active, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  WSACleanup();
  return 0;
}
