// Texts and the text / number conversions of the platform layer. Portable.
//
// A Text holds GBK (code page 936) bytes; lengths and positions count bytes,
// a double-byte character counts 2.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace lumeno {

using Text = std::string;

int TextLength(std::string_view text);
Text LeftPart(std::string_view text, int n);
Text RightPart(std::string_view text, int n);
bool TextEquals(std::string_view a, std::string_view b);

// The parts joined in order. The joining is one function for all callers:
// a template that appends each part in place copies that code into each of
// the program's hundred-odd calls (a few KB of the executable).
Text ConcatTextList(std::initializer_list<std::string_view> parts);
template <typename... Parts>
Text ConcatTexts(const Parts&... parts) {
  return ConcatTextList({std::string_view(parts)...});
}

// Decimal prefix of the text (white space skipped; sign, digits, fraction,
// exponent); 0.0 when there is none.
double ToNumber(std::string_view text);
inline double ToNumber(int32_t value) { return static_cast<double>(value); }

// Decimal prefix (white space, sign, digits); 0 when there is none.
int32_t ToInteger(std::string_view text);
int32_t ToInteger(double value);  // truncation toward zero

// Bytes of the GBK character that starts at text[at]: 2 for a lead byte
// (0x81..0xFE) followed by a trail byte (0x40..0xFE but 0x7F), else 1. A
// second byte may be 0x5C or an ASCII letter, so a text is only ever cut
// into characters walking from its start.
size_t GbkCharacterLength(std::string_view text, size_t at);

// Calls visit(offset, length) for each character of a GBK text, from its
// start: the one way the program walks a text by characters.
template <typename Visit>
void ForEachGbkCharacter(std::string_view text, Visit visit) {
  for (size_t i = 0, length; i < text.size(); i += length) {
    length = GbkCharacterLength(text, i);
    visit(i, length);
  }
}

// The text with the ASCII capitals of its single-byte characters made small:
// registry names, switches and captions compare this way. A double-byte
// character's second byte may look like a capital and is left alone.
Text FoldAsciiCase(std::string_view text);

// Byte offsets of the backslash characters of a GBK text, in order. A
// double-byte character whose second byte is 0x5C is no separator, so this
// can only be known by walking from the start.
std::vector<size_t> BackslashPositions(std::string_view text);

// The words of a command line: separated by runs of the `separators`,
// grouped by double quotes, which are dropped ("a b" is one word, "" an empty
// one). No GBK trail byte is a blank, a tab or a quote, so bytes suffice.
std::vector<Text> SplitQuotedWords(std::string_view line, std::string_view separators = " ");

// The byte-order mark that opens a UTF-8 file (the phone book, a preset saved
// by Notepad).
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

Text ToText(int32_t value);
Text UnsignedText(uint32_t value);  // decimal digits, no sign
Text UnsignedText64(uint64_t value);
// Decimal digits padded with zeros to at least `width` (a date's "07").
Text ZeroPaddedText(uint32_t value, size_t width);
// Hexadecimal digits, lower or upper case, padded with zeros to at least
// `width` ("%08x", "%02X", "%x" without the printf engine).
Text HexText(uint32_t value, size_t width, bool upper_case = false);
inline Text ToText(std::string_view text) { return Text(text); }

}  // namespace lumeno
