// A small, strict JSON reader and writer (RFC 8259) for the settings tool.
//
// The reader refuses everything the standard does not allow: trailing
// commas, comments, single quotes, leading zeros, bare control characters in
// strings, malformed UTF-8, lone surrogate escapes, text after the value.
// It also refuses a key given twice in one object (which value would win is
// not defined) and nesting deeper than kMaxJsonDepth. A UTF-8 byte order mark
// at the very start is skipped, as editors on Windows like to write one.
// Errors say what was wrong and where ("line 3, column 14").
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace halvik::tools {

inline constexpr int kMaxJsonDepth = 32;

struct JsonMember;

struct JsonValue {
  enum class Kind { kNull, kFalse, kTrue, kNumber, kString, kArray, kObject };
  Kind kind = Kind::kNull;
  std::string text;  // a string's UTF-8 text, or a number as written
  std::vector<JsonValue> items;  // array
  std::vector<JsonMember> members;  // object, in the order given
};

struct JsonMember {
  std::string first;  // the key
  JsonValue second;
};

const char* JsonKindName(JsonValue::Kind kind);

// Parses the whole text; on false, error says why and where.
[[nodiscard]] bool ParseJson(std::string_view text, JsonValue& value, std::string& error);

// A JSON string literal of UTF-8 text: quotes, backslash and control
// characters escaped, everything else as it is.
std::string JsonQuote(std::string_view utf8);

}  // namespace halvik::tools
