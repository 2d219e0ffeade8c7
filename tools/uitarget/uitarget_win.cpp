// uitarget: a small window with one control of each kind the UI driver acts
// on, for the driver's own end-to-end tests. What a person's action caused is
// appended to the log file named on the command line (UTF-8, one line an
// event), so a test sees the effect independently of what the driver reads.
//
//   1001 edit "初期値"            1002 check box       1003/1004 radio buttons
//   1005 combo box 赤/緑/青       1006 list view (3 columns, 3 rows)
//   1007 button: message box "保存しますか" (Yes/No); the answer goes to 1008
//   page "ページ二" (a child window) with its own edit 1001 and button 1010
//   WM_COMMAND 2001 from outside sets 1008 to "コマンド2001"
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

enum : int {
  kEdit = 1001, kCheck = 1002, kRadioOne = 1003, kRadioTwo = 1004, kCombo = 1005,
  kList = 1006, kAsk = 1007, kResult = 1008, kPageButton = 1010, kOuterCommand = 2001,
};

const wchar_t kClass[] = L"UITARGET-CLASS";
const wchar_t kPageClass[] = L"UITARGET-PAGE";

std::wstring logPath;
HWND result;

void Log(const std::wstring& line) {
  if (logPath.empty()) return;
  FILE* f = _wfopen(logPath.c_str(), L"ab");
  if (!f) return;
  std::wstring text = line + L"\n";
  int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
}

std::wstring TextOf(HWND hwnd) {
  wchar_t text[512] = {};
  GetWindowTextW(hwnd, text, 512);
  return text;
}

HWND Control(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id) {
  HWND c = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return c;
}

void FillList(HWND list) {
  const wchar_t* headings[] = {L"番号", L"名前", L"メモ"};
  for (int c = 0; c < 3; ++c) {
    LVCOLUMNW col = {};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.cx = 100;
    col.pszText = const_cast<wchar_t*>(headings[c]);
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&col));
  }
  const wchar_t* rows[3][3] = {{L"100", L"居間の照明", L"毎朝"}, {L"101", L"テレビ", L""},
                               {L"102", L"エアコン", L"冷房２８度～"}};
  for (int r = 0; r < 3; ++r) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = r;
    item.pszText = const_cast<wchar_t*>(rows[r][0]);
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    for (int c = 1; c < 3; ++c) {
      item.iSubItem = c;
      item.pszText = const_cast<wchar_t*>(rows[r][c]);
      SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(&item));
    }
  }
}

LRESULT CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_COMMAND && LOWORD(w) == kPageButton && HIWORD(w) == BN_CLICKED) {
    Log(L"page click " + TextOf(GetDlgItem(hwnd, kEdit)));
    return 0;
  }
  return DefWindowProcW(hwnd, msg, w, l);
}

void OnCreate(HWND hwnd) {
  Control(hwnd, L"Edit", L"初期値", WS_BORDER | ES_AUTOHSCROLL, 10, 10, 200, 24, kEdit);
  Control(hwnd, L"Button", L"チェック", BS_AUTOCHECKBOX, 220, 10, 120, 24, kCheck);
  Control(hwnd, L"Button", L"ラジオ一", BS_AUTORADIOBUTTON | WS_GROUP, 10, 40, 100, 24, kRadioOne);
  Control(hwnd, L"Button", L"ラジオ二", BS_AUTORADIOBUTTON, 120, 40, 100, 24, kRadioTwo);
  HWND combo = Control(hwnd, L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL, 230, 40, 120, 120, kCombo);
  for (const wchar_t* color : {L"赤", L"緑", L"青"}) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(color));
  }
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  HWND list = Control(hwnd, WC_LISTVIEWW, L"", LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_BORDER, 10, 75,
                      340, 110, kList);
  FillList(list);
  Control(hwnd, L"Button", L"確認", BS_PUSHBUTTON, 10, 195, 80, 26, kAsk);
  result = Control(hwnd, L"Static", L"", SS_LEFT, 100, 200, 240, 20, kResult);
  HWND page = CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"ページ二", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 230,
                              340, 60, hwnd, nullptr, GetModuleHandleW(nullptr), nullptr);
  Control(page, L"Edit", L"ページの編集", WS_BORDER | ES_AUTOHSCROLL, 10, 15, 180, 24, kEdit);
  Control(page, L"Button", L"ページボタン", BS_PUSHBUTTON, 200, 14, 120, 26, kPageButton);
}

void OnCommand(HWND hwnd, int id, int code, HWND control) {
  if (!control) {
    if (id == kOuterCommand) {
      SetWindowTextW(result, L"コマンド2001");
      Log(L"command 2001");
    }
    return;
  }
  if (id == kCheck && code == BN_CLICKED) {
    Log(L"check " + std::to_wstring(SendMessageW(control, BM_GETCHECK, 0, 0)));
  } else if ((id == kRadioOne || id == kRadioTwo) && code == BN_CLICKED) {
    Log(L"radio " + std::to_wstring(id));
  } else if (id == kCombo && code == CBN_SELCHANGE) {
    int sel = static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
    wchar_t text[64] = {};
    SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text));
    Log(L"select " + std::to_wstring(sel) + L" " + text);
  } else if (id == kAsk && code == BN_CLICKED) {
    std::wstring question = L"保存しますか\n" + TextOf(GetDlgItem(hwnd, kEdit));
    int answer = MessageBoxW(hwnd, question.c_str(), L"確認", MB_YESNO | MB_ICONINFORMATION);
    const wchar_t* said = answer == IDYES ? L"はい" : answer == IDNO ? L"いいえ" : L"?";
    SetWindowTextW(result, said);
    Log(std::wstring(L"answer ") + said);
  }
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_CREATE:
      OnCreate(hwnd);
      return 0;
    case WM_COMMAND:
      OnCommand(hwnd, LOWORD(w), HIWORD(w), reinterpret_cast<HWND>(l));
      return 0;
    case WM_NOTIFY: {
      const NMLISTVIEW* n = reinterpret_cast<const NMLISTVIEW*>(l);
      if (n->hdr.idFrom == kList && n->hdr.code == LVN_ITEMCHANGED && (n->uNewState & LVIS_SELECTED) &&
          !(n->uOldState & LVIS_SELECTED)) {
        Log(L"row " + std::to_wstring(n->iItem));
      }
      return 0;
    }
    case WM_CLOSE:
      Log(L"close");
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, w, l);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int show) {
  logPath = commandLine ? commandLine : L"";
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSW wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClass;
  RegisterClassW(&wc);
  wc.lpfnWndProc = PageProc;
  wc.lpszClassName = kPageClass;
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowExW(0, kClass, L"UIターゲット", WS_OVERLAPPEDWINDOW, 40, 40, 380, 340, nullptr, nullptr,
                              instance, nullptr);
  if (!hwnd) return 1;
  ShowWindow(hwnd, show);
  UpdateWindow(hwnd);
  Log(L"ready");
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(hwnd, &m)) continue;
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  return 0;
}
