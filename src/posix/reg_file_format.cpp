#include "posix/reg_file_format.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "base/text.h"
#include "platform/registry.h"

namespace veldrask::posix {
namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kNewline = "\r\n";
constexpr std::size_t kWrapColumn = 76;  // where the registry editor breaks long hex lines
constexpr char kHexDigits[] = "0123456789abcdef";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (IsBlank(text.front()) || text.front() == '\r')) text.remove_prefix(1);
  while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

std::optional<int> HexDigit(char c) {
  const int value = HexDigitValue(c);
  return value < 0 ? std::nullopt : std::optional(value);
}

// Physical lines joined where a hex list continues: a line ending in "\" followed by a line
// that starts (after indentation) with a hex digit. A cut-off continuation is left alone so
// that the value reads as malformed rather than swallowing the next entry.
std::vector<std::string> LogicalLines(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<std::string_view> physical;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    physical.push_back(TrimBlanks(text.substr(start, end - start)));
    start = end + 1;
  }
  std::vector<std::string> logical;
  for (std::size_t i = 0; i < physical.size(); ++i) {
    std::string line(physical[i]);
    while (line.ends_with('\\') && i + 1 < physical.size() && !physical[i + 1].empty() &&
           HexDigit(physical[i + 1].front())) {
      line.pop_back();
      line.append(physical[++i]);
    }
    logical.push_back(std::move(line));
  }
  return logical;
}

class LineReader {
 public:
  explicit LineReader(std::string_view line) : rest_(line) {}

  bool Take(std::string_view prefix) {
    if (!rest_.starts_with(prefix)) return false;
    rest_.remove_prefix(prefix.size());
    return true;
  }
  std::string_view Rest() const { return rest_; }

  // A quoted string after its opening quote, with \\ and \" escapes, up to the closing quote.
  std::optional<std::string> QuotedText() {
    std::string text;
    while (!rest_.empty()) {
      const char c = rest_.front();
      rest_.remove_prefix(1);
      if (c == '"') return text;
      if (c == '\\') {
        if (rest_.empty() || (rest_.front() != '\\' && rest_.front() != '"')) return std::nullopt;
        text += rest_.front();
        rest_.remove_prefix(1);
      } else {
        text += c;
      }
    }
    return std::nullopt;
  }

 private:
  std::string_view rest_;
};

std::optional<std::vector<std::byte>> ParseHexList(std::string_view list) {
  std::vector<std::byte> bytes;
  if (TrimBlanks(list).empty()) return bytes;
  for (const std::string& item : Split(list, ",")) {
    const std::string_view digits = TrimBlanks(item);
    if (digits.size() != 2) return std::nullopt;  // a cut-off byte must not read as another
    int value = 0;
    for (char c : digits) {
      const std::optional<int> digit = HexDigit(c);
      if (!digit) return std::nullopt;
      value = value * 16 + *digit;
    }
    bytes.push_back(static_cast<std::byte>(value));
  }
  return bytes;
}

std::optional<std::uint32_t> ParseHexNumber(std::string_view digits, std::size_t maxDigits) {
  if (digits.empty() || digits.size() > maxDigits) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : digits) {
    const std::optional<int> digit = HexDigit(c);
    if (!digit) return std::nullopt;
    value = value * 16 + static_cast<std::uint32_t>(*digit);
  }
  return value;
}

// The part after "=": a quoted string, dword:, hex: or hex(N):. Deletion entries ("-") and
// anything unreadable give nullopt.
std::optional<RegValue> ParseData(LineReader& reader) {
  RegValue value;
  if (reader.Take("\"")) {
    const std::optional<std::string> text = reader.QuotedText();
    if (!text || !TrimBlanks(reader.Rest()).empty()) return std::nullopt;
    value.type = registry_type::kString;
    for (char c : *text) value.data.push_back(static_cast<std::byte>(c));
    value.data.push_back(std::byte{0});
    return value;
  }
  if (reader.Take("dword:")) {
    // Exactly eight digits: a cut-off number must not read as a smaller one.
    const std::string_view digits = TrimBlanks(reader.Rest());
    if (digits.size() != 8) return std::nullopt;
    const std::optional<std::uint32_t> number = ParseHexNumber(digits, 8);
    if (!number) return std::nullopt;
    value.type = registry_type::kDword;
    for (int shift = 0; shift < 32; shift += 8) {
      value.data.push_back(static_cast<std::byte>((*number >> shift) & 0xFF));
    }
    return value;
  }
  if (reader.Take("hex:")) {
    value.type = registry_type::kBinary;
  } else if (reader.Take("hex(")) {
    const std::string_view rest = reader.Rest();
    const std::size_t close = rest.find("):");
    if (close == std::string_view::npos) return std::nullopt;
    const std::optional<std::uint32_t> type = ParseHexNumber(rest.substr(0, close), 8);
    if (!type) return std::nullopt;
    value.type = *type;
    reader.Take(rest.substr(0, close + 2));
  } else {
    return std::nullopt;
  }
  std::optional<std::vector<std::byte>> bytes = ParseHexList(reader.Rest());
  if (!bytes) return std::nullopt;
  value.data = std::move(*bytes);
  return value;
}

std::optional<RegValue> ParseValueLine(std::string_view line) {
  LineReader reader(line);
  std::string name;
  if (!reader.Take("@")) {
    if (!reader.Take("\"")) return std::nullopt;
    std::optional<std::string> quoted = reader.QuotedText();
    if (!quoted) return std::nullopt;
    name = std::move(*quoted);
  }
  if (!reader.Take("=")) return std::nullopt;
  std::optional<RegValue> value = ParseData(reader);
  if (value) value->name = std::move(name);
  return value;
}

// The key path of a section header of this hive, or nullopt for another hive, a deletion
// entry or an unreadable header.
std::optional<std::string> ParseSection(std::string_view line, std::string_view hiveName) {
  if (!line.starts_with('[') || !line.ends_with(']')) return std::nullopt;
  const std::string_view inside = line.substr(1, line.size() - 2);
  const std::size_t slash = inside.find('\\');
  const std::string_view hive = inside.substr(0, slash);
  if (FoldRegistryName(hive) != FoldRegistryName(hiveName)) return std::nullopt;
  if (slash == std::string_view::npos) return std::string();
  std::string path = NormalizeKeyPath(inside.substr(slash + 1));
  // The registry never holds such a key; reading one would cost its depth times its length.
  if (!IsWithinKeyLimits(path)) return std::nullopt;
  return path;
}

std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') quoted += '\\';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

bool IsPlainString(const RegValue& value) {
  if (value.type != registry_type::kString || value.data.empty() ||
      value.data.back() != std::byte{0}) {
    return false;
  }
  for (std::size_t i = 0; i + 1 < value.data.size(); ++i) {
    const auto byte = static_cast<unsigned char>(value.data[i]);
    if (byte < 0x20 || byte == 0x7F) return false;
  }
  return true;
}

void AppendHexList(std::string& out, std::size_t lineStart, std::span<const std::byte> bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0xF];
    if (i + 1 == bytes.size()) break;
    out += ',';
    if (out.size() - lineStart >= kWrapColumn) {
      out += '\\';
      out += kNewline;
      lineStart = out.size();
      out += "  ";
    }
  }
}

void AppendValue(std::string& out, const RegValue& value) {
  const std::size_t lineStart = out.size();
  out += value.name.empty() ? "@" : Quoted(value.name);
  out += '=';
  if (IsPlainString(value)) {
    out += Quoted(
        std::string_view(reinterpret_cast<const char*>(value.data.data()), value.data.size() - 1));
  } else if (value.type == registry_type::kDword && value.data.size() == 4) {
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i) {
      number = (number << 8) | static_cast<std::uint32_t>(value.data[static_cast<std::size_t>(i)]);
    }
    out += "dword:";
    for (int shift = 28; shift >= 0; shift -= 4) out += kHexDigits[(number >> shift) & 0xF];
  } else {
    if (value.type == registry_type::kBinary) {
      out += "hex:";
    } else {
      std::string type;
      for (std::uint32_t rest = value.type; rest != 0 || type.empty(); rest >>= 4) {
        type.insert(type.begin(), kHexDigits[rest & 0xF]);
      }
      out += "hex(" + type + "):";
    }
    AppendHexList(out, lineStart, value.data);
  }
  out += kNewline;
}

}  // namespace

RegTree ParseRegFile(std::string_view text, std::string_view hiveName, std::size_t* unreadLines) {
  RegTree tree;
  std::optional<std::string> section;
  std::size_t unread = 0;
  for (const std::string& line : LogicalLines(text)) {
    if (line.empty() || line.front() == ';' || line == kHeader) continue;
    if (line.front() == '[') {
      section = ParseSection(line, hiveName);
      if (section) {
        tree.CreateKey(*section);
      } else {
        ++unread;
      }
      continue;
    }
    std::optional<RegValue> value = section ? ParseValueLine(line) : std::nullopt;
    if (!value) {
      ++unread;
      continue;
    }
    tree.SetValue(*section, std::move(*value));
  }
  if (unreadLines != nullptr) *unreadLines = unread;
  return tree;
}

std::string FormatRegFile(const RegTree& tree, std::string_view hiveName) {
  std::string out(kHeader);
  out += kNewline;
  out += kNewline;
  for (const auto& [folded, key] : tree.Keys()) {
    // A key without values whose subkeys are written is made again by reading them: writing
    // it as well would give every level of a deep key a section with its whole path.
    if (key.values.empty() && (key.path.empty() || tree.HasSubkeys(key.path))) continue;
    out += '[';
    out += hiveName;
    if (!key.path.empty()) {
      out += '\\';
      out += key.path;
    }
    out += ']';
    out += kNewline;
    for (const RegValue& value : key.values) AppendValue(out, value);
    out += kNewline;
  }
  return out;
}

bool IsStorableName(std::string_view name) {
  return name.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

}  // namespace veldrask::posix
