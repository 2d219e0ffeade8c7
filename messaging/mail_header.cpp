#include "messaging/mail_header.h"

#include <cctype>
#include <cstdio>

namespace halvik::messaging {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  }
  return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A cursor over the Date value.
struct Reader {
  std::string_view text;
  size_t at = 0;
  char Peek() const { return at < text.size() ? text[at] : '\0'; }
  void SkipSpaces() {
    while (Peek() == ' ' || Peek() == '\t') ++at;
  }
  // Up to maxDigits decimal digits; -1 when there is none.
  int Number(int maxDigits) {
    int value = -1;
    for (int n = 0; n < maxDigits && IsDigit(Peek()); ++n, ++at) value = (value < 0 ? 0 : value * 10) + (Peek() - '0');
    return value;
  }
};

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian).
long DaysFromCivil(long y, int m, int d) {
  y -= m <= 2;
  long era = (y >= 0 ? y : y - 399) / 400;
  long yoe = y - era * 400;
  long doy = (153L * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(long z, int& m, int& d) {
  z += 719468;
  long era = (z >= 0 ? z : z - 146096) / 146097;
  long doe = z - era * 146097;
  long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  long mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
}

// Offset of the zone from UTC in minutes; false for a zone not understood.
bool ZoneMinutes(Reader& r, int& minutes) {
  char sign = r.Peek();
  if (sign == '+' || sign == '-') {
    ++r.at;
    size_t start = r.at;
    int hhmm = r.Number(4);
    if (hhmm < 0 || r.at - start != 4) return false;
    minutes = (hhmm / 100) * 60 + hhmm % 100;
    if (sign == '-') minutes = -minutes;
    return true;
  }
  static constexpr struct {
    std::string_view name;
    int minutes;
  } kNames[] = {{"GMT", 0}, {"UTC", 0}, {"UT", 0}, {"Z", 0}, {"JST", 540}};
  for (const auto& zone : kNames) {
    if (StartsWithNoCase(r.text.substr(r.at), zone.name)) {
      minutes = zone.minutes;
      return true;
    }
  }
  return false;
}

}  // namespace

std::string HeaderValue(std::string_view headers, std::string_view name) {
  size_t line = 0;
  while (line < headers.size()) {
    size_t end = headers.find('\n', line);
    if (end == std::string_view::npos) end = headers.size();
    std::string_view text = headers.substr(line, end - line);
    if (text.empty() || text == "\r") break;  // end of the header block
    if (StartsWithNoCase(text, name) && text.size() > name.size() && text[name.size()] == ':') {
      std::string value;
      size_t i = line + name.size() + 1;
      while (i < headers.size() && (headers[i] == ' ' || headers[i] == '\t')) ++i;
      for (; i < headers.size(); ++i) {
        char c = headers[i];
        if (c == '\r') continue;
        if (c != '\n') {
          value.push_back(c);
          continue;
        }
        if (i + 1 < headers.size() && (headers[i + 1] == ' ' || headers[i + 1] == '\t')) {
          ++i;  // the folding space or tab goes with the break
          continue;
        }
        break;
      }
      return value;
    }
    line = end + 1;
  }
  return {};
}

std::string SenderAddress(std::string_view from) {
  while (!from.empty() && (from.back() == ' ' || from.back() == '\t')) from.remove_suffix(1);
  if (!from.empty() && from.back() == '>') {
    size_t open = from.rfind('<');
    if (open != std::string_view::npos) return std::string(from.substr(open + 1, from.size() - open - 2));
  }
  return std::string(from);
}

std::string DateText(std::string_view date) {
  static constexpr std::string_view kMonths = "JanFebMarAprMayJunJulAugSepOctNovDec";
  Reader r{date};
  r.SkipSpaces();
  if (!IsDigit(r.Peek())) {  // a weekday name
    while (r.Peek() && r.Peek() != ' ') ++r.at;
    r.SkipSpaces();
  }
  int day = r.Number(2), month = 0, year = -1, hour = -1, minute = -1;
  r.SkipSpaces();
  if (day >= 0) {
    month = 13;
    for (int m = 0; m < 12; ++m) {
      if (StartsWithNoCase(date.substr(r.at), kMonths.substr(m * 3, 3))) month = m + 1;
    }
    while (std::isalpha(static_cast<unsigned char>(r.Peek()))) ++r.at;
    r.SkipSpaces();
    year = r.Number(4);
    r.SkipSpaces();
    hour = r.Number(2);
    if (r.Peek() == ':') {
      ++r.at;
      minute = r.Number(2);
    }
    if (r.Peek() == ':') {
      ++r.at;
      r.Number(2);
    }
    r.SkipSpaces();
  }
  int zone = 0;
  bool complete = day >= 1 && day <= 31 && month <= 12 && year >= 0 && hour >= 0 && hour < 24 &&
                  minute >= 0 && minute < 60;
  if (complete && ZoneMinutes(r, zone) && zone != 540) {
    if (year < 50) year += 2000;
    else if (year < 1000) year += 1900;
    long minutes = DaysFromCivil(year, month, day) * 1440 + hour * 60 + minute - zone + 540;
    long days = minutes >= 0 ? minutes / 1440 : (minutes - 1439) / 1440;
    long inDay = minutes - days * 1440;
    CivilFromDays(days, month, day);
    hour = static_cast<int>(inDay / 60);
    minute = static_cast<int>(inDay % 60);
  }
  char text[64];
  std::snprintf(text, sizeof text, "%02d/%02d %02d:%02d", month, day < 0 ? 0 : day, hour < 0 ? 0 : hour,
                minute < 0 ? 0 : minute);
  return text;
}

std::string ListLine(int number, int count, std::string_view subject, std::string_view from,
                     std::string_view dateText) {
  char head[48];
  std::snprintf(head, sizeof head, "*%d/%d ", number, count);
  std::string line = head;
  line += "  題名:";
  line += subject;
  line += "   発信元:";
  line += from;
  line += "   日付:";
  line += dateText;
  return line;
}

}  // namespace halvik::messaging
