#include "editor/page.h"

#include <array>
#include <cstdio>

#include "editor/page_defs.h"

namespace halvik::editor {

const std::string& Form::Text(int id) const {
  static const std::string kEmpty;
  auto it = text.find(id);
  return it == text.end() ? kEmpty : it->second;
}

bool Form::Checked(int id) const {
  auto it = checked.find(id);
  return it != checked.end() && it->second;
}

int Form::Selection(int id) const {
  auto it = selection.find(id);
  return it == selection.end() ? -1 : it->second;
}

int Form::FirstChecked(int first, int count) const {
  for (int i = 0; i < count; ++i) {
    if (Checked(first + i)) return i;
  }
  return -1;
}

void Form::CheckOnly(int first, int count, int position) {
  for (int i = 0; i < count; ++i) checked[first + i] = i == position;
}

void Form::Enable(int first, int count, bool on) {
  for (int i = 0; i < count; ++i) enabled[first + i] = on;
}

std::span<const PageDef> AllPages() {
  static const std::array<PageDef, 14> pages = {
      RulePageDef(),      LearningPageDef(), MailReceivePageDef(), TimeOfDayPageDef(),
      IntervalPageDef(),  NetReceivePageDef(), IrSendPageDef(),    MailSendPageDef(),
      CommandPageDef(),   FtpPageDef(),      MacroPageDef(),       CapturePageDef(),
      NetSendPageDef(),   PowerPageDef(),
  };
  return pages;
}

const PageDef& Page(PageId id) {
  for (const PageDef& page : AllPages()) {
    if (page.id == id) return page;
  }
  return AllPages()[0];
}

const PageDef* EventPage(int entry) {
  if (entry < 1 || entry > 5) return nullptr;
  return &AllPages()[static_cast<size_t>(entry)];
}

const PageDef* ActionPage(int entry) {
  if (entry < 1 || entry > 8) return nullptr;
  return &AllPages()[static_cast<size_t>(5 + entry)];
}

const settings::FileShape& ShapeOfPage(const PageDef& page) { return settings::ShapeOf(page.file); }

int FieldCount(const PageDef& page) { return ShapeOfPage(page).fields; }

long NumberValue(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value < 100000000) value = value * 10 + (text[i] - '0');
  }
  return value;
}

std::string RangeCheck(const PageDef& page, long number) {
  if (number < page.base || number > page.base + settings::kSlotCount - 1) {
    return std::string(page.rangeMessage);
  }
  return "";
}

std::string NumberText(const PageDef& page, int row) {
  return settings::RegistrationText(page.base + row);
}

std::optional<PageChoice> PageForRuleCell(int column, std::string_view cell) {
  if ((column != 2 && column != 3) || cell.empty()) return std::nullopt;
  long number = 0;
  size_t i = 0;
  for (; i < cell.size() && cell[i] >= '0' && cell[i] <= '9' && number < 100000; ++i) {
    number = number * 10 + (cell[i] - '0');
  }
  // "%3d" writes the event number with leading blanks only below 100, which
  // names no page anyway.
  if (i == 0) return std::nullopt;
  const PageDef* page = column == 2 ? EventPage(static_cast<int>(number / 100))
                                    : ActionPage(static_cast<int>(number / 100));
  if (page == nullptr) return std::nullopt;
  return PageChoice{page, static_cast<int>(number % 100)};
}

std::string PrepareRegister(const PageDef& page, const Form& form, int& row,
                            settings::Record& cells) {
  if (page.check != nullptr) {
    std::string message = page.check(form);
    if (!message.empty()) return message;
  }
  long number = NumberValue(form.Text(page.registrationField));
  std::string message = RangeCheck(page, number);
  if (!message.empty()) return message;
  row = static_cast<int>(number - page.base);
  cells = page.toCells(form);
  cells.resize(static_cast<size_t>(FieldCount(page)));
  return "";
}

}  // namespace halvik::editor
