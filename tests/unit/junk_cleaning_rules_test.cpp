#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cleaning/junk_cleaning_rules.h"
#include "support/expected_data.h"

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

// ASCII letters fold on both sides; a double-byte character (by GBK's own
// areas) is compared as it is, even where its second byte looks like a letter.
TEST(NameEqualsIgnoringCase, FoldsAsciiLettersOnBothSidesAndNothingInsideDoubleByteCharacters) {
  const std::pair<std::string, std::string> same[] = {
      {"DeskTop.INI", "desktop.ini"}, {"desktop.ini", "DESKTOP.INI"}, {"dEsKtOp.InI", "DeSkToP.iNi"}, {"index.dat", "INDEX.DAT"}};
  for (const auto& [a, b] : same) EXPECT_TRUE(NameEqualsIgnoringCase(a, b) && NameEqualsIgnoringCase(b, a)) << a << " " << b;
  const std::pair<std::string, std::string> different[] = {
      {"index.da", "index.dat"}, {"desktop.inf", "desktop.ini"}, {"@[", "`{"}, {"index.dat", "index.dat "}};
  for (const auto& [a, b] : different) EXPECT_FALSE(NameEqualsIgnoringCase(a, b) || NameEqualsIgnoringCase(b, a)) << a;
  for (int first = 0x80; first <= 0xFF; ++first)
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
      const std::string upper = {static_cast<char>(first), letter, 'X'};
      const std::string lower = {static_cast<char>(first), static_cast<char>(letter - 'A' + 'a'), 'x'};
      const bool one_character = expected::IsGbkDoubleByte(static_cast<unsigned char>(first), letter);
      EXPECT_EQ(NameEqualsIgnoringCase(upper, lower), !one_character) << std::hex << first << " " << letter;
    }
}

TEST(TwoAceAclSize, IsHeaderPlusTwoAcesWithTheirSids) {
  // A user SID of five sub-authorities (28 bytes) and Local System (12).
  EXPECT_EQ(TwoAceAclSize(28, 12), 8u + (8u + 28u) + (8u + 12u));
  EXPECT_EQ(TwoAceAclSize(28, 12) % 4, 0u);
}

}  // namespace
}  // namespace lumeno
