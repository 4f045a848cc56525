// Restore files planned from the fake registry: what each kind of change
// saves (checked against hand-written REGEDIT4 texts), where the file goes
// and how it is named.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fakes/recorder.h"
#include "plan/plan.h"
#include "undo/restore_file.h"
#include "support/texts.h"

namespace lumeno {
namespace {

constexpr int HKCR = 1, HKCU = 3, HKLM = 4, HKU = 5;

RegistryData Sz(const std::string& text) { return {1, text + std::string(1, '\0')}; }
RegistryData Dword(uint32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  return {4, bytes};
}

// "REGEDIT4", an empty line, the sections, a closing empty line; lines end in CR LF.
std::string RegFile(const std::vector<std::string>& lines) {
  std::string text = "REGEDIT4\r\n\r\n";
  for (const std::string& line : lines) text += line + "\r\n";
  return text + "\r\n";
}

// GBK: "备份", "开始优化", "生成ADSL".
const std::string kBackupFolder = std::string("C:\\Lumeno\\") + texts::kBackupFolder;
const std::string kOptimize = "\xBF\xAA\xCA\xBC\xD3\xC5\xBB\xAF";
const std::string kBroadband = "\xC9\xFA\xB3\xC9" "ADSL";
const std::string kAppDataBackupFolder =
    std::string("C:\\Documents and Settings\\user\\Application Data\\Lumeno\\") + texts::kBackupFolder;

class RegistryBackup : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }
  static std::vector<fake::Call> NewFiles() { return fake::CallsOf({"WriteNewFile"}); }
};

struct PlanCase {
  const char* what;
  std::function<void()> registry;  // the state before the command
  std::function<std::vector<RegistryChange>()> changes;
  std::vector<std::string> expected;  // the file's sections; empty: no file at all
};

TEST_F(RegistryBackup, EachKindOfChangeSavesWhatRestoresIt) {
  const std::string kControl = "SYSTEM\\CurrentControlSet\\Control";
  const std::string kPrefetch = kControl + "\\Session Manager\\Memory Management\\PrefetchParameters";
  const std::string kNameSpace = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RemoteComputer\\NameSpace";
  const std::string kHandlers = "Directory\\Background\\shellex\\ContextMenuHandlers";
  const std::string kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::string kServices = "SYSTEM\\CurrentControlSet\\Services\\";
  const std::vector<PlanCase> cases = {
      {"an existing value is saved with its old data",
       [&] { fake::SetRegistryValue(HKLM, kControl, "WaitToKillServiceTimeout", Sz("20000")); },
       [&] { return std::vector{SetRegistryItem(HKLM, kControl + "\\WaitToKillServiceTimeout", Text("500"))}; },
       {"[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control]", "\"WaitToKillServiceTimeout\"=\"20000\""}},
      {"a value that already holds what is written needs no file",
       [&] { fake::SetRegistryValue(HKLM, kControl, "WaitToKillServiceTimeout", Sz("500")); },
       [&] { return std::vector{SetRegistryItem(HKLM, kControl + "\\WaitToKillServiceTimeout", Text("500"))}; },
       {}},
      {"the same data under another type is a change",
       [&] { fake::SetRegistryValue(HKLM, kPrefetch, "EnablePrefetcher", Sz("1")); },
       [&] { return std::vector{SetRegistryItem(HKLM, kPrefetch + "\\EnablePrefetcher", ToNumber("1"))}; },
       {"[HKEY_LOCAL_MACHINE\\" + kPrefetch + "]", "\"EnablePrefetcher\"=\"1\""}},
      {"a value written twice is saved once, as it was before the first write",
       [&] { fake::SetRegistryValue(HKLM, kPrefetch, "EnablePrefetcher", Dword(3)); },
       [&] {
         return std::vector{SetRegistryItem(HKLM, kPrefetch + "\\EnablePrefetcher", ToNumber("00000001")),
                            SetRegistryItem(HKLM, kPrefetch + "\\enableprefetcher", ToNumber("1"))};
       },
       {"[HKEY_LOCAL_MACHINE\\" + kPrefetch + "]", "\"EnablePrefetcher\"=dword:00000003"}},
      {"a missing value in an existing key is removed again",
       [&] { fake::AddRegistryKey(HKCU, "Control Panel\\Desktop"); },
       [&] { return std::vector{SetRegistryItem(HKCU, "Control Panel\\Desktop\\AutoEndTasks", ToNumber("1"))}; },
       {"[HKEY_CURRENT_USER\\Control Panel\\Desktop]", "\"AutoEndTasks\"=-"}},
      {"missing keys: the topmost one the writes create is removed, once, whatever the case",
       [&] { fake::AddRegistryKey(HKCU, "Software\\Microsoft"); },
       [&] {
         return std::vector{SetRegistryItem(HKCU, "Software\\Microsoft\\Office\\11.0\\Common\\DWNeverUpload", 1),
                            SetRegistryItem(HKCU, "software\\microsoft\\OFFICE\\11.0\\Common\\DWNoExternalURL", 1)};
       },
       {"[-HKEY_CURRENT_USER\\Software\\Microsoft\\Office]"}},
      {"default values: a missing one is removed, a created key with it",
       [&] { fake::AddRegistryKey(HKLM, kNameSpace); },
       [&] {
         return std::vector{
             SetRegistryItem(HKLM, kNameSpace + "\\{2227A280-3AEA-1069-A2DE-08002B30309D}\\", Text("Printers")),
             SetRegistryItem(HKLM, kNameSpace + "\\", Text("Printers"))};
       },
       {"[-HKEY_LOCAL_MACHINE\\" + kNameSpace + "\\{2227A280-3AEA-1069-A2DE-08002B30309D}]", "",
        "[HKEY_LOCAL_MACHINE\\" + kNameSpace + "]", "@=-"}},
      {"a deleted tree is removed and written back whole, which also undoes what is added into it",
       [&] {
         fake::AddRegistryKey(HKCR, kHandlers);
         fake::SetRegistryValue(HKCR, kHandlers + "\\igfxcui", "", Sz("{3AB1675A-CCFF-11D2-8B20-00A0C93CB1F4}"));
         fake::SetRegistryValue(HKCR, kHandlers + "\\igfxcui\\Options", "Level", Dword(2));
         fake::SetRegistryValue(HKCR, kHandlers + "\\Sharing", "", Sz("{f81e9010-6ea4-11ce-a7ff-00aa003ca9f6}"));
       },
       [&] {
         return std::vector{DeleteRegistryTree(HKCR, kHandlers),
                            SetRegistryItem(HKCR, kHandlers + "\\new\\", Text("{D969A300-E7FF-11d0-A93B-00A0C90F2719}"))};
       },
       {"[-HKEY_CLASSES_ROOT\\" + kHandlers + "]", "", "[HKEY_CLASSES_ROOT\\" + kHandlers + "]", "",
        "[HKEY_CLASSES_ROOT\\" + kHandlers + "\\igfxcui]", "@=\"{3AB1675A-CCFF-11D2-8B20-00A0C93CB1F4}\"", "",
        "[HKEY_CLASSES_ROOT\\" + kHandlers + "\\igfxcui\\Options]", "\"Level\"=dword:00000002", "",
        "[HKEY_CLASSES_ROOT\\" + kHandlers + "\\Sharing]", "@=\"{f81e9010-6ea4-11ce-a7ff-00aa003ca9f6}\""}},
      {"deleting a tree that is not there changes nothing; what is then added is removed again",
       [&] { fake::AddRegistryKey(HKCR, "Directory\\Background"); },
       [&] {
         return std::vector{DeleteRegistryTree(HKCR, kHandlers),
                            SetRegistryItem(HKCR, kHandlers + "\\new\\", Text("{D969A300-E7FF-11d0-A93B-00A0C90F2719}"))};
       },
       {"[-HKEY_CLASSES_ROOT\\Directory\\Background\\shellex]"}},
      {"deleted values are saved when present and need nothing when absent",
       [&] { fake::SetRegistryValue(HKLM, kRun, "HotKeysCmds", Sz("C:\\WINDOWS\\System32\\hkcmd.exe")); },
       [&] {
         return std::vector{DeleteRegistryValue(HKLM, kRun, "HotKeysCmds"), DeleteRegistryValue(HKLM, kRun, "IgfxTray")};
       },
       {"[HKEY_LOCAL_MACHINE\\" + kRun + "]", "\"HotKeysCmds\"=\"C:\\\\WINDOWS\\\\System32\\\\hkcmd.exe\""}},
      {"start types: saved for installed services that change",
       [&] {
         fake::SetRegistryValue(HKLM, kServices + "Spooler", "Start", Dword(2));
         fake::SetRegistryValue(HKLM, kServices + "Alerter", "Start", Dword(4));
         fake::SetRegistryValue(HKLM, kServices + "TapiSrv", "Start", Dword(3));
         fake::AddRegistryKey(HKLM, kServices + "NoStart");
       },
       [&] {
         PlanBuilder plan;
         plan.SetServiceStart("sc config   Spooler start= DISABLED ", "Spooler", 4);
         plan.SetServiceStart("sc config   Alerter start= disabled", "Alerter", 4);
         plan.SetServiceStart("sc config   ose start= DEMAND", "ose", 3);
         plan.SetServiceStart("sc config  TapiSrv start= auto", "TapiSrv", 2);
         plan.RunCommand("net start TapiSrv", CommandCheck::kServiceRunning, "TapiSrv");
         plan.SetServiceStart("sc config   NoStart start= auto", "NoStart", 2);
         return RegistryChangesOf(plan.Finish());
       },
       {"[HKEY_LOCAL_MACHINE\\" + kServices + "Spooler]", "\"Start\"=dword:00000002", "",
        "[HKEY_LOCAL_MACHINE\\" + kServices + "TapiSrv]", "\"Start\"=dword:00000003", "",
        "[HKEY_LOCAL_MACHINE\\" + kServices + "NoStart]", "\"Start\"=-"}},
      {"keys directly below HKEY_USERS that are no loaded hive are left out",
       [&] { fake::SetRegistryValue(HKU, ".DEFAULT\\Environment", "TEMP", Sz("%USERPROFILE%\\Local Settings\\Temp")); },
       [&] {
         return std::vector{SetRegistryItem(HKU, "Control Panel\\Desktop\\AutoEndTasks", 1),
                            SetRegistryItem(HKU, ".default\\Environment\\TEMP", Text("D:\\Temp"))};
       },
       {"[HKEY_USERS\\.default\\Environment]", "\"TEMP\"=\"%USERPROFILE%\\\\Local Settings\\\\Temp\""}},
  };
  for (const PlanCase& c : cases) {
    fake::Reset();
    c.registry();
    const BackupResult result = BackupBeforeChanges(kOptimize, c.changes());
    const std::vector<fake::Call> files = NewFiles();
    if (c.expected.empty()) {
      EXPECT_FALSE(result.needed) << c.what;
      EXPECT_TRUE(files.empty()) << c.what;
      continue;
    }
    EXPECT_TRUE(result.needed && result.written) << c.what;
    ASSERT_EQ(files.size(), 1u) << c.what;
    EXPECT_EQ(files[0].args[1], RegFile(c.expected)) << c.what;
  }
}

// ---------------------------------------------------------------------------
// Where the file goes and what it is called

std::vector<RegistryChange> OneChange() {
  return {SetRegistryItem(HKCU, "Control Panel\\Desktop\\MenuShowDelay", Text("0"))};
}

// Restore files of a whole room of PCs end up side by side: the name tells
// the machine, and runs in one second on one machine never share a file.
TEST_F(RegistryBackup, NamedByLocalTimeComputerAndCommandAndNeverOverwritten) {
  struct Run {
    LocalTime time;
    Text computer;
    std::string path;
  };
  const std::vector<Run> runs = {
      {{2026, 12, 8, 14, 30, 5}, "PC-07", kBackupFolder + "\\20261208-143005 PC-07 " + kOptimize + ".reg"},
      {{2026, 12, 8, 14, 30, 5}, "PC-07", kBackupFolder + "\\20261208-143005 PC-07 " + kOptimize + " (2).reg"},
      {{2026, 12, 8, 14, 30, 5}, "PC-07", kBackupFolder + "\\20261208-143005 PC-07 " + kOptimize + " (3).reg"},
      {{2026, 12, 8, 14, 30, 5}, "KEFU-2", kBackupFolder + "\\20261208-143005 KEFU-2 " + kOptimize + ".reg"},
      {{2027, 1, 2, 3, 4, 5}, "PC-07", kBackupFolder + "\\20270102-030405 PC-07 " + kOptimize + ".reg"},
      // A machine whose name the system does not give keeps the old form.
      {{2027, 1, 2, 3, 4, 5}, "", kBackupFolder + "\\20270102-030405 " + kOptimize + ".reg"},
  };
  for (const Run& run : runs) {
    fake::GetState().local_time = run.time;
    fake::GetState().computer_name = run.computer;
    const BackupResult result = BackupBeforeChanges(kOptimize, OneChange());
    EXPECT_TRUE(result.written);
    EXPECT_EQ(result.paths, std::vector<Text>{run.path});
    EXPECT_TRUE(fake::GetState().files.count(run.path)) << run.path;
  }
  EXPECT_EQ(fake::GetState().files.size(), runs.size());
  EXPECT_EQ(fake::CallsOf({"CreateFolder"})[0], (fake::Call{"CreateFolder", {kBackupFolder}}));
  // Finding %APPDATA% loads shell32: not done while the program folder takes the files.
  EXPECT_EQ(fake::GetState().application_data_asked, 0);
}

TEST_F(RegistryBackup, AProgramFolderThatTakesNoFileFallsBackToApplicationData) {
  fake::GetState().unwritable_folders = {kBackupFolder};
  const BackupResult result = BackupBeforeChanges(kOptimize, OneChange());
  EXPECT_TRUE(result.written);
  EXPECT_TRUE(result.error.empty());
  EXPECT_EQ(result.paths, std::vector<Text>{kAppDataBackupFolder + "\\20261208-143005 PC-07 " + kOptimize + ".reg"});
  const std::vector<fake::Call> folders = {
      {"CreateFolder", {kBackupFolder}},
      {"CreateFolder", {"C:\\Documents and Settings\\user\\Application Data\\Lumeno"}},
      {"CreateFolder", {kAppDataBackupFolder}},
  };
  EXPECT_EQ(fake::CallsOf({"CreateFolder"}), folders);
  EXPECT_EQ(fake::GetState().application_data_asked, 1);
}

TEST_F(RegistryBackup, NoFolderThatTakesTheFileIsAFailureNamingBoth) {
  fake::GetState().unwritable_folders = {kBackupFolder, kAppDataBackupFolder};
  const BackupResult result = BackupBeforeChanges(kOptimize, OneChange());
  EXPECT_TRUE(result.needed);
  EXPECT_FALSE(result.written);
  EXPECT_TRUE(result.paths.empty());
  EXPECT_EQ(result.system_error, 5u);
  EXPECT_NE(result.error.find(kBackupFolder), std::string::npos) << result.error;
  EXPECT_NE(result.error.find(kAppDataBackupFolder), std::string::npos) << result.error;
  EXPECT_TRUE(fake::GetState().files.empty());
}

std::vector<RegistryChange> StartTypeChange(const char* service, uint32_t start_type) {
  PlanBuilder plan;
  plan.SetServiceStart(ConcatTexts("sc config  ", service, " start= auto"), service, start_type);
  return RegistryChangesOf(plan.Finish());
}

TEST_F(RegistryBackup, AFurtherFileGoesBesideTheRestoreFile) {
  fake::SetRegistryValue(HKLM, "SYSTEM\\CurrentControlSet\\Services\\TapiSrv", "Start", Dword(3));
  const std::vector<BackupFile> phonebook = {{"rasphone.pbk", "[old]\r\n"}};
  fake::GetState().unwritable_folders = {kBackupFolder};
  BackupResult result =
      BackupBeforeChanges(kBroadband, StartTypeChange("TapiSrv", 2), phonebook);
  const std::vector<Text> expected = {kAppDataBackupFolder + "\\20261208-143005 PC-07 " + kBroadband + ".reg",
                                      kAppDataBackupFolder + "\\20261208-143005 PC-07 rasphone.pbk"};
  EXPECT_TRUE(result.written);
  EXPECT_EQ(result.paths, expected);
  EXPECT_EQ(fake::GetState().files[expected[1]], "[old]\r\n");

  // Without a registry change the copy is the whole backup.
  fake::Reset();
  result = BackupBeforeChanges(kBroadband, {}, phonebook);
  EXPECT_TRUE(result.needed && result.written);
  EXPECT_EQ(result.paths, std::vector<Text>{kBackupFolder + "\\20261208-143005 PC-07 rasphone.pbk"});
}

TEST_F(RegistryBackup, WhatCannotBeReadMakesTheBackupIncompleteButKeepsTheRest) {
  fake::SetRegistryValue(HKCU, "Control Panel\\Desktop", "MenuShowDelay", Sz("400"));
  fake::GetState().unreadable_keys = {{HKLM, "system\\currentcontrolset\\control"}};
  const BackupResult result = BackupBeforeChanges(
      kOptimize, std::vector{SetRegistryItem(HKLM, "SYSTEM\\CurrentControlSet\\Control\\WaitToKillServiceTimeout",
                                             Text("500")),
                             OneChange()[0]});
  EXPECT_TRUE(result.needed);
  EXPECT_FALSE(result.written);
  ASSERT_EQ(result.paths.size(), 1u);
  EXPECT_EQ(fake::GetState().files[result.paths[0]],
            RegFile({"[HKEY_CURRENT_USER\\Control Panel\\Desktop]", "\"MenuShowDelay\"=\"400\""}));
  EXPECT_NE(result.error.find("HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control"), std::string::npos)
      << result.error;
}

TEST_F(RegistryBackup, NothingToChangeWritesNothingAndMakesNoFolder) {
  const BackupResult result = BackupBeforeChanges(kOptimize, {});
  EXPECT_FALSE(result.needed);
  EXPECT_FALSE(result.written);
  EXPECT_TRUE(fake::CallsOf({"CreateFolder", "WriteNewFile"}).empty());
}

}  // namespace
}  // namespace lumeno
