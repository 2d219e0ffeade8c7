#include "engine/clock_events.h"

namespace halvik::engine {

using settings::DayKind;

bool DayMatches(DayKind kind, const std::bitset<7>& weekdays, const std::bitset<32>& days,
                const LocalTime& now) {
  switch (kind) {
    case DayKind::kWeekdays:
      return now.weekday >= 0 && now.weekday < 7 && weekdays.test(static_cast<size_t>(now.weekday));
    case DayKind::kDaysOfMonth:
      return now.day >= 1 && now.day <= 31 && days.test(static_cast<size_t>(now.day));
    case DayKind::kEveryDay:
      break;
  }
  return true;
}

void TimeOfDayCheck::Load(const std::vector<EventEntry<settings::TimeOfDayEvent>>& entries) {
  entries_.clear();
  for (const auto& e : entries) entries_.push_back({e});
}

std::vector<int> TimeOfDayCheck::Check(const LocalTime& now) {
  for (Entry& e : entries_) {
    const settings::TimeOfDayEvent& t = e.entry.setting;
    const bool thisMinute = now.hour == t.at.hour && now.minute == t.at.minute;
    if (thisMinute && !e.latch && DayMatches(t.dayKind, t.weekdays, t.days, now)) {
      e.latch = true;
      e.pending = true;
    }
    if (!thisMinute) e.latch = false;
  }
  std::vector<int> raise;
  for (Entry& e : entries_) {
    if (!e.pending) continue;
    e.pending = false;
    raise.push_back(e.entry.event);
  }
  return raise;
}

bool IntervalWindowOpen(const settings::IntervalEvent& entry, const LocalTime& now) {
  const int minutes = now.hour * 60 + now.minute;
  return DayMatches(entry.dayKind, entry.weekdays, entry.days, now) && entry.start.Minutes() <= minutes &&
         minutes <= entry.end.Minutes();
}

void IntervalCheck::Load(const std::vector<EventEntry<settings::IntervalEvent>>& entries) {
  entries_.clear();
  for (const auto& e : entries) entries_.push_back({e});
}

IntervalCheck::Tick IntervalCheck::OnTimer(int timerId, const LocalTime& now) {
  Tick tick;
  for (Entry& e : entries_) {
    if (e.entry.event != timerId) continue;
    if (IntervalWindowOpen(e.entry.setting, now)) {
      tick.occurred = true;
      e.pending = true;
    }
    break;
  }
  for (Entry& e : entries_) {
    if (!e.pending) continue;
    e.pending = false;
    tick.raise.push_back(e.entry.event);
  }
  return tick;
}

std::vector<IntervalTimer> PlanIntervalTimers(const EngineTables& tables) {
  std::vector<IntervalTimer> timers;
  for (const auto& e : tables.interval) {
    const long seconds = e.setting.intervalSeconds;
    if (seconds <= 0) {
      timers.push_back({e.event, 0, "インターバルタイマー イベント:%d 間隔秒が0か数字でないため動作しません"});
    } else if (seconds > kLongestIntervalSeconds) {
      timers.push_back({e.event, 0, "インターバルタイマー イベント:%d 間隔秒が長すぎるため動作しません"});
    } else {
      timers.push_back({e.event, static_cast<unsigned>(seconds) * 1000u, nullptr});
    }
  }
  return timers;
}

int WeekdayOf(int year, int month, int day) {
  // Sakamoto's method; 0 = Sunday.
  static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 3) year -= 1;
  return (year + year / 4 - year / 100 + year / 400 + offsets[(month - 1) % 12] + day) % 7;
}

}  // namespace halvik::engine
