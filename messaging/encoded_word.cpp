#include "messaging/encoded_word.h"

#include <cctype>

#include "messaging/base64.h"
#include "messaging/jis.h"

namespace halvik::messaging {
namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string QDecode(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '_') {
      out.push_back(' ');
    } else if (text[i] == '=' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
               HexValue(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

// Decodes the encoded word at the start of text; returns its length, or 0 when
// text does not start with a whole encoded word.
size_t DecodeOneWord(std::string_view text, std::string& out) {
  if (text.substr(0, 2) != "=?") return 0;
  size_t q1 = text.find('?', 2);
  if (q1 == std::string_view::npos || q1 + 2 >= text.size() || text[q1 + 2] != '?') return 0;
  std::string_view charset = text.substr(2, q1 - 2);
  char encoding = static_cast<char>(std::toupper(static_cast<unsigned char>(text[q1 + 1])));
  if (encoding != 'B' && encoding != 'Q') return 0;
  size_t start = q1 + 3;
  size_t end = text.find("?=", start);
  if (end == std::string_view::npos) return 0;
  std::string_view payload = text.substr(start, end - start);
  std::string bytes = encoding == 'B' ? Base64Decode(payload) : QDecode(payload);
  size_t star = charset.find('*');  // RFC 2231 language suffix
  if (star != std::string_view::npos) charset = charset.substr(0, star);
  out += EqualsNoCase(charset, "iso-2022-jp") ? SjisFromIso2022Jp(bytes) : bytes;
  return end + 2;
}

}  // namespace

std::string EncodedWordFromSjis(std::string_view sjis) {
  return "=?iso-2022-jp?B?" + Base64Encode(Iso2022JpFromSjis(sjis)) + "?=";
}

std::string DecodeEncodedWords(std::string_view header) {
  std::string out;
  size_t afterWord = std::string_view::npos;  // out's size just after the last word
  size_t i = 0;
  while (i < header.size()) {
    if (header[i] == '=' && i + 1 < header.size() && header[i + 1] == '?') {
      std::string decoded;
      size_t used = DecodeOneWord(header.substr(i), decoded);
      if (used) {
        if (afterWord != std::string_view::npos) out.resize(afterWord);  // drop the space between words
        out += decoded;
        afterWord = out.size();
        i += used;
        continue;
      }
    }
    if (header[i] != ' ' && header[i] != '\t') afterWord = std::string_view::npos;
    out.push_back(header[i]);
    ++i;
  }
  return out;
}

}  // namespace halvik::messaging
