// How the engine reads the text forms of the settings fields. Every field is
// CP932 text; these are small pure functions so that editor, engine and the
// settings tool read a field the same way.
//
//   mark          "○" yes / "Ｘ" no; yes when the field begins with "○"
//   Y/N           yes when the first character is 'Y'
//   connection    "する" when the field equals "する"; anything else is "待ち"
//   day kind      by the first character: "毎" every day, "曜" weekdays,
//                 "日" days of the month; anything else is every day
//   weekdays      2-byte letters of "日月火水木金土"; stops at the first
//                 character that is not one
//   day list      "01,15,31": two digits at a time, one "," skipped after each
//   clock time    "%02d時%02d分": hour from bytes 0-1, minute from bytes 4-5
//   number        decimal digits; stops at the first non-digit (no digit = 0)
//   code text     bytes as "%2.2X-"; three characters a byte, the third skipped
//   table word    exact match against a word table; not found = table size
#pragma once

#include <bitset>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace halvik::settings {

enum class DayKind { kEveryDay = 0, kWeekdays = 1, kDaysOfMonth = 2 };

struct ClockTime {
  int hour = 0;
  int minute = 0;
  int Minutes() const { return hour * 60 + minute; }
};

inline constexpr std::string_view kMarkYes = "○";
inline constexpr std::string_view kMarkNo = "Ｘ";
inline constexpr std::string_view kConnect = "する";
inline constexpr std::string_view kWait = "待ち";
inline constexpr std::string_view kWeekdayLetters = "日月火水木金土";

bool ReadMark(std::string_view field);
bool ReadYesNo(std::string_view field);
bool ReadConnection(std::string_view field);  // true for "する"
DayKind ReadDayKind(std::string_view field);
std::bitset<7> ReadWeekdays(std::string_view field);   // bit 0 = Sunday
std::bitset<32> ReadDayList(std::string_view field);   // bit d = day d (1-31)
ClockTime ReadClockTime(std::string_view field);
long ReadNumber(std::string_view field);
// Decodes at most maxBytes bytes; stops at the end of the text.
std::vector<uint8_t> ReadCodeText(std::string_view field, size_t maxBytes);
// Position of the first equal word, or words.size() when none is equal.
int ReadTableWord(std::string_view field, std::span<const std::string_view> words);

// The writers of the forms the editor produces.
std::string MarkText(bool yes);
std::string ClockTimeText(int hour, int minute);
std::string WeekdaysText(std::bitset<7> days);
std::string DayListText(std::bitset<32> days);
// Writes bytes up to and including the first 0xFF (or all of them) as "%2.2X-".
std::string CodeText(std::span<const uint8_t> bytes);

// Strict checks for the settings tool and the editor: does the field look as
// the editor would have written it?
bool IsNumberText(std::string_view field);
bool IsCodeText(std::string_view field);
bool IsClockTimeText(std::string_view field);
bool IsWeekdaysText(std::string_view field);
bool IsDayListText(std::string_view field);

// The first byte of a CP932 double-byte character.
bool IsCp932LeadByte(uint8_t byte);
// text cut to at most maxBytes without splitting a double-byte character.
std::string CutCp932(std::string_view text, size_t maxBytes);

}  // namespace halvik::settings
