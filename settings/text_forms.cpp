#include "settings/text_forms.h"

#include <cstdio>

namespace halvik::settings {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int TwoDigits(std::string_view text, size_t at) {
  auto digit = [&](size_t i) { return i < text.size() && IsDigit(text[i]) ? text[i] - '0' : -1; };
  int high = digit(at);
  int low = digit(at + 1);
  if (high < 0) return 0;
  if (low < 0) return high;
  return high * 10 + low;
}

// Hexadecimal digit as both programs have always decoded it: above '9' counts
// as code - 55, so 'A'-'F' give 10-15 and lower case gives wrong values.
int HexValue(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return u > '9' ? u - 55 : u - 48;
}

int WeekdayIndex(std::string_view letter) {
  for (int d = 0; d < 7; ++d) {
    if (kWeekdayLetters.substr(static_cast<size_t>(d) * 2, 2) == letter) return d;
  }
  return -1;
}

}  // namespace

bool ReadMark(std::string_view field) { return field.starts_with(kMarkYes); }
bool ReadYesNo(std::string_view field) { return !field.empty() && field[0] == 'Y'; }
bool ReadConnection(std::string_view field) { return field == kConnect; }

DayKind ReadDayKind(std::string_view field) {
  if (field.starts_with("曜")) return DayKind::kWeekdays;
  if (field.starts_with("日")) return DayKind::kDaysOfMonth;
  return DayKind::kEveryDay;
}

std::bitset<7> ReadWeekdays(std::string_view field) {
  std::bitset<7> days;
  for (size_t i = 0; i + 2 <= field.size(); i += 2) {
    int d = WeekdayIndex(field.substr(i, 2));
    if (d < 0) break;
    days.set(static_cast<size_t>(d));
  }
  return days;
}

std::bitset<32> ReadDayList(std::string_view field) {
  std::bitset<32> days;
  for (size_t i = 0; i + 2 <= field.size(); i += 3) {
    int d = TwoDigits(field, i);
    if (d >= 1 && d <= 31) days.set(static_cast<size_t>(d));
  }
  return days;
}

ClockTime ReadClockTime(std::string_view field) {
  return ClockTime{TwoDigits(field, 0), TwoDigits(field, 4)};
}

long ReadNumber(std::string_view field) {
  long value = 0;
  for (char c : field) {
    if (!IsDigit(c)) break;
    // Far beyond any field's use; saturating keeps long texts from overflowing.
    value = value >= 99999999L ? 999999999L : value * 10 + (c - '0');
  }
  return value;
}

std::vector<uint8_t> ReadCodeText(std::string_view field, size_t maxBytes) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i + 2 <= field.size() && bytes.size() < maxBytes; i += 3) {
    bytes.push_back(static_cast<uint8_t>(HexValue(field[i]) * 16 + HexValue(field[i + 1])));
  }
  return bytes;
}

int ReadTableWord(std::string_view field, std::span<const std::string_view> words) {
  for (size_t i = 0; i < words.size(); ++i) {
    if (field == words[i]) return static_cast<int>(i);
  }
  return static_cast<int>(words.size());
}

std::string MarkText(bool yes) { return std::string(yes ? kMarkYes : kMarkNo); }

std::string ClockTimeText(int hour, int minute) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d時%02d分", hour, minute);
  return text;
}

std::string WeekdaysText(std::bitset<7> days) {
  std::string text;
  for (size_t d = 0; d < 7; ++d) {
    if (days.test(d)) text += kWeekdayLetters.substr(d * 2, 2);
  }
  return text;
}

std::string DayListText(std::bitset<32> days) {
  std::string text;
  for (int d = 1; d <= 31; ++d) {
    if (!days.test(static_cast<size_t>(d))) continue;
    char two[4];
    std::snprintf(two, sizeof two, "%02d", d);
    if (!text.empty()) text += ',';
    text += two;
  }
  return text;
}

std::string CodeText(std::span<const uint8_t> bytes) {
  std::string text;
  for (uint8_t b : bytes) {
    char three[4];
    std::snprintf(three, sizeof three, "%2.2X-", b);
    text += three;
    if (b == 0xFF) break;
  }
  return text;
}

bool IsNumberText(std::string_view field) {
  if (field.empty()) return false;
  for (char c : field) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

bool IsCodeText(std::string_view field) {
  if (field.size() % 3 != 0) return false;
  auto upperHex = [](char c) { return IsDigit(c) || (c >= 'A' && c <= 'F'); };
  for (size_t i = 0; i < field.size(); i += 3) {
    if (!upperHex(field[i]) || !upperHex(field[i + 1]) || field[i + 2] != '-') return false;
  }
  return true;
}

bool IsClockTimeText(std::string_view field) {
  // "%02d時%02d分": digits at bytes 0-1 and 4-5, each letter two bytes.
  if (field.size() != 8 || field.substr(2, 2) != "時" || field.substr(6, 2) != "分") return false;
  if (!IsDigit(field[0]) || !IsDigit(field[1]) || !IsDigit(field[4]) || !IsDigit(field[5])) return false;
  ClockTime t = ReadClockTime(field);
  return t.hour < 24 && t.minute < 60;
}

bool IsWeekdaysText(std::string_view field) {
  if (field.size() % 2 != 0) return false;
  int last = -1;
  for (size_t i = 0; i < field.size(); i += 2) {
    int d = WeekdayIndex(field.substr(i, 2));
    if (d <= last) return false;
    last = d;
  }
  return true;
}

bool IsDayListText(std::string_view field) {
  if (field.empty()) return true;
  if ((field.size() + 1) % 3 != 0) return false;
  int last = 0;
  for (size_t i = 0; i < field.size(); i += 3) {
    if (!IsDigit(field[i]) || !IsDigit(field[i + 1])) return false;
    if (i + 2 < field.size() && field[i + 2] != ',') return false;
    int d = TwoDigits(field, i);
    if (d < 1 || d > 31 || d <= last) return false;
    last = d;
  }
  return true;
}

bool IsCp932LeadByte(uint8_t byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::string CutCp932(std::string_view text, size_t maxBytes) {
  size_t end = 0;
  while (end < text.size()) {
    size_t width = IsCp932LeadByte(static_cast<uint8_t>(text[end])) ? 2 : 1;
    if (end + width > maxBytes || end + width > text.size()) break;
    end += width;
  }
  return std::string(text.substr(0, end));
}

}  // namespace halvik::settings
