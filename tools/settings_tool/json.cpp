#include "tools/settings_tool/json.h"

#include <cstdio>

#include "tools/settings_tool/codec.h"

namespace halvik::tools {
namespace {

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  bool Document(JsonValue& value) {
    if (text_.starts_with("\xEF\xBB\xBF")) pos_ = 3;
    SkipSpace();
    if (!Value(value, 0)) return false;
    SkipSpace();
    if (pos_ != text_.size()) return Fail("text after the end of the JSON value");
    return true;
  }

  const std::string& Error() const { return error_; }

 private:
  bool Fail(const std::string& what) {
    if (!error_.empty()) return false;
    size_t line = 1, column = 1;
    for (size_t i = 0; i < pos_ && i < text_.size(); ++i) {
      if (text_[i] == '\n') {
        ++line;
        column = 1;
      } else if ((static_cast<unsigned char>(text_[i]) & 0xC0) != 0x80) {
        ++column;
      }
    }
    error_ = what + " (line " + std::to_string(line) + ", column " + std::to_string(column) + ")";
    return false;
  }

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

  void SkipSpace() {
    while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')) ++pos_;
  }

  bool Literal(std::string_view word, JsonValue::Kind kind, JsonValue& value) {
    if (text_.substr(pos_, word.size()) != word) return Fail("unknown word; expected a JSON value");
    pos_ += word.size();
    value.kind = kind;
    return true;
  }

  bool Value(JsonValue& value, int depth) {
    if (AtEnd()) return Fail("unexpected end of the text; expected a value");
    switch (Peek()) {
      case '{': return Object(value, depth + 1);
      case '[': return Array(value, depth + 1);
      case '"':
        value.kind = JsonValue::Kind::kString;
        return String(value.text);
      case 't': return Literal("true", JsonValue::Kind::kTrue, value);
      case 'f': return Literal("false", JsonValue::Kind::kFalse, value);
      case 'n': return Literal("null", JsonValue::Kind::kNull, value);
      default:
        if (Peek() == '-' || (Peek() >= '0' && Peek() <= '9')) return Number(value);
        return Fail(std::string("unexpected character '") + Peek() + "'; expected a value");
    }
  }

  bool Digits() {
    size_t start = pos_;
    while (!AtEnd() && Peek() >= '0' && Peek() <= '9') ++pos_;
    return pos_ > start;
  }

  bool Number(JsonValue& value) {
    size_t start = pos_;
    if (Peek() == '-') ++pos_;
    if (Peek() == '0') {
      ++pos_;
      if (Peek() >= '0' && Peek() <= '9') return Fail("a number may not have a leading zero");
    } else if (!Digits()) {
      return Fail("a number needs digits");
    }
    if (Peek() == '.') {
      ++pos_;
      if (!Digits()) return Fail("a number needs digits after '.'");
    }
    if (Peek() == 'e' || Peek() == 'E') {
      ++pos_;
      if (Peek() == '+' || Peek() == '-') ++pos_;
      if (!Digits()) return Fail("a number needs digits in its exponent");
    }
    value.kind = JsonValue::Kind::kNumber;
    value.text = std::string(text_.substr(start, pos_ - start));
    return true;
  }

  bool Hex4(unsigned& unit) {
    unit = 0;
    for (int i = 0; i < 4; ++i, ++pos_) {
      char c = Peek();
      int v = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (v < 0) return Fail("\\u needs four hexadecimal digits");
      unit = unit << 4 | static_cast<unsigned>(v);
    }
    return true;
  }

  bool Escape(std::string& out) {
    ++pos_;  // the backslash
    char c = Peek();
    const char* simple = "\"\\/bfnrt";
    const char* meaning = "\"\\/\b\f\n\r\t";
    for (int i = 0; simple[i]; ++i) {
      if (c == simple[i]) {
        out.push_back(meaning[i]);
        ++pos_;
        return true;
      }
    }
    if (c != 'u') return Fail(std::string("unknown escape \\") + (c ? std::string(1, c) : ""));
    ++pos_;
    unsigned unit;
    if (!Hex4(unit)) return false;
    char32_t cp = unit;
    if (unit >= 0xDC00 && unit <= 0xDFFF) return Fail("a low surrogate escape without its high surrogate");
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (text_.substr(pos_, 2) != "\\u") return Fail("a high surrogate escape without its low surrogate");
      pos_ += 2;
      unsigned low;
      if (!Hex4(low)) return false;
      if (low < 0xDC00 || low > 0xDFFF) return Fail("a high surrogate escape without its low surrogate");
      cp = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    }
    AppendUtf8(cp, out);
    return true;
  }

  bool String(std::string& out) {
    ++pos_;  // the opening quote
    out.clear();
    for (;;) {
      if (AtEnd()) return Fail("a string is not closed");
      unsigned char c = static_cast<unsigned char>(Peek());
      if (c == '"') {
        ++pos_;
        return true;
      }
      if (c == '\\') {
        if (!Escape(out)) return false;
      } else if (c < 0x20) {
        return Fail("a control character in a string must be escaped");
      } else {
        size_t start = pos_;
        char32_t cp;
        if (!NextUtf8(text_, pos_, cp)) return Fail("the text is not valid UTF-8");
        out.append(text_.substr(start, pos_ - start));
      }
    }
  }

  bool Array(JsonValue& value, int depth) {
    if (depth > kMaxJsonDepth) return Fail("nested too deeply");
    ++pos_;
    value.kind = JsonValue::Kind::kArray;
    SkipSpace();
    if (Peek() == ']') {
      ++pos_;
      return true;
    }
    for (;;) {
      SkipSpace();
      JsonValue item;
      if (!Value(item, depth)) return false;
      value.items.push_back(std::move(item));
      SkipSpace();
      if (Peek() == ',') {
        ++pos_;
        SkipSpace();
        if (Peek() == ']') return Fail("a comma before ']'");
        continue;
      }
      if (Peek() == ']') {
        ++pos_;
        return true;
      }
      return Fail("expected ',' or ']' in an array");
    }
  }

  bool Object(JsonValue& value, int depth) {
    if (depth > kMaxJsonDepth) return Fail("nested too deeply");
    ++pos_;
    value.kind = JsonValue::Kind::kObject;
    SkipSpace();
    if (Peek() == '}') {
      ++pos_;
      return true;
    }
    for (;;) {
      SkipSpace();
      if (Peek() != '"') return Fail(Peek() == '}' ? "a comma before '}'" : "expected a key in double quotes");
      size_t keyAt = pos_;
      std::string key;
      if (!String(key)) return false;
      for (const auto& member : value.members) {
        if (member.first == key) {
          pos_ = keyAt;
          return Fail("the key \"" + key + "\" is given twice");
        }
      }
      SkipSpace();
      if (Peek() != ':') return Fail("expected ':' after a key");
      ++pos_;
      SkipSpace();
      JsonValue member;
      if (!Value(member, depth)) return false;
      value.members.push_back({std::move(key), std::move(member)});
      SkipSpace();
      if (Peek() == ',') {
        ++pos_;
        continue;
      }
      if (Peek() == '}') {
        ++pos_;
        return true;
      }
      return Fail("expected ',' or '}' in an object");
    }
  }

  std::string_view text_;
  size_t pos_ = 0;
  std::string error_;
};

}  // namespace

const char* JsonKindName(JsonValue::Kind kind) {
  switch (kind) {
    case JsonValue::Kind::kNull: return "null";
    case JsonValue::Kind::kFalse:
    case JsonValue::Kind::kTrue: return "a boolean";
    case JsonValue::Kind::kNumber: return "a number";
    case JsonValue::Kind::kString: return "a string";
    case JsonValue::Kind::kArray: return "an array";
    case JsonValue::Kind::kObject: return "an object";
  }
  return "?";
}

bool ParseJson(std::string_view text, JsonValue& value, std::string& error) {
  Parser parser(text);
  JsonValue parsed;
  if (!parser.Document(parsed)) {
    error = parser.Error();
    return false;
  }
  value = std::move(parsed);
  return true;
}

std::string JsonQuote(std::string_view utf8) {
  std::string out = "\"";
  for (char ch : utf8) {
    unsigned char c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\u%04X", c);
          out += hex;
        } else {
          out.push_back(ch);
        }
    }
  }
  return out + "\"";
}

}  // namespace halvik::tools
