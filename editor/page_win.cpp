// The page framework: every page dialog runs this procedure. It sets up the
// list from the page's table, fills it from the slot file, and registers,
// loads and deletes rows. The slot file is written from the list with the
// changed row before the list changes, so that what the list shows is what
// the file holds.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdio>

#include "editor/editor_win.h"
#include "settings/text_forms.h"
#include "win/text.h"

namespace halvik::editor {
namespace {

constexpr int kListId = 1039;
constexpr int kLoadCommand = 120;
constexpr int kDeleteCommand = 130;
// Cells are read back whole: the IR send page keeps codes of up to 1023
// characters, and a cut cell would be written back cut.
constexpr int kCellRoom = 1024;

void SetUpList(PageWindow& page) {
  HWND list = page.list;
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP);
  int base = ListView_GetStringWidth(list, const_cast<wchar_t*>(L"aaaaa"));
  int column = 0;
  for (const Column& c : page.def->columns) {
    std::wstring header = win::WideFromCp932(c.header);
    LVCOLUMNW lvc = {};
    lvc.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    lvc.fmt = LVCFMT_LEFT;
    lvc.cx = 4;
    lvc.pszText = header.data();
    lvc.iSubItem = column;
    SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&lvc));
    // Widening only ever increases a column; it is made wide enough for its
    // header, so that no header is cut.
    int width = std::max(base + c.margin,
                         static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0,
                                                       reinterpret_cast<LPARAM>(header.c_str()))) + 14);
    if (ListView_GetColumnWidth(list, column) < width) ListView_SetColumnWidth(list, column, width);
    ++column;
  }
}

void FillList(PageWindow& page) {
  const settings::FileShape& shape = ShapeOfPage(*page.def);
  settings::Slots slots = settings::ReadSlotFile(Editor().folder, shape);
  for (int i = 0; i < settings::kSlotCount; ++i) {
    std::wstring number = win::WideFromCp932(NumberText(*page.def, i));
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = i;
    item.pszText = number.data();
    item.lParam = i;
    SendMessageW(page.list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    if (!settings::SlotIsFilled(slots[static_cast<size_t>(i)])) continue;
    for (int f = 0; f < shape.fields; ++f) {
      const settings::Record& record = slots[static_cast<size_t>(i)];
      if (static_cast<size_t>(f) < record.size()) SetCellText(page.list, i, f + 1, record[static_cast<size_t>(f)]);
    }
  }
}

settings::Record RowCells(const PageWindow& page, int row) {
  settings::Record cells;
  for (int f = 1; f <= FieldCount(*page.def); ++f) cells.push_back(CellText(page.list, row, f));
  return cells;
}

// Writes the slot file as the list would be with row replaced by cells.
int SaveWithRow(const PageWindow& page, int row, const settings::Record& cells) {
  settings::Slots slots;
  for (int i = 0; i < settings::kSlotCount; ++i) {
    slots[static_cast<size_t>(i)] = i == row ? cells : RowCells(page, i);
  }
  return settings::WriteSlotFile(Editor().folder, ShapeOfPage(*page.def), slots);
}

void ShowRow(const PageWindow& page, int row, const settings::Record& cells) {
  // An empty first field is an empty slot in the file: the row shows it empty.
  bool filled = settings::SlotIsFilled(cells);
  for (int f = 1; f <= FieldCount(*page.def); ++f) {
    SetCellText(page.list, row, f, filled ? cells[static_cast<size_t>(f - 1)] : std::string());
  }
}

void Register(PageWindow& page) {
  if (page.def->toCells == nullptr) return;
  Form form = ReadForm(page);
  int row = 0;
  settings::Record cells;
  std::string message = PrepareRegister(*page.def, form, row, cells);
  if (!message.empty()) {
    ShowMessage(message);
    return;
  }
  if (SaveWithRow(page, row, cells) != 0) {
    ShowMessage(kSaveFailed);
    return;
  }
  ShowRow(page, row, cells);
  if (page.def->numberColumn == NumberColumn::kAsTyped) {
    SetCellText(page.list, row, 0, form.Text(page.def->registrationField));
  } else if (page.def->numberColumn == NumberColumn::kFormatted) {
    SetCellText(page.list, row, 0, NumberText(*page.def, row));
  }
  ScrollRowIntoView(page, row);
  AfterRegister(page, cells);
}

void LoadMarkedRow(PageWindow& page) {
  if (page.markedRow < 0 || page.def->fromCells == nullptr) return;
  Form form = page.def->fromCells(RowCells(page, page.markedRow));
  char number[16];
  std::snprintf(number, sizeof number, "%03d", page.def->base + page.markedRow);
  form.text[page.def->registrationField] = number;
  WriteForm(page.hwnd, form);
}

void DeleteMarkedRow(PageWindow& page) {
  if (page.markedRow < 0 || page.def->fromCells == nullptr) return;
  settings::Record empty(static_cast<size_t>(FieldCount(*page.def)));
  if (SaveWithRow(page, page.markedRow, empty) != 0) {
    ShowMessage(kSaveFailed);
    return;
  }
  ShowRow(page, page.markedRow, empty);
}

void MarkRow(PageWindow& page) {
  LVHITTESTINFO hit = {};
  GetCursorPos(&hit.pt);
  ScreenToClient(page.list, &hit.pt);
  int row = ListView_HitTest(page.list, &hit);
  page.markedRow = row >= 0 && row < settings::kSlotCount ? row : -1;
}

void ShowPopup(PageWindow& page, LPARAM lParam) {
  HMENU menu = LoadMenuW(Editor().instance, L"ITEMPOPUPMENU");
  if (menu == nullptr) return;
  POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  if (at.x == -1 && at.y == -1) {
    // From the keyboard (Shift+F10, the menu key): the menu is for the
    // focused row, shown at that row.
    int row = ListView_GetNextItem(page.list, -1, LVNI_FOCUSED);
    page.markedRow = row >= 0 && row < settings::kSlotCount ? row : -1;
    RECT r = {};
    if (row >= 0) ListView_GetItemRect(page.list, row, &r, LVIR_LABEL);
    at = {r.left, r.bottom};
    ClientToScreen(page.list, &at);
  }
  TrackPopupMenu(GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, page.hwnd, nullptr);
  DestroyMenu(menu);
}

void FitList(PageWindow& page) {
  if (page.list == nullptr) return;
  RECT listRect;
  GetWindowRect(page.list, &listRect);
  POINT topLeft = {listRect.left, listRect.top};
  ScreenToClient(page.hwnd, &topLeft);
  RECT client;
  GetClientRect(page.hwnd, &client);
  MoveWindow(page.list, topLeft.x, topLeft.y, client.right - topLeft.x, client.bottom - topLeft.y, TRUE);
}

INT_PTR CALLBACK PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* page = reinterpret_cast<PageWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (message == WM_INITDIALOG) {
    page = reinterpret_cast<PageWindow*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    page->hwnd = hwnd;
    page->list = GetDlgItem(hwnd, kListId);
    SetUpList(*page);
    InitPageControls(*page);
    WriteForm(hwnd, page->def->initial());
    FillList(*page);
    ListView_EnsureVisible(page->list, 0, FALSE);
    bool handled = false;
    HandlePageMessage(*page, message, wParam, lParam, handled);
    return TRUE;
  }
  if (page == nullptr) return FALSE;
  bool handled = false;
  INT_PTR result = HandlePageMessage(*page, message, wParam, lParam, handled);
  if (handled) return result;
  switch (message) {
    case WM_COMMAND: {
      int id = LOWORD(wParam);
      if (id == IDOK) {
        Register(*page);
      } else if (id == kLoadCommand) {
        LoadMarkedRow(*page);
      } else if (id == kDeleteCommand) {
        DeleteMarkedRow(*page);
      } else if (id != IDCANCEL) {  // Esc does nothing on a page
        HandlePageCommand(*page, id, HIWORD(wParam));
      }
      return TRUE;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->idFrom == kListId && header->code == NM_RCLICK) MarkRow(*page);
      return FALSE;
    }
    case WM_CONTEXTMENU:
      if (page->def->fromCells != nullptr) ShowPopup(*page, lParam);
      return TRUE;
    case WM_SIZE:
      FitList(*page);
      return TRUE;
    case WM_CLOSE:
      ShowWindow(hwnd, SW_HIDE);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

HWND CreatePage(PageWindow& page) {
  return CreateDialogParamW(Editor().instance, MAKEINTRESOURCEW(page.def->dialogId), nullptr, PageProc,
                            reinterpret_cast<LPARAM>(&page));
}

void ScrollRowIntoView(const PageWindow& page, int row) { ListView_EnsureVisible(page.list, row, FALSE); }

void ShowMessage(std::string_view text) {
  MessageBoxW(nullptr, win::WideFromCp932(text).c_str(), nullptr,
              MB_OK | MB_ICONINFORMATION | MB_SYSTEMMODAL | MB_TOPMOST);
}

int AskQuestion(std::string_view text, std::string_view caption, UINT buttons) {
  return MessageBoxW(nullptr, win::WideFromCp932(text).c_str(), win::WideFromCp932(caption).c_str(),
                     buttons | MB_ICONINFORMATION | MB_SYSTEMMODAL | MB_TOPMOST);
}

std::string ControlText(HWND dialog, int id, size_t room) {
  HWND control = GetDlgItem(dialog, id);
  int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), length + 1)));
  return settings::CutCp932(win::Cp932FromWide(text), room);
}

void SetControlText(HWND dialog, int id, std::string_view text) {
  SetDlgItemTextW(dialog, id, win::WideFromCp932(text).c_str());
}

Form ReadForm(const PageWindow& page) {
  Form form;
  for (const Control& c : page.def->controls) {
    switch (c.kind) {
      case ControlKind::kEdit:
        form.text[c.id] = ControlText(page.hwnd, c.id, static_cast<size_t>(c.room));
        break;
      case ControlKind::kCheck:
        form.checked[c.id] = IsDlgButtonChecked(page.hwnd, c.id) == BST_CHECKED;
        break;
      case ControlKind::kList:
        form.selection[c.id] = static_cast<int>(SendDlgItemMessageW(page.hwnd, c.id, CB_GETCURSEL, 0, 0));
        break;
    }
  }
  return form;
}

void WriteForm(HWND dialog, const Form& form) {
  for (const auto& [id, text] : form.text) SetControlText(dialog, id, text);
  for (const auto& [id, on] : form.checked) CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
  for (const auto& [id, position] : form.selection) SendDlgItemMessageW(dialog, id, CB_SETCURSEL, position, 0);
  for (const auto& [id, on] : form.enabled) EnableWindow(GetDlgItem(dialog, id), on);
}

std::string CellText(HWND list, int row, int column) {
  std::wstring text(kCellRoom, L'\0');
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = text.data();
  item.cchTextMax = kCellRoom;
  LRESULT length = SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  text.resize(static_cast<size_t>(length));
  return win::Cp932FromWide(text);
}

void SetCellText(HWND list, int row, int column, std::string_view text) {
  std::wstring wide = win::WideFromCp932(text);
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = wide.data();
  SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

int ChooseFile(PageWindow& page, std::string_view title, bool save, std::string& path) {
  wchar_t file[256] = L"*.*";
  std::wstring wideTitle = win::WideFromCp932(title);
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = page.hwnd;
  ofn.lpstrFilter = L"*.*\0*.*\0";
  ofn.lpstrFile = file;
  ofn.nMaxFile = 256;
  ofn.lpstrInitialDir = page.folder.empty() ? nullptr : page.folder.c_str();
  ofn.lpstrTitle = wideTitle.c_str();
  // A file to save into need not exist yet.
  ofn.Flags = OFN_PATHMUSTEXIST | OFN_SHOWHELP | (save ? 0 : OFN_FILEMUSTEXIST);
  BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!chosen) {
    MessageBeep(MB_OK);
    return -1;
  }
  std::wstring full = file;
  size_t slash = full.find_last_of(L'\\');
  if (slash != std::wstring::npos && slash > 0) page.folder = full.substr(0, slash);
  path = win::Cp932FromWide(full);
  return 0;
}

}  // namespace halvik::editor
