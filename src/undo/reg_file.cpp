#include "undo/reg_file.h"


#include "platform/platform_rules.h"

namespace lumeno {

namespace {

constexpr size_t kMaxLine = 80;
constexpr const char* kLineEnd = "\r\n";

// regedit turns the file into characters before it looks for escapes, so the
// second byte of a double-byte character is never an escape, even when it is
// 0x5C; doubling it would add a backslash to the value.
void AppendQuoted(Text& out, std::string_view text) {
  out += '"';
  ForEachGbkCharacter(text, [&](size_t i, size_t length) {
    if (length == 1 && (text[i] == '\\' || text[i] == '"')) out += '\\';
    out += text.substr(i, length);
  });
  out += '"';
}

// A REG_SZ that "text" reproduces exactly: one line, one terminating NUL.
bool IsPlainText(const std::string& bytes) {
  if (bytes.empty() || bytes.back() != '\0') return false;
  return bytes.find_first_of(std::string_view("\0\r\n", 3)) == bytes.size() - 1;
}

// Bytes as "xx,xx,..."; a line that would grow past kMaxLine (with its "\")
// goes on in the next, indented by two blanks, as regedit writes them.
void AppendHex(Text& out, size_t column, std::string_view bytes) {
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0 && column + 3 > kMaxLine - 1) {
      out += "\\";
      out += kLineEnd;
      out += "  ";
      column = 2;
    }
    out += HexText(static_cast<unsigned char>(bytes[i]), 2);
    if (i + 1 < bytes.size()) out += ',';
    column += 3;
  }
}

// The value's line, without its line end.
void AppendValueLine(Text& out, const RegFileValue& value) {
  const size_t start = out.size();
  if (value.name.empty())
    out += '@';
  else
    AppendQuoted(out, value.name);
  out += '=';
  if (!value.data) {
    out += '-';
    return;
  }
  const RegistryData& data = *value.data;
  if (data.type == kRegSz && IsPlainText(data.bytes)) {
    AppendQuoted(out, std::string_view(data.bytes).substr(0, data.bytes.size() - 1));
    return;
  }
  if (data.type == kRegDword && data.bytes.size() == 4) {
    uint32_t number = 0;
    for (int i = 3; i >= 0; --i) number = (number << 8) | static_cast<unsigned char>(data.bytes[i]);
    out += "dword:";
    out += HexText(number, 8);
    return;
  }
  // "hex:" for REG_BINARY, "hex(N):" for any other type.
  out += "hex";
  if (data.type != kRegBinary) {
    out += '(';
    out += HexText(data.type, 1);
    out += ')';
  }
  out += ':';
  AppendHex(out, out.size() - start, data.bytes);
}

}  // namespace

Text RegFileText(std::span<const RegFileKey> keys) {
  Text out = "REGEDIT4";
  out += kLineEnd;
  for (const RegFileKey& key : keys) {
    out += kLineEnd;
    out += key.remove ? "[-" : "[";
    out += RootKeyName(key.root);
    if (!key.path.empty()) {
      out += '\\';
      out += key.path;
    }
    out += ']';
    out += kLineEnd;
    if (key.remove) continue;
    for (const RegFileValue& value : key.values) {
      AppendValueLine(out, value);
      out += kLineEnd;
    }
  }
  out += kLineEnd;
  return out;
}

}  // namespace lumeno
