// The rule page: the editor's visible main dialog. It creates the category
// pages, chooses the one shown beside it (by its two choice lists and by
// clicks on the event and action cells of its list) and ends the program when
// it is closed.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "editor/editor_win.h"
#include "win/log_window_win.h"
#include "win/text.h"

namespace halvik::editor {
namespace {

constexpr int kEventChoice = 1013;
constexpr int kActionChoice = 1014;
constexpr int kShowLog = 1032;

constexpr std::string_view kEventEntries[] = {"1xx リモコン受信", "2xx メール受信", "3xx 指定時刻タイマー発生",
                                              "4xx インターバルタイマー発生", "5xx ネットから受信発生"};
constexpr std::string_view kActionEntries[] = {"1xx リモコン送信",    "2xx メール送信",     "3xx パソコン制御",
                                               "4xx ファイル送信",    "5xx パソコン自動操作", "6xx キャプチャー保存",
                                               "7xx ネットヘ送信",    "8xx 電気製品の電源オンオフ"};

void FillChoice(HWND dialog, int id, std::span<const std::string_view> entries) {
  for (std::string_view entry : entries) {
    SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win::WideFromCp932(entry).c_str()));
  }
  SendDlgItemMessageW(dialog, id, CB_SETCURSEL, 0, 0);
}

void CreateCategoryPages(EditorState& editor) {
  editor.pages.clear();
  editor.pages.reserve(AllPages().size() - 1);
  for (const PageDef& def : AllPages().subspan(1)) {
    editor.pages.push_back(PageWindow{&def});
  }
  for (PageWindow& page : editor.pages) CreatePage(page);
}

void LayOut(EditorState& editor, HWND rule) {
  RECT r;
  GetWindowRect(rule, &r);
  int width = r.right - r.left;
  int height = r.bottom - r.top;
  int centredX = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  int centredY = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  SetWindowPos(rule, nullptr, centredX / 3, centredY, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ShowWindow(rule, SW_SHOW);
  for (PageWindow& page : editor.pages) ShowWindow(page.hwnd, SW_HIDE);
  ShowPage(editor.pages[0]);
}

// The settings log opens at the rule page's bottom-left corner, moved up as
// far as needed to stay on the screen below a tall rule page.
void ShowLogBelow(int x, int y) {
  HWND log = win::LogWindowHandle();
  if (log == nullptr) return;
  RECT work;
  RECT r;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(log, &r);
  y = std::max(static_cast<int>(work.top), std::min(y, static_cast<int>(work.bottom - (r.bottom - r.top))));
  SetWindowPos(log, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  win::ShowLogWindow();
}

void ChooseFromCell(EditorState& editor, const NMITEMACTIVATE& click) {
  LVHITTESTINFO hit = {};
  hit.pt = click.ptAction;
  if (ListView_SubItemHitTest(editor.rule.list, &hit) < 0 || hit.iItem < 0) return;
  auto choice = PageForRuleCell(hit.iSubItem, CellText(editor.rule.list, hit.iItem, hit.iSubItem));
  if (!choice) return;
  PageWindow* page = FindPage(choice->page->id);
  if (page == nullptr) return;
  HideAllPages();
  ShowPage(*page);
  ScrollRowIntoView(*page, choice->row);
}

}  // namespace

PageWindow* FindPage(PageId id) {
  for (PageWindow& page : Editor().pages) {
    if (page.def->id == id) return &page;
  }
  return nullptr;
}

void HideAllPages() {
  for (PageWindow& page : Editor().pages) ShowWindow(page.hwnd, SW_HIDE);
}

void ShowPage(PageWindow& page) {
  EditorState& editor = Editor();
  RECT r;
  GetWindowRect(editor.rule.hwnd, &r);
  SetWindowPos(page.hwnd, HWND_TOP, r.right, r.top, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  editor.current = &page;
}

HWND CreateRulePage() {
  EditorState& editor = Editor();
  editor.rule = PageWindow{&Page(PageId::kRule)};
  return CreatePage(editor.rule);
}

INT_PTR HandleRulePageMessage(PageWindow& page, UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  EditorState& editor = Editor();
  switch (message) {
    case WM_INITDIALOG:
      FillChoice(page.hwnd, kEventChoice, kEventEntries);
      FillChoice(page.hwnd, kActionChoice, kActionEntries);
      CreateCategoryPages(editor);
      LayOut(editor, page.hwnd);
      LoadMailAccount();
      return TRUE;
    case WM_COMMAND: {
      int id = LOWORD(wParam);
      if ((id == kEventChoice || id == kActionChoice) && HIWORD(wParam) == CBN_SELCHANGE) {
        int position = static_cast<int>(SendDlgItemMessageW(page.hwnd, id, CB_GETCURSEL, 0, 0));
        const PageDef* def = id == kEventChoice ? EventPage(position + 1) : ActionPage(position + 1);
        PageWindow* chosen = def != nullptr ? FindPage(def->id) : nullptr;
        if (chosen != nullptr) {
          if (editor.current != nullptr) ShowWindow(editor.current->hwnd, SW_HIDE);
          ShowPage(*chosen);
        }
        handled = true;
      } else if (id == kShowLog) {
        RECT r;
        GetWindowRect(page.hwnd, &r);
        ShowLogBelow(r.left, r.bottom);
        handled = true;
      }
      return TRUE;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->idFrom == 1039 && (header->code == NM_CLICK || header->code == LVN_BEGINDRAG)) {
        if (header->code == NM_CLICK) {
          ChooseFromCell(editor, *reinterpret_cast<NMITEMACTIVATE*>(lParam));
        } else {
          auto* drag = reinterpret_cast<NMLISTVIEW*>(lParam);
          NMITEMACTIVATE click = {};
          click.ptAction = drag->ptAction;
          ChooseFromCell(editor, click);
        }
      }
      return FALSE;
    }
    case WM_CLOSE:
      EndEditor();
      handled = true;
      return TRUE;
  }
  return FALSE;
}

}  // namespace halvik::editor
