#include "platform/sandbox/RegFile.h"

#include <cstdint>
#include <cstdio>
#include <optional>

#include "platform/Registry.h"
#include "script/Text.h"

namespace sandbox {

namespace {

// Hex data is wrapped once a line grows past this many characters, as Windows does.
constexpr std::size_t kHexLineWidth = 76;

std::string Quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

bool FitsInQuotes(std::string_view text) {
  return text.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

// Appends "prefix" and the bytes as comma-separated hex pairs, wrapping long lines.
void AppendHex(std::string& out, std::string_view prefix, std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::size_t lineStart = out.rfind('\n');
  lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
  out += prefix;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0xF];
    if (i + 1 == bytes.size()) break;
    out += ',';
    if (out.size() - lineStart > kHexLineWidth) {
      out += "\\\r\n  ";
      lineStart = out.size() - 2;
    }
  }
}

void AppendValue(std::string& out, const RegValue& value) {
  out += value.name.empty() ? std::string("@") : Quote(value.name);
  out += '=';
  if (value.type == platform::kRegSz && FitsInQuotes(value.data)) {
    out += Quote(value.data);
  } else if (value.type == platform::kRegSz) {
    AppendHex(out, "hex(1):", value.data + '\0');
  } else if (value.type == platform::kRegDword && value.data.size() == 4) {
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i) number = (number << 8) | static_cast<unsigned char>(value.data[i]);
    char text[16];
    std::snprintf(text, sizeof text, "dword:%08x", static_cast<unsigned>(number));
    out += text;
  } else if (value.type == platform::kRegBinary) {
    AppendHex(out, "hex:", value.data);
  } else {
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(value.type));
    AppendHex(out, prefix, value.data);
  }
  out += "\r\n";
}

void AppendKey(std::string& out, const RegKey& key, bool isRoot) {
  const bool written = isRoot ? !key.values.empty() : (!key.values.empty() || key.subKeys.empty());
  if (written) {
    out += '[' + key.path + "]\r\n";
    for (const auto& [upper, value] : key.values) AppendValue(out, value);
    out += "\r\n";
  }
  for (const auto& [upper, child] : key.subKeys) AppendKey(out, *child, false);
}

// --- reading ---

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string_view TrimView(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
  return text;
}

// Reads a quoted string at the start of `text` and moves `text` past it.
std::optional<std::string> ReadQuoted(std::string_view& text) {
  if (text.empty() || text.front() != '"') return std::nullopt;
  std::string out;
  for (std::size_t i = 1; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') {
      text.remove_prefix(i + 1);
      return out;
    }
    if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"'))
      c = text[++i];
    out += c;
  }
  return std::nullopt;
}

// Comma-separated hex bytes ("01,ff, 2a"); nullopt when anything else is there.
std::optional<std::string> ReadHexBytes(std::string_view text) {
  std::string out;
  text = TrimView(text);
  while (!text.empty()) {
    std::size_t comma = text.find(',');
    std::string_view pair = TrimView(text.substr(0, comma));
    if (pair.empty() || pair.size() > 2) return std::nullopt;
    int number = 0;
    for (char c : pair) {
      if (HexDigit(c) < 0) return std::nullopt;
      number = number * 16 + HexDigit(c);
    }
    out += static_cast<char>(number);
    if (comma == std::string_view::npos) break;
    text = TrimView(text.substr(comma + 1));
    if (text.empty()) return std::nullopt;
  }
  return out;
}

std::optional<std::uint32_t> ReadHexNumber(std::string_view text, std::size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  std::uint32_t number = 0;
  for (char c : text) {
    if (HexDigit(c) < 0) return std::nullopt;
    number = number * 16 + static_cast<std::uint32_t>(HexDigit(c));
  }
  return number;
}

// The type and bytes of the data part of a value line (after the "=").
std::optional<RegValue> ReadData(std::string_view data) {
  data = TrimView(data);
  RegValue value;
  if (!data.empty() && data.front() == '"') {
    std::optional<std::string> text = ReadQuoted(data);
    if (!text || !TrimView(data).empty()) return std::nullopt;
    value.type = platform::kRegSz;
    value.data = std::move(*text);
    return value;
  }
  if (data.starts_with("dword:")) {
    std::optional<std::uint32_t> number = ReadHexNumber(data.substr(6), 8);
    if (!number) return std::nullopt;
    value.type = platform::kRegDword;
    for (int i = 0; i < 4; ++i) value.data += static_cast<char>((*number >> (8 * i)) & 0xFF);
    return value;
  }
  std::size_t colon = data.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  std::string_view head = data.substr(0, colon);
  if (head == "hex") {
    value.type = platform::kRegBinary;
  } else if (head.starts_with("hex(") && head.ends_with(")")) {
    std::optional<std::uint32_t> type = ReadHexNumber(head.substr(4, head.size() - 5), 8);
    if (!type) return std::nullopt;
    value.type = *type;
  } else {
    return std::nullopt;
  }
  std::optional<std::string> bytes = ReadHexBytes(data.substr(colon + 1));
  if (!bytes) return std::nullopt;
  value.data = std::move(*bytes);
  // REG_SZ kept in hex form carries its terminating zero; the store does not.
  if (value.type == platform::kRegSz && !value.data.empty() && value.data.back() == '\0')
    value.data.pop_back();
  return value;
}

// The key named by the text between the brackets of a key line, created when missing;
// null for an unknown root or a malformed path.
std::shared_ptr<RegKey> KeyForPath(std::string_view path,
                                   const std::vector<std::shared_ptr<RegKey>>& roots) {
  std::size_t slash = path.find('\\');
  std::string_view rootName = path.substr(0, slash);
  std::shared_ptr<RegKey> key;
  for (const auto& root : roots)
    if (script::EqualsUpper(root->name, rootName)) key = root;
  if (!key || slash == std::string_view::npos) return key;
  std::optional<std::vector<std::string>> parts = SplitKeyPath(path.substr(slash + 1));
  if (!parts || parts->empty()) return nullptr;
  for (const std::string& part : *parts) key = key->Child(part);
  return key;
}

// Splits text into lines without their CR LF / LF ends.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace

std::string FormatRegFile(const std::vector<std::shared_ptr<RegKey>>& roots) {
  std::string out = "REGEDIT4\r\n\r\n";
  for (const auto& root : roots) AppendKey(out, *root, true);
  return out;
}

void ParseRegFile(std::string_view text, const std::vector<std::shared_ptr<RegKey>>& roots) {
  const std::vector<std::string_view> lines = SplitLines(text);
  std::shared_ptr<RegKey> current;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string_view line = TrimView(lines[i]);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      std::size_t close = line.rfind(']');
      bool isKeyLine = close != std::string_view::npos && close > 1 && line[1] != '-';
      current = isKeyLine ? KeyForPath(line.substr(1, close - 1), roots) : nullptr;
      continue;
    }
    // Hex data may continue over several lines, each but the last ending in a backslash.
    std::string logical(line);
    while (!logical.empty() && logical.back() == '\\' && i + 1 < lines.size() &&
           logical.find("=hex") != std::string::npos) {
      logical.pop_back();
      logical += TrimView(lines[++i]);
    }
    if (!current) continue;
    std::string_view rest = logical;
    std::string name;
    if (rest.front() == '@') {
      rest.remove_prefix(1);
    } else {
      std::optional<std::string> quoted = ReadQuoted(rest);
      if (!quoted) continue;
      name = std::move(*quoted);
    }
    rest = TrimView(rest);
    if (rest.empty() || rest.front() != '=') continue;
    std::optional<RegValue> value = ReadData(rest.substr(1));
    if (value) current->SetValue(name, value->type, std::move(value->data));
  }
}

}  // namespace sandbox
