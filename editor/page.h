// The editor's pages as data. Every page (the rule page and the thirteen
// category pages) shows one settings file as a list of 100 rows and edits one
// row at a time in its fields. What differs between pages is a table: its
// dialog, file, numbers, list columns, the controls it reads, the checks it
// makes before registering, and how its fields become list cells and back.
// The Windows side (page_win.cpp) walks these tables; the tables and their
// conversions are portable so that they can be tested without Windows.
//
// A Form is a snapshot of a page's controls: edit texts (CP932, cut to the
// control's room in bytes), check marks of check boxes and radio buttons,
// selected positions of drop-down lists, and enabled states. Reading a page
// fills every control of its table; writing one back sets only what the Form
// holds.
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "settings/slot_file.h"

namespace halvik::editor {

enum class ControlKind { kEdit, kCheck, kList };

struct Control {
  int id;
  ControlKind kind;
  int room = 0;  // edits: the most bytes read
};

struct Column {
  std::string_view header;
  int margin;  // pixels added to the width of "aaaaa"
};

struct Form {
  std::map<int, std::string> text;
  std::map<int, bool> checked;
  std::map<int, int> selection;  // -1: nothing selected
  std::map<int, bool> enabled;

  const std::string& Text(int id) const;
  bool Checked(int id) const;
  int Selection(int id) const;
  // The position of the first checked button of ids first..first+count-1, or -1.
  int FirstChecked(int first, int count) const;
  // Checks exactly the button first+position of the group (none for -1).
  void CheckOnly(int first, int count, int position);
  void Enable(int first, int count, bool on);
};

// What registering writes into column 0 of the row.
enum class NumberColumn { kKeep, kAsTyped, kFormatted };

enum class PageId {
  kRule,
  kLearning, kMailReceive, kTimeOfDay, kInterval, kNetReceive,
  kIrSend, kMailSend, kCommand, kFtp, kMacro, kCapture, kNetSend, kPower,
};

struct PageDef {
  PageId id;
  int dialogId;
  std::string_view caption;
  const char* file;
  int base;             // number of row 0
  int registrationField;
  NumberColumn numberColumn;
  std::string_view rangeMessage;
  std::span<const Column> columns;    // column 0 and one a field
  std::span<const Control> controls;  // every control the page reads
  // The page's checks in order: the first failing one's message, or "".
  std::string (*check)(const Form& form);
  // The row's field cells (columns 1..F) from the fields.
  settings::Record (*toCells)(const Form& form);
  // The fields for a loaded row (cells 1..F; an empty row gives empty cells).
  Form (*fromCells)(const settings::Record& cells);
  // Control states when the page is created.
  Form (*initial)();
};

// Every page, the rule page first, then the event pages and the action pages
// in the order of the two choice lists.
std::span<const PageDef> AllPages();
const PageDef& Page(PageId id);
// The event page (entry 1..5) or action page (entry 1..8) of a choice list.
const PageDef* EventPage(int entry);
const PageDef* ActionPage(int entry);

int FieldCount(const PageDef& page);
settings::FileShape const& ShapeOfPage(const PageDef& page);

// The value of a registration or number field: leading blanks skipped,
// decimal digits up to the first other character; no digits give 0 (so a
// sign gives 0, which the range checks then refuse where 0 is out of range).
long NumberValue(std::string_view text);

// The page's range message when number is outside its range, else "".
std::string RangeCheck(const PageDef& page, long number);

// The column 0 text of row i as the page shows it after loading its file.
std::string NumberText(const PageDef& page, int row);

// Page choice from a click on a rule cell: column 2 names an event page,
// column 3 an action page by the leading digits of the cell. Nothing for
// other columns, empty cells, or numbers that name no page.
struct PageChoice {
  const PageDef* page;
  int row;
};
std::optional<PageChoice> PageForRuleCell(int column, std::string_view cell);

// Registering: the registration field's value must name a row; the row's
// cells then are the page's cells. Returns the message to show, or "" with
// row and cells filled.
std::string PrepareRegister(const PageDef& page, const Form& form, int& row,
                            settings::Record& cells);

// Enabled states a page sets when a radio button is chosen (and, on the
// timer and command pages, when a row is loaded).
void ApplyDayKind(int position, Form& form);          // 0 every day, 1 weekdays, 2 days
void ApplyCommandOperation(int operation, Form& form);  // file field for 4 and 5 only
void ApplyCaptureKind(int kind, Form& form);          // still, video, screen, sound

// The learning page compares two captures by their first 16 bytes, 48
// characters of code text.
inline constexpr size_t kCompareCharacters = 48;

// The texts the rule page shows in a choice list, and messages used by more
// than one page.
inline constexpr std::string_view kSaveFailed =
    "設定ファイルに保存できませんでした(項目が長すぎるか、ファイルに書き込めません)";

}  // namespace halvik::editor
