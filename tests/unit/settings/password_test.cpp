#include "settings/password.h"

#include <gtest/gtest.h>

#include "settings/feal8.h"

namespace halvik::settings {
namespace {

TEST(Feal8, PublishedVector) {
  const FealKey key{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
  const FealSubkeys k = FealKeySchedule(key);
  const FealBlock zero{};
  const FealBlock expected{0xCE, 0xEF, 0x2C, 0x86, 0xF2, 0x49, 0x07, 0x52};
  EXPECT_EQ(FealEncipher(k, zero), expected);
  EXPECT_EQ(FealDecipher(k, expected), zero);
}

TEST(Password, StoredLengths) {
  struct Case { size_t bytes; size_t chars; };
  for (Case c : {Case{0, 16}, Case{7, 16}, Case{8, 32}, Case{31, 64}, Case{119, 240}}) {
    std::string password(c.bytes, 'p');
    std::string stored = EncodePassword(password);
    EXPECT_EQ(stored.size(), c.chars) << c.bytes;
    EXPECT_EQ(stored.find_first_not_of("0123456789ABCDEF"), std::string::npos);
    EXPECT_EQ(DecodePassword(stored), password) << c.bytes;
  }
}

TEST(Password, DeterministicBlockByBlock) {
  std::string stored = EncodePassword("abcdefghabcdefgh");
  EXPECT_EQ(stored, EncodePassword("abcdefghabcdefgh"));
  EXPECT_EQ(stored.substr(0, 16), stored.substr(16, 16)) << "equal blocks, equal groups";
  EXPECT_NE(stored.substr(0, 16), EncodePassword("abcdefg").substr(0, 16));
}

TEST(Password, DecodeOddOrEmptyOrForeign) {
  EXPECT_EQ(DecodePassword(""), "");
  EXPECT_EQ(DecodePassword("ABC"), "");
  std::string stored = EncodePassword("日本語のパスワード");
  EXPECT_EQ(DecodePassword(stored), "日本語のパスワード");
  std::string lower = stored;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower != stored) {
    EXPECT_NE(DecodePassword(lower), "日本語のパスワード");
  }
  // A text that is not a whole number of blocks still decodes without reading past it.
  (void)DecodePassword(stored.substr(0, 18));
}

TEST(Password, PaddingBytesCarryNoMeaning) {
  // Encipher "pw" with garbage after its terminator: decode ignores it.
  const FealKey key{0x48, 0x61, 0x6C, 0x76, 0x69, 0x6B, 0x31, 0x30};
  FealBlock plain{'p', 'w', 0, 0x55, 0xAA, 0x12, 0x34, 0x56};
  FealBlock cipher = FealEncipher(FealKeySchedule(key), plain);
  std::string stored;
  static const char kHex[] = "0123456789ABCDEF";
  for (uint8_t b : cipher) {
    stored += kHex[b >> 4];
    stored += kHex[b & 15];
  }
  EXPECT_EQ(DecodePassword(stored), "pw");
}

}  // namespace
}  // namespace halvik::settings
