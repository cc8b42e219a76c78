#include "platform/registry_text.h"

#include <cstdio>

#include "platform/ascii.h"

namespace registry_text {
namespace {

constexpr std::size_t kWrapColumn = 76;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view Trim(std::string_view s) {
  s = TrimLeft(s);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool ConsumePrefixIgnoringCase(std::string_view& s, std::string_view prefix) {
  if (s.size() < prefix.size() || !EqualsIgnoringCase(s.substr(0, prefix.size()), prefix))
    return false;
  s.remove_prefix(prefix.size());
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// 1 to `maxDigits` hex digits and nothing else.
std::optional<uint32_t> ParseHexNumber(std::string_view digits, std::size_t maxDigits) {
  if (digits.empty() || digits.size() > maxDigits) return std::nullopt;
  uint32_t number = 0;
  for (char c : digits) {
    const int digit = HexDigit(c);
    if (digit < 0) return std::nullopt;
    number = (number << 4) | static_cast<uint32_t>(digit);
  }
  return number;
}

// Reads a quoted text from the start of `s` and moves `s` past it. `\\`
// and `\"` are escapes; a backslash before anything else stays as it is.
std::optional<std::string> ConsumeQuoted(std::string_view& s) {
  if (s.empty() || s.front() != '"') return std::nullopt;
  std::string text;
  std::size_t i = 1;
  while (i < s.size()) {
    const char c = s[i];
    if (c == '"') {
      s.remove_prefix(i + 1);
      return text;
    }
    if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
      text.push_back(s[i + 1]);
      i += 2;
      continue;
    }
    text.push_back(c);
    ++i;
  }
  return std::nullopt;
}

std::string Quote(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') quoted.push_back('\\');
    quoted.push_back(c);
  }
  quoted.push_back('"');
  return quoted;
}

std::optional<std::string> ParseHexBytes(std::string_view list) {
  std::string bytes;
  list = Trim(list);
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    const std::string_view token = Trim(list.substr(0, comma));
    const auto byte = ParseHexNumber(token, 2);
    if (!byte) return std::nullopt;
    bytes.push_back(static_cast<char>(*byte));
    if (comma == std::string_view::npos) break;
    list = TrimLeft(list.substr(comma + 1));  // a comma at the very end is allowed
  }
  return bytes;
}

// The name of a value line and the data part after its "=".
struct SplitLine {
  std::string name;
  std::string_view data;
};

std::optional<SplitLine> SplitValueLine(std::string_view line) {
  std::string_view rest = Trim(line);
  SplitLine split;
  if (!rest.empty() && rest.front() == '@') {
    rest.remove_prefix(1);
  } else {
    auto name = ConsumeQuoted(rest);
    if (!name) return std::nullopt;
    split.name = std::move(*name);
  }
  rest = TrimLeft(rest);
  if (rest.empty() || rest.front() != '=') return std::nullopt;
  split.data = TrimLeft(rest.substr(1));
  return split;
}

bool HasHexData(std::string_view data) {
  return data.size() >= 3 && EqualsIgnoringCase(data.substr(0, 3), "hex");
}

std::optional<RegistryValue> ParseData(std::string_view data) {
  if (!data.empty() && data.front() == '"') {
    auto text = ConsumeQuoted(data);
    if (!text || !Trim(data).empty()) return std::nullopt;
    return RegistryValue::String(*text);
  }
  if (ConsumePrefixIgnoringCase(data, "dword:")) {
    const auto number = ParseHexNumber(data, 8);
    if (!number) return std::nullopt;
    return RegistryValue::Dword(*number);
  }
  uint32_t type = registry_type::kBinary;
  if (ConsumePrefixIgnoringCase(data, "hex(")) {
    const std::size_t close = data.find(')');
    if (close == std::string_view::npos) return std::nullopt;
    const auto number = ParseHexNumber(data.substr(0, close), 8);
    if (!number) return std::nullopt;
    type = *number;
    data.remove_prefix(close + 1);
    if (data.empty() || data.front() != ':') return std::nullopt;
    data.remove_prefix(1);
  } else if (!ConsumePrefixIgnoringCase(data, "hex:")) {
    return std::nullopt;
  }
  auto bytes = ParseHexBytes(data);
  if (!bytes) return std::nullopt;
  return RegistryValue{type, std::move(*bytes)};
}

// A text the quoted form carries without loss: one final NUL, no other
// NUL, no line break.
bool IsQuotableString(const RegistryValue& value) {
  if (value.type != registry_type::kString) return false;
  const std::string& data = value.data;
  if (data.empty() || data.back() != '\0') return false;
  return data.find_first_of(std::string_view("\0\n\r", 3)) == data.size() - 1;
}

std::vector<std::string> FormatHexLines(std::string head, uint32_t type, std::string_view bytes) {
  char prefix[24];
  if (type == registry_type::kBinary)
    std::snprintf(prefix, sizeof prefix, "hex:");
  else
    std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(type));
  std::vector<std::string> lines;
  std::string line = std::move(head) + prefix;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    char token[4];
    std::snprintf(token, sizeof token, "%02x", static_cast<unsigned char>(bytes[i]));
    if (line.size() + 3 > kWrapColumn) {
      lines.push_back(line + "\\");
      line = "  ";
    }
    line += token;
    if (i + 1 < bytes.size()) line.push_back(',');
  }
  lines.push_back(std::move(line));
  return lines;
}

}  // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldAsciiCase(a[i]) != FoldAsciiCase(b[i])) return false;
  return true;
}

std::optional<std::string_view> KeyLinePath(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
  return line.substr(1, line.size() - 2);
}

bool ContinuesOnNextLine(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.back() != '\\') return false;
  const auto split = SplitValueLine(line);
  return split && HasHexData(split->data);
}

void AppendContinuation(std::string& logicalLine, std::string_view nextLine) {
  while (!logicalLine.empty() && IsBlank(logicalLine.back())) logicalLine.pop_back();
  if (!logicalLine.empty() && logicalLine.back() == '\\') logicalLine.pop_back();
  logicalLine += TrimLeft(nextLine);
}

std::optional<NamedValue> ParseValueLine(std::string_view line) {
  auto split = SplitValueLine(line);
  if (!split) return std::nullopt;
  auto value = ParseData(split->data);
  if (!value) return std::nullopt;
  return NamedValue{std::move(split->name), std::move(*value)};
}

std::vector<std::string> FormatValueLines(std::string_view name, const RegistryValue& value) {
  std::string head = name.empty() ? "@=" : Quote(name) + "=";
  if (IsQuotableString(value))
    return {head + Quote(std::string_view(value.data).substr(0, value.data.size() - 1))};
  if (const auto number = value.AsDword()) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "dword:%08x", static_cast<unsigned>(*number));
    return {head + digits};
  }
  return FormatHexLines(std::move(head), value.type, value.data);
}

std::string FormatKeyLine(std::string_view path) {
  std::string line;
  line.reserve(path.size() + 2);
  line.append("[").append(path).append("]");
  return line;
}

bool FitsOnOneLine(std::string_view name) {
  return name.find_first_of("\r\n") == std::string_view::npos;
}

}  // namespace registry_text
