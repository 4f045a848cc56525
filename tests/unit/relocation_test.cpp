#include "relocation/relocation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/recorder.h"
#include "platform/platform.h"

namespace lumeno {
namespace {

using fake::Call;

constexpr ControlId kTargetEditBox = 0x160102E7;
constexpr ControlId kDesktopBox = 0x160102E8;        // 选择框9
constexpr ControlId kFavoritesBox = 0x160102EB;      // 选择框6
constexpr ControlId kMyDocumentsBox = 0x160102EC;    // 选择框5
constexpr ControlId kTempBox = 0x160102EA;           // 选择框7
constexpr ControlId kInternetCacheBox = 0x160102E9;  // 选择框8
constexpr ControlId kOutlookExpressBox = 0x160102E4; // 选择框10

const std::string kSF = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::string kUSF = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const std::string kDefaultSF = ".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// GBK bytes, spelled out so that the check does not depend on how the
// compiler encodes literals.
const std::string kDesktopInChinese = "\xD7\xC0\xC3\xE6";  // 桌面
const std::string kSuccessMessage = "\xD7\xCA\xC1\xCF\xD7\xAA\xD2\xC6\xB3\xC9\xB9\xA6\xA3\xA1";  // 资料转移成功！
const std::string kNothingTickedMessage =
    "\xC7\xEB\xD1\xA1\xD4\xF1\xD3\xFB\xC7\xE5\xC0\xED\xCF\xEE\xC4\xBF\xA3\xA1";  // 请选择欲清理项目！
const std::string kDefaultTitle = "\xD0\xC5\xCF\xA2\xA3\xBA";                    // 信息：
const std::string kPickerPrompt = "\xC7\xEB\xD1\xA1\xD4\xF1\xC4\xBF\xB1\xEA\xC4\xBF\xC2\xBC";  // 请选择目标目录

Call Folder(const std::string& path) { return {"CreateFolder", {path}}; }
Call Copy(const std::string& line) { return {"RunCommandLine", {line, "1", "1"}}; }
Call Value(int root, const std::string& item, const std::string& data) {
  return {"WriteRegistryItem", {std::to_string(root), item, "REG_SZ", data}};
}
Call Message(const std::string& text, int style) { return {"ShowMessageBox", {text, std::to_string(style), kDefaultTitle}}; }

// The folder the restore file goes to (in the program's own) is not a relocation's.
std::vector<Call> Effects() {
  std::vector<Call> effects;
  for (const Call& c : fake::CallsOf({"CreateFolder", "RunCommandLine", "WriteRegistryItem", "ShowMessageBox"}))
    if (c.op != "CreateFolder" || c.args[0].rfind("C:\\Lumeno\\", 0) != 0) effects.push_back(c);
  return effects;
}

// The effects of relocating only the Desktop to target, as they must appear
// with the path t the target stands for.
std::vector<Call> DesktopOnly(const std::string& t) {
  return {
      Folder(t + "\\Desktop"),
      Copy("cmd /cxcopy C:\\Docume~1\\%USERNAME%\\" + kDesktopInChinese + "\\*.* " + t + "\\Desktop\\ /e /y "),
      Copy("cmd /cxcopy C:\\Docume~1\\%USERNAME%\\Desktop\\*.* " + t + "\\Desktop\\ /e /y "),
      Value(3, kSF + "\\Desktop", t + "\\Desktop"),
      Value(3, kUSF + "\\Desktop", t + "\\Desktop"),
      Value(5, kDefaultSF + "\\Desktop", t + "\\Desktop"),
      Message(kSuccessMessage, 64),
  };
}

class Relocation : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }

  void Relocate(const std::string& target, std::initializer_list<ControlId> ticked) {
    SetText(kSettingsWindow, kTargetEditBox, target);
    for (ControlId box : ticked) fake::Tick(kSettingsWindow, box);
    fake::Calls().clear();
    RelocateUserFolders();
  }
};

// ---------------------------------------------------------------------------
// The target folder

TEST_F(Relocation, DesktopToThePersonalFolder) {
  Relocate("D:\\Personal", {kDesktopBox});
  EXPECT_EQ(Effects(), DesktopOnly("D:\\Personal"));
}

TEST_F(Relocation, OneTrailingBackslashIsDropped) {
  Relocate("D:\\Personal\\", {kDesktopBox});
  EXPECT_EQ(Effects(), DesktopOnly("D:\\Personal"));
}

TEST_F(Relocation, OnlyOneOfTwoTrailingBackslashesIsDropped) {
  Relocate("D:\\Personal\\\\", {kDesktopBox});
  EXPECT_EQ(Effects(), DesktopOnly("D:\\Personal\\"));
  EXPECT_EQ(Effects()[0], Folder("D:\\Personal\\\\Desktop"));
}

TEST_F(Relocation, DriveRootGivesFoldersAtTheRoot) {
  Relocate("D:\\", {kDesktopBox});
  EXPECT_EQ(Effects(), DesktopOnly("D:"));
  EXPECT_EQ(Effects()[0], Folder("D:\\Desktop"));
}

TEST_F(Relocation, EmptyTargetIsRefusedBeforeAnythingChanges) {
  Relocate("", {kDesktopBox});
  ASSERT_EQ(Effects().size(), 1u);
  EXPECT_EQ(Effects()[0].op, "ShowMessageBox");
  EXPECT_EQ(Effects()[0].args[1], "16");
}

// 乗 is 81 5C in GBK: its second byte is the backslash byte.
const std::string kCharacterEndingIn5C = "\x81\x5C";

TEST_F(Relocation, DoubleByteCharacterEndingInTheBackslashByteIsKept) {
  const std::string target = "D:\\" + kCharacterEndingIn5C;
  Relocate(target, {kDesktopBox});
  EXPECT_EQ(Effects(), DesktopOnly(target));
}

TEST(RelocationTarget, RemovesOnlyABackslashThatIsACharacterOfItsOwn) {
  const std::string c = kCharacterEndingIn5C;
  EXPECT_EQ(RelocationTarget("D:\\" + c), "D:\\" + c);
  EXPECT_EQ(RelocationTarget("D:\\" + c + "\\"), "D:\\" + c);
  // 淺 (9C 5C) after other double-byte text: 资料淺
  EXPECT_EQ(RelocationTarget("D:\\\xD7\xCA\xC1\xCF\x9C\x5C"), "D:\\\xD7\xCA\xC1\xCF\x9C\x5C");
  // 81 81 is one character, so the 5C after it is a backslash; a test of the
  // byte before 5C alone would take 81 5C for a character.
  EXPECT_EQ(RelocationTarget("D:\\\x81\x81\x5C"), "D:\\\x81\x81");
  // A lead byte whose next byte cannot follow it stands alone.
  EXPECT_EQ(RelocationTarget("D:\\\x81\x7F\\"), "D:\\\x81\x7F");
  EXPECT_EQ(RelocationTarget("D:\\\xFF\\"), "D:\\\xFF");
  EXPECT_EQ(RelocationTarget("\\"), "");
  EXPECT_EQ(RelocationTarget(""), "");
  EXPECT_EQ(RelocationTarget("D:\\Personal"), "D:\\Personal");
  EXPECT_EQ(RelocationTarget("D:\\Personal\\"), "D:\\Personal");
  EXPECT_EQ(RelocationTarget("D:\\Personal\\\\"), "D:\\Personal\\");
}

TEST_F(Relocation, LongTargetBuildsEveryPathInFull) {
  std::string target = "D:";
  while (target.size() < 400) target += "\\abcdefghij";
  Relocate(target, {kDesktopBox});
  EXPECT_EQ(Effects(), DesktopOnly(target));
  EXPECT_GT(Effects()[1].args[0].size(), 450u);
}

// ---------------------------------------------------------------------------
// Which folders, in which order

TEST_F(Relocation, FavoritesAlone) {
  Relocate("D:\\Personal", {kFavoritesBox});
  const std::vector<Call> expected = {
      Folder("D:\\Personal\\Favorites"),
      Copy("cmd /cxcopy C:\\Docume~1\\%USERNAME%\\Favori~1\\*.* D:\\Personal\\Favorites\\ /e /y"),
      Value(3, kSF + "\\Favorites", "D:\\Personal\\Favorites"),
      Value(3, kUSF + "\\Favorites", "D:\\Personal\\Favorites"),
      Value(5, kDefaultSF + "\\Favorites", "D:\\Personal\\Favorites"),
      Message(kSuccessMessage, 64),
  };
  EXPECT_EQ(Effects(), expected);
}

TEST_F(Relocation, AllSixInTheirFixedOrder) {
  // Ticked in screen order; they are moved in their own order.
  Relocate("E:\\Data",
           {kMyDocumentsBox, kFavoritesBox, kTempBox, kInternetCacheBox, kDesktopBox, kOutlookExpressBox});
  const std::string t = "E:\\Data";
  const std::vector<Call> expected = {
      // Desktop
      Folder(t + "\\Desktop"),
      Copy("cmd /cxcopy C:\\Docume~1\\%USERNAME%\\" + kDesktopInChinese + "\\*.* E:\\Data\\Desktop\\ /e /y "),
      Copy("cmd /cxcopy C:\\Docume~1\\%USERNAME%\\Desktop\\*.* E:\\Data\\Desktop\\ /e /y "),
      Value(3, kSF + "\\Desktop", t + "\\Desktop"),
      Value(3, kUSF + "\\Desktop", t + "\\Desktop"),
      Value(5, kDefaultSF + "\\Desktop", t + "\\Desktop"),
      // Favorites
      Folder(t + "\\Favorites"),
      Copy("cmd /cxcopy C:\\Docume~1\\%USERNAME%\\Favori~1\\*.* E:\\Data\\Favorites\\ /e /y"),
      Value(3, kSF + "\\Favorites", t + "\\Favorites"),
      Value(3, kUSF + "\\Favorites", t + "\\Favorites"),
      Value(5, kDefaultSF + "\\Favorites", t + "\\Favorites"),
      // My Documents: no folder for Recent; "Download Directory" for the default user
      Folder(t + "\\My Documents"),
      Folder(t + "\\My Documents\\My Pictures"),
      Folder(t + "\\My Documents\\My Music"),
      Copy("cmd /cxcopy C:\\Docume~1\\%USERNAME%\\Mydocu~1\\*.* E:\\Data\\Mydocu~1\\ /e /y"),
      Value(3, kSF + "\\Personal", t + "\\My Documents"),
      Value(3, kUSF + "\\Personal", t + "\\My Documents"),
      Value(5, kDefaultSF + "\\Download Directory", t + "\\My Documents"),
      Value(3, kSF + "\\My Music", t + "\\My Documents\\My Music"),
      Value(3, kUSF + "\\My Music", t + "\\My Documents\\My Music"),
      Value(5, kDefaultSF + "\\My Music", t + "\\My Documents\\My Music"),
      Value(3, kSF + "\\My Pictures", t + "\\My Documents\\My Pictures"),
      Value(3, kUSF + "\\My Pictures", t + "\\My Documents\\My Pictures"),
      Value(5, kDefaultSF + "\\My Pictures", t + "\\My Documents\\My Pictures"),
      Value(3, kSF + "\\Recent", t + "\\Recent"),
      Value(3, kUSF + "\\Recent", t + "\\Recent"),
      // Temp
      Folder(t + "\\Temp"),
      Value(3, "Environment\\TEMP", t + "\\Temp"),
      Value(3, "Environment\\TMP", t + "\\Temp"),
      Value(5, ".DEFAULT\\Environment\\TEMP", t + "\\Temp"),
      Value(5, ".DEFAULT\\Environment\\TMP", t + "\\Temp"),
      // Temporary Internet Files
      Folder(t + "\\Temporary Internet Files"),
      Value(3, kSF + "\\Cache", t + "\\Temporary Internet Files"),
      Value(3, kUSF + "\\Cache", t + "\\Temporary Internet Files"),
      Value(5, kDefaultSF + "\\Cache", t + "\\Temporary Internet Files"),
      // Outlook Express: "OE" made, "Outlook Express" registered
      Folder(t + "\\OE"),
      Value(3,
            "Identities\\{F4E98C86-4D9A-463F-920C-1DF555C3B434}\\Software\\Microsoft\\Outlook Express\\5.0\\Store Root",
            t + "\\Outlook Express"),
      Message(kSuccessMessage, 64),
  };
  EXPECT_EQ(Effects(), expected);
  EXPECT_EQ(fake::CallsOf({"RunCommandLine"}).size(), 4u);
  EXPECT_EQ(fake::CallsOf({"WriteRegistryItem"}).size(), 25u);
}

TEST_F(Relocation, NothingTickedTouchesNothing) {
  Relocate("D:\\Personal", {});
  EXPECT_EQ(Effects(), std::vector<Call>{Message(kNothingTickedMessage, 16)});
}

// The six boxes are read once before anything changes, so that the restore
// file holds every value the run rewrites; all six once more for the message.
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
  const std::vector<std::string> expected = {
      "read 0x160102E8", "read 0x160102EB", "read 0x160102EC", "read 0x160102EA", "read 0x160102E9", "read 0x160102E4",
      "restore file", "folder D:\\P\\Desktop", "folder D:\\P\\Favorites",
      "read 0x160102E8", "read 0x160102EB", "read 0x160102EC", "read 0x160102EA", "read 0x160102E9", "read 0x160102E4",
      "message",
  };
  EXPECT_EQ(trace, expected);
}

TEST_F(Relocation, TheTicksAreLeftAsTheyAre) {
  Relocate("D:\\P", {kTempBox});
  for (const Call& c : fake::CallsOf({"WriteProperty"})) ADD_FAILURE() << c;
}

// ---------------------------------------------------------------------------
// The folder picker

TEST_F(Relocation, PickedFolderBecomesTheTarget) {
  SetText(kSettingsWindow, kTargetEditBox, "D:\\Personal");
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
  SetText(kSettingsWindow, kTargetEditBox, "D:\\Personal");
  fake::GetState().browse_result = "";
  BrowseRelocationTarget();
  EXPECT_EQ(ReadText(kSettingsWindow, kTargetEditBox), "");
  EXPECT_EQ(fake::CallsOf({"WriteProperty"}).back().args[3], "");
}

}  // namespace
}  // namespace lumeno
