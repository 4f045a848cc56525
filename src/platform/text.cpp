#include "platform/text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace lumeno {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int TextLength(std::string_view text) {
  // A text ends at its first NUL, as the C string it stands for.
  size_t end = text.find('\0');
  return static_cast<int>(end == std::string_view::npos ? text.size() : end);
}

Text LeftPart(std::string_view text, int n) {
  if (n <= 0) return {};
  size_t length = static_cast<size_t>(TextLength(text));
  return Text(text.substr(0, std::min(static_cast<size_t>(n), length)));
}

Text RightPart(std::string_view text, int n) {
  if (n <= 0) return {};
  size_t length = static_cast<size_t>(TextLength(text));
  size_t count = std::min(static_cast<size_t>(n), length);
  return Text(text.substr(length - count, count));
}

size_t GbkCharacterLength(std::string_view text, size_t at) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x81 || lead > 0xFE || at + 1 >= text.size()) return 1;
  const unsigned char trail = static_cast<unsigned char>(text[at + 1]);
  return trail >= 0x40 && trail <= 0xFE && trail != 0x7F ? 2 : 1;
}

std::vector<size_t> BackslashPositions(std::string_view text) {
  std::vector<size_t> positions;
  ForEachGbkCharacter(text, [&](size_t i, size_t length) {
    if (length == 1 && text[i] == '\\') positions.push_back(i);
  });
  return positions;
}

bool TextEquals(std::string_view a, std::string_view b) {
  return a.substr(0, TextLength(a)) == b.substr(0, TextLength(b));
}

double ToNumber(std::string_view text) {
  // Scan the longest decimal prefix by hand and convert only that, so that
  // hexadecimal, "inf" or "nan" (which strtod would accept) give 0.
  size_t i = 0, n = static_cast<size_t>(TextLength(text));
  while (i < n && IsBlank(text[i])) ++i;
  size_t start = i;
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < n && IsDigit(text[i])) ++i, ++digits;
  if (i < n && text[i] == '.') {
    size_t j = i + 1, fraction = 0;
    while (j < n && IsDigit(text[j])) ++j, ++fraction;
    if (digits + fraction > 0) i = j, digits += fraction;
  }
  if (digits == 0) return 0.0;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
    size_t exponent_digits = 0;
    while (j < n && IsDigit(text[j])) ++j, ++exponent_digits;
    if (exponent_digits > 0) i = j;
  }
  // The prefix is plain decimal, so the C runtime's atof reads exactly it
  // (no strtod of our own needs to ship with the program).
  std::string prefix(text.substr(start, i - start));
  return std::atof(prefix.c_str());
}

int32_t ToInteger(std::string_view text) {
  size_t i = 0, n = static_cast<size_t>(TextLength(text));
  while (i < n && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Accumulate in 64 bits and saturate, so that no input overflows.
  int64_t value = 0;
  for (; i < n && IsDigit(text[i]); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > int64_t{1} << 32) value = int64_t{1} << 32;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

int32_t ToInteger(double value) {
  if (std::isnan(value)) return 0;
  double truncated = std::trunc(value);
  if (truncated >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (truncated <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(truncated);
}

Text ConcatTextList(std::initializer_list<std::string_view> parts) {
  size_t length = 0;
  for (std::string_view part : parts) length += part.size();
  Text result;
  result.reserve(length);
  for (std::string_view part : parts) result.append(part);
  return result;
}

Text FoldAsciiCase(std::string_view text) {
  Text folded(text);
  ForEachGbkCharacter(text, [&](size_t i, size_t length) {
    if (length == 1 && folded[i] >= 'A' && folded[i] <= 'Z') folded[i] = static_cast<char>(folded[i] - 'A' + 'a');
  });
  return folded;
}

std::vector<Text> SplitQuotedWords(std::string_view line, std::string_view separators) {
  std::vector<Text> words;
  Text current;
  bool quoted = false, started = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      started = true;
    } else if (!quoted && separators.find(c) != std::string_view::npos) {
      if (started) words.push_back(current);
      current.clear();
      started = false;
    } else {
      current += c;
      started = true;
    }
  }
  if (started) words.push_back(current);
  return words;
}

namespace {

// The digits of `value` in `base`, most significant first, padded with zeros
// to at least `width`. By hand: printf for a few integer formats would cost
// the program a whole formatting engine.
Text DigitsOf(uint32_t value, uint32_t base, size_t width, const char* digit_set) {
  char digits[32];
  size_t count = 0;
  do {
    digits[count++] = digit_set[value % base];
    value /= base;
  } while (value != 0);
  while (count < width && count < sizeof digits) digits[count++] = '0';
  Text text;
  while (count > 0) text += digits[--count];
  return text;
}

constexpr const char* kLowerDigits = "0123456789abcdef";

}  // namespace

Text UnsignedText(uint32_t value) { return DigitsOf(value, 10, 1, kLowerDigits); }

Text UnsignedText64(uint64_t value) {
  // The high part first, its low nine digits padded: 2^64 has twenty digits.
  constexpr uint64_t kBillion = 1000000000;
  if (value < kBillion) return UnsignedText(static_cast<uint32_t>(value));
  return UnsignedText64(value / kBillion) + ZeroPaddedText(static_cast<uint32_t>(value % kBillion), 9);
}

Text ZeroPaddedText(uint32_t value, size_t width) { return DigitsOf(value, 10, width, kLowerDigits); }

Text HexText(uint32_t value, size_t width, bool upper_case) {
  return DigitsOf(value, 16, width, upper_case ? "0123456789ABCDEF" : kLowerDigits);
}

Text ToText(int32_t value) {
  // The magnitude in unsigned arithmetic, which also holds that of INT32_MIN.
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  return value < 0 ? "-" + UnsignedText(magnitude) : UnsignedText(magnitude);
}

}  // namespace lumeno
