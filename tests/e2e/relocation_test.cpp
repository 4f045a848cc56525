// Folder relocation on the page "转资料", driven through the real program:
// folders, copies (recorded, and real with cmd and xcopy), registry values,
// the closing message and the folder picker. Drive D: is a folder of the
// test prefix (relocation_test.setup.sh).
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "driver.h"
#include "ui/control_ids.h"
#include "settings_window.h"
#include "support/expected_data.h"
#include "support/texts.h"
#include "ui/controls.h"

namespace {

using namespace driver;

constexpr uint32_t kTargetEditBox = lumeno::settings_controls::kTargetEdit;  // 编辑框1
constexpr uint32_t kPickerLabel = lumeno::settings_controls::kBrowseLabel;  // 标签9 ">>>"
constexpr uint32_t kMoveButton = lumeno::settings_controls::kRelocateButton;  // 按钮8 "转移"
using lumeno::settings_controls::kDesktopBox;
using lumeno::settings_controls::kFavoritesBox;
using lumeno::settings_controls::kMyDocumentsBox;
using lumeno::settings_controls::kTempBox;
using lumeno::settings_controls::kInternetCacheBox;
using lumeno::settings_controls::kOutlookExpressBox;

// GBK bytes spelled out.
const std::string kSuccessMessage = "\xD7\xCA\xC1\xCF\xD7\xAA\xD2\xC6\xB3\xC9\xB9\xA6\xA3\xA1";  // 资料转移成功！
const std::string kNothingTickedMessage =
    "\xC7\xEB\xD1\xA1\xD4\xF1\xD3\xFB\xC7\xE5\xC0\xED\xCF\xEE\xC4\xBF\xA3\xA1";  // 请选择欲清理项目！
using texts::kDefaultTitle;
const std::string kPickerPrompt = "\xC7\xEB\xD1\xA1\xD4\xF1\xC4\xBF\xB1\xEA\xC4\xBF\xC2\xBC";  // 请选择目标目录
const std::string kDesktopInChinese = "\xD7\xC0\xC3\xE6";                                     // 桌面

bool IsFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Creates every missing folder of path.
void MakeFolders(const std::string& path) {
  for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
    CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
  CreateDirectoryA(path.c_str(), nullptr);
}

// The registry values tests/data/relocation.tsv lists for box (for every box
// when box is 0), with <T> in the data standing for the target t.
struct ListedValue {
  HKEY root;
  std::string key, name, data;
};
std::vector<ListedValue> ListedValues(const std::string& t, uint32_t box = 0) {
  const std::map<std::string, HKEY> roots = {{"HKEY_CURRENT_USER", HKEY_CURRENT_USER}, {"HKEY_USERS", HKEY_USERS}};
  std::vector<ListedValue> values;
  for (const expected::Row& row : expected::ReadTable("relocation.tsv")) {
    if (row.at(1) != "value" || (box != 0 && expected::Number(row.at(0)) != box)) continue;
    const size_t split = row.at(3).rfind('\\');
    std::string data = row.at(4);
    data.replace(data.find("<T>"), 3, t);
    values.push_back({roots.at(row.at(2)), row.at(3).substr(0, split), row.at(3).substr(split + 1), data});
  }
  return values;
}

std::string UserName() {
  char name[256] = "";
  GetEnvironmentVariableA("USERNAME", name, sizeof name);
  return name;
}

const std::string kUserShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// Where XP keeps the copied folders: in the profile, so that a run copies them
// with the lines it always had, whatever an earlier test moved.
void PutTheCopiedFoldersBackInTheProfile() {
  for (const char* name : {"Desktop", "Favorites", "Personal"}) {
    const std::string folder = std::string(name) == "Personal" ? "My Documents" : name;
    EXPECT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kUserShellFolders, name, "%USERPROFILE%\\" + folder, REG_EXPAND_SZ));
  }
}

class Relocation : public ::testing::Test {
 protected:
  void SetUp() override {
    PutTheCopiedFoldersBackInTheProfile();
    settings_ = settings_window::Open(program_, settings_window::kRelocationPage);
    ASSERT_NE(settings_, nullptr) << "the settings window did not open";
  }

  HWND Control(uint32_t id) {
    HWND control = WaitForControl(settings_, id);
    EXPECT_NE(control, nullptr) << std::hex << id;
    return control;
  }

  // Types the target, ticks the boxes, presses "转移" and answers the box
  // that closes the run; returns what the box said.
  MessageBoxContent Relocate(const std::string& target, std::initializer_list<uint32_t> boxes,
                             Millis timeout = kDefaultTimeout) {
    EXPECT_TRUE(SetText(Control(kTargetEditBox), target));
    for (uint32_t box : boxes) EXPECT_TRUE(SetChecked(Control(box), true));
    EXPECT_TRUE(PostClick(Control(kMoveButton)));
    HWND box = program_.WaitForMessageBox(timeout);
    if (!box) {
      ADD_FAILURE() << "no message box";
      return {};
    }
    MessageBoxContent content = ReadMessageBox(box);
    EXPECT_TRUE(AnswerMessageBox(box));
    return content;
  }

  Program program_;
  HWND settings_ = nullptr;
};

TEST_F(Relocation, AllSixMakeTheirFoldersRunTheirCopiesAndWriteTheirValues) {
  ASSERT_TRUE(InstallStandIn("cmd"));
  ASSERT_TRUE(IsFolder("D:\\Personal")) << "drive D: is missing (relocation_test.setup.sh)";
  const MessageBoxContent box = Relocate("D:\\Personal\\", {kMyDocumentsBox, kFavoritesBox, kTempBox,
                                                             kInternetCacheBox, kDesktopBox, kOutlookExpressBox});
  EXPECT_EQ(box.title, kDefaultTitle);
  EXPECT_EQ(box.text, kSuccessMessage);
  EXPECT_TRUE(box.has_icon);

  // Every effect tests/data/relocation.tsv lists, with <T> standing for the target.
  const std::string t = "D:\\Personal";
  auto with_target = [&](std::string text) { return text.replace(text.find("<T>"), 3, t); };
  std::vector<std::string> lines;
  for (const expected::Row& row : expected::ReadTable("relocation.tsv")) {
    if (row.at(1) == "folder") {
      EXPECT_TRUE(IsFolder(with_target(row.at(2)))) << row.at(2);
    }
    if (row.at(1) == "run") lines.push_back(with_target(row.at(2)));
  }
  for (const ListedValue& value : ListedValues(t)) {
    auto stored = ReadRegistryValue(value.root, value.key, value.name);
    ASSERT_TRUE(stored.has_value()) << value.key << "\\" << value.name;
    EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ)) << value.name;
    EXPECT_EQ(stored->bytes, value.data + std::string(1, '\0')) << value.key << "\\" << value.name;
  }
  const std::vector<RecordedRun> runs = ReadStandInRuns("cmd");
  ASSERT_EQ(runs.size(), lines.size());
  for (size_t i = 0; i < runs.size(); ++i) {
    EXPECT_EQ(runs[i].command_line, lines[i]) << i;
    EXPECT_TRUE(runs[i].show_window_set && runs[i].show_window == SW_HIDE) << i;
  }
  EXPECT_FALSE(PathExists(t + "\\Recent"));
  EXPECT_FALSE(PathExists(t + "\\Outlook Express"));
}

TEST_F(Relocation, NothingTickedOnlyAsksForAChoice) {
  ASSERT_TRUE(InstallStandIn("cmd"));
  MakeFolders("D:\\Untouched");
  const MessageBoxContent box = Relocate("D:\\Untouched", {});
  EXPECT_EQ(box.title, kDefaultTitle);
  EXPECT_EQ(box.text, kNothingTickedMessage);
  EXPECT_TRUE(ReadStandInRuns("cmd").empty());
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA("D:\\Untouched\\*", &entry);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  int entries = 0;
  do {
    if (std::string(entry.cFileName) != "." && std::string(entry.cFileName) != "..") ++entries;
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  EXPECT_EQ(entries, 0);
}

// A folder name whose last character ends in the backslash byte (乗 = 81 5C)
// reaches the registry and the file system whole.
TEST_F(Relocation, TargetEndingInADoubleByteCharacterKeepsIt) {
  const std::string t = "D:\\Personal\\\x81\x5C";
  MakeFolders(t);
  ASSERT_TRUE(IsFolder(t));
  const MessageBoxContent box = Relocate(t + "\\", {kTempBox});
  EXPECT_EQ(box.text, kSuccessMessage);
  EXPECT_TRUE(IsFolder(t + "\\Temp"));
  auto stored = ReadRegistryValue(HKEY_CURRENT_USER, "Environment", "TEMP");
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->bytes, t + "\\Temp" + std::string(1, '\0'));
}

// The copies as the program starts them, through the real cmd and xcopy.
// Wine does not resolve XP short names, so the profile's short-named source
// folders are real folders here; for the same reason the My Documents copy
// lands in a folder named "Mydocu~1" under Wine, where XP resolves that
// name to "My Documents".
TEST_F(Relocation, RealCopiesBringTheFilesAcross) {
  // The system's cmd, not a stand-in another test left beside the program.
  DeleteFileA((std::string(kProgramDirectory) + "\\cmd.exe").c_str());
  ASSERT_FALSE(PathExists(std::string(kProgramDirectory) + "\\cmd.exe"));
  const std::string user = UserName();
  ASSERT_FALSE(user.empty());
  const std::string profile = "C:\\Docume~1\\" + user;
  MakeFolders(profile + "\\" + kDesktopInChinese);
  MakeFolders(profile + "\\Desktop\\sub");
  MakeFolders(profile + "\\Desktop\\empty");
  MakeFolders(profile + "\\Favori~1\\Links");
  MakeFolders(profile + "\\Mydocu~1\\notes");
  ASSERT_TRUE(WriteFileBytes(profile + "\\" + kDesktopInChinese + "\\a.txt", "localised desktop"));
  ASSERT_TRUE(WriteFileBytes(profile + "\\Desktop\\b.txt", "desktop"));
  ASSERT_TRUE(WriteFileBytes(profile + "\\Desktop\\sub\\c.txt", "nested"));
  ASSERT_TRUE(WriteFileBytes(profile + "\\Favori~1\\Links\\site.url", "[InternetShortcut]\r\n"));
  ASSERT_TRUE(WriteFileBytes(profile + "\\Mydocu~1\\doc.txt", "document"));
  ASSERT_TRUE(WriteFileBytes(profile + "\\Mydocu~1\\notes\\n.txt", "note"));

  const std::string t = "D:\\Copies";
  MakeFolders(t);
  const MessageBoxContent box = Relocate(t, {kDesktopBox, kFavoritesBox, kMyDocumentsBox}, 120000);
  EXPECT_EQ(box.text, kSuccessMessage);

  EXPECT_EQ(ReadFileBytes(t + "\\Desktop\\a.txt"), "localised desktop");
  EXPECT_EQ(ReadFileBytes(t + "\\Desktop\\b.txt"), "desktop");
  EXPECT_EQ(ReadFileBytes(t + "\\Desktop\\sub\\c.txt"), "nested");
  EXPECT_TRUE(IsFolder(t + "\\Desktop\\empty")) << "/e copies empty folders too";
  EXPECT_EQ(ReadFileBytes(t + "\\Favorites\\Links\\site.url"), "[InternetShortcut]\r\n");
  EXPECT_EQ(ReadFileBytes(t + "\\Mydocu~1\\doc.txt"), "document");
  EXPECT_EQ(ReadFileBytes(t + "\\Mydocu~1\\notes\\n.txt"), "note");
  EXPECT_TRUE(IsFolder(t + "\\My Documents\\My Pictures"));
  // Copied, not moved.
  EXPECT_EQ(ReadFileBytes(profile + "\\Desktop\\b.txt"), "desktop");
  EXPECT_EQ(ReadFileBytes(profile + "\\Mydocu~1\\doc.txt"), "document");
}

// A second run must not lay the original over files changed since the first
// one: to the same target (typed in another case) nothing is copied; to a
// new target the files come from where the first run put them.
TEST_F(Relocation, RelocatingTwiceKeepsAFileChangedAfterTheFirstMoveAndCarriesItOn) {
  DeleteFileA((std::string(kProgramDirectory) + "\\cmd.exe").c_str());
  ASSERT_FALSE(PathExists(std::string(kProgramDirectory) + "\\cmd.exe"));
  const std::string profile = "C:\\Docume~1\\" + UserName();
  MakeFolders(profile + "\\Desktop");
  ASSERT_TRUE(WriteFileBytes(profile + "\\Desktop\\notes.txt", "as it was"));
  const std::string first = "D:\\First", second = "D:\\Second";

  EXPECT_EQ(Relocate(first, {kDesktopBox}, 120000).text, kSuccessMessage);
  ASSERT_EQ(ReadFileBytes(first + "\\Desktop\\notes.txt"), "as it was");
  ASSERT_TRUE(WriteFileBytes(first + "\\Desktop\\notes.txt", "changed since"));
  ASSERT_TRUE(WriteFileBytes(first + "\\Desktop\\new.txt", "made since"));

  EXPECT_EQ(Relocate("d:\\first\\", {kDesktopBox}, 120000).text, kSuccessMessage);
  EXPECT_EQ(ReadFileBytes(first + "\\Desktop\\notes.txt"), "changed since");
  // Already in place: left as the first run wrote it, not in the new case.
  auto location = ReadRegistryValue(HKEY_CURRENT_USER, kUserShellFolders, "Desktop");
  ASSERT_TRUE(location.has_value());
  EXPECT_EQ(location->bytes, first + "\\Desktop" + std::string(1, '\0'));

  EXPECT_EQ(Relocate(second, {kDesktopBox}, 120000).text, kSuccessMessage);
  EXPECT_EQ(ReadFileBytes(second + "\\Desktop\\notes.txt"), "changed since");
  EXPECT_EQ(ReadFileBytes(second + "\\Desktop\\new.txt"), "made since");
  for (const ListedValue& value : ListedValues(second, kDesktopBox))
    EXPECT_EQ(ReadRegistryValue(value.root, value.key, value.name).value_or(RegistryValue{}).bytes,
              value.data + std::string(1, '\0'))
        << value.key << "\\" << value.name;
  // Copied, not moved: the first target keeps its files.
  EXPECT_EQ(ReadFileBytes(first + "\\Desktop\\notes.txt"), "changed since");
  EXPECT_EQ(ReadFileBytes(profile + "\\Desktop\\notes.txt"), "as it was");
}

// A target that cannot be used stops the run before anything changes, and
// the box says why: a drive that is not there, a file standing on the path.
TEST_F(Relocation, UnusableTargetsChangeNoRegistryValueAndSayWhy) {
  ASSERT_TRUE(InstallStandIn("cmd"));
  const std::string file = "D:\\a-file.txt";
  ASSERT_TRUE(WriteFileBytes(file, "not a folder"));
  const std::vector<ListedValue> values = ListedValues("");
  for (const ListedValue& value : values) ASSERT_TRUE(WriteRegistryText(value.root, value.key, value.name, "C:\\Before"));
  const std::pair<std::string, std::string> cases[] = {
      {"Q:\\Nowhere", "所在的驱动器或共享“Q:\\”不存在。"},
      {file, "的路径上已有文件“" + file + "”。"},
  };
  for (const auto& [target, why] : cases) {
    ASSERT_FALSE(CreateDirectoryA(target.c_str(), nullptr));
    const MessageBoxContent box = Relocate(target, {kDesktopBox, kMyDocumentsBox, kTempBox, kOutlookExpressBox});
    EXPECT_EQ(box.title, kDefaultTitle);
    EXPECT_TRUE(box.has_icon);
    EXPECT_EQ(box.text, "转移目标“" + target + "”" + why + "\r\n未做任何更改。");
    for (const ListedValue& value : values)
      EXPECT_EQ(ReadRegistryValue(value.root, value.key, value.name).value_or(RegistryValue{}).bytes, "C:\\Before" + std::string(1, '\0'))
          << target << " changed " << value.name;
  }
  EXPECT_TRUE(ReadStandInRuns("cmd").empty());
  EXPECT_EQ(ReadFileBytes(file), "not a folder");
}

// Through the real cmd: the blank and the ampersand stay inside the quoted
// paths, so cmd runs xcopy alone (a Jerry.exe stand-in beside the program,
// where cmd would look first, records any stray command) and the files land
// in the folder the user named, not in "D:\Tom".
TEST_F(Relocation, TargetWithABlankAndAnAmpersandCopiesIntoThatFolderThroughTheRealCmd) {
  DeleteFileA((std::string(kProgramDirectory) + "\\cmd.exe").c_str());
  ASSERT_TRUE(InstallStandIn("Jerry"));
  const std::string profile = "C:\\Docume~1\\" + UserName();
  MakeFolders(profile + "\\Desktop\\sub");
  ASSERT_TRUE(WriteFileBytes(profile + "\\Desktop\\b.txt", "desktop"));
  ASSERT_TRUE(WriteFileBytes(profile + "\\Desktop\\sub\\c.txt", "nested"));

  const std::string t = "D:\\Tom & Jerry Files";
  const MessageBoxContent box = Relocate(t, {kDesktopBox}, 120000);
  EXPECT_EQ(box.text, kSuccessMessage);
  EXPECT_EQ(ReadFileBytes(t + "\\Desktop\\b.txt"), "desktop");
  EXPECT_EQ(ReadFileBytes(t + "\\Desktop\\sub\\c.txt"), "nested");
  EXPECT_FALSE(PathExists("D:\\Tom"));
  EXPECT_TRUE(ReadStandInRuns("Jerry").empty()) << ReadStandInRuns("Jerry").front().command_line;
  const ListedValue desktop = ListedValues(t, kDesktopBox).front();
  EXPECT_EQ(ReadRegistryValue(desktop.root, desktop.key, desktop.name).value_or(RegistryValue{}).bytes,
            desktop.data + std::string(1, '\0'));
}

// ---------------------------------------------------------------------------
// The folder picker

constexpr UINT kSetSelection = WM_USER + 102;  // BFFM_SETSELECTIONA
constexpr int kPromptStatic = 0x3742;

TEST_F(Relocation, PickerAsksForTheTargetAndCancelEmptiesIt) {
  HWND edit = Control(kTargetEditBox);
  ASSERT_EQ(GetText(edit), "D:\\Personal");
  ASSERT_TRUE(PressMouse(Control(kPickerLabel)));
  HWND picker = program_.WaitForMessageBox();
  ASSERT_NE(picker, nullptr) << "no folder picker";
  EXPECT_EQ(GetText(GetDlgItem(picker, kPromptStatic)), kPickerPrompt);
  ASSERT_TRUE(AnswerMessageBox(picker, IDCANCEL));
  EXPECT_TRUE(WaitForText(edit, ""));
}

TEST_F(Relocation, PickedFolderBecomesTheTarget) {
  HWND edit = Control(kTargetEditBox);
  ASSERT_TRUE(SetText(edit, "elsewhere"));
  ASSERT_TRUE(PressMouse(Control(kPickerLabel)));
  HWND picker = program_.WaitForMessageBox();
  ASSERT_NE(picker, nullptr) << "no folder picker";
  // The picker reads the path from its own process's memory.
  const std::string path = "D:\\Personal";
  void* remote = VirtualAllocEx(program_.Handle(), nullptr, path.size() + 1, MEM_COMMIT, PAGE_READWRITE);
  ASSERT_NE(remote, nullptr);
  ASSERT_TRUE(WriteProcessMemory(program_.Handle(), remote, path.c_str(), path.size() + 1, nullptr));
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(picker, kSetSelection, TRUE, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 5000,
                      &ignored);
  ASSERT_TRUE(AnswerMessageBox(picker, IDOK));
  EXPECT_TRUE(WaitForText(edit, path)) << GetText(edit);
}

}  // namespace
