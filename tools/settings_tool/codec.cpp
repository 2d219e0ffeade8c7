#include "tools/settings_tool/codec.h"

#include <algorithm>
#include <cstdio>

#include "tools/settings_tool/cp932_table.h"

namespace halvik::tools {
namespace {

constexpr uint16_t kNone = 0xFFFF;

bool IsLead(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

uint16_t UnicodeOfPair(uint16_t code) {
  const Cp932Pair* end = kCp932ByCode + kCp932ByCodeCount;
  const Cp932Pair* it =
      std::lower_bound(kCp932ByCode, end, code, [](const Cp932Pair& p, uint16_t c) { return p.first < c; });
  return it != end && it->first == code ? it->second : kNone;
}

// The character at pos (one or two bytes); kNone when it has none.
uint16_t CharAt(std::string_view text, size_t pos, size_t& width) {
  uint8_t b = static_cast<uint8_t>(text[pos]);
  width = 1;
  if (!IsLead(b)) return kCp932SingleByte[b];
  if (pos + 1 >= text.size()) return kNone;
  width = 2;
  uint16_t u = UnicodeOfPair(static_cast<uint16_t>(b << 8 | static_cast<uint8_t>(text[pos + 1])));
  if (u == kNone) width = 1;
  return u;
}

}  // namespace

bool NextUtf8(std::string_view text, size_t& pos, char32_t& codePoint) {
  if (pos >= text.size()) return false;
  uint8_t b = static_cast<uint8_t>(text[pos]);
  size_t length;
  char32_t cp;
  char32_t least;
  if (b < 0x80) {
    codePoint = b;
    ++pos;
    return true;
  } else if ((b & 0xE0) == 0xC0) {
    length = 2, cp = b & 0x1F, least = 0x80;
  } else if ((b & 0xF0) == 0xE0) {
    length = 3, cp = b & 0x0F, least = 0x800;
  } else if ((b & 0xF8) == 0xF0) {
    length = 4, cp = b & 0x07, least = 0x10000;
  } else {
    return false;
  }
  if (pos + length > text.size()) return false;
  for (size_t i = 1; i < length; ++i) {
    uint8_t c = static_cast<uint8_t>(text[pos + i]);
    if ((c & 0xC0) != 0x80) return false;
    cp = cp << 6 | (c & 0x3F);
  }
  if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
  codePoint = cp;
  pos += length;
  return true;
}

void AppendUtf8(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | cp >> 6));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | cp >> 12));
    out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | cp >> 18));
    out.push_back(static_cast<char>(0x80 | (cp >> 12 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

bool Utf8FromCp932(std::string_view cp932, std::string& utf8, size_t* badAt) {
  std::string out;
  for (size_t pos = 0; pos < cp932.size();) {
    size_t width;
    uint16_t u = CharAt(cp932, pos, width);
    if (u == kNone) {
      if (badAt) *badAt = pos;
      return false;
    }
    AppendUtf8(u, out);
    pos += width;
  }
  utf8 = std::move(out);
  return true;
}

std::string ShownUtf8FromCp932(std::string_view cp932) {
  std::string out;
  for (size_t pos = 0; pos < cp932.size();) {
    size_t width;
    uint16_t u = CharAt(cp932, pos, width);
    if (u == kNone) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<uint8_t>(cp932[pos]));
      out += hex;
    } else {
      AppendUtf8(u, out);
    }
    pos += width;
  }
  return out;
}

bool Cp932FromUtf8(std::string_view utf8, std::string& cp932, char32_t* badChar) {
  std::string out;
  const Cp932Pair* end = kCp932ByUnicode + kCp932ByUnicodeCount;
  for (size_t pos = 0; pos < utf8.size();) {
    char32_t cp;
    if (!NextUtf8(utf8, pos, cp)) {
      if (badChar) *badChar = 0xFFFFFFFF;
      return false;
    }
    const Cp932Pair* it = cp > 0xFFFF ? end
                                      : std::lower_bound(kCp932ByUnicode, end, static_cast<uint16_t>(cp),
                                                         [](const Cp932Pair& p, uint16_t c) { return p.first < c; });
    if (it == end || it->first != cp) {
      if (badChar) *badChar = cp;
      return false;
    }
    if (it->second > 0xFF) out.push_back(static_cast<char>(it->second >> 8));
    out.push_back(static_cast<char>(it->second & 0xFF));
  }
  cp932 = std::move(out);
  return true;
}

char32_t Cp932LookAlike(char32_t missing) {
  // Shift_JIS tables elsewhere map these codes to the left-hand characters.
  static const char32_t kPairs[][2] = {{0x301C, 0xFF5E}, {0x2212, 0xFF0D}, {0x00A2, 0xFFE0},
                                       {0x00A3, 0xFFE1}, {0x00AC, 0xFFE2}, {0x2016, 0x2225}};
  for (const auto& pair : kPairs) {
    if (pair[0] == missing) return pair[1];
  }
  return 0;
}

bool Cp932RoundTrips(std::string_view cp932) {
  std::string utf8, back;
  return Utf8FromCp932(cp932, utf8) && Cp932FromUtf8(utf8, back) && back == cp932;
}

}  // namespace halvik::tools
