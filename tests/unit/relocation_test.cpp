#include "relocation/relocation.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "fakes/recorder.h"
#include "plan/command.h"
#include "plan/plan.h"
#include "platform/platform.h"
#include "platform/platform_rules.h"
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

std::string Replaced(std::string text, const std::string& mark, const std::string& by) {
  for (size_t at = 0; (at = text.find(mark, at)) != std::string::npos; at += by.size()) text.replace(at, mark.size(), by);
  return text;
}

const std::map<std::string, std::string> kRootNumbers = {{"HKEY_CURRENT_USER", "3"}, {"HKEY_USERS", "5"}};

// Where a folder stands when the run starts, by its location value.
enum class Before {
  kFirstMove,       // in the profile (or no value): the run rows
  kMovedElsewhere,  // outside the profile, at s: the moved row
  kAtTheTarget,     // where this run puts it: no copy, the location value not written
};

// The location row of box in tests/data/relocation.tsv: {root number, item path, data with <T>}.
expected::Row LocationOf(ControlId box) {
  for (const expected::Row& row : expected::RowsWhere(expected::ReadTable("relocation.tsv"), 1, "location"))
    if (expected::Number(row.at(0)) == box) return {kRootNumbers.at(row.at(2)), row.at(3), row.at(4)};
  ADD_FAILURE() << "no location row for " << fake::Hex32(box);
  return {"3", "", ""};
}

// tests/data/relocation.tsv, with <T> standing for the path t and <S> for s:
// the effects of the rows of box (of every box when box is 0), then the
// success message.
std::vector<Call> ExpectedEffects(const std::string& t, ControlId box = 0, Before before = Before::kFirstMove,
                                  const std::string& s = "") {
  std::vector<Call> calls;
  for (const expected::Row& row : expected::ReadTable("relocation.tsv")) {
    if (box != 0 && expected::Number(row.at(0)) != box) continue;
    const std::string what = Replaced(Replaced(row.at(2), "<T>", t), "<S>", s);
    if (row.at(1) == "folder") calls.push_back({"CreateFolder", {what}});
    if (row.at(1) == "run" && before == Before::kFirstMove) calls.push_back({"RunCommandLine", {what, "1", "1"}});
    if (row.at(1) == "moved" && before == Before::kMovedElsewhere) calls.push_back({"RunCommandLine", {what, "1", "1"}});
    if (row.at(1) != "value") continue;
    const expected::Row location = LocationOf(expected::Number(row.at(0)));
    if (before == Before::kAtTheTarget && kRootNumbers.at(row.at(2)) == location[0] && row.at(3) == location[1]) continue;
    calls.push_back({"WriteRegistryItem", {kRootNumbers.at(row.at(2)), row.at(3), "REG_SZ", Replaced(row.at(4), "<T>", t)}});
  }
  calls.push_back(Message(kSuccessMessage, 64));
  return calls;
}

// Sets a value of the fake registry that the run reads: root number, item path, type, text.
void SetValue(const std::string& root, const std::string& item_path, uint32_t type, const std::string& text) {
  const size_t split = item_path.rfind('\\');
  fake::SetRegistryValue(std::stoi(root), item_path.substr(0, split), item_path.substr(split + 1),
                         {type, text + std::string(1, '\0')});
}

std::string AsciiUpper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

const ControlId kAllBoxes[] = {kDesktopBox, kFavoritesBox, kMyDocumentsBox, kTempBox, kInternetCacheBox,
                               kOutlookExpressBox};
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

// ---------------------------------------------------------------------------
// A second run: where each folder is now decides what is copied

// A folder Windows still finds in the user's profile (XP's own values, any
// case) or through no value at all is copied with the lines it always had.
TEST_F(Relocation, AFirstMoveOutOfTheProfileRunsTheLinesItAlwaysHad) {
  const std::string profile = "C:\\Documents and Settings\\Tom";
  for (ControlId box : kAllBoxes) {
    const expected::Row location = LocationOf(box);
    const std::pair<uint32_t, std::string> spellings[] = {
        {kRegExpandSz, "%USERPROFILE%\\Desktop"},
        {kRegExpandSz, "%USERPROFILE%\\Local Settings\\Temp\\"},
        {kRegSz, "c:\\documents and settings\\TOM\\Favorites"},
    };
    for (const auto& [type, text] : spellings) {
      fake::Reset();
      fake::GetState().environment["USERPROFILE"] = profile;
      SetValue(location[0], location[1], type, text);
      Relocate("D:\\Personal", {box});
      EXPECT_EQ(Effects(), ExpectedEffects("D:\\Personal", box)) << fake::Hex32(box) << " " << text;
    }
  }
}

// Copying the original again would lay its stale files over the ones changed
// since the first move; the folder's values are written only where they name
// another folder.
TEST_F(Relocation, AFolderWindowsAlreadyFindsAtTheTargetIsNotCopiedAgain) {
  const std::string t = "D:\\Personal";
  for (ControlId box : kAllBoxes) {
    const expected::Row location = LocationOf(box);
    const std::string there = Replaced(location[2], "<T>", t);
    const std::pair<uint32_t, std::string> spellings[] = {
        {kRegSz, there},
        {kRegSz, AsciiUpper(there) + "\\"},
        {kRegExpandSz, Replaced(location[2], "<T>", "%DATA%")},
        {kRegSz, Replaced(location[2], "<T>", "%data%") + "\\"},
    };
    for (const auto& [type, text] : spellings) {
      fake::Reset();
      fake::GetState().environment["DATA"] = "d:\\personal";
      fake::GetState().environment["data"] = "D:\\PERSONAL";
      SetValue(location[0], location[1], type, text);
      Relocate(t + "\\", {box});
      EXPECT_EQ(Effects(), ExpectedEffects(t, box, Before::kAtTheTarget)) << fake::Hex32(box) << " " << text;
    }
  }
}

// The folder counts as done, and /preview shows no copy: its folder is there
// already and the values that name it need no change.
TEST_F(Relocation, AFolderAtTheTargetCountsAsUnchangedAndPreviewsSo) {
  const std::string usf = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders\\Desktop";
  const std::string sf = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\Desktop";
  const std::string default_sf = ".DEFAULT\\" + sf;
  SetValue("3", usf, kRegExpandSz, "%DATA%\\Desktop");
  SetValue("5", default_sf, kRegSz, "d:\\personal\\desktop\\");
  SetValue("3", sf, kRegSz, "C:\\Documents and Settings\\Tom\\Desktop");
  fake::GetState().environment["DATA"] = "D:\\Personal";
  SetText(kSettingsWindow, kTargetEdit, "D:\\Personal");
  fake::Tick(kSettingsWindow, kDesktopBox);

  const CommandRun run = RunCommand(kRelocationCommand, WindowSelection());
  EXPECT_EQ(run.outcome.changed(), 1);
  EXPECT_EQ(run.outcome.unchanged(), 3);  // the folder and two values
  EXPECT_FALSE(run.outcome.AnyFailed());
  const std::vector<std::string> preview = PreviewLines(run.plan);
  const std::vector<std::string> expected_preview = {
      "\xB4\xB4\xBD\xA8\xCE\xC4\xBC\xFE\xBC\xD0 D:\\Personal\\Desktop\xA3\xBA\xD2\xD1\xB4\xE6\xD4\xDA",  // 创建文件夹 …：已存在
      "HKEY_CURRENT_USER\\" + sf + ": REG_SZ \"C:\\Documents and Settings\\Tom\\Desktop\" \xA1\xFA REG_SZ \"D:\\Personal\\Desktop\"",
      "HKEY_CURRENT_USER\\" + usf + ": \xCE\xDE\xD0\xE8\xB8\xFC\xB8\xC4",  // 无需更改
      "HKEY_USERS\\" + default_sf + ": \xCE\xDE\xD0\xE8\xB8\xFC\xB8\xC4",
  };
  EXPECT_EQ(preview, expected_preview);
  // Only the value that changes goes into the restore file.
  const std::vector<RegistryChange> changes = RegistryChangesOf(run.plan);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].key_path + "\\" + changes[0].value_name, sf);
}

// Nothing differs: nothing is written, not even a restore file.
TEST_F(Relocation, AFolderWhollyInPlaceWritesNoValueAndNoRestoreFile) {
  const std::string t = "E:\\Data";
  for (const expected::Row& row : expected::RowsWhere(expected::ReadTable("relocation.tsv"), 1, "value"))
    if (expected::Number(row.at(0)) == kFavoritesBox)
      SetValue(kRootNumbers.at(row.at(2)), row.at(3), kRegSz, AsciiUpper(Replaced(row.at(4), "<T>", t)) + "\\");
  Relocate(t, {kFavoritesBox});
  EXPECT_EQ(Effects(), (std::vector<Call>{{"CreateFolder", {t + "\\Favorites"}}, Message(kSuccessMessage, 64)}));
  EXPECT_TRUE(fake::CallsOf({"WriteNewFile"}).empty());
}

// A folder moved out of the profile before holds the user's files now: it is
// the one copied, whatever spelling its value has.
TEST_F(Relocation, AFolderMovedElsewhereBeforeIsCopiedFromWhereItIsNow) {
  const std::string t = "D:\\Personal";
  for (ControlId box : kAllBoxes) {
    const expected::Row location = LocationOf(box);
    struct Spelling {
      uint32_t type;
      std::string text, now;
    };
    const Spelling spellings[] = {
        {kRegSz, "E:\\Old\\Desk", "E:\\Old\\Desk"},
        {kRegSz, "E:\\Old\\Desk\\", "E:\\Old\\Desk"},
        {kRegExpandSz, "%OLD%\\Desk", "E:\\Old\\Desk"},
        // Beside the profile, not in it.
        {kRegSz, "C:\\Profiles\\Tommy\\Desktop", "C:\\Profiles\\Tommy\\Desktop"},
        // The last target, typed in another case: still elsewhere.
        {kRegSz, "D:\\PERSONAL\\Old", "D:\\PERSONAL\\Old"},
    };
    for (const Spelling& spelling : spellings) {
      fake::Reset();
      fake::GetState().environment["USERPROFILE"] = "C:\\Profiles\\Tom";
      fake::GetState().environment["OLD"] = "E:\\Old";
      SetValue(location[0], location[1], spelling.type, spelling.text);
      Relocate(t, {box});
      EXPECT_EQ(Effects(), ExpectedEffects(t, box, Before::kMovedElsewhere, spelling.now))
          << fake::Hex32(box) << " " << spelling.text;
    }
  }
}

// A blank in where the folder is now gets both paths quoted, as a blank in
// the target does.
TEST_F(Relocation, AMovedFolderWithABlankInItsPathIsCopiedWithQuotes) {
  SetValue("3", "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders\\Personal", kRegSz,
           "E:\\Old Data\\Docs");
  Relocate("D:\\Personal", {kMyDocumentsBox});
  const std::vector<Call> runs = fake::CallsOf({"RunCommandLine"});
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].args[0], "cmd /cxcopy \"E:\\Old Data\\Docs\\*.*\" \"D:\\Personal\\My Documents\" /e /y");
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
