// Japanese text conversions between the suite's Shift-JIS (CP932) texts and
// the forms mail and file transfers use. All rest on the standard arithmetic
// mapping between a Shift-JIS double-byte character and its JIS X 0208 code
// (row and cell, each 0x21-0x7E), so no tables are needed.
//
//   ISO-2022-JP  7-bit: ESC $ B switches to JIS X 0208 pairs, ESC ( B back to
//                ASCII (ESC $ @ and ESC ( J are the older spellings of both)
//   EUC-JP       JIS X 0208 code + 0x8080; half-width katakana as 0x8E xx
//
// A Shift-JIS character whose JIS code would fall outside 0x21-0x7E (user-
// defined rows, a lead byte without a trail byte) is sent as the JIS "geta"
// mark 〓 (0x222E) rather than as bytes the receiver could not read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace halvik::messaging {

inline constexpr uint16_t kJisGeta = 0x222E;

// JIS X 0208 code (high byte row) of a Shift-JIS lead and trail byte; 0 when
// the pair has no JIS X 0208 code.
uint16_t JisFromSjis(uint8_t lead, uint8_t trail);
// Shift-JIS code (high byte lead) of a JIS X 0208 code; 0 when either byte lies
// outside 0x21-0x7E.
uint16_t SjisFromJis(uint8_t row, uint8_t cell);

std::string Iso2022JpFromSjis(std::string_view sjis);
// Escapes are dropped; a pair of double-byte mode that is not a JIS X 0208
// code becomes two zero bytes; double-byte mode also ends at a control byte.
std::string SjisFromIso2022Jp(std::string_view iso);
std::string EucJpFromSjis(std::string_view sjis);

}  // namespace halvik::messaging
