// The settings tool's text conversions: CP932 (what the settings files hold)
// to and from UTF-8 (what people and JSON read), on the generated table of
// Microsoft's code page 932, so that the native tool and the Windows one give
// the same bytes. Also the strict UTF-8 reading that the JSON reader uses.
#pragma once

#include <string>
#include <string_view>

namespace halvik::tools {

// Reads one code point of well-formed UTF-8 at pos and advances pos; false
// (pos unchanged) for a malformed, overlong or surrogate sequence.
bool NextUtf8(std::string_view text, size_t& pos, char32_t& codePoint);
void AppendUtf8(char32_t codePoint, std::string& out);

// CP932 to UTF-8; false when a byte or pair has no character (badAt: its offset).
[[nodiscard]] bool Utf8FromCp932(std::string_view cp932, std::string& utf8, size_t* badAt = nullptr);
// The same for showing a field: bytes without a character appear as "\xNN".
std::string ShownUtf8FromCp932(std::string_view cp932);
// UTF-8 to CP932; false for malformed UTF-8 or a character CP932 lacks
// (badChar: that character, or 0xFFFFFFFF for malformed UTF-8).
[[nodiscard]] bool Cp932FromUtf8(std::string_view utf8, std::string& cp932, char32_t* badChar = nullptr);
// The character CP932 has in place of one it lacks that is often typed for
// it (U+301C WAVE DASH for U+FF5E FULLWIDTH TILDE, U+2212 for U+FF0D, ...),
// or 0. Import names it in its error instead of changing the text silently.
char32_t Cp932LookAlike(char32_t missing);
// True when the bytes have characters and come back unchanged from UTF-8.
// Not so for the second codes of duplicated characters (0xEEF9 and 0xFA54
// are both U+FFE2, which Windows writes as 0x81CA), which no editor writes.
bool Cp932RoundTrips(std::string_view cp932);

}  // namespace halvik::tools
