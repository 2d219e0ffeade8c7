// The text boundary of the Windows programs: every text inside is CP932, every
// text handed to or taken from Windows is UTF-16 through the W functions, so
// Japanese shows and reads correctly on a Windows of any language.
#pragma once

#include <string>
#include <string_view>

namespace halvik::win {

std::wstring WideFromCp932(std::string_view text);
// Characters that have no CP932 form become "?".
std::string Cp932FromWide(std::wstring_view text);

}  // namespace halvik::win
