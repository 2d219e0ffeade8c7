// Time-of-day events (300-399) and interval events (400-499): the arithmetic
// of the two window-timer checks, against a local time the caller reads.
//
// Time of day: timer 1 checks every 10 s. An entry whose day matches and
// whose hour and minute equal now's latches and becomes pending; a latched
// entry stays quiet for the rest of its minute, so it occurs once a day
// although the check runs six times in the minute. The latch clears as soon
// as the minute differs. Pending entries are raised after the walk.
//
// Interval: one window timer per entry, identifier = event number, period =
// interval seconds. On a tick the entry occurs when its day matches and
// start <= now <= end, compared to the minute (both ends inclusive: 09時00分
// to 17時00分 takes ticks from 9:00:00 to 17:00:59). A window whose start is
// after its end never opens: windows do not wrap past midnight.
#pragma once

#include <bitset>
#include <vector>

#include "engine/tables.h"

namespace halvik::engine {

struct LocalTime {
  int year = 2000;
  int month = 1;    // 1-12
  int day = 1;      // 1-31
  int weekday = 6;  // 0 Sunday .. 6 Saturday
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// The clock seam: the Windows build reads GetLocalTime, tests step through
// simulated days.
using ClockFn = LocalTime (*)();

bool DayMatches(settings::DayKind kind, const std::bitset<7>& weekdays, const std::bitset<32>& days,
                const LocalTime& now);

class TimeOfDayCheck {
 public:
  void Load(const std::vector<EventEntry<settings::TimeOfDayEvent>>& entries);
  bool Empty() const { return entries_.empty(); }
  // The events to raise now, in entry order.
  std::vector<int> Check(const LocalTime& now);

 private:
  struct Entry {
    EventEntry<settings::TimeOfDayEvent> entry;
    bool latch = false;
    bool pending = false;
  };
  std::vector<Entry> entries_;
};

bool IntervalWindowOpen(const settings::IntervalEvent& entry, const LocalTime& now);

class IntervalCheck {
 public:
  void Load(const std::vector<EventEntry<settings::IntervalEvent>>& entries);
  bool Empty() const { return entries_.empty(); }
  struct Tick {
    bool occurred = false;   // the timer's own entry was in its window: log it
    std::vector<int> raise;  // pending events, in entry order
  };
  Tick OnTimer(int timerId, const LocalTime& now);

 private:
  struct Entry {
    EventEntry<settings::IntervalEvent> entry;
    bool pending = false;
  };
  std::vector<Entry> entries_;
};

// The window timers the start sequence sets up: one per loaded interval
// entry with a usable interval. Others are listed with the reason, for the log.
struct IntervalTimer {
  int event = 0;
  unsigned periodMs = 0;  // 0: no timer
  const char* refusal = nullptr;
};
// SetTimer takes at most 0x7FFFFFFF ms.
inline constexpr long kLongestIntervalSeconds = 0x7FFFFFFF / 1000;
std::vector<IntervalTimer> PlanIntervalTimers(const EngineTables& tables);

// Civil calendar helper for tests and tools: the weekday of a date.
int WeekdayOf(int year, int month, int day);

}  // namespace halvik::engine
