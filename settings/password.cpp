#include "settings/password.h"

#include <vector>

#include "settings/feal8.h"

namespace halvik::settings {
namespace {

// Built from single byte values each time, never read from anywhere.
FealSubkeys SuiteSubkeys() {
  const FealKey key{0x48, 0x61, 0x6C, 0x76, 0x69, 0x6B, 0x31, 0x30};
  return FealKeySchedule(key);
}

int HexValue(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return u > '9' ? u - 55 : u - 48;
}

}  // namespace

std::string EncodePassword(std::string_view password) {
  const size_t blocks = password.size() / 8 + 1;
  std::vector<uint8_t> plain(blocks * 8, 0);
  for (size_t i = 0; i < password.size(); ++i) plain[i] = static_cast<uint8_t>(password[i]);
  const FealSubkeys k = SuiteSubkeys();
  static const char kHex[] = "0123456789ABCDEF";
  std::string stored;
  for (size_t b = 0; b < blocks; ++b) {
    FealBlock block;
    for (int i = 0; i < 8; ++i) block[i] = plain[b * 8 + i];
    for (uint8_t byte : FealEncipher(k, block)) {
      stored.push_back(kHex[byte >> 4]);
      stored.push_back(kHex[byte & 15]);
    }
  }
  return stored;
}

std::string DecodePassword(std::string_view stored) {
  if (stored.empty() || stored.size() % 2 != 0) return {};
  const size_t byteCount = stored.size() / 2;
  const size_t blocks = (byteCount + 7) / 8;
  // A text that is not a whole number of blocks deciphers its last block
  // with zero bytes in place of the missing ones.
  std::vector<uint8_t> cipher(blocks * 8, 0);
  for (size_t i = 0; i < byteCount; ++i) {
    cipher[i] = static_cast<uint8_t>(HexValue(stored[i * 2]) * 16 + HexValue(stored[i * 2 + 1]));
  }
  const FealSubkeys k = SuiteSubkeys();
  std::string password;
  for (size_t b = 0; b < blocks; ++b) {
    FealBlock block;
    for (int i = 0; i < 8; ++i) block[i] = cipher[b * 8 + i];
    for (uint8_t byte : FealDecipher(k, block)) {
      if (byte == 0) return password;
      password.push_back(static_cast<char>(byte));
    }
  }
  return password;
}

}  // namespace halvik::settings
