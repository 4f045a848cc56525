// Decoding preset files (see preset_text.h).
#include "unattended/preset_text.h"

#include <cstdint>

namespace lumeno {

namespace {

constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

PresetText Failure(int line, Text message) {
  PresetText out;
  out.line = line;
  out.message = std::move(message);
  return out;
}

bool IsLineEnd(char32_t unit) { return unit == '\r' || unit == '\n'; }
bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Lines end with CR LF, LF or a lone CR. No byte of a GBK or UTF-8
// multi-byte character is a CR or an LF, so cutting units is safe.

// The number of the line the text's next unit would be on.
int NextLineNumber(std::u16string_view units) {
  int line = 1;
  for (size_t i = 0; i < units.size(); ++i)
    if (units[i] == '\n' || (units[i] == '\r' && (i + 1 == units.size() || units[i + 1] != '\n'))) ++line;
  return line;
}

// The code point of the UTF-8 character at text[at], its length in *length;
// -1 for bytes that form no character (cut short, overlong, a surrogate,
// beyond U+10FFFF), which Windows too refuses.
int32_t DecodeUtf8(std::string_view text, size_t at, size_t* length) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  *length = 1;
  if (lead < 0x80) return lead;
  size_t count = 0;
  int32_t code = 0, least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    count = 2, code = lead & 0x1F, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    count = 3, code = lead & 0x0F, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    count = 4, code = lead & 0x07, least = 0x10000;
  } else {
    return -1;
  }
  if (at + count > text.size()) return -1;
  for (size_t i = 1; i < count; ++i) {
    const unsigned char next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0) != 0x80) return -1;
    code = code << 6 | (next & 0x3F);
  }
  if (code < least || code > 0x10FFFF || IsHighSurrogate(code) || IsLowSurrogate(code)) return -1;
  *length = count;
  return code;
}

// Valid UTF-8 with at least one character beyond ASCII: a GBK text of more
// than a few characters almost never is.
bool IsUtf8BeyondAscii(std::string_view text) {
  bool beyond_ascii = false;
  for (size_t i = 0, length; i < text.size(); i += length) {
    if (DecodeUtf8(text, i, &length) < 0) return false;
    beyond_ascii |= length > 1;
  }
  return beyond_ascii;
}

void AppendUtf16(std::u16string& out, int32_t code) {
  if (code < 0x10000) {
    out += static_cast<char16_t>(code);
    return;
  }
  code -= 0x10000;
  out += static_cast<char16_t>(0xD800 + (code >> 10));
  out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
}

Text CodePointName(int32_t code) { return ConcatTexts("U+", HexText(static_cast<uint32_t>(code), 4, true)); }

// One line in GBK, or in *why the reason it has none.
bool LineToGbk(std::u16string_view line, Text* gbk, Text* why) {
  for (size_t i = 0; i < line.size(); ++i) {
    if (IsHighSurrogate(line[i]) && i + 1 < line.size() && IsLowSurrogate(line[i + 1])) {
      ++i;
    } else if (IsHighSurrogate(line[i]) || IsLowSurrogate(line[i])) {
      *why = ConcatTexts("此行有不成对的 UTF-16 代理项 ", CodePointName(line[i]), "，应为完整的 UTF-16 LE 文本");
      return false;
    }
  }
  if (Utf16ToGbk(line, gbk)) return true;
  // Only on failure, one character at a time: the user needs to know which.
  for (size_t i = 0, length; i < line.size(); i += length) {
    length = IsHighSurrogate(line[i]) ? 2 : 1;
    Text one;
    if (Utf16ToGbk(line.substr(i, length), &one)) continue;
    const int32_t code = length == 2 ? 0x10000 + ((line[i] - 0xD800) << 10) + (line[i + 1] - 0xDC00) : line[i];
    *why = ConcatTexts("字符 ", CodePointName(code), " 没有 GBK（代码页 936）编码，应只用 GBK 中有的字符");
    return false;
  }
  *why = "此行无法转为 GBK（代码页 936）";
  return false;
}

// Each line converted to GBK and ended by LF.
PresetText FromUtf16(std::u16string_view units) {
  PresetText out;
  Text why, gbk;
  int number = 0;
  for (size_t start = 0, end; start < units.size(); start = end + 1) {
    for (end = start; end < units.size() && !IsLineEnd(units[end]);) ++end;
    if (!LineToGbk(units.substr(start, end - start), &gbk, &why)) return Failure(number + 1, why);
    ++number;
    out.gbk += gbk;
    out.gbk += '\n';
    if (end + 1 < units.size() && units[end] == '\r' && units[end + 1] == '\n') ++end;
  }
  out.ok = true;
  return out;
}

// The whole text is decoded before any line is converted: a byte that is no
// UTF-8 is reported before a character with no GBK form.
PresetText FromUtf8(std::string_view text) {
  std::u16string units;
  for (size_t i = 0, length; i < text.size(); i += length) {
    const int32_t code = DecodeUtf8(text, i, &length);
    if (code < 0)
      return Failure(NextLineNumber(units),
                     ConcatTexts("文件以 UTF-8 字节顺序标记开头，但此行有无效的 UTF-8 字节 0x",
                                 HexText(static_cast<unsigned char>(text[i]), 2, true), "，应为 UTF-8 编码的文本"));
    AppendUtf16(units, code);
  }
  return FromUtf16(units);
}

PresetText FromUtf16Le(std::string_view bytes) {
  std::u16string units;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
  // The half character is on the line the whole ones end on.
  if (bytes.size() % 2)
    return Failure(NextLineNumber(units),
                   "文件以 UTF-16 字节顺序标记开头，但字节数为奇数，末尾缺半个字符，应为完整的 UTF-16 LE 文本");
  return FromUtf16(units);
}

// The text with every line end made an LF, and one after the last line.
PresetText FromGbk(std::string_view text) {
  PresetText out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;  // the CR of a CR LF
    out.gbk += IsLineEnd(text[i]) ? '\n' : text[i];
  }
  if (!text.empty() && !IsLineEnd(text.back())) out.gbk += '\n';
  out.ok = true;
  return out;
}

}  // namespace

PresetText PresetTextAsGbk(std::string_view file_bytes) {
  if (file_bytes.starts_with(kUtf16BeMark))
    return Failure(1, "文件以 UTF-16 BE（大端）字节顺序标记开头，应为 GBK、UTF-8 或 UTF-16 LE 编码的文本");
  if (file_bytes.starts_with(kUtf16LeMark)) return FromUtf16Le(file_bytes.substr(kUtf16LeMark.size()));
  if (file_bytes.starts_with(kUtf8ByteOrderMark)) return FromUtf8(file_bytes.substr(kUtf8ByteOrderMark.size()));
  if (IsUtf8BeyondAscii(file_bytes)) return FromUtf8(file_bytes);
  return FromGbk(file_bytes);
}

}  // namespace lumeno
