#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <vector>

#include "platform/text.h"

namespace lumeno {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

// "中文" in GBK: two double-byte characters.
const std::string kChinese = "\xD6\xD0\xCE\xC4";

TEST(ToNumber, ConvertsTheLongestDecimalPrefix) {
  EXPECT_EQ(ToNumber("00000001"), 1.0);
  EXPECT_EQ(ToNumber("500"), 500.0);
  EXPECT_EQ(ToNumber("4294967197"), 4294967197.0);
  EXPECT_EQ(ToNumber(" -1.5e3x"), -1500.0);
  EXPECT_EQ(ToNumber("\t+7"), 7.0);
  EXPECT_EQ(ToNumber("5."), 5.0);
  EXPECT_EQ(ToNumber(".25"), 0.25);
  // An exponent without digits is not part of the number.
  EXPECT_EQ(ToNumber("12e"), 12.0);
  EXPECT_EQ(ToNumber("12e+"), 12.0);
  // The text ends at its NUL, as the C string it stands for.
  EXPECT_EQ(ToNumber(std::string_view("12\0" "34", 5)), 12.0);
}

TEST(ToNumber, GivesZeroWithoutADecimalPrefix) {
  EXPECT_EQ(ToNumber("yes"), 0.0);
  EXPECT_EQ(ToNumber(""), 0.0);
  EXPECT_EQ(ToNumber("."), 0.0);
  EXPECT_EQ(ToNumber("-"), 0.0);
  EXPECT_EQ(ToNumber("e5"), 0.0);
  // Forms the C library would accept but that are no decimal numbers.
  EXPECT_EQ(ToNumber("0x1F"), 0.0);
  EXPECT_EQ(ToNumber("inf"), 0.0);
  EXPECT_EQ(ToNumber("nan"), 0.0);
}

TEST(ToNumber, ConvertsIntegersExactly) {
  EXPECT_EQ(ToNumber(int32_t{-7}), -7.0);
  EXPECT_EQ(ToNumber(kMin), -2147483648.0);
}

TEST(ToInteger, ConvertsTheDecimalPrefixOfATextAndSaturates) {
  EXPECT_EQ(ToInteger("  -17xyz"), -17);
  EXPECT_EQ(ToInteger("+5"), 5);
  EXPECT_EQ(ToInteger("3.9"), 3);
  EXPECT_EQ(ToInteger("007"), 7);
  EXPECT_EQ(ToInteger("abc"), 0);
  EXPECT_EQ(ToInteger(""), 0);
  EXPECT_EQ(ToInteger("-"), 0);
  EXPECT_EQ(ToInteger("2147483647"), kMax);
  EXPECT_EQ(ToInteger("-2147483648"), kMin);
  EXPECT_EQ(ToInteger("2147483648"), kMax);
  EXPECT_EQ(ToInteger("99999999999999999999999"), kMax);
  EXPECT_EQ(ToInteger("-99999999999999999999999"), kMin);
}

TEST(ToInteger, TruncatesADoubleTowardZeroAndSaturates) {
  EXPECT_EQ(ToInteger(3.9), 3);
  EXPECT_EQ(ToInteger(-3.9), -3);
  EXPECT_EQ(ToInteger(-0.5), 0);
  EXPECT_EQ(ToInteger(2147483647.5), kMax);
  EXPECT_EQ(ToInteger(4294967197.0), kMax);
  EXPECT_EQ(ToInteger(-1e300), kMin);
  EXPECT_EQ(ToInteger(std::numeric_limits<double>::infinity()), kMax);
  EXPECT_EQ(ToInteger(std::nan("")), 0);
}

TEST(TextParts, CountsBytesAndReturnsEmptyForCountsBelowOne) {
  EXPECT_EQ(LeftPart("abc", 0), "");
  EXPECT_EQ(LeftPart("abc", -3), "");
  EXPECT_EQ(RightPart("abc", 0), "");
  EXPECT_EQ(RightPart("abc", -3), "");
  EXPECT_EQ(LeftPart("abc", 10), "abc");
  EXPECT_EQ(RightPart("abc", 10), "abc");
  EXPECT_EQ(LeftPart("abc", 2), "ab");
  EXPECT_EQ(RightPart("abc", 2), "bc");
  EXPECT_EQ(LeftPart("", 5), "");
  EXPECT_EQ(RightPart("", 5), "");
}

TEST(TextParts, SplitADoubleByteCharacterIntoHalves) {
  EXPECT_EQ(TextLength(kChinese), 4);
  EXPECT_EQ(LeftPart(kChinese, 1), "\xD6");
  EXPECT_EQ(LeftPart(kChinese, 3), "\xD6\xD0\xCE");
  EXPECT_EQ(RightPart(kChinese, 1), "\xC4");
  EXPECT_EQ(RightPart(kChinese, 3), "\xD0\xCE\xC4");
}

TEST(TextParts, StopAtTheTerminatingNul) {
  std::string_view with_nul("ab\0cd", 5);
  EXPECT_EQ(TextLength(with_nul), 2);
  EXPECT_EQ(RightPart(with_nul, 1), "b");
  EXPECT_EQ(LeftPart(with_nul, 5), "ab");
}

TEST(Texts, CompareByteWiseConcatenateAndFormat) {
  EXPECT_TRUE(TextEquals(kChinese, "\xD6\xD0\xCE\xC4"));
  EXPECT_FALSE(TextEquals("abc", "ABC"));
  EXPECT_FALSE(TextEquals("abc", "abcd"));
  EXPECT_EQ(ConcatTexts("C:", std::string("\\"), kChinese), "C:\\\xD6\xD0\xCE\xC4");
  EXPECT_EQ(ToText(-5), "-5");
  EXPECT_EQ(ToText(kMin), "-2147483648");
  EXPECT_EQ(ToText(std::string_view("x y")), "x y");
}

// Decimal formatting is written by hand; the C library's printf is the
// oracle, over the edges of every digit count and a spread of others.
TEST(Texts, FormatIntegersAsPrintfDoes) {
  std::vector<int64_t> values = {0, 1, 9, 10, 99, 100, kMax, kMin, int64_t{kMin} + 1, 4294967295, 2147483648};
  for (int64_t power = 10; power <= 10000000000; power *= 10)
    for (int64_t near : {power - 1, power, power + 1}) values.insert(values.end(), {near, -near});
  std::mt19937 random(14);
  for (int i = 0; i < 2000; ++i) values.push_back(static_cast<int32_t>(random()));
  char expected[32];
  for (int64_t value : values) {
    if (value >= kMin && value <= kMax) {
      std::snprintf(expected, sizeof expected, "%d", static_cast<int>(value));
      EXPECT_EQ(ToText(static_cast<int32_t>(value)), expected) << value;
    }
    if (value >= 0 && value <= std::numeric_limits<uint32_t>::max()) {
      std::snprintf(expected, sizeof expected, "%u", static_cast<unsigned>(value));
      EXPECT_EQ(UnsignedText(static_cast<uint32_t>(value)), expected) << value;
    }
    if (value >= 0) {
      std::snprintf(expected, sizeof expected, "%llu", static_cast<unsigned long long>(value));
      EXPECT_EQ(UnsignedText64(static_cast<uint64_t>(value)), expected) << value;
    }
  }
  std::snprintf(expected, sizeof expected, "%llu", static_cast<unsigned long long>(UINT64_MAX));
  EXPECT_EQ(UnsignedText64(UINT64_MAX), expected);
  EXPECT_EQ(UnsignedText64(1000000000), "1000000000");
}

// The padded decimal and hexadecimal forms the restore files, the run log and
// the error texts use, against the C library's printf.
TEST(TextConversion, PaddedAndHexadecimalDigitsMatchPrintf) {
  std::vector<uint32_t> values = {0, 1, 9, 10, 15, 16, 255, 256, 4095, 65535, 65536, 0x7FFFFFFF, 0x80000000,
                                  0xFFFFFFFF};
  std::mt19937 random(15);
  for (int i = 0; i < 2000; ++i) values.push_back(static_cast<uint32_t>(random()) >> (i % 32));
  char expected[32];
  for (uint32_t value : values) {
    for (size_t width : {0, 1, 2, 4, 8, 12}) {
      const int w = static_cast<int>(width);
      std::snprintf(expected, sizeof expected, "%0*u", w, static_cast<unsigned>(value));
      EXPECT_EQ(ZeroPaddedText(value, width), expected) << value << " " << width;
      std::snprintf(expected, sizeof expected, "%0*x", w, static_cast<unsigned>(value));
      EXPECT_EQ(HexText(value, width), expected) << value << " " << width;
      std::snprintf(expected, sizeof expected, "%0*X", w, static_cast<unsigned>(value));
      EXPECT_EQ(HexText(value, width, true), expected) << value << " " << width;
    }
  }
}

}  // namespace
}  // namespace lumeno
