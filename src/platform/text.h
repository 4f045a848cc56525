// Texts and the text / number conversions of the platform layer. Portable.
//
// A Text holds GBK (code page 936) bytes; lengths and positions count bytes,
// a double-byte character counts 2.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumeno {

using Text = std::string;

int TextLength(std::string_view text);
Text LeftPart(std::string_view text, int n);
Text RightPart(std::string_view text, int n);
bool TextEquals(std::string_view a, std::string_view b);

template <typename... Parts>
Text ConcatTexts(const Parts&... parts) {
  Text result;
  (result.append(std::string_view(parts)), ...);
  return result;
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

// Byte offsets of the backslash characters of a GBK text, in order. A
// double-byte character whose second byte is 0x5C is no separator, so this
// can only be known by walking from the start.
std::vector<size_t> BackslashPositions(std::string_view text);

Text ToText(int32_t value);
inline Text ToText(std::string_view text) { return Text(text); }

}  // namespace lumeno
