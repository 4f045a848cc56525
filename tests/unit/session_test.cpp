#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fakes/recorder.h"
#include "fakes/utilities_fake.h"
#include "support/texts.h"
#include "utilities/session.h"

namespace lumeno {
namespace {

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    fake::ResetUtilities();
  }
};

const fake::Call kEnablePrivilege{"EnableProcessPrivilege", {"SeShutdownPrivilege"}};
fake::Call Exit(const char* flags) { return {"RequestExitWindows", {flags}}; }

TEST_F(SessionTest, MenuItemsAskForTheirFlagsOnNtNeverForced) {
  ShutDown();
  Restart();
  LogOff();
  EXPECT_EQ(fake::Calls(), (std::vector<fake::Call>{kEnablePrivilege, Exit("8"), kEnablePrivilege, Exit("2"),
                                                    kEnablePrivilege, Exit("0")}));
}

TEST_F(SessionTest, OffNtShutDownIsPlainAndNoPrivilegeIsEnabled) {
  fake::GetState().version = WindowsVersion{true, 4, 10, 1};
  ShutDown();
  Restart();
  EXPECT_EQ(fake::Calls(), (std::vector<fake::Call>{Exit("1"), Exit("2")}));
}

TEST_F(SessionTest, AFailedVersionQueryCountsAsNotNt) {
  fake::GetState().version = WindowsVersion{};
  ShutDown();
  EXPECT_EQ(fake::Calls(), (std::vector<fake::Call>{Exit("1")}));
}

TEST_F(SessionTest, WithoutThePrivilegeNothingHappens) {
  fake::Utilities().privilege_result = false;
  EXPECT_FALSE(ExitSession(kSessionShutDown));
  LogOff();
  Restart();
  ShutDown();
  EXPECT_TRUE(fake::CallsOf({"RequestExitWindows"}).empty());
  EXPECT_EQ(fake::CallsOf({"EnableProcessPrivilege"}).size(), 4u);
  EXPECT_TRUE(fake::CallsOf({"ShowMessageBox"}).empty());
}

TEST_F(SessionTest, ExitSessionReportsWhatTheSystemAnswered) {
  EXPECT_TRUE(ExitSession(kSessionRestart));
  fake::Utilities().exit_result = false;
  EXPECT_FALSE(ExitSession(kSessionRestart));
}

TEST_F(SessionTest, ForceAddsFourOnlyWhenAskedAndUnknownKindsDoNothing) {
  EXPECT_TRUE(ExitSession(kSessionShutDown, true));
  EXPECT_FALSE(ExitSession(0));
  EXPECT_FALSE(ExitSession(4));
  EXPECT_EQ(fake::CallsOf({"RequestExitWindows"}), (std::vector<fake::Call>{Exit("12")}));
  const WindowsVersion nt{true, 5, 1, 2};
  EXPECT_EQ(ExitFlagsFor(kSessionLogOff, nt, true), 4u);
  EXPECT_EQ(ExitFlagsFor(kSessionRestart, nt, false), 2u);
}

TEST_F(SessionTest, AboutBoxIsPlainWithTheDefaultTitle) {
  ShowAbout();
  // "由于本人水平有限程序难免有Bug，请勿责难！" in GBK.
  const std::string text =
      "\xD3\xC9\xD3\xDA\xB1\xBE\xC8\xCB\xCB\xAE\xC6\xBD\xD3\xD0\xCF\xDE\xB3\xCC\xD0\xF2\xC4\xD1\xC3\xE2\xD3\xD0"
      "Bug\xA3\xAC\xC7\xEB\xCE\xF0\xD4\xF0\xC4\xD1\xA3\xA1";
  EXPECT_EQ(fake::Calls(), (std::vector<fake::Call>{{"ShowMessageBox", {text, "0", texts::kDefaultTitle}}}));
}

// Splits "scheme://host/path?k=v&k=v" into its path and its query keys.
struct ParsedAddress {
  std::string scheme, host, path;
  std::vector<std::string> keys;
};

ParsedAddress ParseAddress(std::string_view url) {
  ParsedAddress parsed;
  size_t scheme_end = url.find("://");
  if (scheme_end == std::string_view::npos) return parsed;
  parsed.scheme = url.substr(0, scheme_end);
  url.remove_prefix(scheme_end + 3);
  size_t slash = url.find('/');
  parsed.host = url.substr(0, slash);
  if (slash == std::string_view::npos) return parsed;
  url.remove_prefix(slash + 1);
  size_t question = url.find('?');
  parsed.path = url.substr(0, question);
  if (question == std::string_view::npos) return parsed;
  url.remove_prefix(question + 1);
  while (!url.empty()) {
    size_t amp = url.find('&');
    std::string_view pair = url.substr(0, amp);
    parsed.keys.emplace_back(pair.substr(0, pair.find('=')));
    if (amp == std::string_view::npos) break;
    url.remove_prefix(amp + 1);
  }
  return parsed;
}

TEST_F(SessionTest, AuthorPageOpensAnHttpAddressWithTheContactPathAndKeys) {
  OpenAuthorPage();
  const auto calls = fake::CallsOf({"OpenUrl"});
  ASSERT_EQ(calls.size(), 1u);
  ASSERT_EQ(fake::Calls().size(), 1u);
  const ParsedAddress address = ParseAddress(calls[0].args[0]);
  EXPECT_EQ(address.scheme, "http");
  EXPECT_EQ(address.path, "msgrd");
  EXPECT_EQ(address.keys, (std::vector<std::string>{"V", "Uin", "Site", "Menu"}));
  // A placeholder host under a reserved example domain.
  EXPECT_TRUE(address.host == "example.com" || address.host.ends_with(".example.com")) << address.host;
}

}  // namespace
}  // namespace lumeno
