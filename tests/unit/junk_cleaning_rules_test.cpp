#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cleaning/junk_cleaning_rules.h"

namespace lumeno {
namespace {

TEST(SidText, WritesEverySubAuthorityUnsigned) {
  const std::vector<uint32_t> subs = {21, 4294967295u, 2147483648u, 1000};
  EXPECT_EQ(SidText(5, subs), "S-1-5-21-4294967295-2147483648-1000");
  const std::vector<uint32_t> local_system = {18};
  EXPECT_EQ(SidText(5, local_system), "S-1-5-18");
  EXPECT_EQ(SidText(255, {}), "S-1-255");
}

TEST(JoinChildPath, KeepsPathsWithinMaxPathAndRefusesLongerOnes) {
  const std::string folder(200, 'a');
  Text child = "untouched";
  // 200 + 1 + 58 = 259 bytes plus the NUL: exactly MAX_PATH.
  ASSERT_TRUE(JoinChildPath(folder, std::string(58, 'b'), &child));
  EXPECT_EQ(child, folder + "\\" + std::string(58, 'b'));
  child = "untouched";
  EXPECT_FALSE(JoinChildPath(folder, std::string(59, 'b'), &child));
  EXPECT_EQ(child, "untouched");
}

// ASCII letters fold on both sides; nothing else does, however close.
TEST(NameEqualsIgnoringCase, FoldsAsciiLettersOnly) {
  const std::pair<std::wstring, std::string> same[] = {
      {L"DeskTop.INI", "desktop.ini"}, {L"desktop.ini", "DESKTOP.INI"}, {L"index.dat", "INDEX.DAT"}};
  for (const auto& [a, b] : same) EXPECT_TRUE(NameEqualsIgnoringCase(a, b)) << b;
  // Turkish dotted capital I, fullwidth i, and 0x49 ('I') in a low byte.
  const std::pair<std::wstring, std::string> different[] = {
      {L"index.da", "index.dat"}, {L"@[", "`{"},           {L"index.dat", "index.dat "},
      {L"desktop.\u0130ni", "desktop.ini"}, {L"desktop.\uFF49ni", "desktop.ini"}, {L"desktop.\u0149ni", "desktop.Ini"}};
  for (const auto& [a, b] : different) EXPECT_FALSE(NameEqualsIgnoringCase(a, b)) << b;
}

TEST(UnicodeMark, ShowsTheCodePointInUpperCaseHexOfAtLeastFourDigits) {
  EXPECT_EQ(UnicodeMark(0x1F600), "<U+1F600>");
  EXPECT_EQ(UnicodeMark(0x41), "<U+0041>");
}

TEST(TwoAceAclSize, IsHeaderPlusTwoAcesWithTheirSids) {
  // A user SID of five sub-authorities (28 bytes) and Local System (12).
  EXPECT_EQ(TwoAceAclSize(28, 12), 8u + (8u + 28u) + (8u + 12u));
  EXPECT_EQ(TwoAceAclSize(28, 12) % 4, 0u);
}

}  // namespace
}  // namespace lumeno
