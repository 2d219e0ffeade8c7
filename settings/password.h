// Stored passwords (the mailbox password of setmail.bin, each FTP action's
// password in ftpsnd.bin) are FEAL-8 ciphertext written as upper-case hex.
//
//   plain text   the password's bytes, one 0x00, zero padding to n blocks,
//                n = floor(L / 8) + 1 for a password of L bytes
//   each block   enciphered on its own under the suite's fixed key
//   stored text  16 * n characters, high nibble first, no separators
//
// The fixed key is 48 61 6C 76 69 6B 31 30 ("Halvik10"). It can never change:
// a new key makes every stored password unreadable.
//
// A stored text of 240 characters (15 blocks) is the longest that fits a
// settings field, so passwords of at most kMaxPasswordBytes can be stored.
#pragma once

#include <string>
#include <string_view>

namespace halvik::settings {

inline constexpr size_t kMaxPasswordBytes = 119;

std::string EncodePassword(std::string_view password);
// Upper-case hex only, as Encode writes it (lower case decodes to wrong
// bytes, without error). An empty or odd-length text gives "".
std::string DecodePassword(std::string_view stored);

}  // namespace halvik::settings
