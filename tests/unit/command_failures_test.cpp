// Each command on a machine where things go wrong: its one closing box names
// what failed and why, normal situations (a service or share this system does
// not have, a source folder it lacks) still end in the unchanged success
// message, and nothing is pointed at a folder that is not there. One
// data-driven test per command; the fake system answers from fake::State.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "cleaning/cleanup_scripts.h"
#include "cleaning/empty_folder_sweep.h"
#include "fakes/recorder.h"
#include "relocation/relocation.h"
#include "services/services.h"
#include "support/expected_data.h"
#include "support/texts.h"
#include "tweaks/optimize.h"
#include "utilities/broadband.h"
#include "ui/controls.h"

namespace lumeno {
namespace {

using namespace settings_controls;
using texts::kDefaultTitle;

struct Box {
  std::string text;
  std::string style;
  std::string title;
};

struct Case {
  const char* name;
  std::function<void(fake::State&)> arrange;
  Box expected;
  std::function<void()> also = [] {};  // further checks of the case's effects
};

// Runs each case on a fresh fake system and compares the one closing box.
void RunCases(void (*command)(), const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    fake::Reset();
    c.arrange(fake::GetState());
    command();
    const std::vector<fake::Call> boxes = fake::CallsOf({"ShowMessageBox"});
    ASSERT_EQ(boxes.size(), 1u) << c.name;
    EXPECT_EQ(boxes[0].args, (std::vector<std::string>{c.expected.text, c.expected.style, c.expected.title}))
        << c.name;
    c.also();
  }
}

void Tick(fake::State& s, ControlId box) { s.properties[{kSettingsWindow, box, kPropertyChecked}] = PropertyValue::Boolean(true); }

std::vector<std::string> Args(const char* op, size_t index) {
  std::vector<std::string> out;
  for (const fake::Call& c : fake::CallsOf({op})) out.push_back(c.args[index]);
  return out;
}

// ---------------------------------------------------------------------------

// "服务 <name>：无法启动：找不到文件。" for the first ten lines of a profile
// (tests/data/service_profiles.tsv), then how many more there are.
std::string FirstTenUnstarted(ControlId radio) {
  const expected::Table lines = expected::RowsWhere(expected::ReadTable("service_profiles.tsv"), 0, fake::Hex32(radio));
  std::string text;
  for (size_t i = 0; i < 10 && i < lines.size(); ++i) {
    const std::string& line = lines[i].at(1);  // "sc config   <name> start= ..."
    const size_t name = line.find_first_not_of(' ', line.find("config") + 6);
    text += "\r\n服务 " + line.substr(name, line.find(' ', name) - name) + "：无法启动：找不到文件。";
  }
  return text + "\r\n……另有 " + std::to_string(lines.size() - 10) + " 项";
}

TEST(CommandFailures, ServiceProfile) {
  RunCases(ApplyServiceProfile, {
      {"services missing here are no failure",
       [](fake::State& s) {
         Tick(s, kCafeRadio);
         s.exit_codes["sc config   ose start= DEMAND "] = 1060;
         s.exit_codes["sc config   WMConnectCDS start= DEMAND "] = 1060;
       },
       {"服务优化完毕！", "64", kDefaultTitle}},
      {"refused lines are named with the system's reason",
       [](fake::State& s) {
         Tick(s, kCafeRadio);
         s.exit_codes["sc config   Alerter start= DISABLED "] = 5;
         s.exit_codes["sc config   xmlprov start= DEMAND "] = 1072;
         s.error_texts = {{5, "拒绝访问。"}, {1072, "指定的服务已标记为删除。"}};
       },
       {"服务优化完成，但有 2 项未能执行：\r\n服务 Alerter：退出代码 5，拒绝访问。\r\n"
        "服务 xmlprov：退出代码 1072，指定的服务已标记为删除。",
        "48", kDefaultTitle}},
      {"sc cannot start at all",
       [](fake::State& s) {
         Tick(s, kCafeRadio);
         s.run_result = false;
         s.error_texts[2] = "找不到文件。";
       },
       {"服务优化未能完成，82 项均未能执行：" + FirstTenUnstarted(kCafeRadio), "16", kDefaultTitle}},
  });
}

TEST(CommandFailures, StartingServices) {
  RunCases(StartSelectedServices, {
      {"already running counts as started",
       [](fake::State& s) {
         Tick(s, kSpoolerBox);
         s.exit_codes["net start spooler"] = 2;
         s.services["spooler"] = ServiceState::kRunning;
       },
       {"所选项目服务启动完毕！", "64", kDefaultTitle}},
      {"a start that left the service stopped, and one that is not installed",
       [](fake::State& s) {
         Tick(s, kSpoolerBox);
         Tick(s, kWirelessBox);
         s.exit_codes["net start spooler"] = 2;
         s.services["spooler"] = ServiceState::kStopped;
         s.exit_codes["sc config   WZCSVC start= auto "] = 1060;
         s.exit_codes["net start WZCSVC"] = 2;
         s.services["WZCSVC"] = ServiceState::kNotInstalled;
       },
       {"服务启动完成，但有 2 项未能执行：\r\n启动服务 spooler：退出代码 2，服务未运行\r\n"
        "启动服务 WZCSVC：退出代码 2，服务未安装",
        "48", kDefaultTitle}},
  });
}

// ---------------------------------------------------------------------------

const char kDone[] = "恭喜您，你选择的优化项目已完成！";

void TickMain(fake::State& s, const std::string& id) {
  s.properties[{kMainWindow, static_cast<ControlId>(expected::Number(id)), kPropertyChecked}] = PropertyValue::Boolean(true);
}
// The tweak box that writes the value at path (tests/data/catalogue.tsv), and
// the cleaning box that runs this kind of privacy cleaning (cleaning_items.tsv).
void TickTweakWriting(fake::State& s, const std::string& path) {
  TickMain(s, expected::RowsWhere(expected::ReadTable("catalogue.tsv"), 4, path).at(0).at(1));
}
void TickPrivacyCleaning(fake::State& s, const std::string& kind) {
  const expected::Table privacy = expected::RowsWhere(expected::ReadTable("cleaning_items.tsv"), 1, "CleanPrivacyTraces");
  TickMain(s, expected::RowsWhere(privacy, 2, kind).at(0).at(0));
}
void TickSystemCleaning(fake::State& s, const std::string& kind) {
  const expected::Table junk = expected::RowsWhere(expected::ReadTable("cleaning_items.tsv"), 1, "CleanSystemJunk");
  TickMain(s, expected::RowsWhere(junk, 2, kind).at(0).at(0));
}

TEST(CommandFailures, Optimize) {
  RunCases(OptimizeWorker, {
      {"rows under an unloaded HKEY_USERS key are skipped, not failed",
       [](fake::State& s) {
         TickTweakWriting(s, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AlwaysUnloadDLL");
         s.registry_errors["SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AlwaysUnloadDLL"] = 5;
       },
       {kDone, "64", "完成"}, [] { EXPECT_TRUE(fake::CallsOf({"WriteRegistryItem"}).empty()); }},
      {"a refused write and a cleaning that could not work",
       [](fake::State& s) {
         TickTweakWriting(s, "SYSTEM\\CurrentControlSet\\Control\\WaitToKillServiceTimeout");
         TickPrivacyCleaning(s, "9");
         TickPrivacyCleaning(s, "0");
         s.registry_errors["SYSTEM\\CurrentControlSet\\Control\\WaitToKillServiceTimeout"] = 5;
         s.registry_errors["Software\\Microsoft\\Internet Explorer\\TypedURLs"] = 5;
         s.error_texts[5] = "拒绝访问。";
       },
       {"系统优化完成，但有 2 项未能执行：\r\n"
        "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\WaitToKillServiceTimeout：拒绝访问。\r\n"
        "浏览过的网站：拒绝访问。",
        "48", "完成"}},
      {"entries the cleaning could not delete are named, past ten only counted; the walk still counts as done",
       [](fake::State& s) {
         TickSystemCleaning(s, "0");
         s.cleaning_reports[{"CleanSystemJunk", 0}] = {{{"C:\\TEMP\\a<U+1F600>.txt", 5}, {"C:\\TEMP\\b", 87}}, 3};
         s.error_texts[5] = "拒绝访问。";
         s.error_texts[87] = "参数错误。";
       },
       {"系统优化完成，但有 3 项未能执行：\r\n"
        "C:\\TEMP\\a<U+1F600>.txt：拒绝访问。\r\n"
        "C:\\TEMP\\b：参数错误。\r\n"
        "系统临时文件：另有 3 项无法删除",
        "48", "完成"}},
      {"no folder takes the restore file: the tweak still runs, the report says the undo file is missing",
       [](fake::State& s) {
         TickTweakWriting(s, "SYSTEM\\CurrentControlSet\\Control\\WaitToKillServiceTimeout");
         s.unwritable_folders = {"C:\\Lumeno\\备份", "C:\\Documents and Settings\\user\\Application Data\\Lumeno\\备份"};
         s.error_texts[5] = "拒绝访问。";
       },
       {"系统优化完成，但有 1 项未能执行：\r\n"
        "撤销文件：无法在“C:\\Lumeno\\备份”或“C:\\Documents and Settings\\user\\Application Data\\Lumeno\\备份”"
        "中写入备份文件（拒绝访问。）",
        "48", "完成"},
       [] { EXPECT_FALSE(fake::CallsOf({"WriteRegistryItem"}).empty()); }},
      {"every write refused",
       [](fake::State& s) {
         TickTweakWriting(s, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\SFCDisable");
         s.write_result = false;
       },
       {"系统优化未能完成：\r\nHKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\"
        "SFCDisable：error 5",
        "16", "完成"}},
  });
}

// ---------------------------------------------------------------------------

const char kRun[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

TEST(CommandFailures, SystemCleanup) {
  RunCases(RunSystemCleanup, {
      {"shares, values and a DLL that are not there are no failure",
       [](fake::State& s) {
         Tick(s, kContextMenuBox);
         Tick(s, kSharesBox);
         for (char letter = 'd'; letter <= 'z'; ++letter) {
           const std::string share = std::string(1, letter) + "$";
           s.exit_codes["net share " + share + " /del"] = 2;
           s.shares[share] = Presence::kAbsent;
         }
         s.exit_codes["regsvr32 /u /s igfxpph.dll"] = 3;
         s.exit_codes[std::string("reg delete HKEY_LOCAL_MACHINE\\") + kRun + " /v HotKeysCmds /f"] = 1;
         s.registry_presence[std::string("4:") + kRun + "\\HotKeysCmds"] = Presence::kAbsent;
       },
       {"系统清理成功！", "64", kDefaultTitle}},
      {"a share still there and a script that cannot be written",
       [](fake::State& s) {
         Tick(s, kJunkBox);
         Tick(s, kSharesBox);
         Tick(s, kCookiesBox);
         s.exit_codes["net share C$ /del"] = 2;
         s.shares["C$"] = Presence::kPresent;
         s.write_errors["C:\\Windows\\Temp\\QingLi.cmd"] = 3;
         s.error_texts[3] = "系统找不到指定的路径。";
       },
       {"系统清理完成，但有 2 项未能执行：\r\nC:\\Windows\\Temp\\QingLi.cmd：系统找不到指定的路径。\r\n"
        "共享 C$：退出代码 2，共享仍然存在",
        "48", kDefaultTitle},
       [] { EXPECT_EQ(Args("RunCommandLine", 0).back(), "C:\\Windows\\Temp\\DelCookies.cmd"); }},
      {"a script that cannot start",
       [](fake::State& s) {
         Tick(s, kCookiesBox);
         s.start_errors["C:\\Windows\\Temp\\DelCookies.cmd"] = 193;
       },
       {"系统清理未能完成：\r\nC:\\Windows\\Temp\\DelCookies.cmd：无法启动：error 193", "16", kDefaultTitle}},
  });
}

TEST(CommandFailures, EmptyFolderSweep) {
  const std::string script = "C:\\Lumeno\\这里填你要写入的文件.bat";
  RunCases(RunEmptyFolderSweep, {
      {"its script cannot be written",
       [&](fake::State& s) { s.write_errors[script] = 5; },
       {"空文件夹清理未能完成：\r\n" + script + "：error 5", "16", kDefaultTitle},
       [] { EXPECT_TRUE(fake::CallsOf({"RunCommandLine"}).empty()); }},
      {"its script cannot start",
       [&](fake::State& s) { s.start_errors[script] = 193; },
       {"空文件夹清理未能完成：\r\n" + script + "：无法启动：error 193", "16", kDefaultTitle}},
  });
}

// ---------------------------------------------------------------------------

const char kUnchanged[] = "\r\n未做任何更改。";
const std::string kSyntax = "”无效：必须是带盘符的完整路径（如 D:\\Personal）或网络路径（如 \\\\服务器\\共享），且不能含有双引号。";

void Target(fake::State& s, const std::string& text) {
  s.properties[{kSettingsWindow, kTargetEdit, kPropertyText}] = PropertyValue::OfText(text);
}

void NothingChanged() {
  EXPECT_TRUE(fake::CallsOf({"RunCommandLine", "WriteRegistryItem"}).empty());
}

TEST(CommandFailures, Relocation) {
  RunCases(RelocateUserFolders, {
      {"a drive that does not exist",
       [](fake::State& s) {
         Target(s, "Q:\\Nowhere");
         Tick(s, kDesktopBox);
         s.missing_folders.insert("Q:\\Nowhere");
         s.create_folder_errors["Q:\\Nowhere"] = 3;
         s.error_texts[3] = "系统找不到指定的路径。";
       },
       {std::string("无法使用转移目标“Q:\\Nowhere”：系统找不到指定的路径。") + kUnchanged, "16", kDefaultTitle},
       [] {
         NothingChanged();
         // The restore file is written before the first step; then the target fails.
         EXPECT_EQ(Args("CreateFolder", 0), (std::vector<std::string>{"C:\\Lumeno\\备份", "Q:\\Nowhere"}));
       }},
      {"folders made on the way to an unusable target are removed again",
       [](fake::State& s) {
         Target(s, "D:\\a\\b");
         Tick(s, kDesktopBox);
         s.missing_folders = {"D:\\a", "D:\\a\\b"};
         s.create_folder_errors["D:\\a\\b"] = 206;
       },
       {std::string("无法使用转移目标“D:\\a\\b”：error 206") + kUnchanged, "16", kDefaultTitle},
       [] {
         NothingChanged();
         EXPECT_EQ(Args("CreateFolder", 0), (std::vector<std::string>{"C:\\Lumeno\\备份", "D:\\a", "D:\\a\\b"}));
         EXPECT_EQ(Args("RemoveFolder", 0), (std::vector<std::string>{"D:\\a"}));
       }},
      {"a target that is a file",
       [](fake::State& s) {
         Target(s, "D:\\notes.txt\\");
         Tick(s, kTempBox);
         s.missing_folders.insert("D:\\notes.txt");
         s.create_folder_errors["D:\\notes.txt"] = 183;
         s.error_texts[183] = "当文件已存在时，无法创建该文件。";
       },
       {std::string("无法使用转移目标“D:\\notes.txt”：当文件已存在时，无法创建该文件。") + kUnchanged, "16",
        kDefaultTitle},
       NothingChanged},
      {"a relative target", [](fake::State& s) { Target(s, "Personal"); Tick(s, kDesktopBox); },
       {"转移目标“Personal" + kSyntax + kUnchanged, "16", kDefaultTitle},
       [] { EXPECT_TRUE(fake::CallsOf({"CreateFolder", "RunCommandLine", "WriteRegistryItem"}).empty()); }},
      {"a target with a double quote", [](fake::State& s) { Target(s, "D:\\a\"b"); Tick(s, kDesktopBox); },
       {"转移目标“D:\\a\"b" + kSyntax + kUnchanged, "16", kDefaultTitle}, NothingChanged},
      {"a share without its name", [](fake::State& s) { Target(s, "\\\\server\\"); Tick(s, kDesktopBox); },
       {"转移目标“\\\\server\\" + kSyntax + kUnchanged, "16", kDefaultTitle}, NothingChanged},
      {"a target naming an environment variable",
       [](fake::State& s) {
         Target(s, "D:\\%USERNAME%");
         Tick(s, kDesktopBox);
         s.environment["USERNAME"] = "tom";
       },
       {std::string("转移目标“D:\\%USERNAME%”含有环境变量的名称，复制时会被改写。") + kUnchanged, "16",
        kDefaultTitle},
       NothingChanged},
      {"a missing target is made, folder by folder",
       [](fake::State& s) {
         Target(s, "D:\\New\\Sub");
         Tick(s, kTempBox);
         s.missing_folders = {"D:\\New", "D:\\New\\Sub", "D:\\New\\Sub\\Temp"};
       },
       {"资料转移成功！", "64", kDefaultTitle},
       [] {
         // The restore file's folder is made before any change.
         EXPECT_EQ(Args("CreateFolder", 0),
                   (std::vector<std::string>{"C:\\Lumeno\\备份", "D:\\New", "D:\\New\\Sub", "D:\\New\\Sub\\Temp"}));
         EXPECT_EQ(Args("WriteRegistryItem", 1).size(), 4u);
       }},
      {"a failed copy keeps the folder's values; a missing source is no failure",
       [](fake::State& s) {
         Target(s, "D:\\Personal");
         Tick(s, kDesktopBox);
         Tick(s, kFavoritesBox);
         s.exit_codes["cmd /cxcopy C:\\Docume~1\\%USERNAME%\\桌面\\*.* D:\\Personal\\Desktop\\ /e /y "] = 4;
         s.missing_folders.insert("C:\\Docume~1\\%USERNAME%\\桌面");
         s.exit_codes["cmd /cxcopy C:\\Docume~1\\%USERNAME%\\Favori~1\\*.* D:\\Personal\\Favorites\\ /e /y"] = 5;
       },
       {"资料转移完成，但有 1 项未能执行：\r\n复制到 D:\\Personal\\Favorites\\：退出代码 5；位置未更改", "48",
        kDefaultTitle},
       [] {
         for (const std::string& item : Args("WriteRegistryItem", 1))
           EXPECT_EQ(item.find("Favorites"), std::string::npos) << item;
         EXPECT_EQ(Args("WriteRegistryItem", 1).size(), 3u) << "the Desktop values are written";
       }},
      {"a folder that cannot be made keeps its values",
       [](fake::State& s) {
         Target(s, "D:\\Personal");
         Tick(s, kTempBox);
         s.missing_folders.insert("D:\\Personal\\Temp");
         s.create_folder_errors["D:\\Personal\\Temp"] = 5;
       },
       {"资料转移未能完成：\r\nD:\\Personal\\Temp：error 5；位置未更改", "16", kDefaultTitle},
       [] { EXPECT_TRUE(fake::CallsOf({"WriteRegistryItem"}).empty()); }},
      {"a target with a blank and an ampersand is quoted in the copies",
       [](fake::State& s) {
         Target(s, "D:\\Tom & Jerry Files");
         Tick(s, kDesktopBox);
       },
       {"资料转移成功！", "64", kDefaultTitle},
       [] {
         EXPECT_EQ(Args("RunCommandLine", 0),
                   (std::vector<std::string>{
                       "cmd /cxcopy \"C:\\Docume~1\\%USERNAME%\\桌面\\*.*\" \"D:\\Tom & Jerry Files\\Desktop\" /e /y ",
                       "cmd /cxcopy \"C:\\Docume~1\\%USERNAME%\\Desktop\\*.*\" \"D:\\Tom & Jerry Files\\Desktop\" /e /y ",
                   }));
         EXPECT_EQ(Args("WriteRegistryItem", 3), std::vector<std::string>(3, "D:\\Tom & Jerry Files\\Desktop"));
       }},
  });
}

TEST(RelocationTargetRules, WhichTargetsAreQuotedAndWhichFoldersAreMade) {
  for (const char* plain : {"D:\\Personal", "D:\\资料\\下载", "D:\\\x81\x7C\x81\x5E", "\\\\srv\\share\\x-y_z.1"})
    EXPECT_FALSE(RelocationTargetNeedsQuotes(plain)) << plain;
  for (const char* special : {"D:\\My Files", "D:\\a&b", "D:\\a|b", "D:\\a<b", "D:\\a>b", "D:\\a^b", "D:\\a(b)",
                              "D:\\a,b", "D:\\a;b", "D:\\a=b", "D:\\100%", "D:\\wow!"})
    EXPECT_TRUE(RelocationTargetNeedsQuotes(special)) << special;

  EXPECT_EQ(FoldersToCreate("D:\\a\\b"), (std::vector<Text>{"D:\\a", "D:\\a\\b"}));
  EXPECT_EQ(FoldersToCreate("D:\\a\\"), (std::vector<Text>{"D:\\a"}));
  EXPECT_EQ(FoldersToCreate("D:"), (std::vector<Text>{}));
  EXPECT_EQ(FoldersToCreate("\\\\srv\\share"), (std::vector<Text>{}));
  EXPECT_EQ(FoldersToCreate("\\\\srv\\share\\a\\b"), (std::vector<Text>{"\\\\srv\\share\\a", "\\\\srv\\share\\a\\b"}));
  EXPECT_EQ(FoldersToCreate("D:\\\x81\x5C\\x"), (std::vector<Text>{"D:\\\x81\x5C", "D:\\\x81\x5C\\x"}));
  EXPECT_EQ(RelocationTargetCheckPath("D:"), "D:\\");
  EXPECT_EQ(RelocationTargetCheckPath("\\\\srv\\share"), "\\\\srv\\share\\");
  EXPECT_EQ(RelocationTargetCheckPath("D:\\a"), "D:\\a");

  for (const char* usable : {"C:\\", "d:\\Personal", "\\\\srv\\share", "\\\\srv\\share\\a b"})
    EXPECT_TRUE(IsUsableRelocationTarget(usable)) << usable;
  for (const char* unusable : {"", "C:", "C:Personal", "Personal", "1:\\x", "\\x", "\\\\srv", "\\\\srv\\",
                               "\\\\\\share", "\\\\srv\\\\x", "D:\\a\"b"})
    EXPECT_FALSE(IsUsableRelocationTarget(unusable)) << unusable;
}

// ---------------------------------------------------------------------------

const std::string kPhonebook =
    "C:\\Documents and Settings\\All Users\\Application Data\\Microsoft\\Network\\Connections\\Pbk\\rasphone.pbk";
const std::string kShortcut = "C:\\Documents and Settings\\All Users\\桌面\\宽带连接.lnk";
const std::string kOtherConnection = "[Office VPN]\r\nType=2\r\n\r\n";

TEST(CommandFailures, BroadbandEntry) {
  RunCases(CreateBroadbandEntry, {
      {"a phone book that cannot be read is left alone",
       [](fake::State& s) {
         s.files[kPhonebook] = kOtherConnection;
         s.read_errors[kPhonebook] = 32;
         s.error_texts[32] = "另一个程序正在使用此文件，进程无法访问。";
       },
       {"宽带连接建立完成，但有 1 项未能执行：\r\n" + kPhonebook + "：另一个程序正在使用此文件，进程无法访问。；电话簿未更改",
        "48", "提示"},
       [] {
         EXPECT_TRUE(fake::CallsOf({"ReplaceFileBytes", "WriteBytesToFile"}).empty());
         EXPECT_EQ(fake::GetState().files[kPhonebook], kOtherConnection);
       }},
      {"a missing phone book folder is no read failure; the write says why",
       [](fake::State& s) {
         s.read_errors[kPhonebook] = 3;
         s.write_errors[kPhonebook] = 3;
       },
       {"宽带连接建立完成，但有 1 项未能执行：\r\n" + kPhonebook + "：error 3", "48", "提示"},
       [] { EXPECT_EQ(Args("ReplaceFileBytes", 0), (std::vector<std::string>{kPhonebook, kShortcut})); }},
      {"a replacement that fails keeps the old bytes",
       [](fake::State& s) {
         s.files[kPhonebook] = kOtherConnection;
         s.write_errors[kPhonebook] = 5;
         s.write_errors[kShortcut] = 3;
       },
       {"宽带连接建立完成，但有 2 项未能执行：\r\n" + kPhonebook + "：error 5\r\n" + kShortcut + "：error 3", "48",
        "提示"},
       [] { EXPECT_EQ(fake::GetState().files[kPhonebook], kOtherConnection); }},
      {"the telephony service already running",
       [](fake::State& s) {
         s.exit_codes["net start TapiSrv"] = 2;
         s.services["TapiSrv"] = ServiceState::kRunning;
       },
       {"宽带连接已成功建立！", "64", "提示"}},
  });
}

}  // namespace
}  // namespace lumeno
