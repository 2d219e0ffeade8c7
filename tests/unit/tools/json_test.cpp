#include "tools/settings_tool/json.h"

#include <gtest/gtest.h>

#include "tests/unit/tools/u8.h"

namespace halvik::tools {
namespace {

struct Malformed {
  std::string text;
  const char* error;  // a part of the message
};

TEST(Json, RefusesWhatTheStandardDoesNotAllow) {
  const Malformed cases[] = {
      {"", "unexpected end"},
      {"   ", "unexpected end"},
      {"{", "expected a key"},
      {"[1,]", "a comma before ']'"},
      {"{\"a\":1,}", "a comma before '}'"},
      {"{'a':1}", "expected a key in double quotes"},
      {"{a:1}", "expected a key in double quotes"},
      {"{1:2}", "expected a key in double quotes"},
      {"{\"a\" 1}", "expected ':'"},
      {"[1 2]", "expected ',' or ']'"},
      {"{\"a\":1 \"b\":2}", "expected ',' or '}'"},
      {"01", "leading zero"},
      {"-", "needs digits"},
      {"1.", "digits after '.'"},
      {"1e", "exponent"},
      {"+1", "unexpected character '+'"},
      {"tru", "unknown word"},
      {"nul", "unknown word"},
      {"NaN", "unexpected character 'N'"},
      {"\"abc", "not closed"},
      {"\"a\nb\"", "control character"},
      {"\"a\tb\"", "control character"},
      {"\"\\x41\"", "unknown escape \\x"},
      {"\"\\u12\"", "four hexadecimal digits"},
      {"\"\\uD800\"", "high surrogate"},
      {"\"\\uD800\\u0041\"", "high surrogate"},
      {"\"\\uDC00\"", "low surrogate"},
      {"\"\xC3\x28\"", "not valid UTF-8"},
      {"\"\xC0\xAF\"", "not valid UTF-8"},      // overlong "/"
      {"\"\xED\xA0\x80\"", "not valid UTF-8"},  // a surrogate written in UTF-8
      {"\"\xF4\x90\x80\x80\"", "not valid UTF-8"},  // past U+10FFFF
      {"\"\xE3\x81\"", "not valid UTF-8"},      // cut short
      {"{\"a\":1,\"a\":2}", "given twice"},
      {"[1] x", "text after the end"},
      {"{} {}", "text after the end"},
      {"/* c */ 1", "unexpected character '/'"},
      {std::string(40, '[') + std::string(40, ']'), "nested too deeply"},
  };
  for (const Malformed& c : cases) {
    JsonValue value;
    value.text = "untouched";
    std::string error;
    EXPECT_FALSE(ParseJson(c.text, value, error)) << c.text;
    EXPECT_NE(error.find(c.error), std::string::npos) << c.text << " gave: " << error;
    EXPECT_EQ(value.text, "untouched") << c.text;
  }
}

TEST(Json, ErrorsSayWhere) {
  JsonValue value;
  std::string error;
  ASSERT_FALSE(ParseJson(U8(u8"{\n  \"名前\": [\"a\",\n    \"b\",]\n}"), value, error));
  EXPECT_EQ(error, "a comma before ']' (line 3, column 9)");
  ASSERT_FALSE(ParseJson("{\"a\": 1,\n \"a\": 2}", value, error));
  EXPECT_EQ(error, "the key \"a\" is given twice (line 2, column 2)");
}

TEST(Json, ReadsValuesEscapesAndKeepsKeyOrder) {
  JsonValue v;
  std::string error;
  ASSERT_TRUE(ParseJson("\xEF\xBB\xBF { \"z\": [\"\\u00e9\\uD83D\\uDE00\\n\\\"\\\\\\/\", -0.5e+3, true, false, null],"
                        " \"a\": {}, \"m\": [] } ",
                        v, error))
      << error;
  ASSERT_EQ(v.kind, JsonValue::Kind::kObject);
  ASSERT_EQ(v.members.size(), 3u);
  EXPECT_EQ(v.members[0].first, "z");
  EXPECT_EQ(v.members[1].first, "a");
  EXPECT_EQ(v.members[2].first, "m");
  const JsonValue& z = v.members[0].second;
  ASSERT_EQ(z.items.size(), 5u);
  EXPECT_EQ(z.items[0].text, "\xC3\xA9\xF0\x9F\x98\x80\n\"\\/");
  EXPECT_EQ(z.items[1].kind, JsonValue::Kind::kNumber);
  EXPECT_EQ(z.items[1].text, "-0.5e+3");
  EXPECT_EQ(z.items[2].kind, JsonValue::Kind::kTrue);
  EXPECT_EQ(z.items[3].kind, JsonValue::Kind::kFalse);
  EXPECT_EQ(z.items[4].kind, JsonValue::Kind::kNull);
  EXPECT_EQ(v.members[1].second.kind, JsonValue::Kind::kObject);
  EXPECT_EQ(v.members[2].second.kind, JsonValue::Kind::kArray);
}

TEST(Json, QuotedTextReadsBackAsItWas) {
  std::string every;
  for (int c = 1; c < 0x80; ++c) every.push_back(static_cast<char>(c));
  every += U8(u8"日本語～");
  std::string quoted = JsonQuote(every);
  for (char c : quoted) EXPECT_GE(static_cast<unsigned char>(c), 0x20u) << "raw control character written";
  EXPECT_EQ(JsonQuote("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
  JsonValue v;
  std::string error;
  ASSERT_TRUE(ParseJson(quoted, v, error)) << error;
  EXPECT_EQ(v.text, every);
}

}  // namespace
}  // namespace halvik::tools
