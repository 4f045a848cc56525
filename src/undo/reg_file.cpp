#include "undo/reg_file.h"


#include "platform/platform_rules.h"

namespace lumeno {

namespace {

constexpr size_t kMaxLine = 80;
constexpr const char* kLineEnd = "\r\n";

// regedit turns the file into characters before it looks for escapes, so the
// second byte of a double-byte character is never an escape, even when it is
// 0x5C; doubling it would add a backslash to the value.
Text Quoted(std::string_view text) {
  Text out = "\"";
  ForEachGbkCharacter(text, [&](size_t i, size_t length) {
    if (length == 1 && (text[i] == '\\' || text[i] == '"')) out += '\\';
    out += text.substr(i, length);
  });
  return out + "\"";
}

// A REG_SZ that "text" reproduces exactly: one line, one terminating NUL.
bool IsPlainText(const std::string& bytes) {
  if (bytes.empty() || bytes.back() != '\0') return false;
  return bytes.find_first_of(std::string_view("\0\r\n", 3)) == bytes.size() - 1;
}

Text HexPrefix(uint32_t type) {
  if (type == kRegBinary) return "hex:";
  return ConcatTexts("hex(", HexText(type, 1), "):");
}

// Bytes as "xx,xx,..."; a line that would grow past kMaxLine (with its "\")
// goes on in the next, indented by two blanks, as regedit writes them.
void AppendHex(Text& out, size_t column, std::string_view bytes) {
  for (size_t i = 0; i < bytes.size(); ++i) {
    const bool last = i + 1 == bytes.size();
    Text piece = HexText(static_cast<unsigned char>(bytes[i]), 2);
    if (!last) piece += ',';
    if (i > 0 && column + 3 > kMaxLine - 1) {
      out += "\\";
      out += kLineEnd;
      out += "  ";
      column = 2;
    }
    out += piece;
    column += 3;
  }
}

Text ValueLine(const RegFileValue& value) {
  Text line = value.name.empty() ? Text("@") : Quoted(value.name);
  line += '=';
  if (!value.data) return line + "-";
  const RegistryData& data = *value.data;
  if (data.type == kRegSz && IsPlainText(data.bytes))
    return line + Quoted(std::string_view(data.bytes).substr(0, data.bytes.size() - 1));
  if (data.type == kRegDword && data.bytes.size() == 4) {
    uint32_t number = 0;
    for (int i = 3; i >= 0; --i) number = (number << 8) | static_cast<unsigned char>(data.bytes[i]);
    return ConcatTexts(line, "dword:", HexText(number, 8));
  }
  line += HexPrefix(data.type);
  AppendHex(line, line.size(), data.bytes);
  return line;
}

}  // namespace

Text RegFileText(std::span<const RegFileKey> keys) {
  Text out = "REGEDIT4";
  out += kLineEnd;
  for (const RegFileKey& key : keys) {
    out += kLineEnd;
    out += key.remove ? "[-" : "[";
    out += RootKeyName(key.root);
    if (!key.path.empty()) out += "\\" + key.path;
    out += "]";
    out += kLineEnd;
    if (key.remove) continue;
    for (const RegFileValue& value : key.values) out += ValueLine(value) + kLineEnd;
  }
  return out + kLineEnd;
}

}  // namespace lumeno
