// What each page does beyond the common page behaviour: its radio buttons,
// "参照" buttons, dialogs, dropped files and test buttons.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "editor/board_win.h"
#include "editor/editor_win.h"
#include "editor/messaging_win.h"
#include "editor/record_dialog.h"
#include "settings/text_forms.h"
#include "win/text.h"

namespace halvik::editor {

INT_PTR HandleRulePageMessage(PageWindow& page, UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

namespace {

bool IsClick(int code) { return code == BN_CLICKED; }

// The hour and minute lists: the position in the list is the value.
void FillClockList(HWND dialog, int id, int count, const char* format) {
  for (int i = 0; i < count; ++i) {
    char item[16];
    std::snprintf(item, sizeof item, format, i);
    SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win::WideFromCp932(item).c_str()));
  }
}

void FillClockLists(HWND dialog, std::initializer_list<int> hours, std::initializer_list<int> minutes) {
  for (int id : hours) FillClockList(dialog, id, 24, "%2d時");
  for (int id : minutes) FillClockList(dialog, id, 60, "%2d分");
}

// Starts a program of the program folder with the verb "open".
void StartCompanion(HWND owner, const char* program, const std::string& parameters) {
  std::wstring path = win::WideFromCp932(Editor().folder + program);
  ShellExecuteW(owner, L"open", path.c_str(), win::WideFromCp932(parameters).c_str(), nullptr, SW_SHOW);
}

void EnableShutdownPrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
  TOKEN_PRIVILEGES privileges = {};
  if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
  }
  CloseHandle(token);
}

void TestCommand(PageWindow& page) {
  Form form = ReadForm(page);
  static const UINT kExits[] = {EWX_POWEROFF, EWX_SHUTDOWN, EWX_REBOOT, EWX_LOGOFF};
  int operation = form.FirstChecked(1051, 6);
  if (operation >= 0 && operation <= 3) {
    EnableShutdownPrivilege();
    ExitWindowsEx(kExits[operation] | EWX_FORCE, 0);
  } else if (operation == 4) {
    ShellExecuteW(page.hwnd, L"open", win::WideFromCp932(form.Text(1080)).c_str(), L"", nullptr, SW_SHOW);
  } else if (operation == 5) {
    StartCompanion(page.hwnd, "vistamo.exe", "\"" + form.Text(1080) + " p=y\"");
  }
}

void TestCapture(PageWindow& page) {
  Form form = ReadForm(page);
  std::string message = page.def->check(form);
  if (!message.empty()) {
    ShowMessage(message);
    return;
  }
  if (form.FirstChecked(1051, 4) != 3) return;  // only sound is recorded here
  char parameters[512];
  std::snprintf(parameters, sizeof parameters, "%s t=%5ld", form.Text(1081).c_str(), NumberValue(form.Text(1080)));
  std::wstring path = win::WideFromCp932(Editor().folder + "tonelog.exe");
  ShellExecuteW(nullptr, L"open", path.c_str(), win::WideFromCp932(parameters).c_str(), nullptr, SW_SHOW);
}

// Whether the body file can be opened for reading: a file that exists but
// cannot be read would otherwise send nothing and still say "sent".
bool CanReadFile(const std::string& path) {
  HANDLE file = CreateFileW(win::WideFromCp932(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

void TestMail(PageWindow& page) {
  Form form = ReadForm(page);
  std::string message = page.def->check(form);
  if (!message.empty()) {
    ShowMessage(message);
    return;
  }
  if (!CanReadFile(form.Text(1082))) {
    ShowMessage("本文ファイル名のファイルがありません");
    return;
  }
  SendTestMail(form);
}

void ChooseInto(PageWindow& page, std::string_view title, bool save, int field) {
  std::string path;
  if (ChooseFile(page, title, save, path) == 0) SetControlText(page.hwnd, field, path);
}

void ApplyRadio(PageWindow& page, void (*apply)(int, Form&), int position) {
  Form form;
  apply(position, form);
  WriteForm(page.hwnd, form);
}

// The command page's file field takes dropped files too: its window
// procedure is replaced by one that handles the drop. The drop is not passed
// on to the edit control: DragFinish has freed its handle by then.
WNDPROC gFileFieldProc = nullptr;

void TakeDroppedFile(HWND dialog, HDROP drop) {
  UINT length = DragQueryFileW(drop, 0, nullptr, 0);
  std::wstring path(length + 1, L'\0');
  DragQueryFileW(drop, 0, path.data(), length + 1);
  path.resize(length);
  SetDlgItemTextW(dialog, 1080, path.c_str());
  DragFinish(drop);
}

LRESULT CALLBACK FileFieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DROPFILES) {
    TakeDroppedFile(GetParent(hwnd), reinterpret_cast<HDROP>(wParam));
    return 0;
  }
  return CallWindowProcW(gFileFieldProc, hwnd, message, wParam, lParam);
}

// The IR send page keeps a dump of every code it registers, one a line, in
// "remocon.txt" of the program folder (started afresh with each run).
std::wstring DumpPath() { return win::WideFromCp932(Editor().folder + "remocon.txt"); }

}  // namespace

void InitPageControls(PageWindow& page) {
  switch (page.def->id) {
    case PageId::kTimeOfDay:
      FillClockLists(page.hwnd, {1015}, {1016});
      break;
    case PageId::kInterval:
      FillClockLists(page.hwnd, {1015, 1017}, {1016, 1018});
      break;
    case PageId::kCommand: {
      DragAcceptFiles(page.hwnd, TRUE);
      HWND field = GetDlgItem(page.hwnd, 1080);
      DragAcceptFiles(field, TRUE);
      gFileFieldProc = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FileFieldProc)));
      break;
    }
    case PageId::kIrSend: {
      HANDLE file = CreateFileW(DumpPath().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
      break;
    }
    default:
      break;
  }
}

bool HandlePageCommand(PageWindow& page, int id, int code) {
  switch (page.def->id) {
    case PageId::kTimeOfDay:
    case PageId::kInterval:
      if (id >= 1051 && id <= 1053 && IsClick(code)) ApplyRadio(page, ApplyDayKind, id - 1051);
      return true;
    case PageId::kCommand:
      if (id >= 1051 && id <= 1056 && IsClick(code)) ApplyRadio(page, ApplyCommandOperation, id - 1051);
      if (id == 1032) TestCommand(page);
      return true;
    case PageId::kCapture:
      if (id >= 1051 && id <= 1054 && IsClick(code)) {
        Form form;
        form.CheckOnly(1051, 4, id - 1051);
        ApplyCaptureKind(id - 1051, form);
        WriteForm(page.hwnd, form);
      }
      if (id == 1032) ChooseInto(page, "保存ファイル名", true, 1081);
      if (id == 1033) TestCapture(page);
      return true;
    case PageId::kFtp:
      if (id == 1033) ChooseInto(page, "ＦＴＰ送信ファイル名", false, 1084);
      if (id == 1032) {
        Form form = ReadForm(page);
        std::string message = page.def->check(form);
        if (!message.empty()) {
          ShowMessage(message);
        } else {
          UploadTestFile(form);
        }
      }
      return true;
    case PageId::kMailReceive:
      if (id == 1032) RunRecordDialog(page.hwnd, RecordDialogId::kMailServer);
      if (id == 1033) RunRecordDialog(page.hwnd, RecordDialogId::kMailDirect);
      return true;
    case PageId::kMailSend:
      if (id == 1032) RunRecordDialog(page.hwnd, RecordDialogId::kMailServer);
      if (id == 1033) ChooseInto(page, "メール本文ファイル選択", false, 1082);
      if (id == 1034) TestMail(page);
      return true;
    case PageId::kNetReceive:
      if (id == 1032) RunRecordDialog(page.hwnd, RecordDialogId::kNetDirect);
      return true;
    case PageId::kLearning:
    case PageId::kIrSend: {
      int clear = page.def->id == PageId::kLearning ? 1034 : 1035;
      if (id == clear) {
        for (int field : {1082, 1083, 1085, 1086, 1087}) SetControlText(page.hwnd, field, "");
      } else if (id == 1032 || id == 1033) {
        StartCapture(page, id - 1031);
      } else if (id == 1034 && page.def->id == PageId::kIrSend) {
        TestIrSend(page);
      } else if (id == kCommandIrReceived) {
        TakeCapture(page);
      }
      return true;
    }
    case PageId::kPower:
      if (id == 1032) TestPower(page);
      return true;
    default:
      return false;
  }
}

void AfterRegister(PageWindow& page, const settings::Record& cells) {
  if (page.def->id != PageId::kIrSend || cells.size() < 3) return;
  HANDLE file = CreateFileW(DumpPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  std::string line = cells[2] + "\r\n";
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

INT_PTR HandlePageMessage(PageWindow& page, UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  if (page.def->id == PageId::kRule) return HandleRulePageMessage(page, message, wParam, lParam, handled);
  // Closing an infrared page stops the board thread; the page is then hidden.
  if ((page.def->id == PageId::kLearning || page.def->id == PageId::kIrSend) && message == WM_CLOSE) {
    StopBoardThread();
    return FALSE;
  }
  if (page.def->id == PageId::kCommand && message == WM_DROPFILES) {
    TakeDroppedFile(page.hwnd, reinterpret_cast<HDROP>(wParam));
    handled = true;
    return TRUE;
  }
  return FALSE;
}

}  // namespace halvik::editor
