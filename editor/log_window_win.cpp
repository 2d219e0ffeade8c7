// The settings log window: a list of time-stamped entries on a thread of its
// own, so that it stays responsive while the pages wait. Entries can come
// from any thread; the critical section keeps a row's insertion and its
// columns together.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>

#include "editor/editor_win.h"
#include "settings/text_forms.h"
#include "win/text.h"

namespace halvik::editor {
namespace {

enum : int { kPause = 1032, kClear = 1033, kSave = 1034, kErase = 1035, kList = 1039 };

CRITICAL_SECTION gLock;
HWND volatile gWindow = nullptr;
HWND volatile gList = nullptr;
volatile bool gPaused = false;
volatile bool gReady = false;

void InsertColumn(HWND list, int column, std::string_view header, int width) {
  std::wstring text = win::WideFromCp932(header);
  LVCOLUMNW lvc = {};
  lvc.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  lvc.fmt = LVCFMT_LEFT;
  lvc.cx = width;
  lvc.pszText = text.data();
  lvc.iSubItem = column;
  SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&lvc));
}

void SaveToLogFile() {
  std::wstring path = win::WideFromCp932(Editor().folder + "halvik.log");
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  SetFilePointer(file, 0, nullptr, FILE_END);
  int rows = ListView_GetItemCount(gList);
  for (int i = 0; i < rows; ++i) {
    std::string line = CellText(gList, i, 0) + " " + settings::CutCp932(CellText(gList, i, 2), 255) + "\n";
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  }
  CloseHandle(file);
}

INT_PTR CALLBACK LogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      gWindow = hwnd;
      gList = GetDlgItem(hwnd, kList);
      gPaused = false;
      ShowWindow(hwnd, SW_HIDE);
      ListView_SetExtendedListViewStyle(
          gList, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP | LVS_EX_TRACKSELECT | LVS_EX_GRIDLINES);
      ListView_DeleteAllItems(gList);
      int a = ListView_GetStringWidth(gList, const_cast<wchar_t*>(L"a"));
      InsertColumn(gList, 0, "時刻", ListView_GetStringWidth(gList, const_cast<wchar_t*>(L"aaaaaaaaa")) + 10);
      InsertColumn(gList, 1, "区分", 0);
      InsertColumn(gList, 2, "メッセージ", a * 53 + 10);
      ListView_EnsureVisible(gList, 0, FALSE);
      SetWindowPos(hwnd, nullptr, 0, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      gReady = true;
      return FALSE;
    }
    case WM_SIZE: {
      RECT r;
      GetClientRect(hwnd, &r);
      RECT list;
      GetWindowRect(gList, &list);
      POINT at = {list.left, list.top};
      ScreenToClient(hwnd, &at);
      // The list keeps its place under the buttons and takes the rest.
      MoveWindow(gList, at.x, at.y, r.right - 4, r.bottom - at.y - 2, TRUE);
      return TRUE;
    }
    case WM_CLOSE:
      ShowWindow(hwnd, SW_HIDE);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kPause:
          gPaused = !gPaused;
          SetControlText(hwnd, kPause, gPaused ? "ログ再開" : "ログ停止");
          break;
        case kClear:
          ListView_DeleteAllItems(gList);
          break;
        case kSave:
          SaveToLogFile();
          break;
        case kErase:
          DeleteFileW(win::WideFromCp932(Editor().folder + "halvik.log").c_str());
          break;
        case IDOK:
        case IDCANCEL:
          ShowWindow(hwnd, SW_HIDE);
          break;
      }
      return TRUE;
  }
  return FALSE;
}

DWORD WINAPI LogThread(LPVOID) {
  DialogBoxParamW(Editor().instance, MAKEINTRESOURCEW(147), nullptr, LogProc, 0);
  gWindow = nullptr;
  gList = nullptr;
  return 0;
}

}  // namespace

void StartLogWindow() {
  InitializeCriticalSection(&gLock);
  HANDLE thread = CreateThread(nullptr, 0, LogThread, nullptr, 0, nullptr);
  if (thread == nullptr) return;
  CloseHandle(thread);
  while (!gReady) Sleep(100);
}

void AddLogEntry(int kind, std::string_view text) {
  HWND list = gList;
  if (list == nullptr || gPaused) return;
  EnterCriticalSection(&gLock);
  SYSTEMTIME now;
  GetLocalTime(&now);
  char time[16];
  std::snprintf(time, sizeof time, "%02d:%02d:%02d", now.wHour, now.wMinute, now.wSecond);
  char kindText[16];
  std::snprintf(kindText, sizeof kindText, "%2d", kind);
  int n = ListView_GetItemCount(list);
  std::wstring wideTime = win::WideFromCp932(time);
  LVITEMW item = {};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = n;
  item.pszText = wideTime.data();
  item.lParam = n;
  SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  SetCellText(list, n, 1, kindText);
  SetCellText(list, n, 2, text);
  ListView_EnsureVisible(list, n, FALSE);
  LeaveCriticalSection(&gLock);
}

void ShowLogWindowAt(int x, int y) {
  if (gWindow == nullptr) return;
  // Below a tall rule page the window would open off the screen: it is
  // moved up until it fits the work area.
  RECT work;
  RECT r;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(gWindow, &r);
  y = std::max(static_cast<int>(work.top), std::min(y, static_cast<int>(work.bottom - (r.bottom - r.top))));
  SetWindowPos(gWindow, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
}

void HideLogWindow() {
  if (gWindow != nullptr) ShowWindow(gWindow, SW_HIDE);
}

}  // namespace halvik::editor
