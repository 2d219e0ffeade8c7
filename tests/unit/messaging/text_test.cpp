// Shift-JIS <-> JIS X 0208, ISO-2022-JP, EUC-JP, Base64 and encoded words.
#include <gtest/gtest.h>

#include "messaging/base64.h"
#include "messaging/encoded_word.h"
#include "messaging/jis.h"

namespace halvik::messaging {
namespace {

std::string Hex(std::string_view bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out.push_back(digits[c >> 4]);
    out.push_back(digits[c & 15]);
  }
  return out;
}

TEST(Jis, EveryJisCodeRoundTripsThroughShiftJis) {
  for (unsigned row = 0x21; row <= 0x7E; ++row) {
    for (unsigned cell = 0x21; cell <= 0x7E; ++cell) {
      uint16_t sjis = SjisFromJis(static_cast<uint8_t>(row), static_cast<uint8_t>(cell));
      ASSERT_NE(sjis, 0);
      ASSERT_EQ(JisFromSjis(static_cast<uint8_t>(sjis >> 8), static_cast<uint8_t>(sjis)), row << 8 | cell)
          << std::hex << row << " " << cell;
    }
  }
}

TEST(Jis, KnownCodesAndOutOfRangePairs) {
  struct Case {
    uint8_t lead, trail;
    uint16_t jis;
  } cases[] = {
      {0x82, 0xA0, 0x2422},  // あ
      {0x8A, 0xBF, 0x3441},  // 漢
      {0x83, 0x5C, 0x253D},  // ソ, trail byte equal to "\"
      {0x95, 0x5C, 0x493D},  // 表
      {0x81, 0x40, 0x2121},  // first code
      {0xEA, 0xA4, 0x7426},  // last JIS X 0208 row
      {0xF0, 0x40, 0},       // user-defined row: no JIS X 0208 code
      {0x82, 0x7F, 0},       // 0x7F is no trail byte
      {0x41, 0x41, 0},       // not a lead byte
  };
  for (const Case& c : cases) EXPECT_EQ(JisFromSjis(c.lead, c.trail), c.jis) << Hex({reinterpret_cast<const char*>(&c.lead), 1});
  EXPECT_EQ(SjisFromJis(0x20, 0x21), 0);
  EXPECT_EQ(SjisFromJis(0x21, 0x7F), 0);
}

TEST(Iso2022Jp, FromShiftJis) {
  struct Case {
    std::string sjis;
    std::string iso;
  } cases[] = {
      {"LIGHT ON", "LIGHT ON"},
      {"あ", "\x1B$B\x24\x22\x1B(B"},
      {"漢字", "\x1B$B\x34\x41\x3B\x7A\x1B(B"},
      {"テレビ ON", "\x1B$B\x25\x46\x25\x6C\x25\x53\x1B(B ON"},
      {"a漢b字", "a\x1B$B\x34\x41\x1B(Bb\x1B$B\x3B\x7A\x1B(B"},
      {"漢\r\n", "\x1B$B\x34\x41\x1B(B\r\n"},
      {"\xB1", "\xB1"},                       // half-width katakana copied
      {"\xF0\x40", "\x1B$B\x22\x2E\x1B(B"},   // user-defined character: geta
      {"x\x82", "x\x1B$B\x22\x2E\x1B(B"},     // lead byte at the end: geta
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Hex(Iso2022JpFromSjis(c.sjis)), Hex(c.iso)) << Hex(c.sjis);
}

TEST(Iso2022Jp, ToShiftJis) {
  struct Case {
    std::string iso;
    std::string sjis;
  } cases[] = {
      {"\x1B$B\x34\x41\x3B\x7A\x1B(B", "漢字"},
      {"\x1B$@\x34\x41\x1B(J!", "漢!"},            // old JIS escapes
      {"\x1B$B\x24\x22\r\nA", "あ\r\nA"},           // a control byte ends double-byte mode
      {"\x1B$B\x24\x22\x1B(BA", "あA"},
      {std::string("\x1B$B\x7F\x21\x1B(B", 8), std::string("\0\0", 2)},  // invalid pair
      {std::string("\x1B$B\x24\n", 5), std::string("\0\0\n", 3)},          // half a pair
      {"\x1B$B\x24", std::string("\0\0", 2)},                              // cut short
      {"plain\x1B", "plain\x1B"},
      {"\x1B(I", "\x1B(I"},                                                // unknown escape kept
  };
  for (const Case& c : cases) EXPECT_EQ(Hex(SjisFromIso2022Jp(c.iso)), Hex(c.sjis)) << Hex(c.iso);
}

TEST(Iso2022Jp, JapaneseTextRoundTrips) {
  std::string text = "件名テスト：照明をＯＮ、テレビ ON 123 ＠①";
  EXPECT_EQ(SjisFromIso2022Jp(Iso2022JpFromSjis(text)), text);
}

TEST(EucJp, FromShiftJis) {
  struct Case {
    std::string sjis;
    std::string euc;
  } cases[] = {
      {"あ", "\xA4\xA2"},
      {"漢字\r\n", "\xB4\xC1\xBB\xFA\r\n"},
      {"ASCII line\n", "ASCII line\n"},
      {"\xB1", "\x8E\xB1"},      // half-width katakana as EUC-JP's single shift
      {"\xF0\x40", "\xA2\xAE"},  // no JIS X 0208 code: geta
  };
  for (const Case& c : cases) EXPECT_EQ(Hex(EucJpFromSjis(c.sjis)), Hex(c.euc)) << Hex(c.sjis);
}

TEST(Base64, EncodeDecodeTable) {
  struct Case {
    std::string bytes, text;
  } cases[] = {
      {"", ""},         {"f", "Zg=="},       {"fo", "Zm8="},       {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="}, {"LIGHT ON", "TElHSFQgT04="},
      {"\x1B$B7oL>%F%9%H\x1B(B", "GyRCN29MPiVGJTklSBsoQg=="},
      {std::string("\0\xFF\xFE", 3), "AP/+"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Base64Encode(c.bytes), c.text);
    EXPECT_EQ(Base64Decode(c.text), c.bytes) << c.text;
  }
}

TEST(Base64, DecodeSkipsForeignCharactersAndStopsAtPadding) {
  EXPECT_EQ(Base64Decode("Zm9v\r\nYmFy"), "foobar");
  EXPECT_EQ(Base64Decode("Zm8=Zm9v"), "fo");
  EXPECT_EQ(Base64Decode("Z"), "");
  EXPECT_EQ(Base64Decode("Zm9*v"), "foo");
}

TEST(EncodedWord, WrittenForm) {
  EXPECT_EQ(EncodedWordFromSjis("LIGHT ON"), "=?iso-2022-jp?B?TElHSFQgT04=?=");
  EXPECT_EQ(EncodedWordFromSjis("件名テスト"), "=?iso-2022-jp?B?GyRCN29MPiVGJTklSBsoQg==?=");
}

TEST(EncodedWord, DecodingTable) {
  struct Case {
    std::string header, decoded;
  } cases[] = {
      {"=?ISO-2022-JP?B?GyRCN29MPiVGJTklSBsoQg==?=", "件名テスト"},
      {"=?iso-2022-jp?b?GyRCN29MPiVGJTklSBsoQg==?=", "件名テスト"},
      {"Re: =?ISO-2022-JP?B?GyRCN29MPiVGJTklSBsoQg==?= now", "Re: 件名テスト now"},
      {"=?ISO-2022-JP?B?GyRCOzNFREJATzobKEI=?= <taro@example.jp>", "山田太郎 <taro@example.jp>"},
      {"=?ISO-2022-JP?B?GyRCJUYlbCVTGyhC?= =?ISO-2022-JP?B?IE9O?=", "テレビ ON"},  // space between words dropped
      {"=?UTF-8?B?TElHSFQ=?=", "LIGHT"},
      {"=?us-ascii?Q?TV_ON=21?=", "TV ON!"},
      {"plain subject", "plain subject"},
      {"=?broken", "=?broken"},
      {"a =? b ?= c", "a =? b ?= c"},
      {"=?ISO-2022-JP?B?unterminated", "=?ISO-2022-JP?B?unterminated"},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeEncodedWords(c.header), c.decoded) << c.header;
}

TEST(EncodedWord, SubjectRoundTrips) {
  for (std::string title : {"照明 ON", "ＴＶ", "ascii only", ""}) {
    EXPECT_EQ(DecodeEncodedWords(EncodedWordFromSjis(title)), title);
  }
}

}  // namespace
}  // namespace halvik::messaging
