#include "engine/clock_events.h"

#include <gtest/gtest.h>


#include "settings/catalogue.h"

namespace halvik::engine {
namespace {

using settings::Record;

int DaysIn(int year, int month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : days[month - 1];
}

LocalTime At(int year, int month, int day, int hour, int minute, int second) {
  return {year, month, day, WeekdayOf(year, month, day), hour, minute, second};
}

// Calls visit(now) every `step` seconds of every day of a year, starting
// `offset` seconds after midnight of each day.
template <typename Visit>
void EveryDayOf(int year, int step, int offset, Visit visit) {
  for (int month = 1; month <= 12; ++month) {
    for (int day = 1; day <= DaysIn(year, month); ++day) {
      for (int s = offset; s < 86400; s += step) visit(At(year, month, day, s / 3600, s / 60 % 60, s % 60));
    }
  }
}

EventEntry<settings::TimeOfDayEvent> TimeEntry(int event, Record r) {
  return {event, settings::ReadTimeOfDayEvent(r)};
}
EventEntry<settings::IntervalEvent> IntervalEntry(int event, Record r) {
  return {event, settings::ReadIntervalEvent(r)};
}

struct Occurrence {
  int month, day, weekday, hour, minute, second;
};

TEST(Calendar, WeekdayOf) {
  EXPECT_EQ(WeekdayOf(2026, 12, 11), 5);  // a Friday
  EXPECT_EQ(WeekdayOf(2000, 1, 1), 6);
  EXPECT_EQ(WeekdayOf(2028, 2, 29), 2);
}

TEST(TimeOfDay, OverAYearEachEntryOccursOnItsDaysOnceWithinItsMinute) {
  struct Case {
    const char* name;
    Record record;
    int year;
    int expected;  // occurrences in the year
  };
  const Case cases[] = {
      {"every day 07:30", {"毎日", "", "", "07時30分", ""}, 2026, 365},
      {"leap year", {"毎日", "", "", "07時30分", ""}, 2028, 366},
      {"Saturdays and Sundays", {"曜日指定", "土日", "", "23時59分", ""}, 2026, 104},
      {"1st and 15th", {"日指定", "", "01,15", "00時00分", ""}, 2026, 24},
      {"31st: not in 30-day months nor February", {"日指定", "", "31", "12時00分", ""}, 2026, 7},
      {"29th of a leap February counts", {"日指定", "", "29", "12時00分", ""}, 2028, 12},
      {"hour 25 never", {"毎日", "", "", "25時00分", ""}, 2026, 0},
      {"unknown day kind reads as every day", {"週末", "", "", "06時00分", ""}, 2026, 365},
      {"weekday text stops at an ASCII letter", {"曜日指定", "月火x水", "", "08時00分", ""}, 2026, 104},
  };
  for (const Case& c : cases) {
    // The check runs every 10 s; the engine happened to start 3 s past a tick.
    for (int offset : {0, 3}) {
      TimeOfDayCheck check;
      check.Load({TimeEntry(300, c.record)});
      std::vector<Occurrence> seen;
      EveryDayOf(c.year, 10, offset, [&](const LocalTime& now) {
        for (int e : check.Check(now)) {
          EXPECT_EQ(e, 300);
          seen.push_back({now.month, now.day, now.weekday, now.hour, now.minute, now.second});
        }
      });
      EXPECT_EQ(static_cast<int>(seen.size()), c.expected) << c.name;
      const auto t = settings::ReadTimeOfDayEvent(c.record);
      for (const Occurrence& o : seen) {
        EXPECT_EQ(o.hour, t.at.hour) << c.name;
        EXPECT_EQ(o.minute, t.at.minute) << c.name;
        EXPECT_LT(o.second, 10) << c.name;  // the first check of the minute
        if (t.dayKind == settings::DayKind::kWeekdays) {
          EXPECT_TRUE(t.weekdays.test(o.weekday)) << c.name;
        }
        if (t.dayKind == settings::DayKind::kDaysOfMonth) {
          EXPECT_TRUE(t.days.test(o.day)) << c.name;
        }
      }
    }
  }
}

TEST(TimeOfDay, LatchHoldsWithinTheMinuteAndEntriesRaiseInOrder) {
  TimeOfDayCheck check;
  check.Load({TimeEntry(305, {"毎日", "", "", "07時30分", ""}), TimeEntry(301, {"毎日", "", "", "07時30分", ""})});
  EXPECT_EQ(check.Check(At(2026, 12, 11, 7, 29, 55)), std::vector<int>{});
  EXPECT_EQ(check.Check(At(2026, 12, 11, 7, 30, 5)), (std::vector<int>{305, 301}));
  for (int s = 15; s < 60; s += 10) EXPECT_TRUE(check.Check(At(2026, 12, 11, 7, 30, s)).empty());
  EXPECT_TRUE(check.Check(At(2026, 12, 11, 7, 31, 0)).empty());
  // A check that skipped a whole minute (a busy hub) lets the event pass.
  EXPECT_TRUE(check.Check(At(2026, 12, 12, 7, 31, 0)).empty());
  // Back in the minute the next day, after the latch cleared.
  EXPECT_EQ(check.Check(At(2026, 12, 13, 7, 30, 0)), (std::vector<int>{305, 301}));
}

TEST(Interval, TicksInsideTheWindowOnMatchingDays) {
  struct Case {
    const char* name;
    Record record;
    int interval;     // timer period in seconds
    int offset;       // first tick after midnight
    int perYear;      // ticks that occur in 2026
  };
  const Case cases[] = {
      {"09:00-09:05 every 60 s", {"毎日", "", "", "09時00分", "09時05分", "60", ""}, 60, 17, 6 * 365},
      {"window after midnight never opens", {"毎日", "", "", "22時00分", "02時00分", "60", ""}, 60, 0, 0},
      {"start equals end: the whole minute", {"毎日", "", "", "12時00分", "12時00分", "20", ""}, 20, 0, 3 * 365},
      {"Mondays only", {"曜日指定", "月", "", "00時00分", "00時00分", "60", ""}, 60, 30, 52},
      {"the 31st only", {"日指定", "", "31", "00時00分", "23時59分", "3600", ""}, 3600, 0, 7 * 24},
  };
  for (const Case& c : cases) {
    IntervalCheck check;
    check.Load({IntervalEntry(401, c.record), IntervalEntry(402, {"毎日", "", "", "00時00分", "23時59分", "1", ""})});
    int occurred = 0;
    EveryDayOf(2026, c.interval, c.offset, [&](const LocalTime& now) {
      IntervalCheck::Tick tick = check.OnTimer(401, now);
      if (tick.occurred) {
        ++occurred;
        EXPECT_EQ(tick.raise, std::vector<int>{401}) << c.name;
      } else {
        EXPECT_TRUE(tick.raise.empty()) << c.name;
      }
    });
    EXPECT_EQ(occurred, c.perYear) << c.name;
  }
}

TEST(Interval, WindowEndsAreInclusiveToTheMinute) {
  const auto entry = settings::ReadIntervalEvent({"毎日", "", "", "09時00分", "17時00分", "60", ""});
  struct Case { int h, m, s; bool open; };
  const Case cases[] = {{8, 59, 59, false}, {9, 0, 0, true}, {12, 0, 0, true},
                        {17, 0, 59, true},  {17, 1, 0, false}, {0, 0, 0, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(IntervalWindowOpen(entry, At(2026, 12, 11, c.h, c.m, c.s)), c.open) << c.h << ":" << c.m;
  }
}

TEST(Interval, UnknownTimerDoesNothing) {
  IntervalCheck check;
  check.Load({IntervalEntry(401, {"毎日", "", "", "00時00分", "23時59分", "60", ""})});
  IntervalCheck::Tick tick = check.OnTimer(1, At(2026, 12, 11, 10, 0, 0));
  EXPECT_FALSE(tick.occurred);
  EXPECT_TRUE(tick.raise.empty());
}

TEST(Interval, PlanGivesTimersOnlyToUsableIntervals) {
  EngineTables t;
  const char* intervals[] = {"20", "0", "abc", "999999999", "2147483", ""};
  for (int i = 0; i < 6; ++i) {
    t.interval.push_back(IntervalEntry(400 + i, {"毎日", "", "", "00時00分", "23時59分", intervals[i], ""}));
  }
  const auto timers = PlanIntervalTimers(t);
  ASSERT_EQ(timers.size(), 6u);
  const unsigned expected[] = {20000, 0, 0, 0, 2147483000u, 0};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(timers[i].event, 400 + i);
    EXPECT_EQ(timers[i].periodMs, expected[i]) << intervals[i];
    EXPECT_EQ(timers[i].refusal == nullptr, expected[i] != 0) << intervals[i];
  }
}

}  // namespace
}  // namespace halvik::engine
