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

TEST(NameEqualsIgnoringCase, FoldsAsciiOnly) {
  EXPECT_TRUE(NameEqualsIgnoringCase("DeskTop.INI", "desktop.ini"));
  EXPECT_TRUE(NameEqualsIgnoringCase("INDEX.DAT", "index.dat"));
  EXPECT_FALSE(NameEqualsIgnoringCase("index.da", "index.dat"));
  EXPECT_FALSE(NameEqualsIgnoringCase("desktop.inf", "desktop.ini"));
  // 0x81 0x41 and 0x81 0x61 are two different GBK characters.
  EXPECT_FALSE(NameEqualsIgnoringCase("\x81\x41", "\x81\x61"));
  EXPECT_TRUE(NameEqualsIgnoringCase("\x81\x41X", "\x81\x41x"));
}

TEST(TwoAceAclSize, IsHeaderPlusTwoAcesWithTheirSids) {
  // A user SID of five sub-authorities (28 bytes) and Local System (12).
  EXPECT_EQ(TwoAceAclSize(28, 12), 8u + (8u + 28u) + (8u + 12u));
  EXPECT_EQ(TwoAceAclSize(28, 12) % 4, 0u);
}

}  // namespace
}  // namespace lumeno
