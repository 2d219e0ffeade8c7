#include "win/log_window_win.h"

#include <commctrl.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "win/log_lines.h"
#include "win/text.h"

namespace halvik::win {
namespace {

struct LogWindowState {
  HINSTANCE instance = nullptr;
  LogWindowLayout layout{};
  std::wstring logFile;
  std::atomic<HWND> window{nullptr};
  std::atomic<HWND> list{nullptr};
  std::atomic<bool> paused{false};
  // The dialog manager shows a modal dialog once its queue is idle; the log
  // stays hidden until the user asks for it the first time.
  std::atomic<bool> mayShow{false};
  HANDLE ready = nullptr;
  // The log lock: serialises the appends. Kept for the whole process (never
  // deleted), so that a runner that logs while the program closes finds a
  // valid lock. The log thread itself never takes it.
  std::mutex lock;
  std::vector<LogRow> rows;  // what the list shows, in CP932; log thread only
};

// Sent by AddLogWindowLine with lParam = const LogRow*.
constexpr UINT kAppendRow = WM_APP + 1;
constexpr UINT kEnd = WM_APP + 2;

LogWindowState gLog;

int TextWidth(HWND list, const wchar_t* text) {
  return static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text)));
}

void InsertColumn(HWND list, int index, const wchar_t* title, int width) {
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.pszText = const_cast<wchar_t*>(title);
  column.cx = width;
  column.iSubItem = index;
  SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

void OnInit(HWND dialog) {
  HWND list = GetDlgItem(dialog, gLog.layout.listId);
  gLog.window = dialog;
  gLog.list = list;
  gLog.paused = false;
  ShowWindow(dialog, SW_HIDE);
  if (HICON icon = LoadIconW(gLog.instance, MAKEINTRESOURCEW(gLog.layout.iconId))) {
    SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP | LVS_EX_TRACKSELECT | LVS_EX_GRIDLINES);
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  InsertColumn(list, 0, L"時刻", TextWidth(list, L"aaaaaaaaa") + 10);
  InsertColumn(list, 1, L"区分", 0);  // hidden until the user widens it
  InsertColumn(list, 2, L"メッセージ", TextWidth(list, std::wstring(53, L'a').c_str()) + 10);
  RECT r;
  GetWindowRect(dialog, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  const int x = gLog.layout.centre ? (GetSystemMetrics(SM_CXSCREEN) - width) / 2 : gLog.layout.x;
  const int y = gLog.layout.centre ? (GetSystemMetrics(SM_CYSCREEN) - height) / 2 : gLog.layout.y;
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetEvent(gLog.ready);
}

void AppendRow(const LogRow& row) {
  const std::wstring cells[3] = {WideFromCp932(row.time), WideFromCp932(LogKindText(row.kind)),
                                 WideFromCp932(row.message)};
  HWND list = gLog.list;
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = static_cast<int>(gLog.rows.size());
  item.lParam = item.iItem;  // a row's item data is its index
  item.pszText = const_cast<wchar_t*>(cells[0].c_str());
  const int index = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (index < 0) return;
  for (int column = 1; column < 3; ++column) {
    LVITEMW sub{};
    sub.iSubItem = column;
    sub.pszText = const_cast<wchar_t*>(cells[column].c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&sub));
  }
  SendMessageW(list, LVM_ENSUREVISIBLE, index, FALSE);
  gLog.rows.push_back(row);
}

void SaveRows() {
  const std::string bytes = SavedLogLines(gLog.rows);
  HANDLE file = CreateFileW(gLog.logFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  SetFilePointer(file, 0, nullptr, FILE_END);
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) break;
    done += written;
  }
  CloseHandle(file);
}

void OnCommand(HWND dialog, int id) {
  const LogWindowLayout& s = gLog.layout;
  if (id == s.pauseId) {
    const bool pause = !gLog.paused;
    gLog.paused = pause;
    SetDlgItemTextW(dialog, s.pauseId, WideFromCp932(pause ? s.resumeText : s.pauseText).c_str());
  } else if (id == s.clearId) {
    gLog.rows.clear();
    SendMessageW(gLog.list, LVM_DELETEALLITEMS, 0, 0);
  } else if (id == s.saveId) {
    SaveRows();
  } else if (id == s.deleteId) {
    DeleteFileW(gLog.logFile.c_str());
  } else if (id == IDOK || id == IDCANCEL) {
    ShowWindow(dialog, SW_HIDE);
  }
}

INT_PTR CALLBACK LogDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInit(dialog);
      return FALSE;  // the window stays hidden: no focus to set
    case WM_SIZE:
      if (HWND list = GetDlgItem(dialog, gLog.layout.listId)) {
        SetWindowPos(list, nullptr, 0, 0, LOWORD(lParam) - 4, HIWORD(lParam) - 32, SWP_NOMOVE | SWP_NOZORDER);
      }
      return TRUE;
    case WM_COMMAND:
      OnCommand(dialog, LOWORD(wParam));
      return TRUE;
    case WM_WINDOWPOSCHANGING:
      if (!gLog.mayShow) reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
      return FALSE;
    case kAppendRow:
      AppendRow(*reinterpret_cast<const LogRow*>(lParam));
      return TRUE;
    case kEnd:
      EndDialog(dialog, 0);
      return TRUE;
  }
  return FALSE;
}

DWORD WINAPI LogThread(void*) {
  DialogBoxParamW(gLog.instance, MAKEINTRESOURCEW(gLog.layout.dialogId), nullptr, LogDialogProc, 0);
  gLog.window = nullptr;
  gLog.list = nullptr;
  SetEvent(gLog.ready);  // a dialog that never opened must not hold the start
  return 0;
}

}  // namespace

bool StartLogWindow(HINSTANCE instance, const LogWindowLayout& layout, const std::string& logFile) {
  gLog.instance = instance;
  gLog.layout = layout;
  gLog.logFile = WideFromCp932(logFile);
  gLog.ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = CreateThread(nullptr, 0, LogThread, nullptr, 0, nullptr);
  if (thread == nullptr) return false;
  CloseHandle(thread);
  // The log is ready well within a second; poll as the start sequence does.
  while (WaitForSingleObject(gLog.ready, 100) == WAIT_TIMEOUT) {
  }
  return gLog.window.load() != nullptr;
}

void AddLogWindowLine(int kind, std::string_view text) {
  if (gLog.paused) return;
  SYSTEMTIME now;
  GetLocalTime(&now);
  const LogRow row{LogTimeText(now.wHour, now.wMinute, now.wSecond), kind, std::string(text)};
  std::lock_guard<std::mutex> hold(gLog.lock);
  if (HWND window = gLog.window) SendMessageW(window, kAppendRow, 0, reinterpret_cast<LPARAM>(&row));
}

void ShowLogWindow() {
  if (HWND window = gLog.window) {
    gLog.mayShow = true;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
  }
}

HWND LogWindowHandle() { return gLog.window; }

void EndLogWindow() {
  if (HWND window = gLog.window) PostMessageW(window, kEnd, 0, 0);
}

}  // namespace halvik::win
