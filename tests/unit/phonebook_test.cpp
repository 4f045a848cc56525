#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "utilities/broadband.h"
#include "utilities/phonebook.h"

namespace lumeno {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
// "[宽带连接]" in UTF-8 and in GBK.
constexpr std::string_view kOurHeaderUtf8 = "[\xE5\xAE\xBD\xE5\xB8\xA6\xE8\xBF\x9E\xE6\x8E\xA5]";
constexpr std::string_view kOurHeaderGbk = "[\xBF\xED\xB4\xF8\xC1\xAC\xBD\xD3]";

std::string Section() { return std::string(BroadbandPhonebookSection()); }
std::string Merge(std::string_view existing) { return MergePhonebook(existing); }

size_t Count(std::string_view haystack, std::string_view needle) {
  size_t n = 0;
  for (size_t at = haystack.find(needle); at != std::string_view::npos; at = haystack.find(needle, at + 1)) ++n;
  return n;
}

// A user's phone book in the form Windows writes it.
const std::string kOffice = "[Office VPN]\r\nEncoding=1\r\nType=2\r\nPhoneNumber=vpn.example.com\r\n\r\n";
const std::string kModem = "[Modem 163]\r\nEncoding=1\r\nType=1\r\nPhoneNumber=163\r\n\r\n";
const std::string kOldOurs = std::string(kOurHeaderUtf8) + "\r\nEncoding=1\r\nType=5\r\nPhoneNumber=old\r\n\r\n";

TEST(MergePhonebook, NoPhonebookOrAnEmptyOneGivesExactlyTheEntry) {
  EXPECT_EQ(MergePhonebook(std::nullopt), BroadbandPhonebookEntry());
  EXPECT_EQ(Merge(""), BroadbandPhonebookEntry());
  EXPECT_EQ(MergePhonebook(std::nullopt).size(), 1616u);
}

TEST(MergePhonebook, APhonebookOfOnlyOurEntryBecomesExactlyTheEntry) {
  EXPECT_EQ(Merge(BroadbandPhonebookEntry()), BroadbandPhonebookEntry());
  EXPECT_EQ(Merge(std::string(kBom) + "\r\n" + kOldOurs), BroadbandPhonebookEntry());
  EXPECT_EQ(Merge(kOldOurs), BroadbandPhonebookEntry());
  EXPECT_EQ(Merge(std::string(kBom)), BroadbandPhonebookEntry());
  EXPECT_EQ(Merge("\r\n\r\n" + kOldOurs + kOldOurs), BroadbandPhonebookEntry());
}

TEST(MergePhonebook, OtherEntriesKeepTheirBytesAndPlacesAroundTheReplacedEntry) {
  const std::string before = std::string(kBom) + "\r\n" + kOffice;
  const std::string existing = before + kOldOurs + kModem;
  const std::string merged = Merge(existing);
  EXPECT_EQ(merged, before + Section() + kModem);
  EXPECT_EQ(merged.find("PhoneNumber=old"), std::string::npos);
}

TEST(MergePhonebook, AnEntryWrittenInGbkIsTheSameConnectionAndIsReplaced) {
  const std::string gbk_entry = std::string(kOurHeaderGbk) + "\r\nType=5\r\nPhoneNumber=gbk\r\n\r\n";
  const std::string merged = Merge(kOffice + gbk_entry + kModem);
  EXPECT_EQ(merged, kOffice + Section() + kModem);
}

TEST(MergePhonebook, DuplicateEntriesLeaveOneInThePlaceOfTheFirst) {
  const std::string gbk_entry = std::string(kOurHeaderGbk) + "\r\nPhoneNumber=gbk\r\n";
  const std::string merged = Merge(kOffice + kOldOurs + kModem + gbk_entry + kOldOurs);
  EXPECT_EQ(merged, kOffice + Section() + kModem);
  EXPECT_EQ(Count(merged, kOurHeaderUtf8), 1u);
  EXPECT_EQ(Count(merged, kOurHeaderGbk), 0u);
}

TEST(MergePhonebook, WithoutOurEntryItIsAppendedAfterAnEmptyLine) {
  EXPECT_EQ(Merge(kOffice), kOffice + Section());  // already ends in an empty line
  EXPECT_EQ(Merge("[A]\r\nx=1\r\n"), "[A]\r\nx=1\r\n\r\n" + Section());
  EXPECT_EQ(Merge(std::string(kBom) + "\r\n" + kOffice), std::string(kBom) + "\r\n" + kOffice + Section());
}

TEST(MergePhonebook, UnixLineEndsAndAMissingLastLineEndAreKept) {
  EXPECT_EQ(Merge("[A]\nx=1\n"), "[A]\nx=1\n\r\n" + Section());
  EXPECT_EQ(Merge("[A]\nx=1\n\n"), "[A]\nx=1\n\n" + Section());
  EXPECT_EQ(Merge("[A]\r\nx=1"), "[A]\r\nx=1\r\n\r\n" + Section());
  // LF-only file with our old entry in the middle.
  EXPECT_EQ(Merge("[A]\nx=1\n\n" + std::string(kOurHeaderUtf8) + "\nold=1\n\n[B]\ny=2"),
            "[A]\nx=1\n\n" + Section() + "[B]\ny=2");
  // Our old entry last, without a final line end.
  EXPECT_EQ(Merge("[A]\r\n" + std::string(kOurHeaderUtf8) + "\r\nold=1"), "[A]\r\n" + Section());
}

TEST(MergePhonebook, OnlyAnExactHeaderLineStartsOurSection) {
  // Look-alikes are other people's sections or values and stay.
  const std::string lookalikes = std::string(kOurHeaderUtf8) + "2\r\na=1\r\n" +   // another name
                                 " " + std::string(kOurHeaderUtf8) + "\r\n" +       // indented: not a header
                                 "Comment=" + std::string(kOurHeaderUtf8) + "\r\n" +
                                 std::string(kOurHeaderUtf8) + " \r\nb=2\r\n\r\n";  // trailing blank
  EXPECT_EQ(Merge(lookalikes), lookalikes + Section());
}

TEST(MergePhonebook, AByteOrderMarkInFrontOfOurHeaderStaysWithTheFile) {
  EXPECT_EQ(Merge(std::string(kBom) + kOldOurs + kModem), std::string(kBom) + Section() + kModem);
}

TEST(MergePhonebook, ContentThatIsNotPlainTextIsKeptWhole) {
  const std::string binary("\x00\x01\x02[\xFF\n\x00\xE5\r", 9);
  EXPECT_EQ(Merge(binary), binary + "\r\n\r\n" + Section());
  // UTF-16 with our header in it: no line of it is touched.
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("[A]\r\n") + std::string(kOurHeaderUtf8) + "\r\nx=1\r\n") utf16 += std::string{c, '\0'};
  EXPECT_EQ(Merge(utf16), utf16 + "\r\n\r\n" + Section());
  // A header-like line inside binary data does not make the data ours.
  const std::string header_in_binary =
      std::string("\x00\n", 2) + std::string(kOurHeaderUtf8) + std::string("\r\n\x00\x01 payload\r\n", 14);
  EXPECT_EQ(Merge(header_in_binary), header_in_binary + "\r\n" + Section());
  const std::string utf16_mark = "\xFF\xFE\n" + std::string(kOurHeaderUtf8) + "\r\n\x3D\x4E\r\n\r\n";
  EXPECT_EQ(Merge(utf16_mark), utf16_mark + Section());
  // Binary with an earlier copy of our section at its end: it is not added again.
  const std::string once = Merge(binary);
  EXPECT_EQ(Merge(once), once);
}

TEST(MergePhonebook, JunkWithoutSectionsIsKeptAndOurEntryAdded) {
  const std::string junk = "\x89PNG\x1A\r\xFF\xFE\xC0\xAFno sections here";
  EXPECT_EQ(Merge(junk), junk + "\r\n\r\n" + Section());
  const std::string mac = "[A]\rx=1\r";  // CR-only line ends are one long line
  EXPECT_EQ(Merge(mac), mac + "\r\n\r\n" + Section());
}

TEST(MergePhonebook, MergingTwiceGivesTheResultOfMergingOnce) {
  const std::string inputs[] = {
      "",
      BroadbandPhonebookEntry(),
      std::string(kBom) + "\r\n" + kOffice + kOldOurs + kModem,
      kOffice,
      "[A]\nx=1",
      std::string(kBom) + kOldOurs,
      std::string(kBom) + "x",
      std::string("\x00\x01\n", 3),
      "[A]\rx=1\r",
      std::string(kOurHeaderGbk) + "\r\n" + kOldOurs + "[B]\n",
      "\r",
      "\n[",
  };
  for (const std::string& input : inputs) {
    const std::string once = Merge(input);
    EXPECT_EQ(Merge(once), once) << "input: " << ::testing::PrintToString(input);
    EXPECT_EQ(Count(once, Section()), 1u) << "input: " << ::testing::PrintToString(input);
  }
}

}  // namespace
}  // namespace lumeno
