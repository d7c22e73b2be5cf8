#include "support/json.h"

#include <charconv>
#include <stdexcept>

namespace veldrask::testing {
namespace {

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  JsonValue ParseDocument() {
    JsonValue value = ParseValue(0);
    SkipSpace();
    if (pos_ != text_.size()) Fail("text after the value");
    return value;
  }

 private:
  static constexpr int kMaxDepth = 64;

  [[noreturn]] void Fail(const std::string& what) const {
    throw std::runtime_error("JSON: " + what + " at offset " + std::to_string(pos_));
  }

  void SkipSpace() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                   text_[pos_] == '\n' || text_[pos_] == '\r')) {
      ++pos_;
    }
  }

  bool Consume(std::string_view literal) {
    if (text_.substr(pos_, literal.size()) != literal) return false;
    pos_ += literal.size();
    return true;
  }

  void Expect(char c) {
    SkipSpace();
    if (pos_ >= text_.size() || text_[pos_] != c) Fail(std::string("expected '") + c + "'");
    ++pos_;
  }

  JsonValue ParseValue(int depth) {
    if (depth > kMaxDepth) Fail("nesting too deep");
    SkipSpace();
    if (pos_ >= text_.size()) Fail("unexpected end");
    const char c = text_[pos_];
    if (c == '{') return ParseObject(depth);
    if (c == '[') return ParseArray(depth);
    if (c == '"') return JsonValue(ParseString());
    if (Consume("true")) return JsonValue(true);
    if (Consume("false")) return JsonValue(false);
    if (Consume("null")) return JsonValue();
    if (c == '-' || (c >= '0' && c <= '9')) return ParseNumber();
    Fail("unexpected character");
  }

  JsonValue ParseObject(int depth) {
    ++pos_;
    JsonValue::Object members;
    SkipSpace();
    if (Consume("}")) return JsonValue(std::move(members));
    for (;;) {
      SkipSpace();
      if (pos_ >= text_.size() || text_[pos_] != '"') Fail("expected a member name");
      std::string key = ParseString();
      Expect(':');
      members.emplace_back(std::move(key), ParseValue(depth + 1));
      SkipSpace();
      if (Consume("}")) return JsonValue(std::move(members));
      Expect(',');
    }
  }

  JsonValue ParseArray(int depth) {
    ++pos_;
    JsonValue::Array elements;
    SkipSpace();
    if (Consume("]")) return JsonValue(std::move(elements));
    for (;;) {
      elements.push_back(ParseValue(depth + 1));
      SkipSpace();
      if (Consume("]")) return JsonValue(std::move(elements));
      Expect(',');
    }
  }

  JsonValue ParseNumber() {
    const std::size_t start = pos_;
    auto digits = [this] {
      const std::size_t first = pos_;
      while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
      if (pos_ == first) Fail("expected a digit");
    };
    Consume("-");
    digits();
    if (Consume(".")) digits();
    if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
      ++pos_;
      if (!Consume("+")) Consume("-");
      digits();
    }
    return JsonValue(JsonValue::Number{std::string(text_.substr(start, pos_ - start))});
  }

  std::uint32_t ParseHex4() {
    std::uint32_t value = 0;
    const auto* begin = text_.data() + pos_;
    const auto* end = begin + std::min<std::size_t>(4, text_.size() - pos_);
    const auto [ptr, ec] = std::from_chars(begin, end, value, 16);
    if (ec != std::errc() || ptr != begin + 4) Fail("bad \\u escape");
    pos_ += 4;
    return value;
  }

  static void AppendUtf8(std::string& out, std::uint32_t code_point) {
    if (code_point < 0x80) {
      out.push_back(static_cast<char>(code_point));
    } else if (code_point < 0x800) {
      out.push_back(static_cast<char>(0xc0 | (code_point >> 6)));
      out.push_back(static_cast<char>(0x80 | (code_point & 0x3f)));
    } else if (code_point < 0x10000) {
      out.push_back(static_cast<char>(0xe0 | (code_point >> 12)));
      out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3f)));
      out.push_back(static_cast<char>(0x80 | (code_point & 0x3f)));
    } else {
      out.push_back(static_cast<char>(0xf0 | (code_point >> 18)));
      out.push_back(static_cast<char>(0x80 | ((code_point >> 12) & 0x3f)));
      out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3f)));
      out.push_back(static_cast<char>(0x80 | (code_point & 0x3f)));
    }
  }

  std::string ParseString() {
    ++pos_;
    std::string out;
    for (;;) {
      if (pos_ >= text_.size()) Fail("unterminated string");
      const char c = text_[pos_++];
      if (c == '"') return out;
      if (static_cast<unsigned char>(c) < 0x20) Fail("control character in a string");
      if (c != '\\') {
        out.push_back(c);
        continue;
      }
      if (pos_ >= text_.size()) Fail("unterminated escape");
      const char escape = text_[pos_++];
      switch (escape) {
        case '"':
        case '\\':
        case '/':
          out.push_back(escape);
          break;
        case 'b':
          out.push_back('\b');
          break;
        case 'f':
          out.push_back('\f');
          break;
        case 'n':
          out.push_back('\n');
          break;
        case 'r':
          out.push_back('\r');
          break;
        case 't':
          out.push_back('\t');
          break;
        case 'u': {
          std::uint32_t code_point = ParseHex4();
          if (code_point >= 0xd800 && code_point < 0xdc00 && Consume("\\u")) {
            const std::uint32_t low = ParseHex4();
            if (low < 0xdc00 || low >= 0xe000) Fail("unpaired surrogate");
            code_point = 0x10000 + ((code_point - 0xd800) << 10) + (low - 0xdc00);
          }
          AppendUtf8(out, code_point);
          break;
        }
        default:
          Fail("unknown escape");
      }
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

[[noreturn]] void WrongType(const char* wanted) {
  throw std::runtime_error(std::string("JSON value is not ") + wanted);
}

}  // namespace

bool JsonValue::AsBool() const {
  if (const bool* value = std::get_if<bool>(&value_)) return *value;
  WrongType("a boolean");
}

double JsonValue::AsDouble() const {
  const auto* number = std::get_if<Number>(&value_);
  if (number == nullptr) WrongType("a number");
  double value = 0;
  std::from_chars(number->text.data(), number->text.data() + number->text.size(), value);
  return value;
}

std::int64_t JsonValue::AsInt() const {
  const auto* number = std::get_if<Number>(&value_);
  if (number == nullptr) WrongType("a number");
  std::int64_t value = 0;
  const char* end = number->text.data() + number->text.size();
  const auto [ptr, ec] = std::from_chars(number->text.data(), end, value);
  if (ec != std::errc() || ptr != end) WrongType("an integer");
  return value;
}

const std::string& JsonValue::AsString() const {
  if (const auto* value = std::get_if<std::string>(&value_)) return *value;
  WrongType("a string");
}

const JsonValue::Array& JsonValue::AsArray() const {
  if (const auto* value = std::get_if<Array>(&value_)) return *value;
  WrongType("an array");
}

const JsonValue::Object& JsonValue::AsObject() const {
  if (const auto* value = std::get_if<Object>(&value_)) return *value;
  WrongType("an object");
}

const JsonValue* JsonValue::Find(std::string_view key) const {
  for (const auto& [name, value] : AsObject()) {
    if (name == key) return &value;
  }
  return nullptr;
}

const JsonValue& JsonValue::operator[](std::string_view key) const {
  if (const JsonValue* value = Find(key)) return *value;
  throw std::runtime_error("JSON object has no member \"" + std::string(key) + "\"");
}

JsonValue ParseJson(std::string_view text) {
  return Parser(text).ParseDocument();
}

}  // namespace veldrask::testing
