#include "tools/settings_tool/codec.h"

#include <gtest/gtest.h>

#include "tools/settings_tool/cp932_table.h"
#include "tests/unit/tools/u8.h"

namespace halvik::tools {
namespace {

TEST(Codec, MicrosoftsMappingWhereItDiffersFromShiftJis) {
  struct Case {
    std::string cp932;
    std::string utf8;
  };
  const Case cases[] = {
      {"\x81\x60", U8(u8"\uFF5E")},  // ～ (Shift_JIS: U+301C)
      {"\x81\x7C", U8(u8"\uFF0D")},  // － (Shift_JIS: U+2212)
      {"\x81\x5F", U8(u8"\uFF3C")},  // ＼
      {"\x81\x91", U8(u8"\uFFE0")},  // ￠ (Shift_JIS: U+00A2)
      {"\x81\xCA", U8(u8"\uFFE2")},  // ￢
      {"\x87\x40", U8(u8"\u2460")},  // ① (NEC special)
      {"\xFA\x40", U8(u8"\u2170")},  // ⅰ (IBM extension)
      {"\xF0\x40", U8(u8"\uE000")},  // user-defined area
      {"\xB1", U8(u8"\uFF71")},      // half-width ｱ
      {"\\~", "\\~"},                // ASCII stays ASCII
  };
  for (const Case& c : cases) {
    std::string utf8, back;
    ASSERT_TRUE(Utf8FromCp932(c.cp932, utf8)) << c.utf8;
    EXPECT_EQ(utf8, c.utf8);
    ASSERT_TRUE(Cp932FromUtf8(c.utf8, back)) << c.utf8;
    EXPECT_EQ(back, c.cp932);
  }
}

TEST(Codec, AgreesWithTheCompilersCp932) {
  // The literal on the right is compiled by the compiler's own CP932 table.
  std::string cp932;
  ASSERT_TRUE(Cp932FromUtf8(U8(u8"ハルヴィクが起動しました ○Ｘ 第ニ製品 日月火水木金土"), cp932));
  EXPECT_EQ(cp932, "ハルヴィクが起動しました ○Ｘ 第ニ製品 日月火水木金土");
}

TEST(Codec, EveryCodeWithACharacterRoundTripsOrIsASecondCode) {
  int roundTrips = 0, secondCodes = 0;
  for (size_t i = 0; i < kCp932ByCodeCount; ++i) {
    uint16_t code = kCp932ByCode[i].first;
    std::string bytes{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    std::string utf8, back;
    ASSERT_TRUE(Utf8FromCp932(bytes, utf8)) << std::hex << code;
    ASSERT_TRUE(Cp932FromUtf8(utf8, back)) << std::hex << code;
    if (back == bytes) {
      ++roundTrips;
    } else {
      ++secondCodes;
      // The duplicate decodes to the same character as the code Windows writes.
      std::string again;
      ASSERT_TRUE(Utf8FromCp932(back, again));
      EXPECT_EQ(again, utf8);
      EXPECT_FALSE(Cp932RoundTrips(bytes));
    }
  }
  EXPECT_GT(roundTrips, 9000);  // JIS X 0208, NEC, IBM and the user-defined area
  EXPECT_GT(secondCodes, 300);  // NEC-selected IBM extensions and friends
  EXPECT_LT(secondCodes, 500);
  EXPECT_FALSE(Cp932RoundTrips("\xEE\xF9"));  // ￢, written by Windows as 0x81CA
  EXPECT_TRUE(Cp932RoundTrips("\x81\xCA"));
}

TEST(Codec, TextWithoutCharactersIsRefused) {
  struct Case {
    std::string cp932;
    size_t badAt;
  };
  const Case cases[] = {
      {"ab\x82", 2},        // lead byte at the end
      {"a\x82\x20", 1},     // lead byte with a trail that is not one
      {"\x85\x40", 0},      // an empty row
      {"\x81\x7F", 0},      // 0x7F is never a trail byte
  };
  for (const Case& c : cases) {
    std::string utf8 = "untouched";
    size_t badAt = 99;
    EXPECT_FALSE(Utf8FromCp932(c.cp932, utf8, &badAt));
    EXPECT_EQ(badAt, c.badAt);
    EXPECT_EQ(utf8, "untouched");
  }
  EXPECT_EQ(ShownUtf8FromCp932("a\x82\x20" "b"), "a\\x82 b");
}

TEST(Codec, CharactersCp932LacksAreRefused) {
  struct Case {
    std::string utf8;
    char32_t bad;
  };
  const Case cases[] = {
      {U8(u8"a\u301Cb"), 0x301C},
      {U8(u8"\u00A2"), 0xA2},   // WAVE DASH: CP932 has only the fullwidth tilde
      {U8(u8"\u2212"), 0x2212},     // MINUS SIGN: CP932 has only the fullwidth hyphen-minus
      {U8(u8"caf\u00E9"), 0xE9},
      {U8(u8"\U0001F600"), 0x1F600},
      {"\xC3", 0xFFFFFFFF},          // malformed UTF-8
  };
  for (const Case& c : cases) {
    std::string cp932 = "untouched";
    char32_t bad = 0;
    EXPECT_FALSE(Cp932FromUtf8(c.utf8, cp932, &bad)) << c.utf8;
    EXPECT_EQ(bad, c.bad) << c.utf8;
    EXPECT_EQ(cp932, "untouched");
  }
}

}  // namespace
}  // namespace halvik::tools
