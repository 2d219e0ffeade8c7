// uidriver: acts on another program's windows as a person would, for the
// end-to-end tests (and for a curious developer poking at a running program).
//
//   uidriver VERB [--class C] [--title T | --title-contains T] [--id N] [options]
//
// The target is a top-level window (message-only windows included) found by
// its class and/or caption, compared exactly as UTF-16 (--title-contains: a
// part of the caption). With --id the verb acts on the first control with that
// id among the window's descendants (controls of child dialogs included),
// visible ones first; --parent-title / --parent-class restrict the search to
// the descendants of a child window with that caption / class (a page that is
// a child dialog).
//
//   find                    prints "HWND<TAB>CLASS<TAB>TEXT" of the window (or control)
//   wait [--gone]           waits until the window (or control) exists (or is gone)
//   click                   BM_CLICK on the control
//   settext --text T        WM_SETTEXT
//   gettext                 prints the control's (or window's) text
//   check --state 0|1       sets a check box or radio button as a click would
//   getcheck                prints 0, 1 or 2
//   select --text T | --index N   picks a combo box (or list box) entry and
//                           notifies the parent (CBN_SELCHANGE / LBN_SELCHANGE)
//   listview [--row N]      prints the rows of a list view, cells separated by
//                           tabs, one row a line (read across processes)
//   lvselect --row N        selects and focuses one list view row
//   command --id N [--post] sends (or posts) WM_COMMAND N to the window
//   msgbox [--button OK|YES|NO|CANCEL] [--box-title T]
//                           finds a message box (#32770) of the target's
//                           process, or with caption T, or any; prints its
//                           text and presses the button
//   close                   posts WM_CLOSE to the window
//   tree                    lists the window's descendants: depth, id, class,
//                           text; without --class/--title every top-level window
//
// Every verb waits up to --timeout MS (default 3000; `wait` 10000) for its
// window and control. Output is UTF-8, each line ending in "\n". Exit status:
// 0 done, 1 window or control missing or the action failed (message on
// stderr), 2 bad command line.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
// Long enough for a handler that returns at once, short enough not to hang
// the test when the handler runs a modal loop (a message box): the click has
// been delivered either way.
constexpr UINT kSendTimeoutMs = 1500;
constexpr DWORD kPollMs = 50;

// ---------------------------------------------------------------- output

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

void WriteTo(DWORD which, const std::string& bytes) {
  HANDLE h = GetStdHandle(which);
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD n = 0;
    if (!WriteFile(h, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &n, nullptr) ||
        n == 0) {
      return;
    }
    done += n;
  }
}

void Print(const std::wstring& line) { WriteTo(STD_OUTPUT_HANDLE, Utf8(line) + "\n"); }

int Fail(const std::wstring& message) {
  WriteTo(STD_ERROR_HANDLE, "uidriver: " + Utf8(message) + "\n");
  return kExitFailed;
}

int Usage(const std::wstring& message) {
  WriteTo(STD_ERROR_HANDLE, "uidriver: " + Utf8(message) +
                                "\nusage: uidriver VERB [--class C] [--title T|--title-contains T] "
                                "[--id N] [options]\n");
  return kExitUsage;
}

std::wstring Hex(HWND hwnd) {
  wchar_t text[32];
  swprintf(text, 32, L"0x%llX", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)));
  return text;
}

// ---------------------------------------------------------------- command line

struct Options {
  std::wstring verb;
  std::wstring className, title, titleContains;
  std::wstring parentClass, parentTitle;
  std::wstring text, boxTitle, button;
  bool hasClass = false, hasTitle = false, hasTitleContains = false;
  bool hasParentClass = false, hasParentTitle = false;
  bool hasText = false, hasBoxTitle = false;
  int id = -1;
  int state = -1;
  int index = -1;
  int row = -1;
  int timeoutMs = -1;
  bool post = false;
  bool gone = false;
};

bool ParseInt(const std::wstring& text, int& value) {
  if (text.empty()) return false;
  wchar_t* end = nullptr;
  long v = wcstol(text.c_str(), &end, 0);
  if (*end != L'\0' || v < -1 || v > 0x7FFFFFFF) return false;
  value = static_cast<int>(v);
  return true;
}

// Returns an empty text when the command line is good, else what is wrong.
std::wstring ParseOptions(int argc, wchar_t** argv, Options& o) {
  if (argc < 2) return L"no verb";
  o.verb = argv[1];
  struct TextOption {
    const wchar_t* name;
    std::wstring* value;
    bool* present;
  };
  const TextOption texts[] = {
      {L"--class", &o.className, &o.hasClass},
      {L"--title", &o.title, &o.hasTitle},
      {L"--title-contains", &o.titleContains, &o.hasTitleContains},
      {L"--parent-class", &o.parentClass, &o.hasParentClass},
      {L"--parent-title", &o.parentTitle, &o.hasParentTitle},
      {L"--text", &o.text, &o.hasText},
      {L"--box-title", &o.boxTitle, &o.hasBoxTitle},
      {L"--button", &o.button, nullptr},
  };
  struct IntOption {
    const wchar_t* name;
    int* value;
  };
  const IntOption ints[] = {{L"--id", &o.id},       {L"--state", &o.state}, {L"--index", &o.index},
                            {L"--row", &o.row},     {L"--timeout", &o.timeoutMs}};
  for (int i = 2; i < argc; ++i) {
    std::wstring name = argv[i];
    if (name == L"--post") { o.post = true; continue; }
    if (name == L"--gone") { o.gone = true; continue; }
    bool known = false;
    for (const TextOption& t : texts) {
      if (name != t.name) continue;
      if (i + 1 >= argc) return name + L" needs a value";
      *t.value = argv[++i];
      if (t.present) *t.present = true;
      known = true;
    }
    for (const IntOption& n : ints) {
      if (name != n.name) continue;
      if (i + 1 >= argc) return name + L" needs a value";
      if (!ParseInt(argv[++i], *n.value) || *n.value < 0) return name + L" needs a number";
      known = true;
    }
    if (!known) return L"unknown option " + name;
  }
  if (o.timeoutMs < 0) o.timeoutMs = o.verb == L"wait" ? 10000 : 3000;
  return {};
}

// ---------------------------------------------------------------- windows

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return name;
}

// Caption or control text, read with WM_GETTEXT so that it works across
// processes for every control (GetWindowText does not for other processes'
// controls).
std::wstring TextOf(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length)) {
    return {};
  }
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, kSendTimeoutMs, &got);
  text.resize(static_cast<size_t>(got) < text.size() ? static_cast<size_t>(got) : length);
  return text;
}

struct Match {
  bool byClass = false, byTitle = false, byContains = false;
  std::wstring className, title;
};

// The caption as Windows keeps it: read without sending a message, so that a
// hung window among the many looked at cannot hold the search up.
std::wstring CaptionOf(HWND hwnd) {
  wchar_t text[1024] = {};
  GetWindowTextW(hwnd, text, 1024);
  return text;
}

bool Matches(HWND hwnd, const Match& m) {
  if (m.byClass && ClassOf(hwnd) != m.className) return false;
  if (m.byTitle || m.byContains) {
    std::wstring text = CaptionOf(hwnd);
    if (m.byTitle && text != m.title) return false;
    if (m.byContains && text.find(m.title) == std::wstring::npos) return false;
  }
  return true;
}

// Visible matches first: a hidden copy (a page not shown, a window being
// destroyed) is taken only when nothing visible matches.
struct Search {
  const Match* match;
  HWND scope = nullptr;  // for controls: must be a descendant of this, if set
  int id = -1;
  HWND visible = nullptr;
  HWND hidden = nullptr;
  void Offer(HWND hwnd) {
    if (IsWindowVisible(hwnd)) {
      if (!visible) visible = hwnd;
    } else if (!hidden) {
      hidden = hwnd;
    }
  }
  HWND Best() const { return visible ? visible : hidden; }
};

BOOL CALLBACK OfferTopLevel(HWND hwnd, LPARAM param) {
  Search* s = reinterpret_cast<Search*>(param);
  if (Matches(hwnd, *s->match)) s->Offer(hwnd);
  return TRUE;
}

HWND FindTopLevel(const Match& m) {
  Search s{&m};
  EnumWindows(OfferTopLevel, reinterpret_cast<LPARAM>(&s));
  if (s.Best()) return s.Best();
  // Message-only windows are not enumerated by EnumWindows.
  for (HWND h = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); h;
       h = FindWindowExW(HWND_MESSAGE, h, nullptr, nullptr)) {
    if (Matches(h, m)) return h;
  }
  return nullptr;
}

BOOL CALLBACK OfferChild(HWND hwnd, LPARAM param) {
  Search* s = reinterpret_cast<Search*>(param);
  if (s->id >= 0 && GetDlgCtrlID(hwnd) != s->id) return TRUE;
  if (s->match && !Matches(hwnd, *s->match)) return TRUE;
  if (s->scope && !IsChild(s->scope, hwnd)) return TRUE;
  s->Offer(hwnd);
  return TRUE;
}

HWND FindDescendant(HWND top, const Match* match, int id, HWND scope) {
  Search s{match, scope, id};
  EnumChildWindows(top, OfferChild, reinterpret_cast<LPARAM>(&s));
  return s.Best();
}

struct Target {
  HWND window = nullptr;
  HWND control = nullptr;  // the window itself when no --id was given
};

std::wstring Describe(const Options& o) {
  std::wstring d;
  if (o.hasClass) d += L" class \"" + o.className + L"\"";
  if (o.hasTitle) d += L" title \"" + o.title + L"\"";
  if (o.hasTitleContains) d += L" title containing \"" + o.titleContains + L"\"";
  return d.empty() ? L" (any)" : d;
}

Match TopMatch(const Options& o) {
  Match m;
  m.byClass = o.hasClass;
  m.className = o.className;
  m.byTitle = o.hasTitle;
  m.byContains = !o.hasTitle && o.hasTitleContains;
  m.title = o.hasTitle ? o.title : o.titleContains;
  return m;
}

// One attempt; fills why when something is missing.
bool Locate(const Options& o, bool wantControl, Target& t, std::wstring& why) {
  t = {};
  t.window = FindTopLevel(TopMatch(o));
  if (!t.window) {
    why = L"no window with" + Describe(o);
    return false;
  }
  HWND scope = nullptr;
  if (o.hasParentClass || o.hasParentTitle) {
    Match pm;
    pm.byClass = o.hasParentClass;
    pm.className = o.parentClass;
    pm.byTitle = o.hasParentTitle;
    pm.title = o.parentTitle;
    scope = FindDescendant(t.window, &pm, -1, nullptr);
    if (!scope) {
      why = L"no child window with" +
            std::wstring(o.hasParentClass ? L" class \"" + o.parentClass + L"\"" : L"") +
            (o.hasParentTitle ? L" title \"" + o.parentTitle + L"\"" : L"") + L" in the window with" +
            Describe(o);
      return false;
    }
  }
  if (!wantControl || o.id < 0) {
    t.control = scope ? scope : t.window;
    return true;
  }
  t.control = FindDescendant(t.window, nullptr, o.id, scope);
  if (!t.control) {
    why = L"no control with id " + std::to_wstring(o.id) + L" in the window with" + Describe(o);
    return false;
  }
  return true;
}

bool LocateWaiting(const Options& o, bool wantControl, Target& t, std::wstring& why) {
  DWORD start = GetTickCount();
  for (;;) {
    if (Locate(o, wantControl, t, why)) return true;
    if (GetTickCount() - start >= static_cast<DWORD>(o.timeoutMs)) return false;
    Sleep(kPollMs);
  }
}

LRESULT Send(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(hwnd, msg, w, l, SMTO_NORMAL, kSendTimeoutMs, &result);
  return static_cast<LRESULT>(result);
}

void NotifyParent(HWND control, WORD code) {
  HWND parent = GetParent(control);
  if (!parent) return;
  WPARAM w = MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(control)), code);
  Send(parent, WM_COMMAND, w, reinterpret_cast<LPARAM>(control));
}

// ---------------------------------------------------------------- memory of another process

// A block of the target process's memory, for messages whose pointers the
// system does not carry across processes (list view items).
class RemoteBlock {
 public:
  RemoteBlock(HWND owner, size_t size) : size_(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(owner, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_) {
      base_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
  }
  ~RemoteBlock() {
    if (base_) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteBlock(const RemoteBlock&) = delete;
  RemoteBlock& operator=(const RemoteBlock&) = delete;
  bool Ok() const { return base_ != nullptr; }
  char* At(size_t offset) const { return static_cast<char*>(base_) + offset; }
  bool Write(size_t offset, const void* data, size_t n) {
    SIZE_T done = 0;
    return offset + n <= size_ && WriteProcessMemory(process_, At(offset), data, n, &done) && done == n;
  }
  bool Read(size_t offset, void* data, size_t n) {
    SIZE_T done = 0;
    return offset + n <= size_ && ReadProcessMemory(process_, At(offset), data, n, &done) && done == n;
  }

 private:
  HANDLE process_ = nullptr;
  void* base_ = nullptr;
  size_t size_;
};

constexpr int kCellChars = 1024;

int ColumnCount(HWND list) {
  HWND header = reinterpret_cast<HWND>(Send(list, LVM_GETHEADER, 0, 0));
  int n = header ? static_cast<int>(Send(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  return n > 0 ? n : 1;
}

bool ReadCell(HWND list, RemoteBlock& block, int row, int column, std::wstring& text) {
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.iSubItem = column;
  item.pszText = reinterpret_cast<LPWSTR>(block.At(sizeof(LVITEMW)));
  item.cchTextMax = kCellChars;
  wchar_t zero = 0;
  if (!block.Write(0, &item, sizeof item) || !block.Write(sizeof(LVITEMW), &zero, sizeof zero)) {
    return false;
  }
  LRESULT length = Send(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                        reinterpret_cast<LPARAM>(block.At(0)));
  if (length < 0) length = 0;
  if (length > kCellChars - 1) length = kCellChars - 1;
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, 0);
  if (!block.Read(sizeof(LVITEMW), buffer.data(), buffer.size() * sizeof(wchar_t))) return false;
  text.assign(buffer.data(), static_cast<size_t>(length));
  return true;
}

// ---------------------------------------------------------------- verbs

int DoFind(const Target& t) {
  Print(Hex(t.control) + L"\t" + ClassOf(t.control) + L"\t" + TextOf(t.control));
  return 0;
}

int DoWait(const Options& o) {
  Target t;
  std::wstring why;
  DWORD start = GetTickCount();
  for (;;) {
    bool found = Locate(o, true, t, why);
    if (found != o.gone) return 0;
    if (GetTickCount() - start >= static_cast<DWORD>(o.timeoutMs)) break;
    Sleep(kPollMs);
  }
  if (o.gone) return Fail(L"still there after " + std::to_wstring(o.timeoutMs) + L" ms: window with" + Describe(o));
  return Fail(why + L" after " + std::to_wstring(o.timeoutMs) + L" ms");
}

int DoClick(const Target& t) {
  // Sent with a timeout: a handler that opens a modal box keeps the click
  // "in progress" until the box closes, which must not hang the driver.
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(t.control, BM_CLICK, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &result) &&
      GetLastError() != ERROR_TIMEOUT && GetLastError() != 0) {
    return Fail(L"BM_CLICK failed (error " + std::to_wstring(GetLastError()) + L")");
  }
  return 0;
}

int DoSetText(const Options& o, const Target& t) {
  if (!o.hasText) return Usage(L"settext needs --text");
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(t.control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(o.text.c_str()),
                           SMTO_NORMAL, kSendTimeoutMs, &result) ||
      !result) {
    return Fail(L"WM_SETTEXT was refused");
  }
  return 0;
}

int DoGetText(const Target& t) {
  Print(TextOf(t.control));
  return 0;
}

int DoCheck(const Options& o, const Target& t) {
  if (o.state != 0 && o.state != 1) return Usage(L"check needs --state 0 or 1");
  WPARAM want = o.state ? BST_CHECKED : BST_UNCHECKED;
  if (static_cast<WPARAM>(Send(t.control, BM_GETCHECK, 0, 0)) == want) return 0;
  // A click is what a person does: auto buttons toggle themselves (and an
  // auto radio button clears its group) and the parent hears BN_CLICKED.
  DoClick(t);
  if (static_cast<WPARAM>(Send(t.control, BM_GETCHECK, 0, 0)) != want) {
    // Buttons that are not "auto" leave it to the parent; a radio button
    // cannot be cleared by clicking it.
    Send(t.control, BM_SETCHECK, want, 0);
    NotifyParent(t.control, BN_CLICKED);
  }
  if (static_cast<WPARAM>(Send(t.control, BM_GETCHECK, 0, 0)) != want) {
    return Fail(L"the button's state did not change to " + std::to_wstring(o.state));
  }
  return 0;
}

int DoGetCheck(const Target& t) {
  Print(std::to_wstring(Send(t.control, BM_GETCHECK, 0, 0)));
  return 0;
}

int DoSelect(const Options& o, const Target& t) {
  bool isList = ClassOf(t.control) == L"ListBox";
  UINT getCount = isList ? LB_GETCOUNT : CB_GETCOUNT;
  UINT getLength = isList ? LB_GETTEXTLEN : CB_GETLBTEXTLEN;
  UINT getText = isList ? LB_GETTEXT : CB_GETLBTEXT;
  UINT setSel = isList ? LB_SETCURSEL : CB_SETCURSEL;
  WORD notify = isList ? LBN_SELCHANGE : CBN_SELCHANGE;
  int count = static_cast<int>(Send(t.control, getCount, 0, 0));
  int index = -1;
  if (o.hasText) {
    for (int i = 0; i < count && index < 0; ++i) {
      LRESULT n = Send(t.control, getLength, static_cast<WPARAM>(i), 0);
      if (n < 0) continue;
      std::wstring item(static_cast<size_t>(n) + 1, L'\0');
      Send(t.control, getText, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
      item.resize(static_cast<size_t>(n));
      if (item == o.text) index = i;
    }
    if (index < 0) return Fail(L"no entry \"" + o.text + L"\" among " + std::to_wstring(count));
  } else if (o.index >= 0) {
    if (o.index >= count) {
      return Fail(L"no entry " + std::to_wstring(o.index) + L": the box has " + std::to_wstring(count));
    }
    index = o.index;
  } else {
    return Usage(L"select needs --text or --index");
  }
  Send(t.control, setSel, static_cast<WPARAM>(index), 0);
  NotifyParent(t.control, notify);
  return 0;
}

int DoListView(const Options& o, const Target& t) {
  if (ClassOf(t.control) != WC_LISTVIEWW) return Fail(L"control is a " + ClassOf(t.control) + L", not a list view");
  int rows = static_cast<int>(Send(t.control, LVM_GETITEMCOUNT, 0, 0));
  int columns = ColumnCount(t.control);
  RemoteBlock block(t.control, sizeof(LVITEMW) + kCellChars * sizeof(wchar_t));
  if (!block.Ok()) return Fail(L"cannot reach the list view's process memory");
  int first = 0, last = rows - 1;
  if (o.row >= 0) {
    if (o.row >= rows) return Fail(L"no row " + std::to_wstring(o.row) + L": the list has " + std::to_wstring(rows));
    first = last = o.row;
  }
  std::string out;
  for (int r = first; r <= last; ++r) {
    std::wstring line;
    for (int c = 0; c < columns; ++c) {
      std::wstring cell;
      if (!ReadCell(t.control, block, r, c, cell)) return Fail(L"cannot read row " + std::to_wstring(r));
      if (c) line += L"\t";
      line += cell;
    }
    out += Utf8(line) + "\n";
  }
  WriteTo(STD_OUTPUT_HANDLE, out);
  return 0;
}

int DoListViewSelect(const Options& o, const Target& t) {
  if (ClassOf(t.control) != WC_LISTVIEWW) return Fail(L"control is a " + ClassOf(t.control) + L", not a list view");
  int rows = static_cast<int>(Send(t.control, LVM_GETITEMCOUNT, 0, 0));
  if (o.row < 0) return Usage(L"lvselect needs --row");
  if (o.row >= rows) return Fail(L"no row " + std::to_wstring(o.row) + L": the list has " + std::to_wstring(rows));
  RemoteBlock block(t.control, sizeof(LVITEMW));
  if (!block.Ok()) return Fail(L"cannot reach the list view's process memory");
  LVITEMW item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  // Clear every row first (-1), as a click on a single-selection list does.
  if (!block.Write(0, &item, sizeof item)) return Fail(L"cannot write to the list view's process");
  Send(t.control, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(block.At(0)));
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  if (!block.Write(0, &item, sizeof item)) return Fail(L"cannot write to the list view's process");
  Send(t.control, LVM_SETITEMSTATE, static_cast<WPARAM>(o.row), reinterpret_cast<LPARAM>(block.At(0)));
  Send(t.control, LVM_ENSUREVISIBLE, static_cast<WPARAM>(o.row), FALSE);
  return 0;
}

int DoCommand(const Options& o, const Target& t) {
  if (o.id < 0) return Usage(L"command needs --id");
  WPARAM w = static_cast<WPARAM>(o.id);
  if (o.post) {
    if (!PostMessageW(t.window, WM_COMMAND, w, 0)) return Fail(L"PostMessage failed");
    return 0;
  }
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(t.window, WM_COMMAND, w, 0, SMTO_NORMAL, kSendTimeoutMs, &result) &&
      GetLastError() != ERROR_TIMEOUT && GetLastError() != 0) {
    return Fail(L"WM_COMMAND could not be sent (error " + std::to_wstring(GetLastError()) + L")");
  }
  return 0;
}

struct BoxSearch {
  DWORD pid = 0;  // 0: any process
  const std::wstring* title = nullptr;
  HWND found = nullptr;
};

BOOL CALLBACK OfferBox(HWND hwnd, LPARAM param) {
  BoxSearch* s = reinterpret_cast<BoxSearch*>(param);
  if (!IsWindowVisible(hwnd) || ClassOf(hwnd) != L"#32770") return TRUE;
  if (s->pid) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s->pid) return TRUE;
  }
  if (s->title && CaptionOf(hwnd) != *s->title) return TRUE;
  s->found = hwnd;
  return FALSE;
}

BOOL CALLBACK CollectStatic(HWND hwnd, LPARAM param) {
  std::wstring* text = reinterpret_cast<std::wstring*>(param);
  if (ClassOf(hwnd) != L"Static") return TRUE;
  std::wstring t = TextOf(hwnd);
  if (t.empty()) return TRUE;
  if (!text->empty()) *text += L"\n";
  *text += t;
  return TRUE;
}

int DoMsgBox(const Options& o) {
  struct Button {
    const wchar_t* name;
    int id;
  };
  const Button buttons[] = {{L"OK", IDOK}, {L"YES", IDYES}, {L"NO", IDNO}, {L"CANCEL", IDCANCEL}};
  int buttonId = 0;
  if (!o.button.empty()) {
    for (const Button& b : buttons) {
      if (o.button == b.name) buttonId = b.id;
    }
    if (!buttonId) return Usage(L"--button is one of OK, YES, NO, CANCEL");
  }
  bool byOwner = o.hasClass || o.hasTitle || o.hasTitleContains;
  DWORD start = GetTickCount();
  BoxSearch s;
  s.title = o.hasBoxTitle ? &o.boxTitle : nullptr;
  std::wstring why;
  for (;;) {
    s.found = nullptr;
    s.pid = 0;
    bool ownerFound = true;
    if (byOwner) {
      HWND owner = FindTopLevel(TopMatch(o));
      ownerFound = owner != nullptr;
      if (owner) GetWindowThreadProcessId(owner, &s.pid);
    }
    if (ownerFound) EnumWindows(OfferBox, reinterpret_cast<LPARAM>(&s));
    if (s.found) break;
    if (GetTickCount() - start >= static_cast<DWORD>(o.timeoutMs)) {
      if (!ownerFound) return Fail(L"no window with" + Describe(o));
      return Fail(L"no message box" + std::wstring(byOwner ? L" of the process of the window with" + Describe(o) : L"") +
                  (s.title ? L" with caption \"" + *s.title + L"\"" : L""));
    }
    Sleep(kPollMs);
  }
  std::wstring text;
  EnumChildWindows(s.found, CollectStatic, reinterpret_cast<LPARAM>(&text));
  Print(text);
  if (!buttonId) return 0;
  HWND button = GetDlgItem(s.found, buttonId);
  if (!button) return Fail(L"the message box has no " + o.button + L" button");
  // Posted as the dialog would hear it from the button, so that the box's
  // owner may run whatever it runs next without the driver waiting on it.
  PostMessageW(s.found, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  for (DWORD t0 = GetTickCount(); IsWindow(s.found) && GetTickCount() - t0 < 2000;) Sleep(kPollMs);
  return 0;
}

int DoClose(const Target& t) {
  if (!PostMessageW(t.window, WM_CLOSE, 0, 0)) return Fail(L"PostMessage(WM_CLOSE) failed");
  return 0;
}

void TreeLines(HWND parent, int depth, std::string& out) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    std::wstring line(static_cast<size_t>(depth) * 2, L' ');
    line += std::to_wstring(GetDlgCtrlID(c)) + L"\t" + ClassOf(c) + L"\t" + TextOf(c) +
            (IsWindowVisible(c) ? L"" : L"\t(hidden)");
    out += Utf8(line) + "\n";
    TreeLines(c, depth + 1, out);
  }
}

BOOL CALLBACK ListTopLevel(HWND hwnd, LPARAM param) {
  std::string* out = reinterpret_cast<std::string*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  *out += Utf8(Hex(hwnd) + L"\t" + ClassOf(hwnd) + L"\t" + TextOf(hwnd) + L"\tpid " + std::to_wstring(pid) +
               (IsWindowVisible(hwnd) ? L"" : L"\t(hidden)")) +
          "\n";
  return TRUE;
}

int DoTree(const Options& o) {
  std::string out;
  if (!o.hasClass && !o.hasTitle && !o.hasTitleContains) {
    EnumWindows(ListTopLevel, reinterpret_cast<LPARAM>(&out));
    WriteTo(STD_OUTPUT_HANDLE, out);
    return 0;
  }
  Target t;
  std::wstring why;
  if (!LocateWaiting(o, false, t, why)) return Fail(why);
  out = Utf8(Hex(t.control) + L"\t" + ClassOf(t.control) + L"\t" + TextOf(t.control)) + "\n";
  TreeLines(t.control, 1, out);
  WriteTo(STD_OUTPUT_HANDLE, out);
  return 0;
}

int Run(const Options& o) {
  if (o.verb == L"wait") return DoWait(o);
  if (o.verb == L"msgbox") return DoMsgBox(o);
  if (o.verb == L"tree") return DoTree(o);

  struct Verb {
    const wchar_t* name;
    bool needsId;
  };
  const Verb verbs[] = {{L"find", false},    {L"click", true},   {L"settext", false}, {L"gettext", false},
                        {L"check", true},    {L"getcheck", true}, {L"select", true},  {L"listview", true},
                        {L"lvselect", true}, {L"command", false}, {L"close", false}};
  const Verb* verb = nullptr;
  for (const Verb& v : verbs) {
    if (o.verb == v.name) verb = &v;
  }
  if (!verb) return Usage(L"unknown verb " + o.verb);
  if (verb->needsId && o.id < 0) return Usage(o.verb + L" needs --id");
  if (!o.hasClass && !o.hasTitle && !o.hasTitleContains) return Usage(o.verb + L" needs --class or --title");

  Target t;
  std::wstring why;
  // `command` names a command, not a control.
  bool wantControl = o.verb != L"command";
  if (!LocateWaiting(o, wantControl, t, why)) return Fail(why);
  if (o.verb == L"find") return DoFind(t);
  if (o.verb == L"click") return DoClick(t);
  if (o.verb == L"settext") return DoSetText(o, t);
  if (o.verb == L"gettext") return DoGetText(t);
  if (o.verb == L"check") return DoCheck(o, t);
  if (o.verb == L"getcheck") return DoGetCheck(t);
  if (o.verb == L"select") return DoSelect(o, t);
  if (o.verb == L"listview") return DoListView(o, t);
  if (o.verb == L"lvselect") return DoListViewSelect(o, t);
  if (o.verb == L"command") return DoCommand(o, t);
  return DoClose(t);
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return Fail(L"cannot read the command line");
  Options o;
  std::wstring bad = ParseOptions(argc, argv, o);
  int status = bad.empty() ? Run(o) : Usage(bad);
  LocalFree(argv);
  return status;
}
