// MIME encoded words (RFC 2047) of mail headers.
//
//   written  "=?iso-2022-jp?B?" Base64(ISO-2022-JP text) "?="
//   read     "=?" charset "?" B|Q "?" text "?=", any case; ISO-2022-JP words
//            become Shift-JIS, words in other charsets keep their decoded
//            bytes; white space between two encoded words is dropped, as the
//            RFC asks; anything that is not a whole encoded word is copied.
#pragma once

#include <string>
#include <string_view>

namespace halvik::messaging {

std::string EncodedWordFromSjis(std::string_view sjis);
std::string DecodeEncodedWords(std::string_view header);

}  // namespace halvik::messaging
