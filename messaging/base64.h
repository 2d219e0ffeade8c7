// Base64 with the standard alphabet (A-Z a-z 0-9 + /), "=" padding.
#pragma once

#include <string>
#include <string_view>

namespace halvik::messaging {

std::string Base64Encode(std::string_view bytes);
// Characters outside the alphabet (line breaks, spaces) are skipped; decoding
// stops at the first "="; a final group of a single character carries no
// whole byte and is dropped.
std::string Base64Decode(std::string_view text);

}  // namespace halvik::messaging
