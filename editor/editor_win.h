// The editor's Windows side: the program-wide state of halvikx, the page
// windows and the helpers the dialogs share. Internal to editor/*_win.cpp.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "editor/page.h"
#include "settings/slot_file.h"

namespace halvik::editor {

// One page window: its table entry, its dialog and list, the row under the
// last right-click and the folder its file dialog starts in.
struct PageWindow {
  const PageDef* def = nullptr;
  HWND hwnd = nullptr;
  HWND list = nullptr;
  int markedRow = -1;  // -1: the last right-click hit no row
  std::wstring folder;
  int capture = 0;     // learning and IR send pages: which capture a reading fills
};

struct EditorState {
  HINSTANCE instance = nullptr;
  bool startedByEngine = false;
  std::string folder;  // program folder, CP932, with its trailing backslash
  HWND mainWindow = nullptr;
  PageWindow rule;
  std::vector<PageWindow> pages;  // the thirteen category pages, in creation order
  PageWindow* current = nullptr;
  settings::Record mailAccount;   // setmail.bin as last read or saved
};

EditorState& Editor();

// Message boxes: the page checks' box (no owner, no caption of its own).
void ShowMessage(std::string_view text);
int AskQuestion(std::string_view text, std::string_view caption, UINT buttons);

// Control texts through the W functions, as CP932.
std::string ControlText(HWND dialog, int id, size_t room);
void SetControlText(HWND dialog, int id, std::string_view text);

// The dialog of every page: creates the page window from its template.
HWND CreatePage(PageWindow& page);
// Shows page at the rule page's top-right corner and makes it current.
void ShowPage(PageWindow& page);
void HideAllPages();
PageWindow* FindPage(PageId id);
void ScrollRowIntoView(const PageWindow& page, int row);

// Form reading and writing, by the page's control table.
Form ReadForm(const PageWindow& page);
void WriteForm(HWND dialog, const Form& form);

// List cells.
std::string CellText(HWND list, int row, int column);
void SetCellText(HWND list, int row, int column, std::string_view text);

// File dialogs: 0 with path filled, -1 after a beep when cancelled.
int ChooseFile(PageWindow& page, std::string_view title, bool save, std::string& path);

// Page handlers beyond the common ones (page_handlers_win.cpp).
void InitPageControls(PageWindow& page);
bool HandlePageCommand(PageWindow& page, int id, int code);
void AfterRegister(PageWindow& page, const settings::Record& cells);
INT_PTR HandlePageMessage(PageWindow& page, UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

// The single-record dialogs (record_dialogs_win.cpp).
enum class RecordDialogId;
void RunRecordDialog(HWND owner, RecordDialogId id);
void LoadMailAccount();

// The rule page (rule_page_win.cpp).
HWND CreateRulePage();
void EndEditor();


}  // namespace halvik::editor
