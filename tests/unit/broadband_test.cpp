#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/broadband_expected.h"
#include "fakes/recorder.h"
#include "support/texts.h"
#include "utilities/broadband.h"

namespace lumeno {
namespace {

using broadband_expected::ParseDump;
using broadband_expected::kShortcutDump;

std::string ExpectedPhonebook() { return broadband_expected::Phonebook(); }

uint32_t Dword(std::string_view bytes, size_t offset) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[offset + i]);
  return v;
}

uint32_t Word(std::string_view bytes, size_t offset) {
  return static_cast<unsigned char>(bytes[offset]) | static_cast<unsigned char>(bytes[offset + 1]) << 8;
}

size_t FirstDifference(std::string_view a, std::string_view b) {
  size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  return i;
}

constexpr std::string_view kEntryIdBytes =
    "\x42\x2A\x39\x47\xB6\x78\xF5\x4C\x90\xCB\xD4\x41\xB4\x7A\x13\xE3";
constexpr size_t kConnectionItem = 0x94;

// ---------------------------------------------------------------------------
// The phone book

TEST(BroadbandPhonebook, IsTheListingAsUtf8WithCrLfLines) {
  const std::string& entry = BroadbandPhonebookEntry();
  EXPECT_EQ(entry.size(), 1616u);
  EXPECT_EQ(entry, ExpectedPhonebook()) << "first difference at byte " << FirstDifference(entry, ExpectedPhonebook());
}

TEST(BroadbandPhonebook, FramingAndLineEnds) {
  const std::string& entry = BroadbandPhonebookEntry();
  ASSERT_GE(entry.size(), 9u);
  EXPECT_EQ(entry.substr(0, 5), "\xEF\xBB\xBF\r\n");
  EXPECT_EQ(entry.substr(entry.size() - 4), "\r\n\r\n");
  size_t crlf = 0;
  for (size_t i = 0; i < entry.size(); ++i) {
    if (entry[i] == '\r') {
      ASSERT_TRUE(i + 1 < entry.size() && entry[i + 1] == '\n') << "bare CR at " << i;
      ++crlf;
    } else if (entry[i] == '\n') {
      ASSERT_TRUE(i > 0 && entry[i - 1] == '\r') << "bare LF at " << i;
    }
  }
  EXPECT_EQ(crlf, 91u);  // the empty first line, 89 lines of the entry, the closing empty line
  // Four groups: three empty lines inside the section, plus the first and the last.
  size_t empty_lines = 0;
  for (size_t at = entry.find("\r\n\r\n"); at != std::string::npos; at = entry.find("\r\n\r\n", at + 2)) ++empty_lines;
  EXPECT_EQ(empty_lines, 4u);
}

TEST(BroadbandPhonebook, NamesAreUtf8NotGbk) {
  const std::string& entry = BroadbandPhonebookEntry();
  EXPECT_EQ(entry.substr(5, 15), "[\xE5\xAE\xBD\xE5\xB8\xA6\xE8\xBF\x9E\xE6\x8E\xA5]\r");
  EXPECT_NE(entry.find("\r\nDevice=WAN \xE5\xBE\xAE\xE5\x9E\x8B\xE7\xAB\xAF\xE5\x8F\xA3 (PPPOE)\r\n"), std::string::npos);
  EXPECT_EQ(entry.find("\xBF\xED\xB4\xF8"), std::string::npos);  // GBK 宽带
  // Outside the byte-order mark only the two names are non-ASCII: 12 + 12 bytes.
  size_t high = 0;
  for (char c : entry.substr(3)) high += static_cast<unsigned char>(c) >= 0x80;
  EXPECT_EQ(high, 24u);
}

TEST(BroadbandPhonebook, SectionIsTheEntryWithoutMarkAndEmptyFirstLine) {
  std::string_view section = BroadbandPhonebookSection();
  EXPECT_EQ(section.size(), 1611u);
  EXPECT_TRUE(section.starts_with("[\xE5\xAE\xBD"));
  EXPECT_EQ(std::string("\xEF\xBB\xBF\r\n").append(section), BroadbandPhonebookEntry());
}

// ---------------------------------------------------------------------------
// The shortcut

TEST(BroadbandShortcut, MatchesTheDumpByteForByte) {
  const std::string expected = ParseDump(kShortcutDump);
  ASSERT_EQ(expected.size(), 524u);
  const std::string& link = BroadbandShortcut();
  EXPECT_EQ(link.size(), 524u);
  EXPECT_EQ(link, expected) << "first difference at byte 0x" << std::hex << FirstDifference(link, expected);
}

TEST(BroadbandShortcut, StructureOfHeaderAndIdList) {
  const std::string& link = BroadbandShortcut();
  ASSERT_EQ(link.size(), 524u);
  EXPECT_EQ(Dword(link, 0), 0x4Cu);
  EXPECT_EQ(Dword(link, 20), 0x81u);
  EXPECT_EQ(Dword(link, 60), 1u);  // SW_SHOWNORMAL
  EXPECT_EQ(Word(link, 76), 442u);
  // Item sizes chain from one item to the next and end in the terminal id.
  std::vector<uint32_t> sizes;
  for (size_t at = 78; Word(link, at) != 0; at += Word(link, at)) sizes.push_back(Word(link, at));
  EXPECT_EQ(sizes, (std::vector<uint32_t>{20, 20, 30, 370}));
  EXPECT_EQ(Word(link, 0x206), 0u);
  EXPECT_EQ(Dword(link, 0x208), 0u);
  // The text area: name, device name, 0x0014, phone-book path, identifier, 1, 5, 0.
  const size_t text = kConnectionItem + 96;
  EXPECT_EQ(Dword(link, kConnectionItem + 72), 10u);
  EXPECT_EQ(Dword(link, kConnectionItem + 76), 10u);
  EXPECT_EQ(Dword(link, kConnectionItem + 80), 34u);
  EXPECT_EQ(link.substr(text, 10), std::string("\xBD\x5B\x26\x5E\xDE\x8F\xA5\x63\0\0", 10));
  EXPECT_EQ(Word(link, text + 44), 0x14u);
  std::string path;
  for (size_t at = text + 46; Word(link, at) != 0; at += 2) path.push_back(static_cast<char>(Word(link, at)));
  EXPECT_EQ(path, kBroadbandPhonebookPath);
  EXPECT_EQ(Dword(link, text + 262), 1u);
  EXPECT_EQ(Dword(link, text + 266), 5u);
  EXPECT_EQ(Dword(link, text + 270), 0u);
}

TEST(BroadbandShortcut, AgreesWithThePhonebookOnTheEntryIdentifier) {
  const std::string& link = BroadbandShortcut();
  const std::string& entry = BroadbandPhonebookEntry();
  size_t guid = entry.find("\r\nGuid=");
  ASSERT_NE(guid, std::string::npos);
  std::string hex = entry.substr(guid + 7, entry.find('\r', guid + 2) - guid - 7);
  ASSERT_EQ(hex.size(), 32u);
  ASSERT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos) << hex;
  std::string from_phonebook;
  for (size_t i = 0; i < 32; i += 2)
    from_phonebook.push_back(static_cast<char>(std::stoul(hex.substr(i, 2), nullptr, 16)));
  EXPECT_EQ(from_phonebook, kEntryIdBytes);
  EXPECT_EQ(link.substr(kConnectionItem + 32, 16), kEntryIdBytes);
  EXPECT_EQ(link.substr(kConnectionItem + 96 + 246, 16), kEntryIdBytes);
}

// ---------------------------------------------------------------------------
// The handler

constexpr char kPhonebookPathBytes[] =
    "C:\\Documents and Settings\\All Users\\Application Data\\Microsoft\\Network\\Connections\\Pbk\\rasphone.pbk";
// "C:\Documents and Settings\All Users\桌面\宽带连接.lnk" in GBK.
constexpr char kShortcutPathBytes[] =
    "C:\\Documents and Settings\\All Users\\\xD7\xC0\xC3\xE6\\\xBF\xED\xB4\xF8\xC1\xAC\xBD\xD3.lnk";
// "宽带连接已成功建立！" and "提示" in GBK.
constexpr char kDoneMessage[] = "\xBF\xED\xB4\xF8\xC1\xAC\xBD\xD3\xD2\xD1\xB3\xC9\xB9\xA6\xBD\xA8\xC1\xA2\xA3\xA1";
constexpr char kDoneTitle[] = "\xCC\xE1\xCA\xBE";

class CreateBroadbandEntryTest : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }
};

TEST_F(CreateBroadbandEntryTest, WritesBothFilesRunsTheTwoCommandsAndReports) {
  CreateBroadbandEntry();
  const std::vector<fake::Call> expected = {
      {"ReadBytesFromFile", {kPhonebookPathBytes}},
      // TapiSrv is not installed here: nothing to save.
      {"ReadRegistryValue", {"4", "SYSTEM\\CurrentControlSet\\Services\\TapiSrv", "Start"}},
      {"ReplaceFileBytes", {kPhonebookPathBytes, ExpectedPhonebook()}},
      {"ReplaceFileBytes", {kShortcutPathBytes, ParseDump(kShortcutDump)}},
      {"RunCommandLine", {"sc config  TapiSrv start= auto", "1", "1"}},
      {"RunCommandLine", {"net start TapiSrv", "1", "1"}},
      {"ShowMessageBox", {kDoneMessage, "64", kDoneTitle}},
  };
  EXPECT_EQ(fake::Calls(), expected);
}

TEST_F(CreateBroadbandEntryTest, PressingTwiceLeavesTheFilesOfOnePress) {
  CreateBroadbandEntry();
  const auto once = fake::GetState().files;
  CreateBroadbandEntry();
  EXPECT_EQ(fake::GetState().files, once);
  EXPECT_EQ(fake::CallsOf({"RunCommandLine"}).size(), 4u);
  EXPECT_EQ(fake::CallsOf({"ShowMessageBox"}).size(), 2u);
}

TEST_F(CreateBroadbandEntryTest, KeepsTheUsersOtherConnections) {
  const std::string other = "\xEF\xBB\xBF\r\n[Office VPN]\r\nEncoding=1\r\nType=2\r\n\r\n";
  fake::GetState().files[kPhonebookPathBytes] = other;
  CreateBroadbandEntry();
  EXPECT_EQ(fake::GetState().files[kPhonebookPathBytes], other + std::string(BroadbandPhonebookSection()));
}

// The telephony service's start type and the phone book as it was go into one
// backup before anything is written; an unchanged phone book is not copied.
TEST_F(CreateBroadbandEntryTest, SavesTheStartTypeAndThePhonebookFirst) {
  // GBK: "C:\Lumeno\备份\20261208-143005 PC-07 " (the fake's time and computer name), then "生成ADSL.reg".
  const std::string folder = std::string("C:\\Lumeno\\") + texts::kBackupFolder + "\\20261208-143005 PC-07 ";
  const std::string restore_file = folder + "\xC9\xFA\xB3\xC9" "ADSL.reg";
  const std::string other = "\xEF\xBB\xBF\r\n[Office VPN]\r\nEncoding=1\r\n\r\n";
  fake::GetState().files[kPhonebookPathBytes] = other;
  fake::SetRegistryValue(4, "SYSTEM\\CurrentControlSet\\Services\\TapiSrv", "Start", {4, std::string("\3\0\0\0", 4)});
  CreateBroadbandEntry();
  EXPECT_EQ(fake::GetState().files[restore_file],
            "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TapiSrv]\r\n"
            "\"Start\"=dword:00000003\r\n\r\n");
  EXPECT_EQ(fake::GetState().files[folder + "rasphone.pbk"], other);
  std::vector<std::string> order;
  for (const fake::Call& call : fake::CallsOf({"WriteNewFile", "ReplaceFileBytes", "RunCommandLine"}))
    order.push_back(call.op + " " + call.args[0]);
  EXPECT_EQ(order, (std::vector<std::string>{"WriteNewFile " + restore_file, "WriteNewFile " + folder + "rasphone.pbk",
                                             std::string("ReplaceFileBytes ") + kPhonebookPathBytes,
                                             std::string("ReplaceFileBytes ") + kShortcutPathBytes,
                                             "RunCommandLine sc config  TapiSrv start= auto",
                                             "RunCommandLine net start TapiSrv"}));

  // Pressed again: the phone book and the start type stay as they are now.
  fake::SetRegistryValue(4, "SYSTEM\\CurrentControlSet\\Services\\TapiSrv", "Start", {4, std::string("\2\0\0\0", 4)});
  fake::Calls().clear();
  CreateBroadbandEntry();
  EXPECT_TRUE(fake::CallsOf({"WriteNewFile"}).empty());
}

}  // namespace
}  // namespace lumeno
