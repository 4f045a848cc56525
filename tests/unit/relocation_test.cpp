#include "relocation/relocation.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "fakes/recorder.h"
#include "platform/platform.h"
#include "support/expected_data.h"
#include "support/texts.h"
#include "ui/controls.h"

namespace lumeno {
namespace {

using fake::Call;

using namespace settings_controls;

const std::string kSuccessMessage = "\xD7\xCA\xC1\xCF\xD7\xAA\xD2\xC6\xB3\xC9\xB9\xA6\xA3\xA1";  // 资料转移成功！
const std::string kNothingTickedMessage =
    "\xC7\xEB\xD1\xA1\xD4\xF1\xD3\xFB\xC7\xE5\xC0\xED\xCF\xEE\xC4\xBF\xA3\xA1";  // 请选择欲清理项目！
const std::string kPickerPrompt = "\xC7\xEB\xD1\xA1\xD4\xF1\xC4\xBF\xB1\xEA\xC4\xBF\xC2\xBC";  // 请选择目标目录

Call Message(const std::string& text, int style) { return {"ShowMessageBox", {text, std::to_string(style), texts::kDefaultTitle}}; }

// The folder the restore file goes to (in the program's own) is not a relocation's.
std::vector<Call> Effects() {
  std::vector<Call> effects;
  for (const Call& c : fake::CallsOf({"CreateFolder", "RunCommandLine", "WriteRegistryItem", "ShowMessageBox"}))
    if (c.op != "CreateFolder" || c.args[0].rfind("C:\\Lumeno\\", 0) != 0) effects.push_back(c);
  return effects;
}

// tests/data/relocation.tsv, with <T> standing for the path t: the effects of
// the rows of box (of every box when box is 0), then the success message.
std::vector<Call> ExpectedEffects(const std::string& t, ControlId box = 0) {
  static const std::map<std::string, std::string> kRootNumbers = {{"HKEY_CURRENT_USER", "3"}, {"HKEY_USERS", "5"}};
  auto with_target = [&](std::string text) {
    for (size_t at; (at = text.find("<T>")) != std::string::npos;) text.replace(at, 3, t);
    return text;
  };
  std::vector<Call> calls;
  for (const expected::Row& row : expected::ReadTable("relocation.tsv")) {
    if (box != 0 && expected::Number(row.at(0)) != box) continue;
    if (row.at(1) == "folder") calls.push_back({"CreateFolder", {with_target(row.at(2))}});
    if (row.at(1) == "run") calls.push_back({"RunCommandLine", {with_target(row.at(2)), "1", "1"}});
    if (row.at(1) == "value")
      calls.push_back({"WriteRegistryItem", {kRootNumbers.at(row.at(2)), row.at(3), "REG_SZ", with_target(row.at(4))}});
  }
  calls.push_back(Message(kSuccessMessage, 64));
  return calls;
}
std::vector<Call> DesktopOnly(const std::string& t) { return ExpectedEffects(t, kDesktopBox); }

class Relocation : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }

  void Relocate(const std::string& target, std::initializer_list<ControlId> ticked) {
    SetText(kSettingsWindow, kTargetEdit, target);
    for (ControlId box : ticked) fake::Tick(kSettingsWindow, box);
    fake::Calls().clear();
    RelocateUserFolders();
  }
};

// ---------------------------------------------------------------------------
// The target folder

TEST_F(Relocation, TheTargetLosesOneTrailingBackslashCharacterAndNothingElse) {
  std::string long_target = "D:";
  while (long_target.size() < 400) long_target += "\\abcdefghij";
  const std::pair<std::string, std::string> cases[] = {
      {"D:\\Personal", "D:\\Personal"}, {"D:\\Personal\\", "D:\\Personal"},
      {"D:\\Personal\\\\", "D:\\Personal\\"},  // only one of two goes
      {"D:\\", "D:"},                            // folders at the root, "D:\\Desktop"
      {"D:\\\x81\x5C", "D:\\\x81\x5C"},          // 乗 ends in the backslash byte
      {long_target, long_target},
  };
  for (const auto& [typed, target] : cases) {
    fake::Reset();
    Relocate(typed, {kDesktopBox});
    EXPECT_EQ(Effects(), DesktopOnly(target)) << typed;
  }
}

TEST_F(Relocation, EmptyTargetIsRefusedBeforeAnythingChanges) {
  Relocate("", {kDesktopBox});
  ASSERT_EQ(Effects().size(), 1u);
  EXPECT_EQ(Effects()[0].op, "ShowMessageBox");
  EXPECT_EQ(Effects()[0].args[1], "16");
}

// Every byte and byte pair in front of a trailing backslash, against GBK's
// own areas: the backslash goes only when it is a character of its own.
TEST(RelocationTarget, DropsATrailingBackslashOnlyWhenItIsACharacterOfItsOwn) {
  auto check = [](const std::string& text) {
    const bool own = expected::LastGbkCharacterStart(text) == text.size() - 1;
    ASSERT_EQ(RelocationTarget(text), own ? text.substr(0, text.size() - 1) : text) << ::testing::PrintToString(text);
  };
  for (int a = 1; a < 256 && !HasFailure(); ++a) {
    check({'D', ':', static_cast<char>(a), '\\'});
    for (int b = 1; b < 256 && !HasFailure(); ++b) check({'D', ':', static_cast<char>(a), static_cast<char>(b), '\\'});
  }
  EXPECT_EQ(RelocationTarget("\\"), "");
  EXPECT_EQ(RelocationTarget(""), "");
}

// ---------------------------------------------------------------------------
// Which folders, in which order

TEST_F(Relocation, EachFolderAloneAndAllSixInTheirFixedOrder) {
  for (ControlId box : {kDesktopBox, kFavoritesBox, kMyDocumentsBox, kTempBox, kInternetCacheBox, kOutlookExpressBox}) {
    fake::Reset();
    Relocate("D:\\Personal", {box});
    EXPECT_EQ(Effects(), ExpectedEffects("D:\\Personal", box)) << fake::Hex32(box);
  }
  fake::Reset();
  // Ticked in screen order; they are moved in their own order.
  Relocate("E:\\Data", {kMyDocumentsBox, kFavoritesBox, kTempBox, kInternetCacheBox, kDesktopBox, kOutlookExpressBox});
  EXPECT_EQ(Effects(), ExpectedEffects("E:\\Data"));
}

TEST_F(Relocation, NothingTickedTouchesNothing) {
  Relocate("D:\\Personal", {});
  EXPECT_EQ(Effects(), std::vector<Call>{Message(kNothingTickedMessage, 16)});
}

// The six boxes are read once before anything changes, so that the restore
// file holds every value the run rewrites.
TEST_F(Relocation, EachBoxIsReadOnceBeforeAnyChange) {
  Relocate("D:\\P", {kDesktopBox, kFavoritesBox});
  const std::string checked = std::to_string(kPropertyChecked);
  std::vector<std::string> trace;
  for (const Call& c : fake::Calls()) {
    if (c.op == "ReadProperty" && c.args[2] == checked) trace.push_back("read " + c.args[1]);
    if (c.op == "CreateFolder" && c.args[0].rfind("D:", 0) == 0) trace.push_back("folder " + c.args[0]);
    if (c.op == "WriteNewFile") trace.push_back("restore file");
    if (c.op == "ShowMessageBox") trace.push_back("message");
  }
  std::vector<std::string> reads;
  for (ControlId box : {kDesktopBox, kFavoritesBox, kMyDocumentsBox, kTempBox, kInternetCacheBox, kOutlookExpressBox})
    reads.push_back("read " + fake::Hex32(box));
  std::vector<std::string> expected = reads;
  expected.insert(expected.end(), {"restore file", "folder D:\\P\\Desktop", "folder D:\\P\\Favorites", "message"});
  EXPECT_EQ(trace, expected);
}

TEST_F(Relocation, TheTicksAreLeftAsTheyAre) {
  Relocate("D:\\P", {kTempBox});
  for (const Call& c : fake::CallsOf({"WriteProperty"})) ADD_FAILURE() << c;
}

// ---------------------------------------------------------------------------
// The folder picker

TEST_F(Relocation, PickedFolderBecomesTheTarget) {
  SetText(kSettingsWindow, kTargetEdit, "D:\\Personal");
  fake::GetState().browse_result = "F:\\Backup";
  fake::Calls().clear();
  BrowseRelocationTarget();
  const std::vector<Call> expected = {
      {"BrowseForFolder", {kPickerPrompt, "0"}},
      {"WriteProperty", {"0x520102C9", "0x160102E7", "8", "F:\\Backup"}},
  };
  EXPECT_EQ(fake::Calls(), expected);
}

TEST_F(Relocation, CancellingThePickerEmptiesTheTarget) {
  SetText(kSettingsWindow, kTargetEdit, "D:\\Personal");
  fake::GetState().browse_result = "";
  BrowseRelocationTarget();
  EXPECT_EQ(ReadText(kSettingsWindow, kTargetEdit), "");
  EXPECT_EQ(fake::CallsOf({"WriteProperty"}).back().args[3], "");
}

}  // namespace
}  // namespace lumeno
