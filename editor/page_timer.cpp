// The time-of-day page (timrcv.bin) and the interval page (intrcv.bin): a day
// kind, weekdays, days of the month and clock times, written as the texts
// the engine's timers read.
#include <bitset>
#include <cstdio>
#include <vector>

#include "editor/page_defs.h"
#include "settings/text_forms.h"
#include "settings/words.h"

namespace halvik::editor {
namespace {

enum : int {
  kEveryDay = 1051, kDayKinds = 3,
  kSunday = 1140, kWeekdays = 7,
  kDay1 = 1147, kDays = 31,
  kHour = 1015, kMinute = 1016, kEndHour = 1017, kEndMinute = 1018,
  kComment = 1083, kNumber = 1084, kSeconds = 1085,
};

constexpr Column kTimeColumns[] = {{"番号", 15}, {"区分", 32}, {"曜日", 70}, {"日", 70},
                                   {"時刻", 30}, {"コメント", 20}};
constexpr Column kIntervalColumns[] = {{"番号", 15},     {"区分", 30},     {"曜日", 30},
                                       {"日", 30},       {"開始時刻", 30}, {"終了時刻", 30},
                                       {"間隔秒", 30},   {"コメント", 30}};

std::vector<Control> DayControls() {
  std::vector<Control> controls;
  for (int i = 0; i < kDayKinds; ++i) controls.push_back({kEveryDay + i, ControlKind::kCheck});
  for (int i = 0; i < kWeekdays + kDays; ++i) controls.push_back({kSunday + i, ControlKind::kCheck});
  controls.push_back({kHour, ControlKind::kList});
  controls.push_back({kMinute, ControlKind::kList});
  controls.push_back({kComment, ControlKind::kEdit, 63});
  controls.push_back({kNumber, ControlKind::kEdit, kRegistrationRoom});
  return controls;
}

const std::vector<Control>& TimeControls() {
  static const std::vector<Control> controls = DayControls();
  return controls;
}

const std::vector<Control>& IntervalControls() {
  static const std::vector<Control> controls = [] {
    std::vector<Control> c = DayControls();
    c.push_back({kEndHour, ControlKind::kList});
    c.push_back({kEndMinute, ControlKind::kList});
    c.push_back({kSeconds, ControlKind::kEdit, 15});
    return c;
  }();
  return controls;
}

std::string ClockText(const Form& form, int hourId, int minuteId) {
  // A list left without selection by a malformed row counts as 0.
  int hour = form.Selection(hourId);
  int minute = form.Selection(minuteId);
  return settings::ClockTimeText(hour < 0 ? 0 : hour, minute < 0 ? 0 : minute);
}

// Day kind, weekdays text and day list: the first three fields of both files.
settings::Record DayCells(const Form& form) {
  int kind = form.FirstChecked(kEveryDay, kDayKinds);
  std::bitset<7> weekdays;
  for (int d = 0; d < kWeekdays; ++d) weekdays[static_cast<size_t>(d)] = form.Checked(kSunday + d);
  std::bitset<32> days;
  for (int d = 1; d <= kDays; ++d) days[static_cast<size_t>(d)] = form.Checked(kDay1 + d - 1);
  return {std::string(settings::kDayKindWords[static_cast<size_t>(kind < 0 ? 0 : kind)]),
          settings::WeekdaysText(weekdays), settings::DayListText(days)};
}

void ReadClock(std::string_view cell, int hourId, int minuteId, Form& form) {
  size_t at = FindCp932(cell, "時");
  int hour = -1;
  int minute = -1;
  if (at != std::string_view::npos && at >= 2) {
    hour = static_cast<int>(NumberValue(cell.substr(at - 2, 2)));
    minute = static_cast<int>(NumberValue(cell.substr(at + 2, 2)));
  }
  form.selection[hourId] = hour >= 0 && hour < 24 ? hour : -1;
  form.selection[minuteId] = minute >= 0 && minute < 60 ? minute : -1;
}

void ReadDays(const settings::Record& cells, Form& form) {
  std::string_view kind = Cell(cells, 0);
  int position = kind.starts_with("曜") ? 1 : kind.starts_with("日") ? 2 : 0;
  form.CheckOnly(kEveryDay, kDayKinds, position);
  ApplyDayKind(position, form);
  form.CheckOnly(kSunday, kWeekdays, -1);
  std::string_view weekdays = Cell(cells, 1);
  for (size_t i = 0; i + 2 <= weekdays.size(); i += 2) {
    size_t letter = settings::kWeekdayLetters.find(weekdays.substr(i, 2));
    if (letter != std::string_view::npos && letter % 2 == 0) form.checked[kSunday + static_cast<int>(letter / 2)] = true;
  }
  form.CheckOnly(kDay1, kDays, -1);
  std::bitset<32> days = settings::ReadDayList(Cell(cells, 2));
  for (int d = 1; d <= kDays; ++d) {
    if (days[static_cast<size_t>(d)]) form.checked[kDay1 + d - 1] = true;
  }
}

Form InitialDays() {
  Form form;
  form.CheckOnly(kEveryDay, kDayKinds, 0);
  ApplyDayKind(0, form);
  form.selection[kHour] = 0;
  form.selection[kMinute] = 0;
  return form;
}

settings::Record TimeToCells(const Form& form) {
  settings::Record cells = DayCells(form);
  cells.push_back(ClockText(form, kHour, kMinute));
  cells.push_back(form.Text(kComment));
  return cells;
}

Form TimeFromCells(const settings::Record& cells) {
  Form form;
  ReadDays(cells, form);
  ReadClock(Cell(cells, 3), kHour, kMinute, form);
  form.text[kComment] = Cell(cells, 4);
  return form;
}

settings::Record IntervalToCells(const Form& form) {
  settings::Record cells = DayCells(form);
  cells.push_back(ClockText(form, kHour, kMinute));
  cells.push_back(ClockText(form, kEndHour, kEndMinute));
  cells.push_back(form.Text(kSeconds));
  cells.push_back(form.Text(kComment));
  return cells;
}

Form IntervalFromCells(const settings::Record& cells) {
  Form form;
  ReadDays(cells, form);
  ReadClock(Cell(cells, 3), kHour, kMinute, form);
  ReadClock(Cell(cells, 4), kEndHour, kEndMinute, form);
  form.text[kSeconds] = Cell(cells, 5);
  form.text[kComment] = Cell(cells, 6);
  return form;
}

Form IntervalInitial() {
  Form form = InitialDays();
  form.selection[kEndHour] = 0;
  form.selection[kEndMinute] = 0;
  return form;
}

}  // namespace

void ApplyDayKind(int position, Form& form) {
  form.Enable(kSunday, kWeekdays, position == 1);
  form.Enable(kDay1, kDays, position == 2);
}

PageDef TimeOfDayPageDef() {
  return {PageId::kTimeOfDay, 144, "時刻指定設定", "timrcv.bin", 300, kNumber, NumberColumn::kKeep,
          "登録番号が間違っています(300-399まで)", kTimeColumns, TimeControls(),
          nullptr, TimeToCells, TimeFromCells, InitialDays};
}

PageDef IntervalPageDef() {
  return {PageId::kInterval, 148, "インターバルタイマー", "intrcv.bin", 400, kNumber, NumberColumn::kKeep,
          "登録番号が間違っています(400-499まで)", kIntervalColumns, IntervalControls(),
          nullptr, IntervalToCells, IntervalFromCells, IntervalInitial};
}

}  // namespace halvik::editor
