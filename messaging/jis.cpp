#include "messaging/jis.h"

#include "settings/text_forms.h"

namespace halvik::messaging {
namespace {

bool IsJisByte(unsigned b) { return b >= 0x21 && b <= 0x7E; }
bool IsTrailByte(unsigned b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }
bool IsHalfWidthKana(unsigned b) { return b >= 0xA1 && b <= 0xDF; }

// Walks a Shift-JIS text, calling single(byte) for single bytes and
// pair(jis) for every double-byte character (geta when it has no code).
template <typename Single, typename Pair>
void WalkSjis(std::string_view sjis, Single single, Pair pair) {
  for (size_t i = 0; i < sjis.size(); ++i) {
    uint8_t b = static_cast<uint8_t>(sjis[i]);
    if (!settings::IsCp932LeadByte(b)) {
      single(b);
      continue;
    }
    uint16_t jis = 0;
    if (i + 1 < sjis.size() && IsTrailByte(static_cast<uint8_t>(sjis[i + 1]))) {
      jis = JisFromSjis(b, static_cast<uint8_t>(sjis[i + 1]));
      ++i;
    }
    pair(jis ? jis : kJisGeta);
  }
}

}  // namespace

uint16_t JisFromSjis(uint8_t lead, uint8_t trail) {
  if (!settings::IsCp932LeadByte(lead) || !IsTrailByte(trail)) return 0;
  unsigned s1 = lead >= 0xE0 ? lead - 0x40 : lead;
  unsigned row = (s1 - 0x81) * 2 + 0x21;
  unsigned cell;
  if (trail >= 0x9F) {
    ++row;
    cell = trail - 0x7E;
  } else {
    cell = trail - (trail >= 0x80 ? 0x20 : 0x1F);
  }
  if (!IsJisByte(row) || !IsJisByte(cell)) return 0;
  return static_cast<uint16_t>(row << 8 | cell);
}

uint16_t SjisFromJis(uint8_t row, uint8_t cell) {
  if (!IsJisByte(row) || !IsJisByte(cell)) return 0;
  unsigned lead = ((row + 1) >> 1) + (row <= 0x5E ? 0x70 : 0xB0);
  unsigned trail;
  if (row & 1) {
    trail = cell + (cell >= 0x60 ? 0x20 : 0x1F);
  } else {
    trail = cell + 0x7E;
  }
  return static_cast<uint16_t>(lead << 8 | trail);
}

std::string Iso2022JpFromSjis(std::string_view sjis) {
  std::string out;
  out.reserve(sjis.size() + 8);
  bool doubleByte = false;
  WalkSjis(
      sjis,
      [&](uint8_t b) {
        if (doubleByte) {
          out += "\x1B(B";
          doubleByte = false;
        }
        out.push_back(static_cast<char>(b));
      },
      [&](uint16_t jis) {
        if (!doubleByte) {
          out += "\x1B$B";
          doubleByte = true;
        }
        out.push_back(static_cast<char>(jis >> 8));
        out.push_back(static_cast<char>(jis & 0xFF));
      });
  if (doubleByte) out += "\x1B(B";
  return out;
}

std::string SjisFromIso2022Jp(std::string_view iso) {
  std::string out;
  out.reserve(iso.size() + 2);
  bool doubleByte = false;
  size_t i = 0;
  while (i < iso.size()) {
    uint8_t b = static_cast<uint8_t>(iso[i]);
    if (b == 0x1B && i + 2 < iso.size()) {
      std::string_view esc = iso.substr(i + 1, 2);
      if (esc == "$B" || esc == "$@") {
        doubleByte = true;
        i += 3;
        continue;
      }
      if (esc == "(B" || esc == "(J") {
        doubleByte = false;
        i += 3;
        continue;
      }
    }
    if (doubleByte && b < 0x1B) doubleByte = false;
    if (!doubleByte) {
      out.push_back(static_cast<char>(b));
      ++i;
      continue;
    }
    uint8_t cell = i + 1 < iso.size() ? static_cast<uint8_t>(iso[i + 1]) : 0;
    uint16_t code = SjisFromJis(b, cell);
    if (code) {
      out.push_back(static_cast<char>(code >> 8));
      out.push_back(static_cast<char>(code & 0xFF));
      i += 2;
    } else {
      // Two zero bytes stand for the broken pair; a control byte or escape in
      // the second place is read again as itself.
      out.append(2, '\0');
      i += (cell >= 0x21 && cell != 0x1B) ? 2 : 1;
    }
  }
  return out;
}

std::string EucJpFromSjis(std::string_view sjis) {
  std::string out;
  out.reserve(sjis.size() + 8);
  WalkSjis(
      sjis,
      [&](uint8_t b) {
        if (IsHalfWidthKana(b)) out.push_back('\x8E');
        out.push_back(static_cast<char>(b));
      },
      [&](uint16_t jis) {
        out.push_back(static_cast<char>((jis >> 8) | 0x80));
        out.push_back(static_cast<char>((jis & 0xFF) | 0x80));
      });
  return out;
}

}  // namespace halvik::messaging
