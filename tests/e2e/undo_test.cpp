// Undo, end to end: the registry a command touches is pictured with the
// system's own calls, the command runs through the real program's windows,
// the restore file it wrote is imported with regedit /s (started from here,
// so of this process's bitness, like the program's), and the registry must
// then equal the picture byte for byte, keys that did not exist included.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "driver.h"
#include "lumeno_windows.h"
#include "ui/control_ids.h"
#include "support/expected_data.h"
#include "support/texts.h"
#include "ui/controls.h"

namespace {

using namespace driver;
using namespace lumeno_e2e;
using namespace lumeno::settings_controls;

const std::string kBackupFolder = std::string(kProgramDirectory) + "\\" + texts::kBackupFolder;
// GBK: "淺" (9C 5C: its second byte is a backslash).
const std::string kBackslashCharacter = "\x9C\x5C";
const std::string kTypedUrls = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
const std::string kServices = "SYSTEM\\CurrentControlSet\\Services";

// ---------------------------------------------------------------------------
// Pictures of the registry, read with the system's own calls: one entry per
// key ("exists" / "missing") and per value ("missing" or type and bytes).

using Picture = std::map<std::string, std::string>;
using Watch = std::vector<std::function<void(Picture&)>>;

std::string RootName(HKEY root) {
  if (root == HKEY_CLASSES_ROOT) return "HKCR";
  if (root == HKEY_LOCAL_MACHINE) return "HKLM";
  if (root == HKEY_USERS) return "HKU";
  return "HKCU";
}

std::string Describe(const std::optional<RegistryValue>& value) {
  if (!value) return "missing";
  std::string text = "type " + std::to_string(value->type) + ":";
  char hex[4];
  for (unsigned char c : value->bytes) {
    std::snprintf(hex, sizeof hex, " %02x", c);
    text += hex;
  }
  return text;
}

// The key and every key above it.
void PictureKeys(Picture& picture, HKEY root, const std::string& key) {
  for (size_t end = key.find('\\');; end = key.find('\\', end + 1)) {
    const std::string prefix = key.substr(0, end);
    picture[RootName(root) + "\\" + prefix] = RegistryKeyExists(root, prefix) ? "exists" : "missing";
    if (end == std::string::npos) break;
  }
}

void PictureValue(Picture& picture, HKEY root, const std::string& key, const std::string& name) {
  PictureKeys(picture, root, key);
  picture[RootName(root) + "\\" + key + " [" + name + "]"] = Describe(ReadRegistryValue(root, key, name));
}

void PictureTree(Picture& picture, HKEY root, const std::string& key) {
  PictureKeys(picture, root, key);
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return;
  std::vector<std::string> names, subkeys;
  char name[1024];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    if (RegEnumValueA(handle, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    if (RegEnumKeyExA(handle, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subkeys.emplace_back(name, length);
  }
  RegCloseKey(handle);
  for (const std::string& value : names) PictureValue(picture, root, key, value);
  for (const std::string& subkey : subkeys) PictureTree(picture, root, key + "\\" + subkey);
}

std::vector<std::string> Subkeys(HKEY root, const std::string& key) {
  std::vector<std::string> subkeys;
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return subkeys;
  char name[1024];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    if (RegEnumKeyExA(handle, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subkeys.emplace_back(name, length);
  }
  RegCloseKey(handle);
  return subkeys;
}

Picture Take(const Watch& watch) {
  Picture picture;
  for (const auto& part : watch) part(picture);
  return picture;
}

// Every entry of either picture that differs, as "entry: before -> after".
std::vector<std::string> Differences(const Picture& before, const Picture& after) {
  std::set<std::string> entries;
  for (const auto& [entry, state] : before) entries.insert(entry);
  for (const auto& [entry, state] : after) entries.insert(entry);
  std::vector<std::string> differences;
  for (const std::string& entry : entries) {
    const auto b = before.find(entry), a = after.find(entry);
    const std::string was = b == before.end() ? "(not pictured)" : b->second;
    const std::string is = a == after.end() ? "(not pictured)" : a->second;
    if (was != is) differences.push_back(entry + ": " + was + " -> " + is);
  }
  return differences;
}

// ---------------------------------------------------------------------------
// Restore files

std::set<std::string> FilesIn(const std::string& folder) {
  std::set<std::string> files;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return files;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.insert(folder + "\\" + found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return files;
}

// The one file that is in after and not in before; empty unless exactly one.
std::string NewFile(const std::set<std::string>& before, const std::set<std::string>& after) {
  std::vector<std::string> added;
  for (const std::string& file : after)
    if (!before.count(file)) added.push_back(file);
  return added.size() == 1 ? added[0] : std::string();
}

bool ImportWithRegedit(const std::string& file) {
  Program regedit;
  return regedit.Start("regedit.exe /s \"" + file + "\"") && regedit.WaitForExit(60000) && regedit.ExitCode() == 0;
}

HKEY RootKey(const std::string& name) {
  const std::map<std::string, HKEY> roots = {
      {"HKEY_CURRENT_USER", HKEY_CURRENT_USER}, {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}, {"HKEY_USERS", HKEY_USERS}};
  return roots.at(name);
}

bool SetValue(HKEY root, const std::string& key, const std::string& name, DWORD type, const std::string& bytes) {
  HKEY handle = nullptr;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) != ERROR_SUCCESS)
    return false;
  LONG status = RegSetValueExA(handle, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                               static_cast<DWORD>(bytes.size()));
  RegCloseKey(handle);
  return status == ERROR_SUCCESS;
}

// Runs command (which ends with the program's message box answered), then
// imports the one restore file it left in folder and compares the registry
// with what it was before. The command must have changed it.
void RoundTrip(const Watch& watch, const std::function<void()>& command, const std::string& folder = kBackupFolder) {
  const Picture before = Take(watch);
  const std::set<std::string> files_before = FilesIn(folder);
  command();
  const std::string restore_file = NewFile(files_before, FilesIn(folder));
  ASSERT_FALSE(restore_file.empty()) << "no new restore file in " << folder;
  ASSERT_EQ(restore_file.substr(restore_file.size() - 4), ".reg");
  EXPECT_FALSE(Differences(before, Take(watch)).empty()) << "the command changed nothing the test watches";
  ASSERT_TRUE(ImportWithRegedit(restore_file)) << restore_file;
  for (const std::string& difference : Differences(before, Take(watch))) ADD_FAILURE() << difference;
}

// ---------------------------------------------------------------------------
// Optimize: the twenty tweak boxes and the typed addresses

TEST(UndoRoundTrip, OptimizeWithAllTwentyTweaksAndTheTypedAddresses) {
  // Values the writes meet in unusual shapes, so that every type must survive.
  const std::string desktop = "Control Panel\\Desktop";
  const std::string winlogon = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
  const std::string binary(200, '\x5C');
  ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control", "WaitToKillServiceTimeout",
                       REG_EXPAND_SZ, "%SystemRoot%\\" + kBackslashCharacter + std::string(1, '\0')));
  ASSERT_TRUE(SetValue(HKEY_CURRENT_USER, desktop, "HungAppTimeout", REG_MULTI_SZ, std::string("5000\0x\0\0", 8)));
  ASSERT_TRUE(SetValue(HKEY_CURRENT_USER, desktop, "MenuShowDelay", REG_SZ,
                       "say \"" + kBackslashCharacter + "\" \\ ok" + std::string(1, '\0')));
  ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, winlogon, "SFCDisable", REG_BINARY, binary));
  ASSERT_TRUE(SetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\PCHealth\\ErrorReporting", "AllOrNone", REG_QWORD,
                       std::string("\1\2\3\4\5\6\7\x08", 8)));
  ASSERT_TRUE(SetValue(HKEY_CURRENT_USER, kTypedUrls, "url1", REG_SZ, std::string("http://example.invalid/") + '\0'));
  ASSERT_TRUE(SetValue(HKEY_CURRENT_USER, kTypedUrls, "url2", REG_SZ,
                       "\\\\server\\" + kBackslashCharacter + std::string(1, '\0')));

  // tests/data/catalogue.tsv: box, id, step, root, item path ("key\\value"), type, data.
  const expected::Table catalogue = expected::ReadTable("catalogue.tsv");
  Watch watch;
  for (const expected::Row& row : catalogue) {
    const std::string& path = row.at(4);
    const size_t split = path.rfind('\\');
    const HKEY root = RootKey(row.at(3));
    watch.push_back([=](Picture& p) { PictureValue(p, root, path.substr(0, split), path.substr(split + 1)); });
  }
  watch.push_back([](Picture& p) { PictureTree(p, HKEY_CURRENT_USER, kTypedUrls); });

  Program program;
  HWND main_window = StartProgram(program);
  ASSERT_NE(main_window, nullptr);
  for (const std::string& box : expected::Distinct(catalogue, 1))
    ASSERT_TRUE(SetChecked(WaitForControl(main_window, static_cast<uint32_t>(expected::Number(box))), true)) << box;
  // The cleaning item whose privacy cleaning of kind 0 deletes the typed addresses.
  const expected::Table privacy =
      expected::RowsWhere(expected::ReadTable("cleaning_items.tsv"), 1, "CleanPrivacyTraces");
  const auto typed_addresses_box = static_cast<uint32_t>(expected::Number(expected::RowsWhere(privacy, 2, "0").at(0).at(0)));
  ASSERT_TRUE(SetChecked(WaitForControl(main_window, typed_addresses_box), true));
  HWND button = WaitForControl(main_window, lumeno::main_controls::kOptimizeButton);
  RoundTrip(watch, [&] {
    PressAndReadMessage(program, button, 60000);
    EXPECT_TRUE(WaitForEnabled(button, true));
  });
}

// ---------------------------------------------------------------------------
// A service profile: every installed service's start type

TEST(UndoRoundTrip, AServiceProfile) {
  // Wine's sc has no "config": this stand-in sets the Start value as sc does.
  ASSERT_TRUE(CopyFileA((std::string(kTestDirectory) + "\\start_type_stand_in.exe").c_str(),
                        (std::string(kProgramDirectory) + "\\sc.exe").c_str(), FALSE));
  const std::vector<std::string> installed = Subkeys(HKEY_LOCAL_MACHINE, kServices);
  ASSERT_FALSE(installed.empty());
  Watch watch = {[](Picture& p) {
    // Every service key there is, so that one made by the restore file shows too.
    for (const std::string& service : Subkeys(HKEY_LOCAL_MACHINE, kServices))
      PictureValue(p, HKEY_LOCAL_MACHINE, kServices + "\\" + service, "Start");
  }};

  Program program;
  HWND main_window = StartProgram(program);
  ASSERT_NE(main_window, nullptr);
  HWND settings = OpenSettingsPage(program, main_window, kPageServices);
  ASSERT_NE(settings, nullptr);
  ASSERT_TRUE(SetChecked(WaitForControl(settings, kMinimalRadio), true));
  RoundTrip(watch, [&] { PressAndReadMessage(program, WaitForControl(settings, kApplyProfileButton)); });
}

// ---------------------------------------------------------------------------
// Relocation: every value it rewrites, to a target whose GBK text holds a
// byte 0x5C that is no backslash

constexpr int kPageRelocation = 2;

// The whole of every key tests/data/relocation.tsv lists a value of.
Watch RelocationWatch() {
  std::set<std::pair<std::string, std::string>> keys;
  for (const expected::Row& row : expected::RowsWhere(expected::ReadTable("relocation.tsv"), 1, "value"))
    keys.insert({row.at(2), row.at(3).substr(0, row.at(3).rfind('\\'))});
  Watch watch;
  for (const auto& [root, key] : keys) watch.push_back([=](Picture& p) { PictureTree(p, RootKey(root), key); });
  return watch;
}

void Relocate(Program& program, std::initializer_list<uint32_t> boxes) {
  HWND main_window = StartProgram(program);
  ASSERT_NE(main_window, nullptr);
  HWND settings = OpenSettingsPage(program, main_window, kPageRelocation);
  ASSERT_NE(settings, nullptr);
  for (uint32_t box : boxes) ASSERT_TRUE(SetChecked(WaitForControl(settings, box), true));
  // GBK: "C:\lumeno-test\淺资料".
  ASSERT_TRUE(SetText(WaitForControl(settings, kTargetEdit),
                      "C:\\lumeno-test\\" + kBackslashCharacter + "\xD7\xCA\xC1\xCF"));
  PressAndReadMessage(program, WaitForControl(settings, kRelocateButton));
}

TEST(UndoRoundTrip, RelocationOfAllSixFolders) {
  Program program;
  RoundTrip(RelocationWatch(), [&] {
    Relocate(program, {kDesktopBox, kFavoritesBox, kMyDocumentsBox, kTempBox, kInternetCacheBox, kOutlookExpressBox});
  });
}

// A file named 备份 in the program's folder keeps the folder from being made:
// the restore file goes to %APPDATA%\Lumeno\备份 and restores as well.
TEST(UndoRoundTrip, AProgramFolderWithoutRoomFallsBackToApplicationData) {
  const std::string blocker = kBackupFolder;
  for (const std::string& file : FilesIn(blocker)) DeleteFileA(file.c_str());
  RemoveDirectoryA(blocker.c_str());
  ASSERT_TRUE(WriteFileBytes(blocker, "not a folder"));
  char application_data[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, application_data, CSIDL_APPDATA, FALSE));
  const std::string fallback = std::string(application_data) + "\\Lumeno\\" + texts::kBackupFolder;

  Program program;
  RoundTrip(RelocationWatch(), [&] { Relocate(program, {kTempBox}); }, fallback);
  EXPECT_EQ(ReadFileBytes(blocker), std::optional<std::string>("not a folder"));
  DeleteFileA(blocker.c_str());
}

}  // namespace
